#pragma once
// The console's part in the commissioning record: the room being worked in ("房号:", remembered;
// with a job a list of its rooms), who works ("调试人员:", remembered), an entry for every run and
// single-device check, "报告..." for the hand-over report, and a line that says whether the record
// was kept. Every entry is kept on this computer first (the spool) and sent from there; a record
// that cannot take it is tried again a few times and then every minute, and never holds up a run:
// the run's result is on screen before it is written.
//
// A room number is checked as it is typed in and a bad one is refused with its reason, so every
// entry carries a good number or none ("未填房号"). With a job, a room whose room type is not the
// one open offers to open it, and a verify all with every device OK moves on to the next room of
// the same room type that is not yet 校验通过.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "core/records/job.h"
#include "core/records/run_record.h"
#include "platform/record_spool.h"
#include "platform/record_store.h"

class QComboBox;
#include <QLabel>
class QLineEdit;
class QPushButton;
class QTimer;

namespace room::gui {

class ConsoleContext;

// Asks where to save a report (a PDF file dialog).
QString askReportName(QWidget* parent, const QString& proposedName);

// Where a console keeps its record, and how it asks where to save a report.
struct RecordOptions {
    QString path;  // empty: the user's own record
    std::function<QString(QWidget*, const QString& proposedName)> askReportName;
    QString roomNumber;  // 房号 to start with; empty: the one remembered
};

class RecordBar : public QWidget {
    Q_OBJECT

public:
    RecordBar(ConsoleContext& context, std::function<QString()> portName, RecordOptions options,
              QWidget* parent = nullptr);
    ~RecordBar() override;

    QLineEdit* roomNumberField() const;
    QComboBox* roomList() const { return m_roomNumber; }
    QLineEdit* installerField() const { return m_installer; }
    // The job's rooms the list offers; empty without a job.
    const std::vector<records::JobRoom>& jobRooms() const { return m_jobRooms; }
    // Takes `text` as if the installer had typed it: checked, remembered, and with a job the room
    // type compared. False when it was refused.
    bool chooseRoom(const QString& text);
    // Whether the record was kept; the window places it.
    QLabel* recordLabel() const { return m_line; }
    // "调试人员:" and its field; the window places them.
    QWidget* installerBox() const { return m_installerBox; }
    QString recordLine() const;
    // The latest record this console made, if any.
    const std::optional<records::RunRecord>& lastRecord() const { return m_last; }
    platform::RecordStore& store() { return *m_store; }

    static constexpr int kBusyMs = 100;
    static constexpr int kRetryMs = 5000;
    static constexpr int kRetries = 6;
    static constexpr int kSpoolRetryMs = 60000;

signals:
    // The installer chose to open the room type of room `roomNumber`.
    void openRoomTypeRequested(const QString& roomTypePath, const QString& roomNumber);

private:
    QWidget* buildRoomList();
    QString currentRoomNumber();
    void loadJob();
    // The room the list moved on to, empty when it stayed.
    QString advanceAfter(const records::RunRecord& record);
    const records::JobRoom* jobRoom(const std::string& number) const;
    void onEffects(const commissioning::Effects& effects);
    void keep(records::RunRecord record);
    void retry();
    void onSent(const QString& target, int waiting, const QString& error);
    void showKept();
    void writeReport();

    ConsoleContext& m_context;
    std::function<QString()> m_portName;
    RecordOptions m_options;
    std::unique_ptr<platform::RecordStore> m_store;
    std::unique_ptr<platform::RecordSpool> m_spool;
    QComboBox* m_roomNumber = nullptr;
    QLineEdit* m_installer = nullptr;
    QPointer<QWidget> m_installerBox;  // placed by the window, which may delete it first
    QString m_acceptedNumber;  // the last number that passed the check
    std::vector<records::JobRoom> m_jobRooms;
    QPushButton* m_report = nullptr;
    QPointer<QLabel> m_line;  // placed by the window too
    QTimer* m_retry = nullptr;
    int m_retriesLeft = 0;
    std::deque<records::RunRecord> m_pending;  // not even the spool could take them
    std::optional<records::RunRecord> m_latest;  // kept, not yet in the record
    std::optional<records::RunRecord> m_started;  // stamped when the running run began
    std::optional<records::RunRecord> m_last;
};

}  // namespace room::gui
