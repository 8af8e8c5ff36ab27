#include "gui/ports/port_combo_box.h"

#include "gui/toolkit/wheel_guard.h"
#include "platform/ports.h"

namespace room::gui {

namespace {
bool g_simulationOffered = false;

PortComboBox::Lister& lister() {
    static PortComboBox::Lister current = systemPorts;
    return current;
}
}  // namespace

void PortComboBox::setSimulationOffered(bool offered) {
    g_simulationOffered = offered;
}
bool PortComboBox::simulationOffered() {
    return g_simulationOffered;
}
void PortComboBox::setLister(Lister newLister) {
    lister() = newLister ? std::move(newLister) : Lister(systemPorts);
}

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(18);
    ignoreWheelUnlessFocused(this);  // a stray wheel would switch the open port
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (row >= 0 && row < m_choices.size()) emit portChosen(m_choices[row]);
    });
}

void PortComboBox::refill() {
    m_choices = lister()();
    if (g_simulationOffered) m_choices.append(PortChoice{kSimulatedBusText, QString(), true});
    clear();
    for (const PortChoice& choice : m_choices) addItem(choice.displayText);
    setCurrentIndex(-1);
}

void PortComboBox::focusInEvent(QFocusEvent* event) {
    if (count() == 0) refill();
    QComboBox::focusInEvent(event);
}

void PortComboBox::showPopup() {
    const PortChoice chosen = choiceAt(currentIndex());
    refill();
    if (!chosen.displayText.isEmpty()) {
        for (qsizetype row = 0; row < m_choices.size(); ++row) {
            if (m_choices[row].simulated == chosen.simulated &&
                m_choices[row].portName == chosen.portName) {
                setCurrentIndex(static_cast<int>(row));
                break;
            }
        }
    }
    QComboBox::showPopup();
}

QList<PortChoice> systemPorts() {
    QList<PortChoice> choices;
    for (const platform::PortRow& row : platform::availablePorts()) {
        choices.append(PortChoice{row.displayText, row.portName, false});
    }
    return choices;
}

PortChoice PortComboBox::choiceAt(int row) const {
    return row >= 0 && row < m_choices.size() ? m_choices[row] : PortChoice{};
}

}  // namespace room::gui
