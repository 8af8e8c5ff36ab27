#pragma once
// "基本信息与选择输入信号": the first of the room-type editors, a thin binding of its eight pages
// to a DefinitionSession. Hidden controls are created hidden and carry their values like the
// others.

#include <QDialog>
#include <memory>
#include <vector>

#include "core/editing/definition_session.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace room::platform {
class Prompter;
class SettingsStore;
}  // namespace room::platform

namespace room::gui {

class LampGrid;

class DefinitionDialog : public QDialog {
    Q_OBJECT

public:
    // `settings` receives the chosen system type on OK; it may be null (tests).
    DefinitionDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                     editing::EditMode mode, platform::Prompter& prompter,
                     platform::SettingsStore* settings, QWidget* parent = nullptr);
    ~DefinitionDialog() override;

    editing::DefinitionSession& session() { return m_session; }
    QTabWidget* tabs() const { return m_tabs; }
    LampGrid* grid(editing::ListPage page) const;

    void accept() override;

private:
    QWidget* buildBasicPage();
    QWidget* buildListPage(editing::ListPage page);
    QWidget* buildOptionsPage();
    void addBasicHidden(QGridLayout* grid, int& row);
    void addPageExtras(editing::ListPage page, QGridLayout* grid, int& row);
    QLineEdit* numberField(editing::NumberField field, QWidget* parent);
    QComboBox* makerList(const std::vector<std::string_view>& entries, int& value, QWidget* parent);
    void updateEnabling();
    void showMessage(const QString& text);

    editing::DefinitionSession m_session;
    platform::Prompter& m_prompter;
    platform::SettingsStore* m_settings;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_systemType = nullptr;
    std::vector<LampGrid*> m_grids;
    std::vector<QLabel*> m_selectionLabels;
    std::vector<std::pair<editing::NumberField, QWidget*>> m_conditional;  // fields by lamp
    std::vector<QRadioButton*> m_outputBoards;
    QRadioButton* m_inputBoard = nullptr;
    QCheckBox* m_smallBoardUse = nullptr;
    QCheckBox* m_largeBoardUse = nullptr;
};

// Runs the dialog modally; true on OK.
bool runDefinitionDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                         editing::EditMode mode, platform::Prompter& prompter,
                         platform::SettingsStore* settings, QWidget* parent);

}  // namespace room::gui
