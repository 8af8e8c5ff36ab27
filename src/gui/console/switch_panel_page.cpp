#include "gui/console/switch_panel_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/commissioning/engine.h"
#include "gui/console/console_context.h"
#include "gui/console/wiring_view.h"
#include "gui/toolkit/labelled.h"

namespace room::gui {

using commissioning::Action;
using commissioning::Effects;
using commissioning::Execution;
using commissioning::PageOperation;
using commissioning::TimePoint;

namespace {

constexpr int kDevices = commissioning::kDevicesPerPage;
constexpr int kDeviceRows = kDevices / 2;  // devices in two columns: n and n + 8

struct OperationChoice {
    PageOperation operation;
    const char* text;
};
constexpr OperationChoice kOperations[] = {
    {PageOperation::Send, "下发配置"},         {PageOperation::Read, "读取配置(覆盖当前配置)"},
    {PageOperation::Verify, "校验配置"},       {PageOperation::Clear, "清除配置"},
    {PageOperation::NumberOnly, "仅下发编号"},
};

struct ExecutionChoice {
    Execution execution;
    const char* text;
    const char* name;
};
constexpr ExecutionChoice kExecutions[] = {
    {Execution::AnyKey, "按任意键执行", "executionAnyKey"},
    {Execution::OnReceipt, "收到即执行", "executionOnReceipt"},
};

// The strip has to fit beside the drawing on a laptop screen: tight groups.
void compact(QLayout* layout) {
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(2);
}

// A push button no higher than its text needs: sixteen of them stand in a column.
void flatten(QPushButton* button) {
    button->setMaximumHeight(button->fontMetrics().height() + 8);
}

// Radio buttons of a group that may show none chosen (the operation starts unchosen).
void checkOnly(QButtonGroup* group, int id) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == id);
    group->setExclusive(true);
}

}  // namespace

SwitchPanelPage::SwitchPanelPage(ConsoleContext& context, int firstDevice, QWidget* parent)
    : QWidget(parent), m_context(context), m_firstDevice(firstDevice) {
    setObjectName(QStringLiteral("switchPanelPage%1").arg(firstDevice));
    // Devices without a record take no part until the installer selects them again.
    m_context.engine().unselectUnused();

    m_view = new WiringView(m_context.room(), m_firstDevice, m_badges);
    m_viewScroll = new QScrollArea(this);
    m_viewScroll->setObjectName(QStringLiteral("wiringScroll"));
    m_viewScroll->setFrameShape(QFrame::NoFrame);
    m_viewScroll->setWidget(m_view);
    // The drawing scales to the space; it scrolls only where even its smallest size is too big.
    m_viewScroll->setWidgetResizable(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_viewScroll, 1);
    layout->addWidget(buildStrip());

    connect(&m_context, &ConsoleContext::selectionChanged, this, &SwitchPanelPage::refresh);
    connect(&m_context, &ConsoleContext::pageOptionsChanged, this, &SwitchPanelPage::refresh);
    connect(&m_context, &ConsoleContext::effectsApplied, this, &SwitchPanelPage::onEffects);
    refresh();
}

// The controls sit beside the drawing, never on it; the strip scrolls on its own when the
// window is too low for it.
QWidget* SwitchPanelPage::buildStrip() {
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("controlStrip"));
    auto* column = new QVBoxLayout(strip);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(4);
    column->addWidget(buildOperations(strip));
    column->addWidget(buildExecution(strip));
    column->addWidget(buildDevices(strip));
    column->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("stripScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(strip);
    scroll->setFixedWidth(strip->sizeHint().width() +
                          scroll->verticalScrollBar()->sizeHint().width());
    return scroll;
}

QGroupBox* SwitchPanelPage::buildOperations(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("发送类型"), parent);
    auto* column = new QVBoxLayout(group);
    compact(column);
    m_operations = new QButtonGroup(this);
    for (const OperationChoice& choice : kOperations) {
        auto* radio = new QRadioButton(QString::fromUtf8(choice.text), group);
        const int id = static_cast<int>(choice.operation);
        radio->setObjectName(QStringLiteral("operation%1").arg(id));
        m_operations->addButton(radio, id);
        column->addWidget(radio);
    }
    // Toggled, not clicked: a screen reader or the keyboard selects without a click.
    connect(m_operations, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !m_refreshing) chooseOperation(id);
    });
    // Choosing the operation already chosen toggles nothing, yet starts it afresh (a read
    // enables every send button again).
    connect(m_operations, &QButtonGroup::idClicked, this, [this](int id) {
        if (static_cast<int>(m_context.engine().pageOperation()) == id) chooseOperation(id);
    });
    return group;
}

QGroupBox* SwitchPanelPage::buildExecution(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("执行方式"), parent);
    auto* column = new QVBoxLayout(group);
    compact(column);
    m_execution = new QButtonGroup(this);
    for (const ExecutionChoice& choice : kExecutions) {
        auto* radio = new QRadioButton(QString::fromUtf8(choice.text), group);
        radio->setObjectName(QString::fromLatin1(choice.name));
        m_execution->addButton(radio, static_cast<int>(choice.execution));
        column->addWidget(radio);
    }
    connect(m_execution, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !m_refreshing) chooseExecution(id);
    });
    return group;
}

QGroupBox* SwitchPanelPage::buildDevices(QWidget* parent) {
    auto* group = new QGroupBox(
        QStringLiteral("%1-%2号设备").arg(m_firstDevice).arg(m_firstDevice + kDevices - 1), parent);
    auto* grid = new QGridLayout(group);
    compact(grid);
    grid->setHorizontalSpacing(4);
    for (int i = 0; i < kDevices; ++i) {
        const int device = m_firstDevice + i;
        auto* select = new QCheckBox(group);
        select->setObjectName(QStringLiteral("select%1").arg(device));
        select->setToolTip(QStringLiteral("%1#参与发送").arg(device));
        nameControl(select, select->toolTip());
        auto* send = new QPushButton(QStringLiteral("%1#发送").arg(device), group);
        send->setObjectName(QStringLiteral("send%1").arg(device));
        send->setAutoDefault(false);
        const int row = i % kDeviceRows;
        const int column = (i / kDeviceRows) * 2;
        grid->addWidget(select, row, column);
        grid->addWidget(send, row, column + 1);
        connect(select, &QCheckBox::toggled, this, [this, device](bool checked) {
            if (!m_refreshing) selectDevice(device, checked);
        });
        connect(send, &QPushButton::clicked, this, [this, device] { sendDevice(device); });
        m_selects << select;
        m_sends << send;
    }
    // One row for both, so the whole strip shows on a laptop screen.
    m_selectAll = new QCheckBox(QStringLiteral("全选"), group);
    m_selectAll->setObjectName(QStringLiteral("selectAll"));
    connect(m_selectAll, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_refreshing) selectAll(checked);
    });
    grid->addWidget(m_selectAll, kDeviceRows, 0, 1, 2);

    auto* exit = new QPushButton(QStringLiteral("退出下发状态"), group);
    exit->setObjectName(QStringLiteral("exitSendMode"));
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &SwitchPanelPage::exitSendMode);
    grid->addWidget(exit, kDeviceRows, 2, 1, 2);
    for (QPushButton* button : group->findChildren<QPushButton*>()) flatten(button);
    return group;
}

void SwitchPanelPage::chooseOperation(int id) {
    m_context.untickedInRead().clear();
    m_context.engine().setPageOperation(static_cast<PageOperation>(id));
    emit m_context.pageOptionsChanged();
}

void SwitchPanelPage::chooseExecution(int id) {
    m_context.engine().setExecution(static_cast<Execution>(id));
    emit m_context.pageOptionsChanged();
}

void SwitchPanelPage::selectDevice(int device, bool selected) {
    setSelected(device, selected);
    emit m_context.selectionChanged();
}

void SwitchPanelPage::setSelected(int device, bool selected) {
    m_context.engine().setSelected(device, selected);
    if (m_context.engine().pageOperation() != PageOperation::Read) return;
    if (selected) {
        m_context.untickedInRead().remove(device);
    } else {
        m_context.untickedInRead().insert(device);
    }
}

// Every device of the page, also those without a record (they can be read).
void SwitchPanelPage::selectAll(bool selected) {
    for (int i = 0; i < kDevices; ++i) setSelected(m_firstDevice + i, selected);
    emit m_context.selectionChanged();
}

void SwitchPanelPage::sendDevice(int device) {
    commissioning::Engine& engine = m_context.engine();
    m_context.run([&engine, device](TimePoint now, bool confirmed) {
        return engine.sendDevice(device, now, confirmed);
    });
}

void SwitchPanelPage::exitSendMode() {
    commissioning::Engine& engine = m_context.engine();
    m_context.run([&engine](TimePoint now, bool confirmed) {
        return engine.command(Action::ExitSendMode, now, confirmed);
    });
}

void SwitchPanelPage::onEffects(const Effects& effects) {
    m_badges.apply(effects);
    // A read-back may change what a device holds and whether it is in use.
    if (effects.pageSendsEnabled || effects.readBack || effects.runFinished) refresh();
    if (effects.runStarted || effects.progress || effects.runFinished || !effects.results.empty() ||
        effects.readBack) {
        m_view->update();
    }
}

// Showing the engine's state toggles the controls, which must not act on it again.
void SwitchPanelPage::refresh() {
    const QScopedValueRollback<bool> guard(m_refreshing, true);
    const commissioning::Engine& engine = m_context.engine();
    checkOnly(m_operations, static_cast<int>(engine.pageOperation()));
    checkOnly(m_execution, static_cast<int>(engine.execution()));
    const model::RoomTypeConfig& room = m_context.room();
    for (int i = 0; i < kDevices; ++i) {
        const int device = m_firstDevice + i;
        m_selects[i]->setChecked(room.selected[static_cast<std::size_t>(device)] != 0);
        m_selects[i]->setEnabled(engine.checkBoxEnabled(device));
        m_sends[i]->setEnabled(engine.sendButtonEnabled(device) &&
                               !m_context.untickedInRead().contains(device));
    }
    m_view->update();
}

}  // namespace room::gui
