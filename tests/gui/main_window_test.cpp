// The main window offscreen: start-up state, labelling, the logic demonstration, the hardware
// mirror over the simulated bus, the About entry and the editor hooks.

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "core/demo/demo_session.h"
#include "gui/main/demo_mirror.h"
#include "gui/main/demo_panel.h"
#include "gui/ports/port_combo_box.h"
#include "platform/simulated_link.h"
#include "support/window_fixture.h"

using namespace room;
using testing::WindowFixture;

namespace {
const QColor kOn(0, 255, 255);          // COLORREF 0x00FFFF00
const QColor kOff(10, 10, 10);          // 0x000A0A0A
const QColor kThird(0x8B, 0x7E, 0x66);  // 0x00667E8B

QString title(const char* rest) {
    return gui::baseTitle() + QString::fromUtf8(rest);
}

void showDemoRoom(WindowFixture& f) {
    f.document.room = testing::demoRoom();
    f.window->refresh();
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        gui::PortComboBox::setLister([] { return QList<gui::PortChoice>{}; });
        gui::PortComboBox::setSimulationOffered(false);
    }

    void startsWithBaseTitleAndHiddenDemo() {
        WindowFixture f;
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Tavrin-开关配置软件-标准版V1.6.2  "));
        for (int id : {1000, 1001, 1005})
            QVERIFY2(!f.button(id)->isHidden(), qPrintable(QString::number(id)));
        for (int id : {1002, 1003, 1004})
            QVERIFY2(f.button(id)->isHidden(), qPrintable(QString::number(id)));
        const QStringList captions = {"新建", "打开", "保存", "修改", "情景模式", "下载"};
        for (int i = 0; i < 6; ++i) QCOMPARE(f.button(1000 + i)->text(), captions[i]);
        for (int k = 1; k <= 108; ++k) {
            QVERIFY(f.key(k)->isHidden());
            QVERIFY(f.relay(k)->isHidden());
        }
        QVERIFY(f.window->findChild<QGroupBox*>("group1123")->isHidden());
        QVERIFY(f.window->findChild<QComboBox*>("combo1213")->isHidden());
        QCOMPARE(f.window->findChild<QLabel*>("static1223")->text(),
                 QStringLiteral("提示：演示效果仅体现输入与输出信号之间对应的逻辑关系，"
                                "延时关闭等特殊功能体现在实际应用中。"));
        const QStringList bands = {"开关编号:1-6", "开关编号:7-12", "开关编号:13-18"};
        for (int i = 0; i < 6; ++i) {
            auto* band = f.window->findChild<QGroupBox*>(QStringLiteral("band%1").arg(248 + i));
            QVERIFY(band);
            QCOMPARE(band->title(), bands[i % 3]);
        }
    }

    void toolbarTooltipsCarryTitleRuleAndDescription() {
        WindowFixture f;
        const QString tip = f.button(1002)->toolTip();
        QVERIFY(tip.contains(QStringLiteral("保存")));
        QVERIFY(tip.contains(QStringLiteral("保存当前房型配置文件")));
        QVERIFY(tip.contains(QStringLiteral("#0000ff")));
        QVERIFY(tip.contains(QStringLiteral("#00aa00")));
    }

    void refreshLabelsAndShowsTheDemo() {
        WindowFixture f;
        showDemoRoom(f);
        for (int id = 1002; id <= 1005; ++id) {
            QVERIFY(!f.button(id)->isHidden());
            QVERIFY(f.button(id)->isEnabled());
        }
        QVERIFY(!f.window->findChild<QGroupBox*>("group1123")->isHidden());
        QVERIFY(!f.window->findChild<QGroupBox*>("group1125")->isHidden());
        const QStringList keys = {"1:廊灯",   "2:取电开关", "3:睡眠模式",
                                  "4:窗帘开", "5:窗帘关",   "6:明亮模式"};
        for (int k = 1; k <= 6; ++k) {
            QCOMPARE(f.key(k)->text(), keys[k - 1]);
            QVERIFY(!f.key(k)->isHidden());
        }
        QVERIFY(f.key(7)->isHidden());
        const QStringList relays = {"K1:廊灯",     "K2:廊灯", "K3:窗帘开", "K4:窗帘关",
                                    "K5:受控插座", "K6:门铃", "K1:卫浴灯", "K2:换气扇"};
        for (int k = 1; k <= 8; ++k) {
            QCOMPARE(f.relay(k)->text(), relays[k - 1]);
            QVERIFY(!f.relay(k)->isHidden());
            QCOMPARE(f.relay(k)->fillColor(), kOff);
        }
        QVERIFY(f.relay(9)->isHidden());

        f.document.room.lowVoltageDoorbell = true;  // doorbell on the weak-current side
        f.window->refresh();
        QVERIFY(f.relay(6)->isHidden());
        QVERIFY(!f.relay(5)->isHidden());
    }

    void keyPressesCardAndSceneKeys() {
        WindowFixture f;
        showDemoRoom(f);
        model::ModeSlot& slot = f.document.room.devices[2].slot(2);  // mode 2: 明亮模式 (51)
        slot.modeCode = 51;
        slot.outputState = {10, 0, 238, 238, 238, 238};
        f.window->show();

        QTest::mouseClick(f.key(1), Qt::LeftButton);
        QCOMPARE(f.relay(1)->fillColor(), kOn);
        QCOMPARE(f.relay(2)->fillColor(), kOn);
        QTest::mouseClick(f.key(4), Qt::LeftButton);  // curtain open
        QTest::mouseClick(f.key(5), Qt::LeftButton);  // close: open goes off
        QCOMPARE(f.relay(3)->fillColor(), kOff);
        QCOMPARE(f.relay(4)->fillColor(), kOn);
        QTest::mouseClick(f.key(6), Qt::LeftButton);
        QCOMPARE(f.relay(7)->fillColor(), kOn);
        QCOMPARE(f.relay(8)->fillColor(), kOff);

        QTest::mouseClick(f.key(2), Qt::LeftButton);  // card out
        QVERIFY(f.key(2)->isEnabled());
        for (int k : {1, 3, 4, 5, 6}) QVERIFY(!f.key(k)->isEnabled());
        QTest::mouseClick(f.key(1), Qt::LeftButton);  // disabled: nothing happens
        QCOMPARE(f.relay(1)->fillColor(), kOn);
        QTest::mouseClick(f.key(2), Qt::LeftButton);  // card in
        for (int k = 1; k <= 6; ++k) QVERIFY(f.key(k)->isEnabled());
        QTest::mouseClick(f.key(1), Qt::LeftButton);
        QCOMPARE(f.relay(1)->fillColor(), kOff);
    }

    void relayButtonsCycleOnlyWhileTheSceneEditorIsInAMode() {
        WindowFixture f;
        showDemoRoom(f);
        model::setOutput(f.document.room, 4, 0, 12);  // relay 19
        f.window->refresh();
        f.window->show();
        QTest::mouseClick(f.relay(1), Qt::LeftButton);
        QCOMPARE(f.relay(1)->fillColor(), kOff);
        f.window->setSceneEditorMode(55);
        const QColor cycle[] = {kThird, kOn, kOff};
        for (const QColor& expected : cycle) {
            QTest::mouseClick(f.relay(1), Qt::LeftButton);
            QCOMPARE(f.relay(1)->fillColor(), expected);
        }
        QVERIFY(!f.relay(19)->isHidden());
        QTest::mouseClick(f.relay(19), Qt::LeftButton);
        QCOMPARE(f.relay(19)->fillColor(), kOff);
        f.window->setSceneEditorMode(60);
        QTest::mouseClick(f.relay(1), Qt::LeftButton);
        QCOMPARE(f.relay(1)->fillColor(), kOff);
    }

    // Relay captions are white whatever the relay shows.
    void relayCaptionsAreWhite() {
        WindowFixture f;
        f.document.room = testing::demoRoom();
        f.window->refresh();
        f.key(1)->click();  // 廊灯 on: relays 1 and 2
        QCOMPARE(f.relay(1)->fillColor(), QColor(0x00, 0xFF, 0xFF));
        for (int k : {1, 2, 3, 7}) QCOMPARE(f.relay(k)->effectiveTextColor(), QColor(Qt::white));
    }

    void portRowFollowsSendToSwitchAndOffersTheSimulatedBusLast() {
        gui::PortComboBox::setLister([] {
            return QList<gui::PortChoice>{{QStringLiteral("ttyUSB0 USB Serial"), "ttyUSB0", false}};
        });
        gui::PortComboBox::setSimulationOffered(true);
        WindowFixture f;
        showDemoRoom(f);
        auto* combo = f.window->findChild<QComboBox*>("combo1213");
        QVERIFY(combo->isHidden());
        f.document.room.sendToSwitch = true;
        f.window->refresh();
        QVERIFY(!combo->isHidden());
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("ttyUSB0 USB Serial"));
        QCOMPARE(combo->itemText(1), QStringLiteral("其它..."));
        QCOMPARE(combo->itemText(2), QStringLiteral("SIM 模拟设备总线"));
        QCOMPARE(combo->currentIndex(), -1);
        QVERIFY(!f.document.sendGate);

        // Opening the list reads the ports again; the chosen row stays chosen.
        combo->setCurrentIndex(2);
        gui::PortComboBox::setLister([] {
            return QList<gui::PortChoice>{{"ttyACM0 Adapter", "ttyACM0", false},
                                          {"ttyUSB0 USB Serial", "ttyUSB0", false}};
        });
        f.window->show();
        combo->showPopup();
        combo->hidePopup();
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->currentText(), QStringLiteral("SIM 模拟设备总线"));
    }

    void mirrorSendsPressesAndSpeaksForEveryAnswer() {
        gui::PortComboBox::setSimulationOffered(true);
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.sendToSwitch = true;
        f.window->refresh();
        f.window->show();
        f.speech.status = platform::SpeechStatus::NoChineseVoice;
        auto* combo = f.window->findChild<QComboBox*>("combo1213");
        QSignalSpy answers(f.window->mirror(), &gui::DemoMirror::answerAccepted);

        for (int round = 1; round <= 2; ++round) {  // choosing the port again re-arms the message
            emit combo->activated(combo->count() - 1);
            QVERIFY(f.document.sendGate);
            QTest::mouseClick(f.key(1), Qt::LeftButton);
            QTest::mouseClick(f.key(1), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 2 * round, 3000);
            QCOMPARE(f.speech.spoken.size(), 2 * round);
            QCOMPARE(f.speech.spoken.first(), QStringLiteral("滴"));
            QCOMPARE(f.prompter.texts().count(QStringLiteral("没有安装语音库!")), round);
        }
        QVERIFY(!f.prompter.texts().contains(QStringLiteral("Error to intiliaze COM")));
    }

    void mirrorReportsAMissingEngineOncePerPort() {
        gui::PortComboBox::setSimulationOffered(true);
        WindowFixture f;
        showDemoRoom(f);
        f.speech.status = platform::SpeechStatus::NoEngine;
        QSignalSpy answers(f.window->mirror(), &gui::DemoMirror::answerAccepted);
        QVERIFY(f.window->mirror()->choosePort({gui::kSimulatedBusText, {}, true}));
        f.window->show();
        for (int i = 0; i < 3; ++i) QTest::mouseClick(f.key(3), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 3, 3000);
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("Error to intiliaze COM")});
    }

    void mirrorFramesOnTheWire() {
        WindowFixture f;
        showDemoRoom(f);
        f.window->show();
        QSignalSpy answers(f.window->mirror(), &gui::DemoMirror::answerAccepted);
        QVERIFY(f.window->mirror()->choosePort({gui::kSimulatedBusText, {}, true}));
        auto* link = qobject_cast<platform::SimulatedLink*>(f.window->mirror()->link());
        QVERIFY(link);
        QTest::mouseClick(f.key(1), Qt::LeftButton);  // 廊灯 on
        QTest::mouseClick(f.key(1), Qt::LeftButton);  // 廊灯 off
        QTest::mouseClick(f.key(2), Qt::LeftButton);  // card out
        QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 3, 3000);
        using Frame = std::vector<std::uint8_t>;
        const std::vector<Frame> expected = {
            {0xF0, 0xDD, 0x0A, 0x01, 0x01, 0x01, 0, 0, 0, 0, 0x01, 0x01, 0, 0, 0, 0xDC, 0x0F},
            {0xF0, 0xDD, 0x0A, 0x02, 0x01, 0x01, 0, 0, 0, 0, 0x01, 0x01, 0, 0, 0, 0xDD, 0x0F},
            {0xF0, 0xDD, 0x4E, 0x02, 0x01, 0x01, 0, 0, 0, 0, 0x01, 0x01, 0, 0, 0, 0x21, 0x0F},
        };
        std::vector<Frame> received;
        for (const simulator::BusEvent& event : link->bus().takeEvents()) {
            if (event.kind == simulator::BusEvent::Kind::Received) received.push_back(event.bytes);
        }
        QVERIFY(received == expected);
    }

    void noFrameWithoutAChosenPort() {
        WindowFixture f;
        showDemoRoom(f);
        f.window->show();
        QTest::mouseClick(f.key(1), Qt::LeftButton);
        QVERIFY(!f.window->mirror()->link());
        QCOMPARE(f.speech.spoken.size(), 0);
    }

    void aboutEntryInTheMenuButtonAndTheContextMenu() {
        WindowFixture f;
        auto* action = f.window->findChild<QAction*>("actionAbout");
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("关于 Tavrin_dorodov(&A)..."));
        auto* menuButton = f.window->findChild<QToolButton*>("btnMenu");
        QVERIFY(menuButton && menuButton->menu()->actions().contains(action));
        QSignalSpy shown(f.window.get(), &gui::MainWindow::aboutShown);
        action->trigger();
        QCOMPARE(shown.count(), 1);
        QVERIFY(f.window->findChild<QDialog*>("aboutDialog"));
    }

    void editorHooksSetTitleRefreshAndModified() {
        WindowFixture f;
        int modifyRuns = 0;
        gui::CommandHooks hooks;
        hooks.modifyRoomType = [&](gui::RoomDocument& document, QWidget*) {
            ++modifyRuns;
            document.room = testing::demoRoom();
            return true;
        };
        hooks.sceneModes = [](gui::RoomDocument&, QWidget*) { return false; };
        hooks.download = [](gui::RoomDocument& document, QWidget*) {
            document.room.lampNames[10] = "廊灯2";
            return true;
        };
        f.window->setCommandHooks(hooks);
        QSignalSpy sceneRequests(f.window.get(), &gui::MainWindow::sceneModesRequested);

        f.button(1003)->click();  // hidden until a room type shows, but the hook is what counts
        QCOMPARE(modifyRuns, 1);
        QCOMPARE(f.document.room.modified, 1);
        QCOMPARE(f.window->windowTitle(),  // "*": changes not saved yet
                 QLatin1Char('*') +
                     title("   酒店名称:测试酒店   房型:大床房   房型编号:1   主机型号:1.联网Mesh"));
        QCOMPARE(f.key(1)->text(), QStringLiteral("1:廊灯"));

        f.document.room.modified = 0;
        f.button(1004)->click();  // cancelled: nothing changes
        QCOMPARE(sceneRequests.count(), 1);
        QCOMPARE(f.document.room.modified, 0);

        f.document.sendGate = true;
        f.button(1005)->click();
        QCOMPARE(f.key(1)->text(), QStringLiteral("1:廊灯2"));
        QVERIFY(!f.document.sendGate);
    }

    // Looks for clipped captions: every visible demonstration button holds its whole caption.
    // With ROOM_SCREENSHOTS=dir set the window is also written there as a PNG.
    void captionsFitTheirButtons() {
        WindowFixture f;
        f.document.room = testing::demoRoom();
        for (int j = 0; j < 6; ++j) model::setInput(f.document.room, 3, j, 184 + j);  // long names
        model::setOutput(f.document.room, 3, 0, 8);
        f.window->refresh();
        f.window->show();
        for (int k = 1; k <= 108; ++k) {
            for (gui::ColorButton* button : {f.key(k), f.relay(k)}) {
                if (button->isHidden()) continue;
                const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 6;
                QVERIFY2(needed <= button->width(), qPrintable(button->text()));
            }
        }
        const QString dir = qEnvironmentVariable("ROOM_SCREENSHOTS");
        if (!dir.isEmpty()) QVERIFY(f.window->grab().save(QDir(dir).filePath("main_window.png")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
