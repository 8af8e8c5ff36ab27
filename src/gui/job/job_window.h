#pragma once
// "工程进度": the job's rooms on a board by floor, coloured by state, with the totals of the
// hotel, of each floor and of each room type; filters by room type and by state; a room's runs
// on a click, its room type and the device console on a double click. The job is edited here
// too (import a rooms table, add, remove, another room type) and its hand-over report written
// on a worker thread. The board is read again after every change and on "刷新".

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "gui/job/add_room_dialog.h"
#include "platform/job_status.h"
#include "platform/prompter.h"

class QComboBox;
class QLabel;
class QListWidget;
class QProgressDialog;
class QPushButton;
class QScrollArea;
class QTreeWidget;

namespace room::gui {

class JobBoard;
class ReportThread;

struct JobWindowOptions {
    QString path;  // empty: the user's own record
    // Where to save: (parent, caption, proposed name, filter) -> path, empty to cancel.
    std::function<QString(QWidget*, const QString&, const QString&, const QString&)> askSaveName;
    OpenNameAsker askOpenName;
    // A double click on a room: open its room type and the device console for it.
    std::function<void(const QString& roomTypePath, const QString& roomNumber)> openRoom;
};

class JobWindow : public QDialog {
    Q_OBJECT

public:
    JobWindow(platform::Prompter& prompter, JobWindowOptions options, QWidget* parent = nullptr);
    ~JobWindow() override;

    JobBoard* board() const { return m_board; }
    QString totalsLine() const;
    QString statusLine() const;
    // Reads the job again; false when the record could not be read (the status line says why).
    bool reload();
    void setStateFilter(std::optional<records::RoomState> state);
    // The runs the side list shows for the selected room, a line each.
    QStringList shownRuns() const;

    void importRooms();
    void addRoom();
    void removeRoom();
    void changeRoomType();
    void openRoom(int index);
    // Starts the report; it goes on after this returns, `reportFinished` tells the end.
    bool writeReport();

signals:
    void reportFinished(bool written);

private:
    QWidget* buildFilters();
    QWidget* buildLegend();
    QWidget* buildBoard();
    QWidget* buildLower();
    QWidget* buildButtons();
    void applyFilter();
    void fillRoomTypes();
    void showTotals();
    void showRoom(int index);
    void setStatus(const QString& text);
    bool putRooms(const std::vector<records::JobRoom>& rooms);
    void onReported(int result, const QString& error);
    const platform::RoomStatus* selectedRoom() const;
    void startReport(const QString& path, std::vector<std::string> rooms);

    platform::Prompter& m_prompter;
    JobWindowOptions m_options;
    std::unique_ptr<platform::RecordStore> m_store;
    bool m_hasJob = false;
    QString m_hotel;
    JobBoard* m_board = nullptr;
    QScrollArea* m_scroll = nullptr;
    QComboBox* m_roomTypes = nullptr;
    QComboBox* m_states = nullptr;
    QList<QLabel*> m_legend;
    QLabel* m_totals = nullptr;
    QListWidget* m_typeTotals = nullptr;
    QLabel* m_roomTitle = nullptr;
    QTreeWidget* m_runs = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_changeType = nullptr;
    QPushButton* m_report = nullptr;
    QPointer<ReportThread> m_reportThread;
    QPointer<QProgressDialog> m_progress;
};

}  // namespace room::gui
