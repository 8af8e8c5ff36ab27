#pragma once
// The console's "设备控制" tab: switch lights, drive curtains, call scene modes and work the
// thermostats by hand. Lists are filled from the room type's category lists when the page opens.

#include <QWidget>

class QComboBox;
class QGridLayout;
class QPushButton;

namespace room::gui {

class ConsoleContext;

class QuickControlPage : public QWidget {
    Q_OBJECT

public:
    explicit QuickControlPage(ConsoleContext& context, QWidget* parent = nullptr);

    // The thermostat the air-conditioning commands address, 0..4 ("1#" is 0).
    int thermostatIndex() const { return m_thermostat; }

private:
    QWidget* buildLights();
    QWidget* buildCurtainsAndModes();
    QWidget* buildThermostat();
    void addLightRow(QGridLayout* grid, int row, const QString& name, const QString& label,
                     const QStringList& items);
    void addLabel(QGridLayout* grid, int row, const QString& label, QWidget* control = nullptr);

    void chooseCurtainAction(int item);
    QString thermostatName() const;
    void chooseMode();
    void chooseThermostat();
    void chooseTemperature();

    ConsoleContext& m_context;
    QComboBox* m_curtains = nullptr;
    QComboBox* m_curtainActions = nullptr;
    QComboBox* m_modes = nullptr;
    QComboBox* m_thermostats = nullptr;
    QComboBox* m_temperatures = nullptr;
    int m_thermostat = 0;
};

}  // namespace room::gui
