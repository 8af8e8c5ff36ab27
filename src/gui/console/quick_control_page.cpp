#include "gui/console/quick_control_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/model/catalogues.h"
#include "core/protocol/commands.h"
#include "gui/console/console_context.h"
#include "gui/console/test_page_widgets.h"
#include "gui/toolkit/labelled.h"

namespace room::gui {

using namespace testpage;

namespace {

constexpr int kFirstDegree = 16;
constexpr int kLastDegree = 32;
constexpr int kThermostats = 5;

struct LightLists {
    QStringList low;     // "10-30号灯光:"
    QStringList middle;  // "31-79号灯光:"
    QStringList high;    // "其它编号灯光:"
};

QString entry(const model::RoomTypeConfig& room, int lamp) {
    return QString::fromStdString(model::channelEntryText(room, lamp));
}

LightLists lightLists(const model::RoomTypeConfig& room) {
    LightLists lists;
    auto sort = [&](const std::vector<std::uint8_t>& lamps) {
        for (std::uint8_t lamp : lamps) {
            QStringList& list = lamp <= 30 ? lists.low : lamp > 79 ? lists.high : lists.middle;
            list << entry(room, lamp);
        }
    };
    sort(model::listItems(room.ordinaryLightKeys));
    sort(model::listItems(room.dimmerAndOtherKeys));
    sort(model::listItems(room.otherKeys));
    return lists;
}

QStringList curtainItems(const model::RoomTypeConfig& room) {
    QStringList items;
    // A curtain is its opening number; the closing one is the next, odd number.
    for (std::uint8_t lamp : model::listItems(room.curtainKeys))
        if (lamp % 2 == 0) items << entry(room, lamp);
    return items;
}

QStringList modeItems(const model::RoomTypeConfig& room) {
    QStringList items;
    for (std::uint8_t lamp : model::listItems(room.sceneModeKeys)) items << entry(room, lamp);
    return items;
}

QStringList curtainActionItems() {
    QStringList items;
    for (std::size_t i = 1; i < model::curtainCommandNames.size(); ++i)
        items << text(model::curtainCommandNames[i]);
    return items;
}

QStringList numbered(int first, int last, const QString& suffix) {
    QStringList items;
    for (int n = first; n <= last; ++n) items << QString::number(n) + suffix;
    return items;
}

}  // namespace

QuickControlPage::QuickControlPage(ConsoleContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    auto* columns = makePageColumns(this);
    auto* left = new QVBoxLayout;
    left->setSpacing(16);
    left->addWidget(buildLights());
    left->addWidget(buildCurtainsAndModes());
    left->addStretch(1);
    columns->addLayout(left);
    columns->addWidget(buildThermostat(), 0, Qt::AlignTop);
    columns->addStretch(1);
}

// `control`: the list the label names; a row of buttons has none (each says what it does).
void QuickControlPage::addLabel(QGridLayout* grid, int row, const QString& label,
                                QWidget* control) {
    auto* text = new QLabel(label, this);
    if (control) labelFor(text, control);
    grid->addWidget(text, row, 0, Qt::AlignRight | Qt::AlignVCenter);
}

void QuickControlPage::addLightRow(QGridLayout* grid, int row, const QString& name,
                                   const QString& label, const QStringList& items) {
    QComboBox* list = makeList(items, this);
    addLabel(grid, row, label, list);
    list->setObjectName(name);
    list->setMinimumContentsLength(14);
    grid->addWidget(list, row, 1);
    for (bool on : {true, false}) {
        QPushButton* button = makeButton(on ? QStringLiteral("开") : QStringLiteral("关"), this);
        button->setObjectName(name + (on ? QStringLiteral("On") : QStringLiteral("Off")));
        button->setEnabled(!items.isEmpty());  // nothing to switch in an empty list
        grid->addWidget(button, row, on ? 2 : 3);
        connect(button, &QPushButton::clicked, this, [this, list, on] {
            if (const std::optional<int> lamp = chosenNumber(*list))
                m_context.sendCommand(
                    protocol::lightFrame(*lamp, on),
                    (on ? QStringLiteral("开 ") : QStringLiteral("关 ")) + list->currentText());
        });
    }
}

QWidget* QuickControlPage::buildLights() {
    QGroupBox* group = makeGroup(QStringLiteral("灯光控制"), this);
    QGridLayout* grid = makeGroupGrid(group);
    const LightLists lists = lightLists(m_context.room());
    addLightRow(grid, 0, QStringLiteral("lowLights"), QStringLiteral("10-30号灯光:"), lists.low);
    addLightRow(grid, 1, QStringLiteral("middleLights"), QStringLiteral("31-79号灯光:"),
                lists.middle);
    addLightRow(grid, 2, QStringLiteral("otherLights"), QStringLiteral("其它编号灯光:"),
                lists.high);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* QuickControlPage::buildCurtainsAndModes() {
    QGroupBox* group = makeGroup(QStringLiteral("窗帘与情景模式"), this);
    QGridLayout* grid = makeGroupGrid(group);
    const model::RoomTypeConfig& room = m_context.room();

    m_curtains = makeList(curtainItems(room), this);
    addLabel(grid, 0, QStringLiteral("窗帘:"), m_curtains);
    m_curtains->setObjectName(QStringLiteral("curtains"));
    m_curtains->setMinimumContentsLength(14);
    grid->addWidget(m_curtains, 0, 1);
    m_curtainActions = makeList(curtainActionItems(), this);
    addLabel(grid, 1, QStringLiteral("窗帘动作:"), m_curtainActions);
    m_curtainActions->setObjectName(QStringLiteral("curtainActions"));
    grid->addWidget(m_curtainActions, 1, 1);
    m_modes = makeList(modeItems(room), this);
    addLabel(grid, 2, QStringLiteral("情景模式:"), m_modes);
    m_modes->setObjectName(QStringLiteral("modes"));
    grid->addWidget(m_modes, 2, 1);
    grid->setColumnStretch(1, 1);

    // activated: choosing the item already shown sends again.
    connect(m_curtainActions, &QComboBox::activated, this, &QuickControlPage::chooseCurtainAction);
    connect(m_modes, &QComboBox::activated, this, &QuickControlPage::chooseMode);
    return group;
}

QWidget* QuickControlPage::buildThermostat() {
    QGroupBox* group = makeGroup(QStringLiteral("温控器控制"), this);
    QGridLayout* grid = makeGroupGrid(group);

    m_thermostats = makeList(numbered(1, kThermostats, QStringLiteral("#")), this);
    addLabel(grid, 0, QStringLiteral("温控器:"), m_thermostats);
    m_thermostats->setObjectName(QStringLiteral("thermostats"));
    grid->addWidget(m_thermostats, 0, 1, 1, 2);
    QPushButton* off = makeButton(QStringLiteral("关空调"), this);
    grid->addWidget(off, 0, 3);
    connect(off, &QPushButton::clicked, this, [this, off] {
        m_context.sendCommand(protocol::thermostatOffFrame(m_thermostat),
                              off->text() + ' ' + thermostatName());
    });

    const QStringList modes{QStringLiteral("制热"), QStringLiteral("制冷"), QStringLiteral("通风")};
    addLabel(grid, 1, QStringLiteral("模式:"));
    for (int k = 0; k < modes.size(); ++k) {
        QPushButton* button = makeButton(modes[k], this);
        grid->addWidget(button, 1, 1 + k);
        connect(button, &QPushButton::clicked, this, [this, k, button] {
            m_context.sendCommand(protocol::thermostatModeFrame(m_thermostat, k + 1),
                                  button->text() + ' ' + thermostatName());
        });
    }
    const QStringList fans{QStringLiteral("低速"), QStringLiteral("中速"), QStringLiteral("高速"),
                           QStringLiteral("自动")};
    addLabel(grid, 2, QStringLiteral("风速:"));
    for (int k = 0; k < fans.size(); ++k) {
        QPushButton* button = makeButton(fans[k], this);
        grid->addWidget(button, 2, 1 + k);
        connect(button, &QPushButton::clicked, this, [this, k, button] {
            m_context.sendCommand(protocol::thermostatFanFrame(m_thermostat, k + 1),
                                  button->text() + ' ' + thermostatName());
        });
    }
    m_temperatures = makeList(numbered(kFirstDegree, kLastDegree, QString()), this);
    addLabel(grid, 3, QStringLiteral("温度:"), m_temperatures);
    m_temperatures->setObjectName(QStringLiteral("temperatures"));
    grid->addWidget(m_temperatures, 3, 1, 1, 2);

    connect(m_thermostats, &QComboBox::activated, this, &QuickControlPage::chooseThermostat);
    connect(m_temperatures, &QComboBox::activated, this, &QuickControlPage::chooseTemperature);
    return group;
}

// The thermostat the commands go to, as its list names it ("1#").
QString QuickControlPage::thermostatName() const {
    return QStringLiteral("%1#").arg(m_thermostat + 1);
}

void QuickControlPage::chooseCurtainAction(int item) {
    const std::optional<int> curtain = chosenNumber(*m_curtains);
    if (!curtain) return;  // the room type lists no curtains
    if (const auto frame = protocol::curtainActionFrame(*curtain, item + 1))
        m_context.sendCommand(*frame,
                              m_curtainActions->currentText() + ' ' + m_curtains->currentText());
}

void QuickControlPage::chooseMode() {
    if (const std::optional<int> code = chosenNumber(*m_modes))
        m_context.sendCommand(protocol::sceneModeFrame(*code), m_modes->currentText());
}

void QuickControlPage::chooseThermostat() {
    const std::optional<int> number = chosenNumber(*m_thermostats);
    if (!number) return;
    m_thermostat = *number - 1;
    m_context.sendCommand(protocol::thermostatSelectFrame(m_thermostat),
                          QStringLiteral("选择温控器 ") + thermostatName());
}

void QuickControlPage::chooseTemperature() {
    if (const std::optional<int> degrees = chosenNumber(*m_temperatures))
        m_context.sendCommand(protocol::thermostatTemperatureFrame(m_thermostat, *degrees),
                              QStringLiteral("温度 %1 ").arg(*degrees) + thermostatName());
}

}  // namespace room::gui
