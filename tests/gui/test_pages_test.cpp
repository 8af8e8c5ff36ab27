// The console's three test pages: what each button and list puts on the bus, byte for byte,
// and what the installer is told when a send cannot go out.

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>

#include "core/format/shd_file.h"
#include "gui/console/console_context.h"
#include "gui/console/infrared_page.h"
#include "gui/console/other_settings_page.h"
#include "gui/console/quick_control_page.h"
#include "gui/toolkit/color_button.h"
#include "platform/simulated_link.h"
#include "support/recording_prompter.h"

using room::gui::ConsoleContext;
using room::gui::InfraredPage;
using room::gui::OtherSettingsPage;
using room::gui::QuickControlPage;
using room::platform::Answer;
using Frame = QList<int>;

namespace {

// Everything the console writes, frame by frame.
class RecordingLink : public room::platform::SerialLink {
public:
    QList<QByteArray> writes;
    bool open(const QString&) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override {
        writes << bytes;
        return m_open;
    }
    QString errorString() const override { return {}; }

private:
    bool m_open = false;
};

// A short frame from its command bytes (index 1..14), built the way the devices check it:
// 0xF0, the bytes, the low 8 bits of the sum of bytes 0..14, 0x0F.
Frame shortFrame(const std::map<int, int>& bytes) {
    Frame frame(17, 0);
    frame[0] = 0xF0;
    for (auto [at, value] : bytes) frame[at] = value;
    int sum = 0;
    for (int i = 0; i < 15; ++i) sum += frame[i];
    frame[15] = sum & 0xFF;
    frame[16] = 0x0F;
    return frame;
}

Frame hex(const char* text) {
    Frame frame;
    for (const QByteArray& part : QByteArray(text).split(' ')) frame << part.toInt(nullptr, 16);
    return frame;
}

Frame toFrame(const QByteArray& bytes) {
    Frame frame;
    for (char c : bytes) frame << static_cast<unsigned char>(c);
    return frame;
}

struct Console {
    room::gui::RoomDocument document;
    room::testing::RecordingPrompter prompter;
    RecordingLink* link = nullptr;
    std::unique_ptr<ConsoleContext> context;

    explicit Console(bool openPort = true) {
        context = std::make_unique<ConsoleContext>(
            document, prompter, [this](const room::gui::PortChoice&, const auto&) {
                auto made = std::make_unique<RecordingLink>();
                link = made.get();
                return made;
            });
        if (openPort) {
            context->choosePort({QStringLiteral("ttyUSB0 test"), QStringLiteral("ttyUSB0"), false});
            link->writes.clear();
        }
    }
    QList<Frame> sent() const {
        QList<Frame> frames;
        if (link)
            for (const QByteArray& bytes : link->writes) frames << toFrame(bytes);
        return frames;
    }
    void clearSent() {
        if (link) link->writes.clear();
    }
};

void loadExample(room::model::RoomTypeConfig& room) {
    QFile file(QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto result = room::format::readRoomTypeFile(bytes.toStdString(), room);
    QVERIFY(!result.refused());
}

// The one button of `parent` showing `text` (inside the group `group` when given).
QPushButton* button(QWidget* parent, const QString& text, const QString& group = {}) {
    QWidget* scope = parent;
    if (!group.isEmpty()) {
        for (QGroupBox* box : parent->findChildren<QGroupBox*>())
            if (box->title() == group) scope = box;
        if (scope == parent) return nullptr;
    }
    QPushButton* found = nullptr;
    for (QPushButton* candidate : scope->findChildren<QPushButton*>()) {
        if (candidate->text() != text) continue;
        if (found) return nullptr;  // ambiguous
        found = candidate;
    }
    return found;
}

QPushButton* named(QWidget* parent, const QString& name) {
    return parent->findChild<QPushButton*>(name);
}

QComboBox* list(QWidget* parent, const QString& name) {
    return parent->findChild<QComboBox*>(name);
}

// As the installer picks an item: activated comes even when the item was already shown.
void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList items(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

const QString kChoosePort = QStringLiteral("请选择串口!");

}  // namespace

class TestPagesTest : public QObject {
    Q_OBJECT

private slots:
    void infraredButtons_data();
    void infraredButtons();
    void infraredLiteralFrames();
    void quickControlLists();
    void quickControlFrames_data();
    void quickControlFrames();
    void thermostatIndex();
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

void TestPagesTest::quickControlLists() {
    Console console;
    loadExample(console.document.room);
    QuickControlPage page(*console.context);

    QStringList low{QStringLiteral("010.廊灯"), QStringLiteral("011.卫浴灯")};
    const char* lowNames[] = {"夜灯",     "射灯",   "顶灯",   "灯带",   "筒灯",   "吊灯",
                              "吧台灯",   "阅读灯", "左阅读", "右阅读", "镜前灯", "左床头灯",
                              "右床头灯", "书桌灯", "淋浴灯", "床头灯", "衣柜灯", "氛围灯"};
    for (int lamp = 13; lamp <= 30; ++lamp)
        low << QStringLiteral("%1.").arg(lamp, 3, 10, QLatin1Char('0')) +
                   QString::fromUtf8(lowNames[lamp - 13]);
    low << QStringLiteral("002.字灯") << QStringLiteral("003.请勿打扰")
        << QStringLiteral("004.请即清理") << QStringLiteral("005.请求服务")
        << QStringLiteral("006.请稍侯") << QStringLiteral("007.预约退房")
        << QStringLiteral("008.紧急呼叫(SOS)") << QStringLiteral("009.洗衣服务")
        << QStringLiteral("012.换气扇");
    QCOMPARE(items(list(&page, QStringLiteral("lowLights"))), low);

    const QStringList middle = items(list(&page, QStringLiteral("middleLights")));
    QCOMPARE(middle.size(), 19 + 6);  // 31..49, then the dimmers 70..75
    QCOMPARE(middle.first(), QStringLiteral("031.背景灯"));
    QCOMPARE(middle[18], QStringLiteral("049.新风"));
    QCOMPARE(middle[19], QStringLiteral("070.床头调光灯"));
    QCOMPARE(middle.last(), QStringLiteral("075.侧卧调光"));

    const QStringList high = items(list(&page, QStringLiteral("otherLights")));
    QCOMPARE(high.size(), 24);
    QCOMPARE(high.first(), QStringLiteral("106.灯光1"));
    QCOMPARE(high.last(), QStringLiteral("159.灯光24"));

    const QStringList curtains{QStringLiteral("080.窗帘开"),   QStringLiteral("082.窗纱开"),
                               QStringLiteral("084.浴帘开"),   QStringLiteral("086.副窗帘开"),
                               QStringLiteral("088.副窗纱开"), QStringLiteral("192.浴帘开"),
                               QStringLiteral("194.窗帘2开"),  QStringLiteral("196.窗帘1开"),
                               QStringLiteral("198.主窗纱开"), QStringLiteral("200.窗纱2开"),
                               QStringLiteral("202.窗纱1开"),  QStringLiteral("204.幕布降"),
                               QStringLiteral("206.投影降")};
    QCOMPARE(items(list(&page, QStringLiteral("curtains"))), curtains);
    const QStringList actions{QStringLiteral("01.打开"),     QStringLiteral("02.关闭"),
                              QStringLiteral("03.停止"),     QStringLiteral("04.设置换向"),
                              QStringLiteral("05.设置慢速"), QStringLiteral("06.设置中速"),
                              QStringLiteral("07.设置快速")};
    QCOMPARE(items(list(&page, QStringLiteral("curtainActions"))), actions);

    const QStringList modes = items(list(&page, QStringLiteral("modes")));
    QCOMPARE(modes.size(), 24);
    QCOMPARE(modes.first(), QStringLiteral("050.睡眠模式"));
    QCOMPARE(modes[8], QStringLiteral("168.会客模式"));
    QCOMPARE(modes.last(), QStringLiteral("191.晚上入住模式"));

    QCOMPARE(items(list(&page, QStringLiteral("thermostats"))),
             (QStringList{"1#", "2#", "3#", "4#", "5#"}));
    const QStringList degrees = items(list(&page, QStringLiteral("temperatures")));
    QCOMPARE(degrees.size(), 17);
    QCOMPARE(degrees.first(), QStringLiteral("16"));
    QCOMPARE(degrees.last(), QStringLiteral("32"));

    for (QComboBox* box : page.findChildren<QComboBox*>())
        QVERIFY2(box->currentIndex() == 0, qPrintable(box->objectName()));
}

void TestPagesTest::quickControlFrames_data() {
    QTest::addColumn<QString>("control");  // a button, or "list:index" to choose an item
    QTest::addColumn<QString>("curtain");  // curtain item chosen first (index), or empty
    QTest::addColumn<Frame>("frame");
    auto light = [](int lamp, int action) {
        return shortFrame({{1, 0xDD}, {2, lamp}, {3, action}, {4, 1}, {10, 1}, {11, 1}});
    };
    auto curtain = [](int lamp, int action, int byte5) {
        return shortFrame(
            {{1, 0xDD}, {2, lamp}, {3, action}, {4, 1}, {5, byte5}, {10, 1}, {11, 6}});
    };
    QTest::newRow("10-30 on first item") << "lowLightsOn"
                                         << "" << light(10, 1);
    QTest::newRow("10-30 off first item") << "lowLightsOff"
                                          << "" << light(10, 2);
    QTest::newRow("31-79 on") << "middleLightsOn"
                              << "" << light(31, 1);
    QTest::newRow("other off") << "otherLightsOff"
                               << "" << light(106, 2);
    QTest::newRow("01.打开 080") << "curtainActions:0"
                                 << "" << curtain(80, 1, 0);
    QTest::newRow("02.关闭 080") << "curtainActions:1"
                                 << "" << curtain(81, 1, 0);
    QTest::newRow("01.打开 082") << "curtainActions:0"
                                 << "1" << curtain(82, 1, 0);
    QTest::newRow("02.关闭 192") << "curtainActions:1"
                                 << "5" << curtain(193, 1, 0);
    QTest::newRow("03.停止 206") << "curtainActions:2"
                                 << "12" << curtain(206, 3, 0);
    QTest::newRow("04.设置换向") << "curtainActions:3"
                                 << "" << curtain(80, 5, 1);
    QTest::newRow("05.设置慢速") << "curtainActions:4"
                                 << "" << curtain(80, 5, 6);
    QTest::newRow("06.设置中速") << "curtainActions:5"
                                 << "" << curtain(80, 5, 7);
    QTest::newRow("07.设置快速") << "curtainActions:6"
                                 << "" << curtain(80, 5, 8);
    QTest::newRow("mode 050") << "modes:0"
                              << "" << light(50, 1);
    QTest::newRow("mode 168") << "modes:8"
                              << "" << light(168, 1);
    QTest::newRow("mode 191") << "modes:23"
                              << "" << light(191, 1);
    auto ac = [](int flagAt, int value, int index) {
        return shortFrame({{1, 0x55}, {flagAt, 1}, {flagAt + 1, value}, {11, 3}, {14, index}});
    };
    QTest::newRow("关空调") << "关空调"
                            << "" << ac(2, 0, 0);
    QTest::newRow("制热") << "制热"
                          << "" << ac(4, 1, 0);
    QTest::newRow("制冷") << "制冷"
                          << "" << ac(4, 2, 0);
    QTest::newRow("通风") << "通风"
                          << "" << ac(4, 3, 0);
    QTest::newRow("低速") << "低速"
                          << "" << ac(8, 1, 0);
    QTest::newRow("中速") << "中速"
                          << "" << ac(8, 2, 0);
    QTest::newRow("高速") << "高速"
                          << "" << ac(8, 3, 0);
    QTest::newRow("自动") << "自动"
                          << "" << ac(8, 4, 0);
    QTest::newRow("thermostat 1#") << "thermostats:0"
                                   << "" << ac(2, 1, 0);
    QTest::newRow("thermostat 5#") << "thermostats:4"
                                   << "" << ac(2, 1, 4);
    QTest::newRow("16 degrees") << "temperatures:0"
                                << "" << ac(6, 16, 0);
    QTest::newRow("25 degrees") << "temperatures:9"
                                << "" << ac(6, 25, 0);
    QTest::newRow("32 degrees") << "temperatures:16"
                                << "" << ac(6, 32, 0);
}

void TestPagesTest::quickControlFrames() {
    QFETCH(QString, control);
    QFETCH(QString, curtain);
    QFETCH(Frame, frame);
    Console console;
    loadExample(console.document.room);
    QuickControlPage page(*console.context);
    // Picking a curtain sends nothing by itself.
    if (!curtain.isEmpty()) choose(list(&page, QStringLiteral("curtains")), curtain.toInt());
    QVERIFY(console.sent().isEmpty());
    if (control.contains(QLatin1Char(':'))) {
        const QStringList parts = control.split(QLatin1Char(':'));
        choose(list(&page, parts[0]), parts[1].toInt());
    } else {
        QPushButton* pressed = named(&page, control);
        if (!pressed) pressed = button(&page, control);
        QVERIFY(pressed);
        QTest::mouseClick(pressed, Qt::LeftButton);
    }
    QCOMPARE(console.sent(), QList<Frame>{frame});
}

void TestPagesTest::thermostatIndex() {
    Console console;
    QuickControlPage page(*console.context);
    auto heat = [](int index) {
        return shortFrame({{1, 0x55}, {4, 1}, {5, 1}, {11, 3}, {14, index}});
    };
    QTest::mouseClick(button(&page, QStringLiteral("制热")), Qt::LeftButton);
    QCOMPARE(console.sent().value(0).value(14), 0);
    QCOMPARE(console.sent().value(0), heat(0));
    console.clearSent();

    QComboBox* thermostats = list(&page, QStringLiteral("thermostats"));
    choose(thermostats, 2);  // "3#"
    choose(thermostats, 2);  // the same item again sends again
    QTest::mouseClick(button(&page, QStringLiteral("制热")), Qt::LeftButton);
    QTest::mouseClick(button(&page, QStringLiteral("关空调")), Qt::LeftButton);
    choose(list(&page, QStringLiteral("temperatures")), 4);
    const Frame select = shortFrame({{1, 0x55}, {2, 1}, {3, 1}, {11, 3}, {14, 2}});
    const QList<Frame> expected{select, select, heat(2),
                                shortFrame({{1, 0x55}, {2, 1}, {11, 3}, {14, 2}}),
                                shortFrame({{1, 0x55}, {6, 1}, {7, 20}, {11, 3}, {14, 2}})};
    QCOMPARE(console.sent(), expected);
    QCOMPARE(console.sent().value(0).value(14), 2);
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
