// The scene editor driven by what an installer sees (accessible names and descriptions), its live
// frames on the simulated bus, and the flows of New, Modify and Scene modes through the main
// window with every dialog answered in turn.

#include "gui/editors/scene_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "core/format/shd_file.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/editor_flow.h"
#include "gui/editors/frame_pacer.h"
#include "gui/main/application.h"
#include "gui/ports/port_combo_box.h"
#include "gui/toolkit/color_button.h"
#include "platform/simulated_link.h"
#include "support/editor_finders.h"
#include "support/editor_hooks.h"
#include "support/modal_script.h"
#include "support/simulated_bus.h"
#include "support/window_fixture.h"

using namespace room;
using room::editing::EditMode;

namespace {

void click(QAbstractButton* button) {
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

using testing::ModalScript;

}  // namespace

class SceneDialogTest : public QObject {
    Q_OBJECT

private slots:
    void keysOutputsAndStoringByWhatTheInstallerSees();
    void liveFramesReachTheSimulatedBusInOrder();
    void newCompletesAndCancelLeavesTheRoomType();
    void modifyKeepsEarlierWritesWhenTheSceneEditorIsCancelled();
    void sceneModesAlone();
    void snapshots();
};

void SceneDialogTest::keysOutputsAndStoringByWhatTheInstallerSees() {
    model::RoomTypeConfig room = testing::exampleRoomType();
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    int mode = -1;
    gui::SceneDialog dialog(room, edit, EditMode::Modify, prompter,
                            [&mode](int code) { mode = code; });
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("配置情景模式"));
    QVERIFY(testing::shownButton(&dialog, QStringLiteral("特殊配置说明")));
    QVERIFY(
        !testing::shownButton(&dialog, QStringLiteral("全开")));  // shown once a scene is chosen
    auto* first = testing::described<gui::ColorButton>(&dialog, QStringLiteral("情景1"));
    QCOMPARE(first->accessibleName(), QString::fromStdString(room.lampNames[50]));
    auto* output = testing::described<gui::ColorButton>(&dialog, QStringLiteral("输出1"));
    QVERIFY(!output->isEnabled());
    click(first);
    QCOMPARE(mode, 50);
    QVERIFY(output->isEnabled());
    QVERIFY(testing::shownButton(&dialog, QStringLiteral("全开")));
    click(testing::shownButton(&dialog, QStringLiteral("开")));
    // Output 1 of the example's device 1 is 廊灯 (10): with the pen "开" a click switches it on.
    click(output);
    QCOMPARE(dialog.session().state(1), 10);
    QVERIFY(output->text().endsWith(QStringLiteral(":开 ")));
    const int now = dialog.session().state(1);
    QCOMPARE(output->accessibleName(), output->text());
    QVERIFY(output->text().startsWith(QString::fromStdString(room.lampNames[10])));
    click(testing::shownButton(&dialog, QStringLiteral("确定")));
    QCOMPARE(room.devices[1].slot(1).modeCode == 0 ? editing::kNotControlled
                                                   : room.devices[1].slot(1).outputState[0],
             now);
    QCOMPARE(mode, 50);  // kept after closing: the main window's relays 1-18 follow it
}

void SceneDialogTest::liveFramesReachTheSimulatedBusInOrder() {
    model::RoomTypeConfig room = testing::exampleRoomType();
    room.sendToSwitch = true;
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::PortComboBox::setSimulationOffered(true);
    gui::SceneDialog dialog(room, edit, EditMode::Modify, prompter);
    platform::SimulatedLink* bus = nullptr;
    dialog.setLinkFactory(testing::simulatedBusInto(bus));
    dialog.show();
    QVERIFY(dialog.portList()->isVisibleTo(&dialog));
    QCOMPARE(dialog.portList()->accessibleName(), QStringLiteral("串口号:"));
    QVERIFY(!testing::shownButton(&dialog, QStringLiteral("切模式时发送")));
    // Nothing goes on the line before a port is chosen.
    click(testing::described<gui::ColorButton>(&dialog, QStringLiteral("情景2")));
    click(testing::described<gui::ColorButton>(&dialog, QStringLiteral("输出1")));
    dialog.portList()->refill();  // as opening the list does
    const int last = dialog.portList()->count() - 1;
    emit dialog.portList()->portChosen(dialog.portList()->choiceAt(last));
    QVERIFY(bus);
    QVERIFY(testing::shownButton(&dialog, QStringLiteral("切模式时发送")));
    QVERIFY(!testing::shownButton(&dialog, QStringLiteral("全开"))->isEnabled());
    // Three clicks at once: the frames wait in the queue and go out in order, 50 ms apart.
    auto* output = testing::described<gui::ColorButton>(&dialog, QStringLiteral("输出2"));
    click(output);
    click(output);
    click(output);
    QVERIFY(dialog.pacer().pending() >= 1);
    QTRY_COMPARE_WITH_TIMEOUT(dialog.pacer().pending(), 0, 3000);
    QTest::qWait(200);
    std::vector<simulator::BusEvent> frames;
    for (simulator::BusEvent& event : bus->bus().takeEvents()) {
        if (event.kind == simulator::BusEvent::Kind::Received && event.bytes[1] == 0x56) {
            frames.push_back(std::move(event));
        }
    }
    QCOMPARE(int(frames.size()), 3);
    QCOMPARE(int(frames[0].bytes[2]), 51);  // the current scene's code
    QVERIFY(frames[1].at - frames[0].at >= std::chrono::milliseconds(45));
    QCOMPARE(frames[0].bytes[3], std::uint8_t(1));  // on
    QCOMPARE(frames[1].bytes[3], std::uint8_t(2));  // off
    QCOMPARE(frames[2].bytes[3], std::uint8_t(0));  // not controlled
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("queued"))->text(),
             QStringLiteral("待发送: 0 帧"));
    gui::PortComboBox::setSimulationOffered(false);
}

void SceneDialogTest::newCompletesAndCancelLeavesTheRoomType() {
    for (const bool cancelScenes : {true, false}) {
        testing::WindowFixture fx;
        fx.document.room = testing::exampleRoomType();
        const model::RoomTypeConfig before = fx.document.room;
        testing::runEditorsFromTheWindow(fx);
        fx.window->refresh();
        fx.window->show();
        ModalScript script({
            [](QWidget* d) {
                testing::byName<QLineEdit>(d, QStringLiteral("酒店名称："))
                    ->setText(QStringLiteral("新酒店"));
                testing::byName<QComboBox>(d, QStringLiteral("开关数量："))->setCurrentIndex(2);
                click(testing::shownButton(d, QStringLiteral("确定")));
            },
            [](QWidget* d) {  // the port editor: a new room type's devices start untyped
                for (const char* type : {"设备1类型", "设备2类型"}) {
                    auto* list = testing::described<QComboBox>(d, QString::fromUtf8(type));
                    list->setCurrentIndex(1);
                    emit list->activated(1);
                }
                click(testing::shownButton(d, QStringLiteral("确定")));
            },
            [cancelScenes](QWidget* d) {
                click(testing::shownButton(d, QString::fromUtf8(cancelScenes ? "取消" : "确定")));
            },
        });
        if (cancelScenes) fx.prompter.answerNext(platform::Answer::Ok);  // discard the new one
        fx.button(1000)->click();
        QVERIFY(script.done());
        if (cancelScenes) {
            QCOMPARE(fx.prompter.texts(), QStringList{QStringLiteral("是否放弃新建的房型?")});
            QCOMPARE(fx.document.room.hotelName, before.hotelName);
            QCOMPARE(fx.document.room.deviceCount, before.deviceCount);
        } else {
            QCOMPARE(QString::fromStdString(fx.document.room.hotelName), QStringLiteral("新酒店"));
            QCOMPARE(fx.document.room.switchPanelCount, 2);
            QCOMPARE(fx.document.room.deviceCount, 2);
            QVERIFY(fx.window->windowTitle().contains(QStringLiteral("酒店名称:新酒店")));
            QCOMPARE(fx.document.room.modified, 1);
        }
        QVERIFY(!fx.document.room.newRoomType);
    }
}

void SceneDialogTest::modifyKeepsEarlierWritesWhenTheSceneEditorIsCancelled() {
    testing::WindowFixture fx;
    fx.document.room = testing::exampleRoomType();
    testing::runEditorsFromTheWindow(fx);
    fx.window->refresh();
    fx.window->show();
    const model::ModeSlot sceneBefore = fx.document.room.devices[1].slot(1);
    ModalScript script({
        [](QWidget* d) {
            testing::byName<QLineEdit>(d, QStringLiteral("房型名称："))
                ->setText(QStringLiteral("行政房"));
            click(testing::shownButton(d, QStringLiteral("确定")));
        },
        [](QWidget* d) {  // the port editor: as the room type has it
            click(testing::shownButton(d, QStringLiteral("确定")));
        },
        [](QWidget* d) {
            click(testing::described<gui::ColorButton>(d, QStringLiteral("情景1")));
            click(testing::described<gui::ColorButton>(d, QStringLiteral("输出1")));
            click(testing::shownButton(d, QStringLiteral("取消")));
        },
    });
    fx.button(1003)->click();
    QVERIFY(script.done());
    QCOMPARE(QString::fromStdString(fx.document.room.roomTypeName), QStringLiteral("行政房"));
    QCOMPARE(fx.document.room.devices[1].slot(1), sceneBefore);
    QVERIFY(fx.window->windowTitle().contains(QStringLiteral("房型:行政房")));
}

void SceneDialogTest::sceneModesAlone() {
    testing::WindowFixture fx;
    fx.document.room = testing::exampleRoomType();
    testing::runEditorsFromTheWindow(fx);
    fx.window->refresh();
    fx.window->show();
    int modeSeen = 0;
    ModalScript script({
        [&modeSeen, &fx](QWidget* d) {
            click(testing::described<gui::ColorButton>(d, QStringLiteral("情景2")));
            modeSeen = fx.window->sceneEditorMode();
            click(testing::shownButton(d, QStringLiteral("全关")));
            click(testing::shownButton(d, QStringLiteral("确定")));
        },
    });
    fx.button(1004)->click();
    QVERIFY(script.done());
    QCOMPARE(modeSeen, 51);
    QCOMPARE(fx.window->sceneEditorMode(), 51);  // the last scene chosen stays
    // so relay 1 now cycles its shown state when pressed
    const QColor shown = fx.relay(1)->fillColor();
    QTest::mouseClick(fx.relay(1), Qt::LeftButton);
    QVERIFY(fx.relay(1)->fillColor() != shown);
    QCOMPARE(fx.document.room.devices[1].slot(2).outputState[0], 0);
    QCOMPARE(fx.document.room.modified, 1);
}

// Pictures to look at (SCENE_SNAPSHOTS=/some/dir): before a key is chosen, with a scene loaded,
// with a port chosen.
void SceneDialogTest::snapshots() {
    const QString dir = qEnvironmentVariable("SCENE_SNAPSHOTS");
    if (dir.isEmpty()) QSKIP("set SCENE_SNAPSHOTS to a folder to write the pictures");
    gui::applyDialogColours(*qApp);
    gui::PortComboBox::setSimulationOffered(true);
    model::RoomTypeConfig room = testing::exampleRoomType();
    room.sendToSwitch = true;
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::SceneDialog dialog(room, edit, EditMode::Modify, prompter);
    dialog.resize(1366, 740);
    dialog.show();
    QTest::qWait(50);
    QVERIFY(dialog.grab().save(dir + QStringLiteral("/scene-none.png")));
    click(testing::described<gui::ColorButton>(&dialog, QStringLiteral("情景1")));
    QTest::qWait(50);
    QVERIFY(dialog.grab().save(dir + QStringLiteral("/scene-loaded.png")));
    dialog.portList()->refill();
    emit dialog.portList()->portChosen(dialog.portList()->choiceAt(dialog.portList()->count() - 1));
    QTest::qWait(50);
    QVERIFY(dialog.grab().save(dir + QStringLiteral("/scene-port.png")));
    // OK while a whole scene is still on its way: the count goes down before it closes.
    click(testing::shownButton(&dialog, QStringLiteral("切模式时发送")));
    click(testing::described<gui::ColorButton>(&dialog, QStringLiteral("情景2")));
    click(testing::shownButton(&dialog, QStringLiteral("确定")));
    QTest::qWait(300);
    QVERIFY(dialog.grab().save(dir + QStringLiteral("/scene-closing.png")));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 5000);
    gui::PortComboBox::setSimulationOffered(false);
    // 24 devices on the small screen, every output in use.
    model::RoomTypeConfig full = testing::exampleRoomType();
    full.deviceCount = 24;
    for (int v = 8; v <= 24; ++v) {
        full.devices[v].type = 1;
        full.devices[v].name = QStringLiteral("房间%1").arg(v).toStdString();
        for (int c = 0; c < 6; ++c) model::setOutput(full, v, c, 10 + (v + c) % 30);
    }
    model::RoomTypeConfig fullEdit;
    gui::SceneDialog large(full, fullEdit, EditMode::Modify, prompter);
    large.resize(1366, 740);
    large.show();
    click(testing::described<gui::ColorButton>(&large, QStringLiteral("情景1")));
    click(testing::shownButton(&large, QStringLiteral("开")));
    QTest::qWait(50);
    QVERIFY(large.grab().save(dir + QStringLiteral("/scene-24.png")));
}

QTEST_MAIN(SceneDialogTest)
#include "scene_dialog_test.moc"
