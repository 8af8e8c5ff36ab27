#pragma once
// A port list as every window that talks to devices shows it: the machine's serial ports and,
// when the program runs with --simulate, the simulated bus "SIM 模拟设备总线" as the last row.
// No row is chosen after a fill; choosing a row (again, too) emits portChosen. The wheel does
// nothing unless the list has focus.

#include <QComboBox>
#include <QList>
#include <functional>

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

    explicit PortComboBox(QWidget* parent = nullptr);

    // Whether port lists offer the simulated bus; set once at start-up from --simulate.
    static void setSimulationOffered(bool offered);
    static bool simulationOffered();
    // Replaces how ports are discovered (tests); the default lists the machine's serial ports.
    static void setLister(Lister lister);

    void refill();
    PortChoice choiceAt(int row) const;

protected:
    // The list is read again each time it opens, so an adapter plugged in later shows up; the
    // chosen row stays chosen (without choosing it again).
    void showPopup() override;
    // A window may leave its list empty until it is used (reading the ports scans the system's
    // devices): the list then fills when it takes focus, so arrow keys find the rows.
    void focusInEvent(QFocusEvent* event) override;

signals:
    void portChosen(const room::gui::PortChoice& choice);

private:
    QList<PortChoice> m_choices;
};

inline const QString kSimulatedBusText = QStringLiteral("SIM 模拟设备总线");

// The machine's serial ports as the platform lists them.
QList<PortChoice> systemPorts();

}  // namespace room::gui
