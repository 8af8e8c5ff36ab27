#pragma once
// "调试记录": the rooms of the commissioning record, filtered by room type or to those not yet
// verified OK, with each room's runs on a double click, the shown rows as CSV and the hand-over
// report as PDF.

#include <QDialog>
#include <functional>
#include <memory>

#include "platform/prompter.h"
#include "platform/record_store.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace room::gui {

class RoomsModel;
class RoomsFilter;

struct RecordsDialogOptions {
    QString path;  // empty: the user's own record
    // Where to save: (parent, caption, proposed name, filter) -> path, empty to cancel.
    std::function<QString(QWidget*, const QString&, const QString&, const QString&)> askSaveName;
};

class RecordsDialog : public QDialog {
    Q_OBJECT

public:
    RecordsDialog(platform::Prompter& prompter, RecordsDialogOptions options,
                  QWidget* parent = nullptr);
    ~RecordsDialog() override;

    QTableView* table() const { return m_table; }
    int shownRooms() const;
    // Reads the rooms again; false when the record could not be read (the message says why).
    bool reload();
    // The runs of the shown row `row`, newest first, as the detail window lists them.
    void showRuns(int row);
    bool exportCsv();
    bool writeReport();

private:
    std::vector<records::RoomRow> shownRows() const;
    void fillRoomTypes();

    platform::Prompter& m_prompter;
    RecordsDialogOptions m_options;
    std::unique_ptr<platform::RecordStore> m_store;
    RoomsModel* m_model = nullptr;
    RoomsFilter* m_filter = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_roomTypes = nullptr;
    QCheckBox* m_notVerified = nullptr;
    QLineEdit* m_installer = nullptr;
    QLabel* m_message = nullptr;
};

}  // namespace room::gui
