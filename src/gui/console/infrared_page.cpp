#include "gui/console/infrared_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <map>

#include "core/protocol/commands.h"
#include "gui/console/console_context.h"
#include "gui/console/test_page_widgets.h"

namespace room::gui {

using namespace testpage;

namespace {

constexpr int kTemperatureColumns = 5;

struct Cell {
    int row;
    int column;
};

// Where each television key sits on the remote: power on top, the arrows around "确认" with the
// channel and volume keys at their sides, then the digits as on a phone pad.
const std::map<std::string_view, Cell>& remoteCells() {
    static const std::map<std::string_view, Cell> cells{
        {"开机", {0, 0}},  {"关机", {0, 2}}, {"频道+", {1, 0}}, {"向上", {1, 1}},
        {"音量+", {1, 2}}, {"向左", {2, 0}}, {"确认", {2, 1}},  {"向右", {2, 2}},
        {"频道-", {3, 0}}, {"向下", {3, 1}}, {"音量-", {3, 2}}, {"静音", {4, 0}},
        {"返回", {4, 2}},  {"1", {6, 0}},    {"2", {6, 1}},     {"3", {6, 2}},
        {"4", {7, 0}},     {"5", {7, 1}},    {"6", {7, 2}},     {"7", {8, 0}},
        {"8", {8, 1}},     {"9", {8, 2}},    {"0", {9, 1}},
    };
    return cells;
}

}  // namespace

InfraredPage::InfraredPage(ConsoleContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    auto* layout = makePageColumns(this);
    layout->addWidget(buildAirConditionerGroup(), 0, Qt::AlignTop);
    layout->addWidget(buildTelevisionGroup(), 0, Qt::AlignTop);
    layout->addStretch(1);
}

QWidget* InfraredPage::buildAirConditionerGroup() {
    QGroupBox* group = makeGroup(QStringLiteral("发送空调红外"), this);
    group->setObjectName(QStringLiteral("irAirConditioner"));
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(16, 20, 16, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    int temperatures = 0;
    int others = 0;
    for (const protocol::AcButton& entry : protocol::kIrAcButtons) {
        QPushButton* button = makeButton(text(entry.text), group);
        if (entry.setting == protocol::AcSetting::Temperature) {
            // Degrees in rows of five below the power, mode and fan rows.
            grid->addWidget(button, 4 + temperatures / kTemperatureColumns,
                            temperatures % kTemperatureColumns);
            ++temperatures;
        } else if (entry.setting == protocol::AcSetting::Power) {
            grid->addWidget(button, 0, others++);
        } else {
            const int row = entry.setting == protocol::AcSetting::Mode ? 1 : 2;
            grid->addWidget(button, row, entry.value - 1);
        }
        const protocol::Bytes frame = protocol::irAirConditionerFrame(entry.setting, entry.value);
        const QString what = QStringLiteral("空调红外 ") + button->text();
        connect(button, &QPushButton::clicked, this,
                [this, frame, what] { m_context.sendCommand(frame, what); });
    }
    grid->setRowMinimumHeight(3, 8);  // a gap between the fan row and the degrees
    return group;
}

QWidget* InfraredPage::buildTelevisionGroup() {
    QGroupBox* group = makeGroup(QStringLiteral("发送电视红外"), this);
    group->setObjectName(QStringLiteral("irTelevision"));
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(16, 20, 16, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->setRowMinimumHeight(5, 12);  // keypad apart from the navigation keys
    for (const protocol::TvButton& entry : protocol::kIrTvButtons) {
        QPushButton* button = makeButton(text(entry.text), group);
        const Cell cell = remoteCells().at(entry.text);
        grid->addWidget(button, cell.row, cell.column);
        const protocol::Bytes frame = protocol::irTelevisionFrame(entry.keyCode);
        const QString what = QStringLiteral("电视红外 ") + button->text();
        connect(button, &QPushButton::clicked, this,
                [this, frame, what] { m_context.sendCommand(frame, what); });
    }
    return group;
}

}  // namespace room::gui
