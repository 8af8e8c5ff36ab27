#include "gui/console/other_settings_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/protocol/commands.h"
#include "gui/console/console_context.h"
#include "gui/console/scan_window_setting.h"
#include "gui/console/test_page_widgets.h"
#include "gui/toolkit/color_button.h"
#include "gui/toolkit/labelled.h"

namespace room::gui {

using namespace testpage;

namespace {

constexpr int kMaxCode = 0xFFFF;

QStringList twoDigitItems(int last) {
    QStringList items;
    for (int n = 0; n <= last; ++n) items << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return items;
}

void paintFlag(ColorButton* button, bool on) {
    button->setFillColor(on ? QColor(0, 240, 0) : QColor(Qt::black));
    button->setTextColor(on ? QColor(Qt::black) : QColor(Qt::white));
}

QLabel* rightLabel(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

OtherSettingsPage::OtherSettingsPage(ConsoleContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    auto* columns = makePageColumns(this);

    auto* left = new QVBoxLayout;
    left->setSpacing(12);
    auto* cardOut = new QHBoxLayout;
    QPushButton* delay = makeButton(QStringLiteral("下发取电断电延时"), this);
    connect(delay, &QPushButton::clicked, this, [this] {
        m_context.sendCommand(protocol::cardOutDelayFrame(m_context.room().cardOutDelay),
                              QStringLiteral("下发取电断电延时"));
    });
    QPushButton* usb = makeButton(QStringLiteral("USB透传模块退网"), this);
    connect(usb, &QPushButton::clicked, this,
            [this, usb] { m_context.sendCommand(protocol::usbLeaveNetworkFrame(), usb->text()); });
    cardOut->addWidget(delay);
    cardOut->addWidget(usb);
    cardOut->addStretch(1);
    left->addLayout(cardOut);
    left->addWidget(buildInfraredSettings());
    left->addWidget(buildKeyCount());
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->setSpacing(12);
    right->addWidget(buildSwitchTest());
    right->addWidget(buildCommands());
    right->addWidget(makeScanWindowRow(this));  // the left column has no height to spare
    right->addStretch(1);

    columns->addLayout(left);
    columns->addLayout(right);
    columns->addStretch(1);
}

QWidget* OtherSettingsPage::buildInfraredSettings() {
    QGroupBox* group = makeGroup(QStringLiteral("以下功能需设备本身支持"), this);
    auto* box = new QVBoxLayout(group);
    box->setContentsMargins(14, 16, 14, 12);
    box->setSpacing(8);
    box->addWidget(buildCodeLibrary());

    auto* numberRow = new QHBoxLayout;
    m_irNumber = makeList(twoDigitItems(4), group);
    m_irNumber->setObjectName(QStringLiteral("irNumber"));
    numberRow->addWidget(labelFor(new QLabel(QStringLiteral("红外编号:"), group), m_irNumber));
    numberRow->addWidget(m_irNumber);
    QPushButton* setNumber = makeButton(QStringLiteral("设置红外编号"), group);
    connect(setNumber, &QPushButton::clicked, this, [this] {
        m_context.sendCommand(protocol::irNumberFrame(std::max(0, m_irNumber->currentIndex())),
                              QStringLiteral("设置红外编号 ") + m_irNumber->currentText());
    });
    numberRow->addWidget(setNumber);
    numberRow->addStretch(1);
    box->addLayout(numberRow);

    auto* matchRow = new QHBoxLayout;
    QPushButton* matchAc = makeButton(QStringLiteral("匹配空调"), group);
    connect(matchAc, &QPushButton::clicked, this, [this, matchAc] {
        m_context.sendCommand(protocol::matchAirConditionerFrame(), matchAc->text());
    });
    QPushButton* matchTv = makeButton(QStringLiteral("匹配电视开关机"), group);
    connect(matchTv, &QPushButton::clicked, this, [this, matchTv] {
        m_context.sendCommand(protocol::matchTelevisionFrame(), matchTv->text());
    });
    matchRow->addWidget(matchAc);
    matchRow->addWidget(matchTv);
    matchRow->addStretch(1);
    box->addLayout(matchRow);
    return group;
}

QWidget* OtherSettingsPage::buildCodeLibrary() {
    QGroupBox* group = makeGroup(QStringLiteral("发送红外码库"), this);
    QGridLayout* grid = makeGroupGrid(group);
    QStringList types;
    for (std::string_view type : protocol::kIrLibraryTypes) types << text(type);
    m_libraryType = makeList(types, group);
    m_libraryType->setObjectName(QStringLiteral("irLibraryType"));
    m_libraryType->setMinimumContentsLength(10);
    m_libraryDevice = makeList(twoDigitItems(4), group);
    m_libraryDevice->setObjectName(QStringLiteral("irLibraryDevice"));
    m_code = new QLineEdit(group);
    m_code->setObjectName(QStringLiteral("irCode"));
    m_code->setMaxLength(8);
    QPushButton* send = makeButton(QStringLiteral("发送"), group);
    send->setObjectName(QStringLiteral("sendIrLibrary"));

    grid->addWidget(labelFor(rightLabel(QStringLiteral("码库类型:"), group), m_libraryType), 0, 0);
    grid->addWidget(m_libraryType, 0, 1);
    grid->addWidget(labelFor(rightLabel(QStringLiteral("设备编号:"), group), m_libraryDevice), 1,
                    0);
    grid->addWidget(m_libraryDevice, 1, 1);
    grid->addWidget(labelFor(new QLabel(QStringLiteral("编码：(根据表格查询)"), group), m_code), 2,
                    0, 1, 2);
    grid->addWidget(m_code, 3, 0, 1, 2);
    grid->addWidget(send, 3, 2);
    grid->setColumnStretch(1, 1);
    connect(send, &QPushButton::clicked, this, &OtherSettingsPage::sendCodeLibrary);
    return group;
}

QWidget* OtherSettingsPage::buildKeyCount() {
    QGroupBox* group = makeGroup(QStringLiteral("发送修改键数指令(谨慎操作,配置完会重启)"), this);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(16, 20, 16, 16);
    QStringList items;
    for (const protocol::KeyCountItem& item : protocol::kKeyCountItems) items << text(item.text);
    m_keyCount = makeList(items, group);
    m_keyCount->setObjectName(QStringLiteral("keyCount"));
    nameControl(m_keyCount, group->title());
    m_keyCount->setCurrentIndex(-1);  // a restart is only ever asked for on purpose
    QPushButton* send = makeButton(QStringLiteral("发送"), group);
    send->setObjectName(QStringLiteral("sendKeyCount"));
    connect(send, &QPushButton::clicked, this, &OtherSettingsPage::sendKeyCount);
    row->addWidget(m_keyCount);
    row->addWidget(send);
    row->addStretch(1);
    return group;
}

QWidget* OtherSettingsPage::buildSwitchTest() {
    QGroupBox* group = makeGroup(QStringLiteral("测试开关继电器和背光"), this);
    QGridLayout* grid = makeGroupGrid(group);
    for (int k = 0; k < static_cast<int>(m_relayButtons.size()); ++k) {
        ColorButton* button = makeFlagButton(QStringLiteral("继电器%1").arg(k + 1), group);
        button->setObjectName(QStringLiteral("testRelay%1").arg(k + 1));
        m_relayButtons[static_cast<std::size_t>(k)] = button;
        grid->addWidget(button, 0, k);
        connect(button, &QPushButton::clicked, this, [this, k] { toggleRelay(k); });
    }
    for (int k = 0; k < static_cast<int>(m_backlightButtons.size()); ++k) {
        ColorButton* button = makeFlagButton(QStringLiteral("背光%1").arg(k + 1), group);
        button->setObjectName(QStringLiteral("testBacklight%1").arg(k + 1));
        m_backlightButtons[static_cast<std::size_t>(k)] = button;
        grid->addWidget(button, 1, k);
        connect(button, &QPushButton::clicked, this, [this, k] { toggleBacklight(k); });
    }
    QPushButton* allRelays = makeButton(QStringLiteral("全开全关"), group);
    allRelays->setObjectName(QStringLiteral("allRelays"));
    grid->addWidget(allRelays, 0, 6);
    connect(allRelays, &QPushButton::clicked, this, &OtherSettingsPage::toggleAllRelays);
    QPushButton* allBacklights = makeButton(QStringLiteral("全开全关"), group);
    allBacklights->setObjectName(QStringLiteral("allBacklights"));
    grid->addWidget(allBacklights, 1, 6);
    connect(allBacklights, &QPushButton::clicked, this, &OtherSettingsPage::toggleAllBacklights);
    QPushButton* send = makeButton(QStringLiteral("发送"), group);
    send->setObjectName(QStringLiteral("sendSwitchTest"));
    grid->addWidget(send, 2, 6);
    connect(send, &QPushButton::clicked, this, [this] {
        m_context.sendCommand(protocol::switchTestFrame(m_relays, m_backlights),
                              QStringLiteral("测试开关继电器和背光"));
    });
    showFlags();
    return group;
}

QWidget* OtherSettingsPage::buildCommands() {
    QGroupBox* group = makeGroup(QStringLiteral("常用控制"), this);
    QGridLayout* grid = makeGroupGrid(group);
    struct Command {
        const char* caption;
        protocol::Bytes frame;
    };
    const Command commands[] = {
        {"开空调", protocol::airConditionerPowerFrame(true)},
        {"关空调", protocol::airConditionerPowerFrame(false)},
        {"开窗帘", protocol::curtainFrame(true)},
        {"关窗帘", protocol::curtainFrame(false)},
        {"通电", protocol::powerFrame(true)},
        {"断电", protocol::powerFrame(false)},
    };
    int at = 0;
    for (const Command& command : commands) {
        QPushButton* button = makeButton(QString::fromUtf8(command.caption), group);
        grid->addWidget(button, at / 2, at % 2);
        ++at;
        connect(button, &QPushButton::clicked, this,
                [this, frame = command.frame, what = button->text()] {
                    m_context.sendCommand(frame, what);
                });
    }
    QPushButton* clear = makeButton(QStringLiteral("清除所有开关数据"), group);
    grid->addWidget(clear, 3, 0, 1, 2);
    connect(clear, &QPushButton::clicked, this, &OtherSettingsPage::clearAllSwitches);
    grid->setColumnStretch(2, 1);
    return group;
}

void OtherSettingsPage::sendCodeLibrary() {
    if (!requirePort(m_context)) return;
    const int type = m_libraryType->currentIndex();
    if (type < 1) {
        m_context.prompter().information(QStringLiteral("请选择码库类型!"),
                                         platform::defaultCaption());
        return;
    }
    // The code goes out as two bytes; anything else would be cut silently.
    bool isNumber = false;
    const int code = m_code->text().trimmed().toInt(&isNumber, 10);
    if (!isNumber || code < 0 || code > kMaxCode) {
        m_context.prompter().information(kBadCodeText, platform::defaultCaption());
        return;
    }
    const int device = std::max(0, m_libraryDevice->currentIndex());
    sendOrRefuse(m_context, protocol::irCodeLibraryFrame(device, type, code),
                 QStringLiteral("请选择码库类型!"),
                 QStringLiteral("发送红外码库 %1 设备%2")
                     .arg(m_libraryType->currentText(), m_libraryDevice->currentText()));
}

void OtherSettingsPage::sendKeyCount() {
    if (!requirePort(m_context)) return;
    const int item = m_keyCount->currentIndex();
    std::optional<std::uint8_t> value;
    if (item >= 0 && item < static_cast<int>(protocol::kKeyCountItems.size()))
        value = protocol::kKeyCountItems[static_cast<std::size_t>(item)].value;
    sendOrRefuse(m_context, protocol::keyCountFrame(value), kChooseKeyCountText,
                 QStringLiteral("修改键数 ") + m_keyCount->currentText());
}

void OtherSettingsPage::clearAllSwitches() {
    if (!requirePort(m_context)) return;
    const platform::Answer answer = m_context.prompter().question(
        QStringLiteral("是否清除全部配置数据?"), platform::kQuestionCaption,
        platform::QuestionButtons::OkCancel);
    if (answer != platform::Answer::Ok) return;
    // The long clear frame for every device, whatever the system type.
    m_context.sendCommand(protocol::clearAllFrame(), QStringLiteral("清除所有开关数据"));
}

void OtherSettingsPage::toggleRelay(int k) {
    m_relays[static_cast<std::size_t>(k)] = !m_relays[static_cast<std::size_t>(k)];
    showFlags();
}

void OtherSettingsPage::toggleBacklight(int k) {
    m_backlights[static_cast<std::size_t>(k)] = !m_backlights[static_cast<std::size_t>(k)];
    showFlags();
}

void OtherSettingsPage::toggleAllRelays() {
    m_allRelays = !m_allRelays;
    m_relays.fill(m_allRelays);
    showFlags();
}

void OtherSettingsPage::toggleAllBacklights() {
    m_allBacklights = !m_allBacklights;
    m_backlights.fill(m_allBacklights);
    showFlags();
}

void OtherSettingsPage::showFlags() {
    for (std::size_t k = 0; k < m_relayButtons.size(); ++k)
        paintFlag(m_relayButtons[k], m_relays[k]);
    for (std::size_t k = 0; k < m_backlightButtons.size(); ++k)
        paintFlag(m_backlightButtons[k], m_backlights[k]);
}

}  // namespace room::gui
