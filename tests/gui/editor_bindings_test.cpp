// What the editors write is what the room is wired by. Driven by what the installer sees: the
// sync button stores only numbers an output list offers, a wheel over an unfocused list changes
// nothing, a cancelled New leaves the room type as it was, and the scene editor closes only once
// its queued frames have reached the (simulated) bus.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include "core/editing/scene_session.h"
#include "core/format/shd_file.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/editor_flow.h"
#include "gui/editors/frame_pacer.h"
#include "gui/editors/lamp_grid.h"
#include "gui/editors/port_dialog.h"
#include "gui/editors/scene_dialog.h"
#include "gui/ports/port_combo_box.h"
#include "gui/toolkit/color_button.h"
#include "platform/simulated_link.h"
#include "support/editor_finders.h"
#include "support/editor_hooks.h"
#include "support/modal_script.h"
#include "support/simulated_bus.h"
#include "support/window_fixture.h"

using namespace room;
using editing::EditMode;
using testing::described;

namespace {

const auto choose = testing::chooseStartingWith;

// The port editor over the example room type, in Modify, shown.
struct PortEditor {
    model::RoomTypeConfig room = testing::exampleRoomType();
    model::RoomTypeConfig edit = room;
    testing::RecordingPrompter prompter;
    gui::PortDialog dialog{room, edit, EditMode::Modify, prompter};
    PortEditor() { dialog.show(); }
};

void click(QWidget* root, const char* caption) {
    QAbstractButton* button = testing::shownButton(root, QString::fromUtf8(caption));
    QVERIFY2(button, caption);
    QTest::mouseClick(button, Qt::LeftButton);
}

void wheel(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

int liveFrames(platform::SimulatedLink* bus) {
    int count = 0;
    for (const simulator::BusEvent& event : bus->bus().takeEvents()) {
        if (event.kind == simulator::BusEvent::Kind::Received && event.bytes.size() == 17 &&
            event.bytes[1] == 0x56) {
            ++count;
        }
    }
    return count;
}

}  // namespace

class EditorBindingsTest : public QObject {
    Q_OBJECT

private slots:
    void syncRelaysStoresOnlyWhatAnOutputListOffers();
    void syncRelaysInANewWithAThermostatAndACurtainController();
    void aWheelOverAnUnfocusedListChangesNothing();
    void aTypeWithoutKeysEmptiesItsKeysAtOnce();
    void aLocationRefusesCommasAndSaysWhy();
    void aCancelledNewLeavesTheRoomTypeAsItWas();
    void queuedFramesReachTheBusBeforeTheSceneEditorCloses_data();
    void queuedFramesReachTheBusBeforeTheSceneEditorCloses();
};

void EditorBindingsTest::syncRelaysStoresOnlyWhatAnOutputListOffers() {
    PortEditor editor;
    gui::PortDialog& dialog = editor.dialog;
    model::RoomTypeConfig& room = editor.room;
    // An air conditioner just chosen on an output whose key is empty stays.
    choose(described<QComboBox>(&dialog, QStringLiteral("设备3输出6")), QStringLiteral("060."));
    click(&dialog, "同步继电器");
    click(&dialog, "确定");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const std::array<std::array<int, 6>, 8> expected = {{
        {},
        {10, 3, 4, 0, 0, 0},
        {24, 21, 15, 16, 80, 81},
        {25, 22, 13, 23, 41, 60},
        {26, 70, 0, 0, 0, 0},
        {60, 61, 62, 63, 0, 0},
        {100, 101, 102, 103, 0, 0},
        {80, 81, 0, 0, 0, 0},
    }};
    for (int v = 1; v <= 7; ++v) {
        QCOMPARE(room.devices[v].outputs, expected[static_cast<std::size_t>(v)]);
    }
    // The curtain controller is still in the saved file.
    model::RoomTypeConfig reread = model::makeStartupRoomType();
    format::readRoomTypeFile(format::writeRoomTypeFile(room), reread);
    QCOMPARE(reread.devices[7].outputs, expected[7]);
    QCOMPARE(reread.devices[7].type, 3);
}

// New: panels 1 and 2, a thermostat (3) and a curtain controller (4), with lamps 10, 11 and the
// curtain pair 80/81 in use.
void EditorBindingsTest::syncRelaysInANewWithAThermostatAndACurtainController() {
    testing::WindowFixture fx;
    testing::runEditorsFromTheWindow(fx);
    fx.window->show();
    testing::ModalScript script({
        [](QWidget* d) {
            testing::byName<QComboBox>(d, QStringLiteral("温控器数量："))->setCurrentIndex(1);
            testing::byName<QComboBox>(d, QStringLiteral("开关数量："))->setCurrentIndex(2);
            testing::byName<QComboBox>(d, QStringLiteral("窗帘控制器数量："))->setCurrentIndex(1);
            auto* definition = qobject_cast<gui::DefinitionDialog*>(d);
            QVERIFY(definition);
            const std::pair<editing::ListPage, int> lamps[] = {{editing::ListPage::Ordinary, 10},
                                                               {editing::ListPage::Ordinary, 11},
                                                               {editing::ListPage::Curtains, 80},
                                                               {editing::ListPage::Curtains, 81}};
            for (const auto& [page, lamp] : lamps) {
                gui::LampGrid* grid = definition->grid(page);
                definition->tabs()->setCurrentIndex(static_cast<int>(page));
                const QTableWidgetItem* marker =
                    grid->item(grid->rowOf(lamp), grid->columnOf(lamp, gui::LampGrid::kMarkerCell));
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualItemRect(marker).center());
            }
            click(d, "确定");
        },
        [](QWidget* d) {
            const char* const types[] = {"1.", "1.", "2.", "3."};
            for (int v = 1; v <= 4; ++v) {
                choose(described<QComboBox>(d, QStringLiteral("设备%1类型").arg(v)),
                       QString::fromUtf8(types[v - 1]));
            }
            const std::pair<const char*, const char*> chosen[] = {
                {"设备1按键1", "010."}, {"设备1输出2", "060."}, {"设备1输出3", "011."},
                {"设备2按键1", "080."}, {"设备3输出1", "060."}, {"设备3输出2", "061."},
                {"设备4输出1", "080."}, {"设备4输出2", "081."}};
            for (const auto& [list, entry] : chosen) {
                choose(described<QComboBox>(d, QString::fromUtf8(list)), QString::fromUtf8(entry));
            }
            click(d, "同步继电器");
            click(d, "确定");
        },
        [](QWidget* d) { click(d, "确定"); },
    });
    fx.button(1000)->click();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);
    const model::RoomTypeConfig& room = fx.document.room;
    QCOMPARE(room.devices[1].outputs, (std::array<int, 6>{10, 60, 0, 0, 0, 0}));
    QCOMPARE(room.devices[2].outputs, (std::array<int, 6>{80, 0, 0, 0, 0, 0}));
    QCOMPARE(room.devices[3].outputs, (std::array<int, 6>{60, 61, 0, 0, 0, 0}));
    QCOMPARE(room.devices[4].outputs, (std::array<int, 6>{80, 81, 0, 0, 0, 0}));
    QCOMPARE(room.devices[3].type, 2);
    QCOMPARE(room.devices[4].type, 3);
}

void EditorBindingsTest::aWheelOverAnUnfocusedListChangesNothing() {
    PortEditor editor;
    gui::PortDialog& dialog = editor.dialog;
    model::RoomTypeConfig& room = editor.room;
    const std::pair<int, const char*> lists[] = {
        {0, "设备1按键1"}, {1, "设备1输出1"}, {1, "设备1类型"}};
    for (const auto& [tab, name] : lists) {
        dialog.tabs()->setCurrentIndex(tab);
        auto* list = described<QComboBox>(&dialog, QString::fromUtf8(name));
        QVERIFY2(list, name);
        const QString before = list->currentText();
        wheel(list);
        QCOMPARE(list->currentText(), before);
    }
    click(&dialog, "确定");
    QCOMPARE(room.devices[1].inputs[0], 10);
    QCOMPARE(room.devices[1].outputs[0], 10);
    QCOMPARE(room.devices[1].type, 1);
}

void EditorBindingsTest::aTypeWithoutKeysEmptiesItsKeysAtOnce() {
    PortEditor editor;
    gui::PortDialog& dialog = editor.dialog;
    model::RoomTypeConfig& room = editor.room;
    auto* key = described<QComboBox>(&dialog, QStringLiteral("设备1按键1"));
    QVERIFY(key->isEnabled());
    choose(described<QComboBox>(&dialog, QStringLiteral("设备1类型")), QStringLiteral("2."));
    QVERIFY(!key->isEnabled());
    QCOMPARE(key->currentText(), QString());
    choose(described<QComboBox>(&dialog, QStringLiteral("设备1类型")), QStringLiteral("1."));
    QVERIFY(key->isEnabled());
    click(&dialog, "确定");
    QCOMPARE(room.devices[1].inputs, (std::array<int, 6>{}));
}

void EditorBindingsTest::aLocationRefusesCommasAndSaysWhy() {
    PortEditor editor;
    gui::PortDialog& dialog = editor.dialog;
    model::RoomTypeConfig& room = editor.room;
    auto* field = described<QLineEdit>(&dialog, QStringLiteral("设备1位置"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("A1,B2"));
    QCOMPARE(field->text(), QStringLiteral("A1B2"));
    QVERIFY(field->toolTip().contains(QStringLiteral("逗号")));
    click(&dialog, "确定");
    QCOMPARE(QString::fromStdString(room.devices[1].name), QStringLiteral("A1B2"));
}

// Open the example, New with a thermostat and a curtain controller chosen, Cancel at the scene
// editor: the room type writes the same bytes as before.
void EditorBindingsTest::aCancelledNewLeavesTheRoomTypeAsItWas() {
    testing::WindowFixture fx;
    fx.document.room = testing::exampleRoomType();
    const std::string before = format::writeRoomTypeFile(fx.document.room);
    const int modified = fx.document.room.modified;
    testing::runEditorsFromTheWindow(fx);
    fx.window->refresh();
    fx.window->show();
    testing::ModalScript script({
        [](QWidget* d) {
            testing::byName<QComboBox>(d, QStringLiteral("开关数量："))->setCurrentIndex(3);
            click(d, "确定");
        },
        [](QWidget* d) {
            choose(described<QComboBox>(d, QStringLiteral("设备1类型")), QStringLiteral("1."));
            choose(described<QComboBox>(d, QStringLiteral("设备2类型")), QStringLiteral("2."));
            choose(described<QComboBox>(d, QStringLiteral("设备3类型")), QStringLiteral("3."));
            described<QLineEdit>(d, QStringLiteral("设备2位置"))->setText(QStringLiteral("卧室"));
            click(d, "确定");
        },
        [](QWidget* d) { click(d, "取消"); },
    });
    fx.prompter.answerNext(platform::Answer::Ok);  // yes, discard the new room type
    fx.button(1000)->click();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);
    QCOMPARE(fx.prompter.records().size(), 1);  // asked before discarding
    QCOMPARE(fx.document.room.modified, modified);
    QVERIFY(format::writeRoomTypeFile(fx.document.room) == before);
}

void EditorBindingsTest::queuedFramesReachTheBusBeforeTheSceneEditorCloses_data() {
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<bool>("allSent");
    QTest::newRow("OK at once") << 0 << QStringList{QStringLiteral("确定")} << true;
    QTest::newRow("OK 600 ms later") << 600 << QStringList{QStringLiteral("确定")} << true;
    QTest::newRow("Cancel") << 0 << QStringList{QStringLiteral("取消")} << true;
    QTest::newRow("Cancel twice") << 0
                                  << QStringList{QStringLiteral("取消"), QStringLiteral("取消")}
                                  << false;
}

void EditorBindingsTest::queuedFramesReachTheBusBeforeTheSceneEditorCloses() {
    QFETCH(int, waitMs);
    QFETCH(QStringList, presses);
    QFETCH(bool, allSent);
    gui::PortComboBox::setLister([] { return QList<gui::PortChoice>{}; });
    gui::PortComboBox::setSimulationOffered(true);
    model::RoomTypeConfig room = testing::exampleRoomType();
    room.sendToSwitch = true;
    // What choosing scene key 1 sends with "切模式时发送": the frames of its stored outputs.
    model::RoomTypeConfig probeRoom = room;
    model::RoomTypeConfig probeEdit;
    editing::SceneSession probe(probeRoom, probeEdit, EditMode::Modify);
    probe.portOpened();
    probe.setSendOnModeSwitch(true);
    const int expected = static_cast<int>(probe.chooseKey(1).size());
    QVERIFY(expected >= 6);

    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::SceneDialog dialog(room, edit, EditMode::Modify, prompter);
    platform::SimulatedLink* bus = nullptr;
    dialog.setLinkFactory(testing::simulatedBusInto(bus));
    dialog.show();
    dialog.portList()->refill();  // as opening the list does
    choose(testing::byName<QComboBox>(&dialog, QStringLiteral("串口号:")), QStringLiteral("SIM"));
    QVERIFY(bus);
    click(&dialog, "切模式时发送");
    QTest::mouseClick(described<gui::ColorButton>(&dialog, QStringLiteral("情景1")),
                      Qt::LeftButton);
    if (waitMs > 0) QTest::qWait(waitMs);
    auto* queued = dialog.findChild<QLabel*>(QStringLiteral("queued"));
    for (const QString& caption : presses) {
        QTest::mouseClick(testing::buttonCaptioned(&dialog, caption), Qt::LeftButton);
    }
    if (allSent) {
        // Still open, counting down.
        QVERIFY(dialog.isVisible());
        QVERIFY2(queued->text().startsWith(QStringLiteral("待发送: ")), qPrintable(queued->text()));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 5000);
    QTest::qWait(60);
    const int sent = liveFrames(bus);
    if (allSent) {
        QCOMPARE(sent, expected);
        QVERIFY(prompter.records().isEmpty());
        QCOMPARE(queued->text(), QStringLiteral("待发送: 0 帧"));
    } else {
        QVERIFY(sent < expected);
        QCOMPARE(prompter.texts(),
                 QStringList{
                     QStringLiteral("%1 帧未发送，设备上的情景可能不完整。").arg(expected - sent)});
    }
    QCOMPARE(dialog.result(), int(presses.first() == QStringLiteral("确定") ? QDialog::Accepted
                                                                            : QDialog::Rejected));
    gui::PortComboBox::setSimulationOffered(false);
    gui::PortComboBox::setLister({});
}

QTEST_MAIN(EditorBindingsTest)
#include "editor_bindings_test.moc"
