// The port editor driven as an installer (or a screen reader) finds its controls: tab and button
// captions, the port list by its label, and the channel lists by what they say they are.

#include "gui/editors/port_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/format/shd_file.h"
#include "core/protocol/frames.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/editor_flow.h"
#include "gui/editors/port_lists.h"
#include "gui/main/application.h"
#include "gui/main/main_window.h"
#include "gui/ports/port_combo_box.h"
#include "platform/simulated_link.h"
#include "support/editor_finders.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"

using namespace room;
using room::editing::EditMode;

namespace {

// The example room type with three more devices, so that the second band shows.
model::RoomTypeConfig exampleRoom() {
    model::RoomTypeConfig room = testing::exampleRoomType();
    const std::array<std::pair<int, const char*>, 3> more = {
        {{1, "卫生间"}, {6, "客厅调色"}, {4, "纱帘电机"}}};
    for (int i = 0; i < 3; ++i) {
        model::DeviceRecord& device = room.devices[8 + i];
        device.type = static_cast<std::uint8_t>(more[i].first);
        device.name = more[i].second;
    }
    model::setInput(room, 8, 0, 11);
    model::setOutput(room, 8, 0, 11);
    model::setOutput(room, 10, 0, 82);
    room.deviceCount = 10;
    return room;
}

using testing::buttonCaptioned;
using testing::byName;
using testing::described;

void choose(QComboBox* list, const QString& text) {
    const int row = list->findText(text);
    QVERIFY2(row >= 0, qPrintable(text));
    list->setCurrentIndex(row);
    emit list->activated(row);
}

}  // namespace

class PortDialogTest : public QObject {
    Q_OBJECT

private slots:
    void pagesAndControlsByTheirTexts();
    void modifyWritesWhatWasChosen();
    void newRefusesAnUntypedDevice();
    void syncRelaysAndKeyMarks();
    void closeFrameOnlyWithAnOpenPort_data();
    void closeFrameOnlyWithAnOpenPort();
    void fitsTheSmallScreen();
    void mainWindowModifyRunsBothEditors();
    void snapshots();
};

void PortDialogTest::pagesAndControlsByTheirTexts() {
    model::RoomTypeConfig room = exampleRoom();
    model::RoomTypeConfig edit = room;
    testing::RecordingPrompter prompter;
    gui::PortDialog dialog(room, edit, EditMode::Modify, prompter);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("编辑输入输出端口"));
    QCOMPARE(dialog.tabs()->count(), 2);
    QCOMPARE(dialog.tabs()->tabText(0), QStringLiteral("开关面板按键名称配置  "));
    QCOMPARE(dialog.tabs()->tabText(1), QStringLiteral("设备输出端口配置  "));
    for (const char* caption : {"同步继电器", "确定", "取消"}) {
        QVERIFY2(buttonCaptioned(&dialog, QString::fromUtf8(caption)), caption);
    }
    QVERIFY(!buttonCaptioned(&dialog, QStringLiteral("同步输入端"))->isVisibleTo(&dialog));
    // Ten devices: bands 1 and 2 of each page, lists 1..60 shown.
    QVERIFY(dialog.keyPage()->band(1)->isVisibleTo(&dialog));
    QVERIFY(!dialog.keyPage()->band(2)->isVisibleTo(&dialog));
    QCOMPARE(dialog.outputPage()->band(1)->title(),
             QStringLiteral("编号9-16号开关面板、温控、窗帘电机输出端口配置"));
    QVERIFY(described(&dialog, QStringLiteral("设备10输出6"))->isVisibleTo(dialog.outputPage()));
    QVERIFY(!described(&dialog, QStringLiteral("设备11输出1"))->isVisibleTo(dialog.outputPage()));
    QVERIFY(!described(&dialog, QStringLiteral("设备11位置"))->isVisibleTo(dialog.keyPage()));

    // A list without a label of its own: its text is its name, the description says what it is.
    auto* key = described<QComboBox>(&dialog, QStringLiteral("设备1按键1"));
    QCOMPARE(key->accessibleName(),
             QStringLiteral("010.") + QString::fromStdString(room.lampNames[10]));
    QCOMPARE(key->itemText(0), QString());
    QVERIFY(!described(&dialog, QStringLiteral("设备5按键1"))->isEnabled());  // a thermostat
    QCOMPARE(described<QLineEdit>(&dialog, QStringLiteral("设备2位置"))->accessibleName(),
             QStringLiteral("床头左"));
    QCOMPARE(described<QComboBox>(&dialog, QStringLiteral("设备7类型"))->currentText(),
             QStringLiteral("3.窗帘控制器"));
    // The card switch on key 6 of device 1 is in no key category, and still shows.
    QVERIFY(described<QComboBox>(&dialog, QStringLiteral("设备1按键6"))
                ->currentText()
                .startsWith(QStringLiteral("078.")));
    // The port list shows only when the definition page asked to send to the switches.
    QVERIFY(!byName(&dialog, QStringLiteral("串口号:"))->isVisibleTo(&dialog));
    edit.sendToSwitch = true;
    gui::PortDialog sending(room, edit, EditMode::Modify, prompter);
    QVERIFY(byName(&sending, QStringLiteral("串口号:"))->isVisibleTo(&sending));
}

void PortDialogTest::modifyWritesWhatWasChosen() {
    model::RoomTypeConfig room = exampleRoom();
    model::RoomTypeConfig edit = room;
    testing::RecordingPrompter prompter;
    gui::PortDialog dialog(room, edit, EditMode::Modify, prompter);
    dialog.show();
    const QString lamp15 = QStringLiteral("015.") + QString::fromStdString(room.lampNames[15]);
    choose(described<QComboBox>(&dialog, QStringLiteral("设备8输出2")), lamp15);
    choose(described<QComboBox>(&dialog, QStringLiteral("设备8按键1")), QString());
    described<QLineEdit>(&dialog, QStringLiteral("设备8位置"))->setText(QStringLiteral("浴室"));
    choose(described<QComboBox>(&dialog, QStringLiteral("设备9类型")),
           QStringLiteral("1.开关面板"));
    QTest::mouseClick(buttonCaptioned(&dialog, QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(room.devices[8].outputs[1], 15);
    QCOMPARE(room.outputLamp[(8 - 1) * 6 + 2], 15);
    QCOMPARE(room.devices[8].inputs[0], 0);
    QCOMPARE(QString::fromStdString(room.devices[8].name), QStringLiteral("浴室"));
    QCOMPARE(room.devices[9].type, 1);
    QCOMPARE(room.devices[1].inputs[5], 78);
    QVERIFY(prompter.records().isEmpty());
}

void PortDialogTest::newRefusesAnUntypedDevice() {
    model::RoomTypeConfig room = exampleRoom();
    room.devices[2].type = 0;
    model::RoomTypeConfig edit = room;
    testing::RecordingPrompter prompter;
    gui::PortDialog dialog(room, edit, EditMode::New, prompter);
    dialog.show();
    QCOMPARE(described<QComboBox>(&dialog, QStringLiteral("设备2类型"))->currentIndex(), 0);
    QTest::mouseClick(buttonCaptioned(&dialog, QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(prompter.texts(),
             QStringList{QStringLiteral("‘继电器端口配置’中第2个‘设备类型’未选择!")});
    QVERIFY(dialog.isVisible());
}

void PortDialogTest::syncRelaysAndKeyMarks() {
    model::RoomTypeConfig room = exampleRoom();
    room.lampInUse[19] = 1;
    model::RoomTypeConfig edit = room;
    testing::RecordingPrompter prompter;
    gui::PortDialog dialog(room, edit, EditMode::Modify, prompter);
    dialog.show();
    auto* key = described<QComboBox>(&dialog, QStringLiteral("设备8按键2"));
    auto* output = described<QComboBox>(&dialog, QStringLiteral("设备8输出2"));
    // 吧台灯 (19), in use now and on no output yet.
    const QString freeEntry = QString::fromStdString(dialog.session().entryText(19));
    choose(key, freeEntry);
    const auto colour = [](editing::KeyMark mark) {
        const editing::MarkStyle* s = editing::markStyle(mark);
        return QColor(s->r, s->g, s->b);
    };
    QCOMPARE(key->palette().color(QPalette::Button), colour(editing::KeyMark::NoOutput));
    QTest::mouseClick(buttonCaptioned(&dialog, QStringLiteral("同步继电器")), Qt::LeftButton);
    QCOMPARE(output->currentText(), freeEntry);
    QCOMPARE(key->palette().color(QPalette::Button), colour(editing::KeyMark::OneOutput));
    // Device 5 is a thermostat: its air-conditioner outputs stay although its keys are empty.
    QVERIFY(described<QComboBox>(&dialog, QStringLiteral("设备5输出1"))
                ->currentText()
                .startsWith(QStringLiteral("060.")));
}

void PortDialogTest::closeFrameOnlyWithAnOpenPort_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("choosePort");
    QTest::newRow("OK with a port") << true << true;
    QTest::newRow("Cancel with a port") << false << true;
    QTest::newRow("OK without a port") << true << false;
    QTest::newRow("Cancel without a port") << false << false;
}

void PortDialogTest::closeFrameOnlyWithAnOpenPort() {
    QFETCH(bool, ok);
    QFETCH(bool, choosePort);
    gui::PortComboBox::setLister([] { return QList<gui::PortChoice>{}; });
    gui::PortComboBox::setSimulationOffered(true);
    model::RoomTypeConfig room = exampleRoom();
    model::RoomTypeConfig edit = room;
    edit.sendToSwitch = true;
    testing::RecordingPrompter prompter;
    auto dialog = std::make_unique<gui::PortDialog>(room, edit, EditMode::Modify, prompter);
    QPointer<platform::SimulatedLink> link;
    dialog->setLinkFactory([&link](const gui::PortChoice&, const model::RoomTypeConfig& r) {
        auto made = std::make_unique<platform::SimulatedLink>(r);
        link = made.get();
        return std::unique_ptr<platform::SerialLink>(std::move(made));
    });
    dialog->show();
    auto* ports = byName<gui::PortComboBox>(dialog.get(), QStringLiteral("串口号:"));
    QCOMPARE(ports->count(), 0);  // nothing scanned until the list is used
    ports->refill();              // as opening it does
    QCOMPARE(ports->itemText(ports->count() - 1), QStringLiteral("SIM 模拟设备总线"));
    if (choosePort) choose(ports, QStringLiteral("SIM 模拟设备总线"));
    QCOMPARE(dialog->portOpen(), choosePort);
    QTest::mouseClick(buttonCaptioned(dialog.get(), QString::fromUtf8(ok ? "确定" : "取消")),
                      Qt::LeftButton);
    QCOMPARE(dialog->result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
    dialog.reset();  // the link outlives the dialog until its bytes are out
    QCOMPARE(bool(link), choosePort);
    if (choosePort) {
        const auto events = link->bus().takeEvents();
        QCOMPARE(events.size(), std::size_t(1));
        QCOMPARE(events[0].bytes, protocol::portEditorCloseFrame());
        QTRY_VERIFY(!link);  // and goes away by itself
    }
    QVERIFY(prompter.records().isEmpty());
    gui::PortComboBox::setSimulationOffered(false);
    gui::PortComboBox::setLister({});
}

void PortDialogTest::fitsTheSmallScreen() {
    gui::applyDialogColours(*qApp);
    model::RoomTypeConfig room = exampleRoom();
    room.deviceCount = 24;
    for (int v = 1; v <= 24; ++v) room.devices[v].type = 1;
    model::RoomTypeConfig edit = room;
    edit.sendToSwitch = true;
    testing::RecordingPrompter prompter;
    gui::PortDialog dialog(room, edit, EditMode::Modify, prompter);
    dialog.show();
    // Room left for the title bar and the taskbar of a 1366 x 768 screen.
    QVERIFY2(dialog.width() <= 1366 && dialog.height() <= 768 - 70,
             qPrintable(QStringLiteral("%1 x %2").arg(dialog.width()).arg(dialog.height())));
    QVERIFY(dialog.minimumSizeHint().width() <= 1366);
    const QString dir = qEnvironmentVariable("PORT_SNAPSHOTS");
    if (!dir.isEmpty()) QVERIFY(dialog.grab().save(dir + QStringLiteral("/ports-24-devices.png")));
}

void PortDialogTest::mainWindowModifyRunsBothEditors() {
    testing::WindowFixture fx;
    fx.document.room = exampleRoom();
    fx.window->refresh();
    gui::CommandHooks hooks;
    hooks.modifyRoomType = [&fx](gui::RoomDocument& doc, QWidget* parent) {
        return gui::runEditorFlow(editing::FlowKind::Modify, doc, fx.prompter, nullptr, parent);
    };
    fx.window->setCommandHooks(hooks);
    fx.window->show();
    bool portEditorShown = false;
    testing::ModalScript script({
        [](QWidget* definition) {
            QTest::mouseClick(buttonCaptioned(definition, QStringLiteral("确定")), Qt::LeftButton);
        },
        [&portEditorShown](QWidget* modal) {
            auto* ports = qobject_cast<gui::PortDialog*>(modal);
            QVERIFY(ports);
            portEditorShown = true;
            auto* output = described<QComboBox>(ports, QStringLiteral("设备1输出6"));
            choose(output, output->itemText(1));
            QTest::mouseClick(buttonCaptioned(ports, QStringLiteral("确定")), Qt::LeftButton);
        },
        [](QWidget* scenes) {  // the scene editor that follows: nothing to change here
            QTest::mouseClick(buttonCaptioned(scenes, QStringLiteral("取消")), Qt::LeftButton);
        },
    });
    fx.button(1003)->click();
    QVERIFY(portEditorShown);
    QCOMPARE(fx.document.room.devices[1].outputs[5], fx.document.room.outputLamp[6]);
    QVERIFY(fx.document.room.outputLamp[6] != 0);
    QCOMPARE(fx.document.room.modified, 1);
}

// Pictures to look at (PORT_SNAPSHOTS=/some/dir): both pages in New and Modify mode.
void PortDialogTest::snapshots() {
    const QString dir = qEnvironmentVariable("PORT_SNAPSHOTS");
    if (dir.isEmpty()) QSKIP("set PORT_SNAPSHOTS to a folder to write the pictures");
    gui::applyDialogColours(*qApp);
    for (const EditMode mode : {EditMode::New, EditMode::Modify}) {
        model::RoomTypeConfig room = exampleRoom();
        model::RoomTypeConfig edit = room;
        edit.sendToSwitch = true;
        testing::RecordingPrompter prompter;
        gui::PortDialog dialog(room, edit, mode, prompter);
        dialog.show();
        const QString tag =
            mode == EditMode::New ? QStringLiteral("new") : QStringLiteral("modify");
        for (int i = 0; i < 2; ++i) {
            dialog.tabs()->setCurrentIndex(i);
            QTest::qWait(20);
            QVERIFY(dialog.grab().save(QStringLiteral("%1/ports-%2-%3.png").arg(dir, tag).arg(i)));
        }
    }
}

QTEST_MAIN(PortDialogTest)
#include "port_dialog_test.moc"
