// The console's infrared and other-settings pages, and all three test pages without a port: what
// each button puts on the bus, byte for byte, and what the installer is told when a send cannot
// go out.

#include <QLineEdit>

#include "gui/console/infrared_page.h"
#include "gui/console/other_settings_page.h"
#include "gui/console/quick_control_page.h"
#include "gui/toolkit/color_button.h"
#include "platform/simulated_link.h"
#include "test_page_fixture.h"

using namespace room::testing;
using room::gui::InfraredPage;
using room::gui::OtherSettingsPage;
using room::gui::QuickControlPage;
using room::platform::Answer;

class TestPagesTest : public QObject {
    Q_OBJECT

private slots:
    void infraredButtons_data();
    void infraredButtons();
    void infraredLiteralFrames();
    void otherSettingsFrames_data();
    void otherSettingsFrames();
    void codeLibraryRefusals_data();
    void codeLibraryRefusals();
    void keyCountNeedsChoice();
    void clearAllSwitchData();
    void relayAndBacklightToggles();
    void noPortSendsNothing_data();
    void noPortSendsNothing();
    void framesReachSimulatedBus();
};

void TestPagesTest::infraredButtons_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Frame>("frame");
    const QString ac = QStringLiteral("发送空调红外");
    auto acRow = [&](const char* text, int flagAt, int value) {
        QTest::newRow(text) << ac << QString::fromUtf8(text)
                            << shortFrame({{1, 0x55}, {flagAt, 1}, {flagAt + 1, value}, {11, 3}});
    };
    acRow("打开空调", 2, 1);
    acRow("关闭空调", 2, 2);
    acRow("制热", 4, 1);
    acRow("制冷", 4, 2);
    acRow("通风", 4, 3);
    acRow("低速", 8, 1);
    acRow("中速", 8, 2);
    acRow("高速", 8, 3);
    for (int degrees = 16; degrees <= 30; ++degrees) {
        const QByteArray text = QStringLiteral("%1度").arg(degrees).toUtf8();
        acRow(text.constData(), 6, degrees);
    }
    const QString tv = QStringLiteral("发送电视红外");
    auto tvRow = [&](const char* text, int key) {
        QTest::newRow(text)
            << tv << QString::fromUtf8(text)
            << shortFrame({{1, 0xDD}, {2, 0x41}, {3, key}, {11, 0x0B}, {12, 0x12}, {13, 0x34}});
    };
    const std::pair<const char*, int> keys[] = {
        {"开机", 0x01},  {"关机", 0x02}, {"频道+", 0x03}, {"频道-", 0x04}, {"音量+", 0x05},
        {"音量-", 0x06}, {"向上", 0x07}, {"向左", 0x08},  {"向右", 0x09},  {"向下", 0x0A},
        {"静音", 0x0B},  {"确认", 0x0C}, {"返回", 0x0D},  {"0", 0x10},     {"1", 0x11},
        {"2", 0x12},     {"3", 0x13},    {"4", 0x14},     {"5", 0x15},     {"6", 0x16},
        {"7", 0x17},     {"8", 0x18},    {"9", 0x19},
    };
    for (auto [text, key] : keys) tvRow(text, key);
}

void TestPagesTest::infraredButtons() {
    QFETCH(QString, group);
    QFETCH(QString, text);
    QFETCH(Frame, frame);
    Console console;
    InfraredPage page(*console.context);
    QPushButton* pressed = button(&page, text, group);
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(console.sent(), QList<Frame>{frame});
    QVERIFY(console.prompter.records().isEmpty());
}

void TestPagesTest::infraredLiteralFrames() {
    Console console;
    InfraredPage page(*console.context);
    QTest::mouseClick(button(&page, QStringLiteral("打开空调")), Qt::LeftButton);
    QTest::mouseClick(button(&page, QStringLiteral("开机")), Qt::LeftButton);
    QTest::mouseClick(button(&page, QStringLiteral("30度")), Qt::LeftButton);
    const QList<Frame> expected{hex("F0 55 01 01 00 00 00 00 00 00 00 03 00 00 00 4A 0F"),
                                hex("F0 DD 41 01 00 00 00 00 00 00 00 0B 12 34 00 60 0F"),
                                hex("F0 55 00 00 00 00 01 1E 00 00 00 03 00 00 00 67 0F")};
    QCOMPARE(console.sent(), expected);
}
void TestPagesTest::otherSettingsFrames_data() {
    QTest::addColumn<QString>("control");  // object name or button text
    QTest::addColumn<QString>("setup");    // "list=index" or "code=text", comma-separated
    QTest::addColumn<Frame>("frame");
    auto sw = [](int number) {
        return shortFrame({{1, 0xDD}, {2, number}, {3, 1}, {4, 1}, {10, 1}, {11, 1}});
    };
    QTest::newRow("取电断电延时") << "下发取电断电延时"
                                  << "" << shortFrame({{1, 0xB3}, {3, 45}, {10, 1}, {11, 1}});
    QTest::newRow("码库 空调 00 code 0")
        << "sendIrLibrary"
        << "irLibraryType=1,code=0"
        << shortFrame({{1, 0xAA}, {2, 0x55}, {3, 0xAA}, {4, 0x55}, {6, 1}});
    QTest::newRow("码库 电视 04 code 4660")
        << "sendIrLibrary"
        << "irLibraryType=3,irLibraryDevice=4,code= 4660 "
        << shortFrame(
               {{1, 0xAA}, {2, 0x55}, {3, 0xAA}, {4, 0x55}, {5, 4}, {6, 3}, {7, 0x12}, {8, 0x34}});
    QTest::newRow("码库 机顶盒 02 code 65535")
        << "sendIrLibrary"
        << "irLibraryType=2,irLibraryDevice=2,code=65535"
        << shortFrame(
               {{1, 0xAA}, {2, 0x55}, {3, 0xAA}, {4, 0x55}, {5, 2}, {6, 2}, {7, 0xFF}, {8, 0xFF}});
    QTest::newRow("红外编号 00") << "设置红外编号"
                                 << "" << shortFrame({{1, 0x6A}, {2, 0xA6}, {3, 0x6A}, {4, 0xA6}});
    QTest::newRow("红外编号 03") << "设置红外编号"
                                 << "irNumber=3"
                                 << shortFrame(
                                        {{1, 0x6A}, {2, 0xA6}, {3, 0x6A}, {4, 0xA6}, {5, 3}});
    QTest::newRow("匹配空调") << "匹配空调"
                              << "" << shortFrame({{1, 0xA5}, {2, 1}});
    QTest::newRow("匹配电视开关机") << "匹配电视开关机"
                                    << "" << shortFrame({{1, 0xA5}, {2, 2}});
    QTest::newRow("USB透传模块退网") << "USB透传模块退网"
                                     << "" << shortFrame({{1, 0xFA}, {2, 0xFB}});
    const int keyValues[] = {0, 0xFF, 1, 2, 3, 4, 5, 6};
    for (int item = 0; item < 8; ++item) {
        const QByteArray name = QStringLiteral("键数 item %1").arg(item).toUtf8();
        QTest::newRow(name.constData())
            << "sendKeyCount" << QStringLiteral("keyCount=%1").arg(item)
            << shortFrame({{1, 0xFE}, {2, 0xEF}, {3, 0xEF}, {4, 0xFE}, {5, keyValues[item]}});
    }
    QTest::newRow("继电器和背光 none")
        << "sendSwitchTest"
        << "" << shortFrame({{1, 0xFE}, {2, 0xEF}, {3, 0xED}, {4, 0xDE}});
    QTest::newRow("开空调") << "开空调"
                            << "" << shortFrame({{1, 0x55}, {2, 1}, {3, 1}, {11, 3}});
    QTest::newRow("关空调") << "关空调"
                            << "" << shortFrame({{1, 0x55}, {2, 1}, {3, 2}, {11, 3}});
    QTest::newRow("开窗帘") << "开窗帘"
                            << "" << sw(0x50);
    QTest::newRow("关窗帘") << "关窗帘"
                            << "" << sw(0x51);
    QTest::newRow("通电") << "通电"
                          << "" << sw(0x38);
    QTest::newRow("断电") << "断电"
                          << "" << sw(0x39);
}

void TestPagesTest::otherSettingsFrames() {
    QFETCH(QString, control);
    QFETCH(QString, setup);
    QFETCH(Frame, frame);
    Console console;
    console.document.room.cardOutDelay = 45;
    OtherSettingsPage page(*console.context);
    for (const QString& step : setup.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString key = step.section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        if (key == QLatin1String("code")) {
            page.findChild<QLineEdit*>(QStringLiteral("irCode"))->setText(value);
        } else {
            QComboBox* box = list(&page, key);
            QVERIFY(box);
            box->setCurrentIndex(value.toInt());
        }
    }
    QPushButton* pressed = named(&page, control);
    if (!pressed) pressed = button(&page, control);
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(console.prompter.texts(), QStringList{});
    QCOMPARE(console.sent(), QList<Frame>{frame});
}

void TestPagesTest::codeLibraryRefusals_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    const QString chooseType = QStringLiteral("请选择码库类型!");
    const QString badCode = QStringLiteral("编码须为0到65535之间的整数!");
    QTest::newRow("no library type") << 0 << "12" << chooseType;
    QTest::newRow("no type, no code") << 0 << "" << chooseType;
    QTest::newRow("empty code") << 1 << "" << badCode;
    QTest::newRow("letters") << 1 << "abc" << badCode;
    QTest::newRow("digits then letters") << 2 << "12ab" << badCode;
    QTest::newRow("negative") << 3 << "-1" << badCode;
    QTest::newRow("above two bytes") << 3 << "65536" << badCode;
    QTest::newRow("far too big") << 3 << "99999999" << badCode;
}

void TestPagesTest::codeLibraryRefusals() {
    QFETCH(int, type);
    QFETCH(QString, code);
    QFETCH(QString, message);
    Console console;
    OtherSettingsPage page(*console.context);
    list(&page, QStringLiteral("irLibraryType"))->setCurrentIndex(type);
    page.findChild<QLineEdit*>(QStringLiteral("irCode"))->setText(code);
    QTest::mouseClick(named(&page, QStringLiteral("sendIrLibrary")), Qt::LeftButton);
    QCOMPARE(console.prompter.texts(), QStringList{message});
    QVERIFY(console.sent().isEmpty());
}

void TestPagesTest::keyCountNeedsChoice() {
    Console console;
    OtherSettingsPage page(*console.context);
    QComboBox* keyCount = list(&page, QStringLiteral("keyCount"));
    QCOMPARE(keyCount->currentIndex(), -1);
    QCOMPARE(items(keyCount),
             (QStringList{"配置按键数量", "退出配置", "直接配置成1键", "直接配置成2键",
                          "直接配置成3键", "直接配置成4键", "直接配置成5键", "直接配置成6键"}));
    QCOMPARE(items(list(&page, QStringLiteral("irLibraryType"))),
             (QStringList{"", "1.空调码库", "2.机顶盒码库", "3.电视码库"}));
    QCOMPARE(items(list(&page, QStringLiteral("irNumber"))),
             (QStringList{"00", "01", "02", "03", "04"}));
    QCOMPARE(list(&page, QStringLiteral("irLibraryType"))->currentIndex(), 0);
    QTest::mouseClick(named(&page, QStringLiteral("sendKeyCount")), Qt::LeftButton);
    QCOMPARE(console.prompter.texts(), QStringList{QStringLiteral("请选择按键数量!")});
    QVERIFY(console.sent().isEmpty());
}

void TestPagesTest::clearAllSwitchData() {
    Console console;
    console.document.room.systemType = 5;  // a short-frame system: the frame stays the long one
    OtherSettingsPage page(*console.context);
    QPushButton* clear = button(&page, QStringLiteral("清除所有开关数据"));
    QVERIFY(clear);

    console.prompter.answerNext(Answer::Cancel);
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(console.prompter.records().size(), 1);
    const auto& asked = console.prompter.records().first();
    QCOMPARE(asked.kind, room::testing::PromptRecord::Kind::Question);
    QCOMPARE(asked.text, QStringLiteral("是否清除全部配置数据?"));
    QCOMPARE(asked.caption, QStringLiteral("询问..."));
    QCOMPARE(asked.buttons, room::platform::QuestionButtons::OkCancel);
    QVERIFY(console.sent().isEmpty());

    console.prompter.answerNext(Answer::Ok);
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(console.prompter.records().size(), 2);
    QCOMPARE(console.sent(), QList<Frame>{hex("F1 F4 00 00 04 09 F2 F3 F4")});
}

void TestPagesTest::relayAndBacklightToggles() {
    Console console;
    OtherSettingsPage page(*console.context);
    auto relay = [&](int k) {
        return page.findChild<room::gui::ColorButton*>(QStringLiteral("testRelay%1").arg(k));
    };
    auto backlight = [&](int k) {
        return page.findChild<room::gui::ColorButton*>(QStringLiteral("testBacklight%1").arg(k));
    };
    QCOMPARE(relay(1)->text(), QStringLiteral("继电器1"));
    QCOMPARE(backlight(6)->text(), QStringLiteral("背光6"));
    QVERIFY(!relay(5) && !backlight(7));
    auto isSet = [](room::gui::ColorButton* b) {
        return b->fillColor() == QColor(0, 240, 0) && b->effectiveTextColor() == QColor(Qt::black);
    };
    auto isClear = [](room::gui::ColorButton* b) {
        return b->fillColor() == QColor(Qt::black) && b->effectiveTextColor() == QColor(Qt::white);
    };
    for (int k = 1; k <= 4; ++k) QVERIFY(isClear(relay(k)));
    for (int k = 1; k <= 6; ++k) QVERIFY(isClear(backlight(k)));

    QPushButton* send = named(&page, QStringLiteral("sendSwitchTest"));
    auto test = [](int relays, int backlights) {
        return shortFrame(
            {{1, 0xFE}, {2, 0xEF}, {3, 0xED}, {4, 0xDE}, {5, relays}, {6, backlights}});
    };
    QTest::mouseClick(relay(2), Qt::LeftButton);
    QTest::mouseClick(relay(4), Qt::LeftButton);
    QTest::mouseClick(backlight(1), Qt::LeftButton);
    QTest::mouseClick(backlight(6), Qt::LeftButton);
    QVERIFY(isSet(relay(2)) && isSet(relay(4)) && isClear(relay(1)) && isSet(backlight(6)));
    QTest::mouseClick(send, Qt::LeftButton);
    QTest::mouseClick(relay(4), Qt::LeftButton);  // a second press clears
    QVERIFY(isClear(relay(4)));
    QTest::mouseClick(send, Qt::LeftButton);

    // "全开全关": the first press sets the whole row, whatever was set, the next clears it.
    QTest::mouseClick(named(&page, QStringLiteral("allRelays")), Qt::LeftButton);
    for (int k = 1; k <= 4; ++k) QVERIFY(isSet(relay(k)));
    QTest::mouseClick(send, Qt::LeftButton);
    QTest::mouseClick(named(&page, QStringLiteral("allBacklights")), Qt::LeftButton);
    QTest::mouseClick(send, Qt::LeftButton);
    QTest::mouseClick(named(&page, QStringLiteral("allRelays")), Qt::LeftButton);
    for (int k = 1; k <= 4; ++k) QVERIFY(isClear(relay(k)));
    for (int k = 1; k <= 6; ++k) QVERIFY(isSet(backlight(k)));
    QTest::mouseClick(send, Qt::LeftButton);
    QTest::mouseClick(named(&page, QStringLiteral("allBacklights")), Qt::LeftButton);
    QTest::mouseClick(send, Qt::LeftButton);

    const QList<Frame> expected{test(0x0A, 0x21), test(0x02, 0x21), test(0x0F, 0x21),
                                test(0x0F, 0x3F), test(0x00, 0x3F), test(0x00, 0x00)};
    QCOMPARE(console.sent(), expected);
    QVERIFY(console.prompter.records().isEmpty());
}

void TestPagesTest::noPortSendsNothing_data() {
    QTest::addColumn<int>("pageKind");  // 0 infrared, 1 quick control, 2 other settings
    QTest::addColumn<QString>("control");
    QTest::newRow("infrared 开机") << 0 << "开机";
    QTest::newRow("infrared 16度") << 0 << "16度";
    QTest::newRow("quick light on") << 1 << "lowLightsOn";
    QTest::newRow("quick curtain action") << 1 << "curtainActions:0";
    QTest::newRow("quick mode") << 1 << "modes:0";
    QTest::newRow("quick thermostat") << 1 << "thermostats:2";
    QTest::newRow("quick 关空调") << 1 << "关空调";
    QTest::newRow("quick temperature") << 1 << "temperatures:3";
    QTest::newRow("other 取电断电延时") << 2 << "下发取电断电延时";
    QTest::newRow("other 码库") << 2 << "sendIrLibrary";
    QTest::newRow("other 键数") << 2 << "sendKeyCount";
    QTest::newRow("other 继电器") << 2 << "sendSwitchTest";
    QTest::newRow("other 清除") << 2 << "清除所有开关数据";
    QTest::newRow("other 断电") << 2 << "断电";
}

void TestPagesTest::noPortSendsNothing() {
    QFETCH(int, pageKind);
    QFETCH(QString, control);
    Console console(false);
    loadExample(console.document.room);
    std::unique_ptr<QWidget> page;
    if (pageKind == 0) page = std::make_unique<InfraredPage>(*console.context);
    if (pageKind == 1) page = std::make_unique<QuickControlPage>(*console.context);
    if (pageKind == 2) page = std::make_unique<OtherSettingsPage>(*console.context);
    if (control.contains(QLatin1Char(':'))) {
        const QStringList parts = control.split(QLatin1Char(':'));
        choose(list(page.get(), parts[0]), parts[1].toInt());
    } else {
        QPushButton* pressed = named(page.get(), control);
        if (!pressed) pressed = button(page.get(), control);
        QVERIFY(pressed);
        QTest::mouseClick(pressed, Qt::LeftButton);
    }
    QCOMPARE(console.prompter.texts(), QStringList{kChoosePort});
    QVERIFY(console.link == nullptr);
}

void TestPagesTest::framesReachSimulatedBus() {
    room::gui::RoomDocument document;
    room::testing::RecordingPrompter prompter;
    room::platform::SimulatedLink* sim = nullptr;
    ConsoleContext context(
        document, prompter,
        [&](const room::gui::PortChoice&, const room::model::RoomTypeConfig& room) {
            auto link = std::make_unique<room::platform::SimulatedLink>(room);
            sim = link.get();
            return link;
        });
    QVERIFY(context.choosePort({QStringLiteral("SIM 模拟设备总线"), QString(), true}));
    InfraredPage infrared(context);
    OtherSettingsPage other(context);
    QTest::mouseClick(button(&infrared, QStringLiteral("静音")), Qt::LeftButton);
    prompter.answerNext(Answer::Ok);
    QTest::mouseClick(button(&other, QStringLiteral("清除所有开关数据")), Qt::LeftButton);

    QList<Frame> received;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (const auto& event : sim->bus().takeEvents())
                if (event.kind == room::simulator::BusEvent::Kind::Received)
                    received << Frame(event.bytes.begin(), event.bytes.end());
            return received.size() >= 2;
        }(),
        2000);
    const QList<Frame> expected{
        shortFrame({{1, 0xDD}, {2, 0x41}, {3, 0x0B}, {11, 0x0B}, {12, 0x12}, {13, 0x34}}),
        hex("F1 F4 00 00 04 09 F2 F3 F4")};
    QCOMPARE(received, expected);
}

QTEST_MAIN(TestPagesTest)
#include "test_pages_test.moc"
