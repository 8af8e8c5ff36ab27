#include "gui/main/toolbar.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "gui/ports/port_combo_box.h"
#include "gui/toolkit/labelled.h"
#include "gui/toolkit/tooltip_markup.h"

namespace room::gui {

const char* const kAboutEntryText = "关于 Tavrin_dorodov(&A)...";

const CommandInfo kCommands[kCommandCount] = {
    {kCmdNew, "新建", "新建房型配置文件", ":/icons/new.xpm"},
    {kCmdOpen, "打开", "打开房型配置文件", ":/icons/open.xpm"},
    {kCmdSave, "保存", "保存当前房型配置文件", ":/icons/save.xpm"},
    {kCmdModify, "修改", "修改房型配置", ":/icons/modify.xpm"},
    {kCmdSceneModes, "情景模式", "修改情景模式配置", ":/icons/scene_modes.xpm"},
    {kCmdDownload, "下载", "下载配置内容到设备", ":/icons/download.xpm"},
    {kCmdRecords, "调试记录", "各房间的调试记录与交接报告", ":/icons/records.xpm"},
    {kCmdJob, "工程进度", "酒店工程各楼层房间的调试状态", ":/icons/job.xpm"},
};

namespace {
QToolButton* commandButton(const CommandInfo& info, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("btn%1").arg(info.id));
    button->setText(QString::fromUtf8(info.title));
    button->setIcon(QIcon(QString::fromLatin1(info.icon)));
    button->setIconSize(QSize(40, 40));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(72);
    button->setToolTip(tooltipRichText(
        toolbarTooltipMarkup(QString::fromUtf8(info.title), QString::fromUtf8(info.description))));
    return button;
}
}  // namespace

MainToolbar::MainToolbar(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);
    for (int i = 0; i < kCommandCount; ++i) {
        m_buttons[i] = commandButton(kCommands[i], this);
        const int id = kCommands[i].id;
        connect(m_buttons[i], &QToolButton::clicked, this,
                [this, id] { emit commandTriggered(id); });
        row->addWidget(m_buttons[i]);
    }
    // The usual keys; a hidden button (Save before there is a room type) takes none.
    m_buttons[kCmdNew - kCmdNew]->setShortcut(QKeySequence::New);
    m_buttons[kCmdOpen - kCmdNew]->setShortcut(QKeySequence::Open);
    m_buttons[kCmdSave - kCmdNew]->setShortcut(QKeySequence::Save);
    row->addStretch(1);
    m_portLabel = new QLabel(QStringLiteral("串口:"), this);
    m_portLabel->setObjectName(QStringLiteral("label1213"));
    m_ports = new PortComboBox(this);
    m_ports->setObjectName(QStringLiteral("combo1213"));
    m_ports->setMinimumWidth(220);
    labelFor(m_portLabel, m_ports);
    row->addWidget(m_portLabel);
    row->addWidget(m_ports);
    setPortRowVisible(false);

    m_menu = new QMenu(this);
    m_recent = m_menu->addMenu(QStringLiteral("最近打开"));
    m_recent->setObjectName(QStringLiteral("menuRecent"));
    QAction* location = m_menu->addAction(QStringLiteral("调试记录位置..."));
    location->setObjectName(QStringLiteral("actionRecordLocation"));
    connect(location, &QAction::triggered, this, &MainToolbar::recordLocationRequested);
    m_menu->addSeparator();
    QAction* about = m_menu->addAction(QString::fromUtf8(kAboutEntryText));
    about->setObjectName(QStringLiteral("actionAbout"));
    connect(about, &QAction::triggered, this, &MainToolbar::aboutRequested);
    auto* menuButton = new QToolButton(this);
    menuButton->setObjectName(QStringLiteral("btnMenu"));
    menuButton->setIcon(QIcon(QStringLiteral(":/icons/menu.xpm")));
    menuButton->setIconSize(QSize(24, 24));
    menuButton->setAutoRaise(true);
    menuButton->setToolTip(QStringLiteral("菜单"));
    nameControl(menuButton, menuButton->toolTip());
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setMenu(m_menu);
    row->addSpacing(8);
    row->addWidget(menuButton, 0, Qt::AlignTop);
}

QToolButton* MainToolbar::button(int id) const {
    const int index = id - kCmdNew;
    return index >= 0 && index < kCommandCount ? m_buttons[index] : nullptr;
}

void MainToolbar::setPortRowVisible(bool visible) {
    m_portLabel->setVisible(visible);
    m_ports->setVisible(visible);
}

}  // namespace room::gui
