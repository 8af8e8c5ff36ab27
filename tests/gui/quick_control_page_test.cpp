// The console's "设备控制" page: what its lists hold for the example room type and what each
// list item and button puts on the bus.

#include "gui/console/quick_control_page.h"

#include "test_page_fixture.h"

using namespace room::testing;
using room::gui::QuickControlPage;

class QuickControlPageTest : public QObject {
    Q_OBJECT

private slots:
    void quickControlLists();
    void quickControlFrames_data();
    void quickControlFrames();
    void thermostatIndex();
};

void QuickControlPageTest::quickControlLists() {
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

void QuickControlPageTest::quickControlFrames_data() {
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

void QuickControlPageTest::quickControlFrames() {
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

void QuickControlPageTest::thermostatIndex() {
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

QTEST_MAIN(QuickControlPageTest)
#include "quick_control_page_test.moc"
