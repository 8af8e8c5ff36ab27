#pragma once
// The main window's toolbar: the command buttons 1000..1007 with the markup tooltips, the
// "串口:" port row for the hardware mirror, and a small menu button holding the About entry.

#include <QWidget>

class QLabel;
class QMenu;
class QToolButton;

namespace room::gui {

class PortComboBox;

enum Command {
    kCmdNew = 1000,
    kCmdOpen,
    kCmdSave,
    kCmdModify,
    kCmdSceneModes,
    kCmdDownload,
    kCmdRecords,
    kCmdJob
};
constexpr int kCommandCount = 8;

struct CommandInfo {
    int id;
    const char* title;
    const char* description;
    const char* icon;
};
extern const CommandInfo kCommands[kCommandCount];

class MainToolbar : public QWidget {
    Q_OBJECT
public:
    explicit MainToolbar(QWidget* parent = nullptr);

    QToolButton* button(int id) const;
    PortComboBox* portCombo() const { return m_ports; }
    void setPortRowVisible(bool visible);
    QMenu* menu() const { return m_menu; }
    QMenu* recentMenu() const { return m_recent; }

signals:
    void commandTriggered(int id);
    void aboutRequested();
    void recordLocationRequested();

private:
    QToolButton* m_buttons[kCommandCount] = {};
    QLabel* m_portLabel = nullptr;
    PortComboBox* m_ports = nullptr;
    QMenu* m_menu = nullptr;
    QMenu* m_recent = nullptr;
};

// "关于 Tavrin_dorodov(&A)..."
extern const char* const kAboutEntryText;

}  // namespace room::gui
