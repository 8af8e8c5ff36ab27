#pragma once
// A port list as every window that talks to devices shows it: the machine's serial ports and,
// when the program runs with --simulate, the simulated bus "SIM 模拟设备总线" as the last row.
// Below them, the port paths typed before and "其它...", which asks for a path the system does
// not list (a /dev/serial/by-id link, a pseudo-terminal, a COM number, a serial server's
// tcp://HOST:PORT), then the simulated bus. A typed path that is gone shows greyed with
// "(不存在)" (a tcp:// address never does); Delete or "删除" on it in the open list
// forgets it. After a fill the port chosen last (remembered in setinfo.ini) is shown, but nothing
// is opened: only choosing a row (again, too) emits portChosen. The wheel does nothing unless the
// list has focus.

#include <QComboBox>
#include <QList>
#include <functional>

namespace room::platform {
class SettingsStore;
}

namespace room::gui {

struct PortChoice {
    QString displayText;
    QString portName;  // empty for the simulated bus
    bool simulated = false;
};

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    using Lister = std::function<QList<PortChoice>()>;
    // Asks for a typed port path; empty when cancelled.
    using PathAsker = std::function<QString(QWidget* parent, const QString& lastPath)>;

    explicit PortComboBox(QWidget* parent = nullptr);

    // Whether port lists offer the simulated bus; set once at start-up from --simulate.
    static void setSimulationOffered(bool offered);
    static bool simulationOffered();
    // Replaces how ports are discovered (tests); the default lists the machine's serial ports.
    static void setLister(Lister lister);
    // Replaces the question for a typed path (tests); the default is a small input dialog.
    static void setPathAsker(PathAsker asker);
    // Where typed paths are remembered across starts; without a store only for this run.
    static void setPathMemory(platform::SettingsStore* store);
    static QStringList typedPaths();

    void refill();
    PortChoice choiceAt(int row) const;
    // Forgets the typed path at `row` (also in setinfo.ini); false for any other row.
    bool forgetRow(int row);

protected:
    // The list is read again each time it opens, so an adapter plugged in later shows up; the
    // chosen row stays chosen (without choosing it again).
    void showPopup() override;
    // A window may leave its list empty until it is used (reading the ports scans the system's
    // devices): the list then fills when it takes focus, so arrow keys find the rows.
    void focusInEvent(QFocusEvent* event) override;
    // Delete and the context menu of the open list.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void portChosen(const room::gui::PortChoice& choice);

private:
    void onActivated(int row);
    void askForPath();
    void selectChoice(const PortChoice& choice);
    void selectRemembered();
    bool typedRow(int row) const { return row >= m_firstTypedRow && row < m_otherRow; }

    QList<PortChoice> m_choices;
    int m_firstTypedRow = -1;
    int m_otherRow = -1;
    int m_lastRow = -1;  // the row chosen last, kept when "其它..." is cancelled
};

inline const QString kOtherPortText = QStringLiteral("其它...");

inline const QString kSimulatedBusText = QStringLiteral("SIM 模拟设备总线");
inline const QString kMissingPortMark = QStringLiteral(" (不存在)");
inline const QString kForgetPortText = QStringLiteral("删除");

// The machine's serial ports as the platform lists them.
QList<PortChoice> systemPorts();

}  // namespace room::gui
