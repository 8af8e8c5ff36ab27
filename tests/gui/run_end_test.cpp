// How the console's runs end, as an installer on site reads the screen: a send all nobody took
// never looks like a clean one (status, result bar, wiring badges), nothing is sent from a room
// type without devices, "本次差异" names lamps and keeps every line readable, and the page's
// selection controls act however they are toggled. Over the simulated bus, with real timers.

#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>

#include "gui/console/switch_panel_page.h"
#include "support/editor_finders.h"
#include "support/sim_console.h"

using namespace room::testing;
using room::commissioning::Badge;

namespace {

constexpr int kRunTimeoutMs = 60000;

// The example's console with the simulated bus chosen, as the installer chooses it.
struct RunConsole : ConsoleFixture {
    explicit RunConsole(bool example = true) : ConsoleFixture(example) {
        auto* ports = byName<PortComboBox>(window.get(), QStringLiteral("串口选择:"));
        choose(ports, ports->findText(room::gui::kSimulatedBusText));
    }
    void press(const QString& caption) {
        QTest::mouseClick(buttonCaptioned(window.get(), caption), Qt::LeftButton);
    }
    void runToEnd(const QString& caption) {
        press(caption);
        QTRY_VERIFY_WITH_TIMEOUT(idle(), kRunTimeoutMs);
    }
    QProgressBar* resultBar() {
        return byName<QProgressBar>(window.get(), QStringLiteral("运行结果"));
    }
    room::gui::SwitchPanelPage* page() {
        return qobject_cast<room::gui::SwitchPanelPage*>(window->tabs()->widget(0));
    }
    // Only the devices up to `last` take part, so silent runs stay short.
    void selectUpTo(int last) {
        for (int device = 2; device <= 32; ++device)
            document.room.selected[device] = device <= last ? 1 : 0;
    }
};

}  // namespace

class RunEndTest : public QObject {
    Q_OBJECT

private slots:
    void sendAllEndsAsItWent_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("badge");
        QTest::newRow("nothing attached") << true << true << "下发所有结束: 3个中0个应答"
                                          << "发送完成   3个中0个应答" << int(Badge::NoAnswer);
        QTest::newRow("every device took it") << false << false << "下发所有结束: 处理3/3个, 应答3个"
                                              << "发送完成" << int(Badge::Sent);
    }
    void sendAllEndsAsItWent() {
        QFETCH(bool, silent);
        QFETCH(bool, warning);
        QFETCH(QString, bar);
        QFETCH(QString, status);
        QFETCH(int, badge);
        RunConsole console;
        console.selectUpTo(3);
        for (int device = 1; device <= 7; ++device) console.link->bus().faults(device).silent = silent;
        console.runToEnd(QStringLiteral("下发所有"));
        QProgressBar* result = console.resultBar();
        QVERIFY(result);
        QVERIFY2(result->text().startsWith(bar), qPrintable(result->text()));
        QCOMPARE(result->property("warning").toBool(), warning);
        QCOMPARE(console.window->statusLine(), status);
        for (int device = 1; device <= 3; ++device)
            QCOMPARE(int(console.page()->badge(device)), badge);
        QCOMPARE(int(console.page()->badge(4)), int(Badge::None));  // not served
    }

    // The start-up room type has no device in use: device 1 would get an all-zero configuration.
    void nothingIsSentFromAnEmptyRoomType() {
        RunConsole console(false);
        console.press(QStringLiteral("下发所有"));
        QCOMPARE(console.prompter.texts().size(), 1);
        QVERIFY(console.prompter.texts().first().startsWith(QStringLiteral("房型中没有在用的设备")));
        QVERIFY(!console.window->context().engine().runActive());
        QTest::qWait(200);
        QVERIFY(console.link->bus().takeEvents().empty());
    }

    // A key and a relay that differ, in the device's words and in lamp names, each line whole.
    void differencesNameLamps() {
        RunConsole console;
        console.selectUpTo(2);
        room::model::RoomTypeConfig& room = console.document.room;
        const int key = room.devices[2].inputs[0];
        const int relay = room.devices[2].outputs[1];
        room::model::setInput(room, 2, 0, 10);
        room::model::setOutput(room, 2, 1, 13);
        console.runToEnd(QStringLiteral("校验所有"));
        auto* list = byName<QListWidget>(console.window.get(), QStringLiteral("本次差异"));
        QVERIFY(list);
        QVERIFY(list->wordWrap());
        auto entry = [&room](int lamp) {
            return QString::fromStdString(room::model::channelEntryText(room, lamp));
        };
        auto hex = [](int value) {
            return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
        };
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(),
                 QStringLiteral("02号: 按键第01个数据异常 0A %1 \n按键1: 应为%2, 实为%3")
                     .arg(hex(key), entry(10), entry(key)));
        QCOMPARE(list->item(1)->text(),
                 QStringLiteral("02号: 继电器第02个数据异常 0D %1 \n继电器2: 应为%2, 实为%3")
                     .arg(hex(relay), entry(13), entry(relay)));
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->toolTip(), list->item(i)->text());
        QVERIFY(console.resultBar()->property("warning").toBool());
    }

    // A screen reader or the keyboard toggles without a click: the engine follows all the same.
    void selectionFollowsToggles() {
        RunConsole console;
        room::gui::SwitchPanelPage* page = console.page();
        auto* select3 = byName<QAbstractButton>(page, QStringLiteral("3#参与发送"));
        QVERIFY(select3);
        select3->setChecked(!select3->isChecked());
        QCOMPARE(console.document.room.selected[3] != 0, select3->isChecked());
        auto* all = shownButton(page, QStringLiteral("全选"));
        all->setChecked(true);
        for (int device = 1; device <= 16; ++device) QCOMPARE(console.document.room.selected[device], 1);
        all->setChecked(false);
        for (int device = 1; device <= 16; ++device) QCOMPARE(console.document.room.selected[device], 0);
        shownButton(page, QStringLiteral("校验配置"))->setChecked(true);
        QCOMPARE(console.window->context().engine().pageOperation(),
                 room::commissioning::PageOperation::Verify);
        shownButton(page, QStringLiteral("按任意键执行"))->setChecked(true);
        QCOMPARE(console.window->context().engine().execution(),
                 room::commissioning::Execution::AnyKey);
    }
};

QTEST_MAIN(RunEndTest)
#include "run_end_test.moc"
