// The definition dialog driven as an installer (or a screen reader) finds its controls: by the
// text of their labels, the tab captions and the button captions.

#include "gui/editors/definition_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/format/shd_file.h"
#include "gui/editors/editor_flow.h"
#include "gui/editors/lamp_grid.h"
#include "gui/main/application.h"
#include "gui/main/main_window.h"
#include "support/editor_finders.h"
#include "support/window_fixture.h"

using namespace room;
using room::editing::EditMode;
using room::editing::ListPage;

namespace {

using testing::buttonCaptioned;
using testing::byName;

int tabCaptioned(QTabWidget* tabs, const QString& caption) {
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == caption) return i;
    }
    return -1;
}

void clickCell(gui::LampGrid* grid, int lamp, int cell) {
    const int row = grid->rowOf(lamp);
    const int column = grid->columnOf(lamp, cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, column)).center());
}

}  // namespace

class DefinitionDialogTest : public QObject {
    Q_OBJECT

private slots:
    void tabsAndControlsByTheirTexts();
    void modifyWritesBackWhatWasChanged();
    void newRefusesAnEmptyHotelNameAndKeepsTheDialogOpen();
    void selectionLimitAndCounter();
    void mainWindowModifyRetitles();
    void snapshots();
};

void DefinitionDialogTest::tabsAndControlsByTheirTexts() {
    model::RoomTypeConfig room = testing::exampleRoomType();
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::DefinitionDialog dialog(room, edit, EditMode::Modify, prompter, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("基本信息与选择输入信号"));
    const QStringList tabs = {"基本信息 ", "普通灯光按键 ", "调光按键与其它 ",
                              "窗帘窗纱 ", "情景模式按键 ", "其它按键 ",
                              "预留",      "功能选项 "};
    QCOMPARE(dialog.tabs()->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i) QCOMPARE(dialog.tabs()->tabText(i), tabs[i]);
    for (const char* label : {"酒店名称：", "房型名称：", "房型编号：", "系统类型：",
                              "温控器数量：", "开关数量：", "网关数量：", "拔卡后延时"}) {
        QVERIFY2(testing::byName(&dialog, QString::fromUtf8(label)), label);
    }
    QCOMPARE(testing::byName<QLineEdit>(&dialog, QStringLiteral("酒店名称："))->text(),
             QString::fromStdString(room.hotelName));
    QCOMPARE(testing::byName<QComboBox>(&dialog, QStringLiteral("系统类型："))->currentText(),
             QStringLiteral("3.联网485"));
    QComboBox* switches = testing::byName<QComboBox>(&dialog, QStringLiteral("开关数量："));
    QCOMPARE(switches->itemText(1), QStringLiteral("01"));
    QCOMPARE(switches->count(), 33);
    QVERIFY(testing::buttonCaptioned(&dialog, QStringLiteral("确定")));
    QVERIFY(testing::buttonCaptioned(&dialog, QStringLiteral("取消")));
    // Hidden settings exist and carry their values, but do not show.
    auto* hiddenFlag = dialog.findChild<QCheckBox*>();
    QVERIFY(hiddenFlag);
    bool foundHidden = false;
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == QStringLiteral("开门取电")) foundHidden = !box->isVisibleTo(&dialog);
    }
    QVERIFY(foundHidden);
    // The function options show their first five boxes.
    int visibleOptions = 0;
    for (QCheckBox* box : dialog.tabs()->widget(7)->findChildren<QCheckBox*>()) {
        visibleOptions += box->isVisibleTo(dialog.tabs()->widget(7));
    }
    QCOMPARE(visibleOptions, 5);
}

void DefinitionDialogTest::modifyWritesBackWhatWasChanged() {
    model::RoomTypeConfig room = testing::exampleRoomType();
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::DefinitionDialog dialog(room, edit, EditMode::Modify, prompter, nullptr);
    dialog.show();
    QLineEdit* hotel = testing::byName<QLineEdit>(&dialog, QStringLiteral("酒店名称："));
    hotel->selectAll();
    hotel->insert(QStringLiteral("湖边酒店"));  // typed: keyClicks takes only ASCII
    dialog.tabs()->setCurrentIndex(tabCaptioned(dialog.tabs(), QStringLiteral("普通灯光按键 ")));
    gui::LampGrid* grid = dialog.grid(ListPage::Ordinary);
    const bool wasUsed = room.lampInUse[14] != 0;
    clickCell(grid, 14, gui::LampGrid::kMarkerCell);
    QTest::mouseClick(testing::buttonCaptioned(&dialog, QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(room.hotelName), QStringLiteral("湖边酒店"));
    QCOMPARE(room.lampInUse[14] != 0, !wasUsed);
    QVERIFY(prompter.records().isEmpty());
}

void DefinitionDialogTest::newRefusesAnEmptyHotelNameAndKeepsTheDialogOpen() {
    model::RoomTypeConfig room = testing::exampleRoomType();
    const std::string before = room.hotelName;
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::DefinitionDialog dialog(room, edit, EditMode::New, prompter, nullptr);
    dialog.show();
    QCOMPARE(testing::byName<QLineEdit>(&dialog, QStringLiteral("酒店名称："))->text(),
             QStringLiteral("XX酒店"));
    testing::byName<QLineEdit>(&dialog, QStringLiteral("酒店名称："))->clear();
    QTest::mouseClick(testing::buttonCaptioned(&dialog, QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("请输入酒店名和房型!")});
    QVERIFY(dialog.isVisible());
    // Choosing the blank system type is refused and the previous choice comes back.
    QComboBox* type = testing::byName<QComboBox>(&dialog, QStringLiteral("系统类型："));
    const int previous = type->currentIndex();
    type->setCurrentIndex(0);
    emit type->activated(0);
    QCOMPARE(prompter.texts().last(), QStringLiteral("未选择系统类型!"));
    QCOMPARE(type->currentIndex(), previous);
    QTest::mouseClick(testing::buttonCaptioned(&dialog, QStringLiteral("取消")), Qt::LeftButton);
    QCOMPARE(room.hotelName, before);
}

void DefinitionDialogTest::selectionLimitAndCounter() {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;
    testing::RecordingPrompter prompter;
    gui::DefinitionDialog dialog(room, edit, EditMode::New, prompter, nullptr);
    dialog.show();
    auto* counter = dialog.findChild<QLabel*>(QStringLiteral("selection1"));
    QCOMPARE(counter->text(), QStringLiteral("已选 0/70"));
    gui::LampGrid* grid = dialog.grid(ListPage::Ordinary);
    dialog.tabs()->setCurrentIndex(1);
    for (int lamp : model::defaultOrdinaryLightKeys())
        clickCell(grid, lamp, gui::LampGrid::kNumberCell);
    QCOMPARE(counter->text(), QStringLiteral("已选 63/70"));
    gui::LampGrid* curtains = dialog.grid(ListPage::Curtains);
    dialog.tabs()->setCurrentIndex(3);
    for (int lamp : model::defaultCurtainKeys())
        clickCell(curtains, lamp, gui::LampGrid::kNumberCell);
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("selection3"))->text(),
             QStringLiteral("已选 70/70"));
    QVERIFY(prompter.texts().contains(QStringLiteral("已超出最大输入端数量!")));
    // The marker cell says what it is to a screen reader.
    QCOMPARE(curtains->item(0, 1)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("已选"));
}

void DefinitionDialogTest::mainWindowModifyRetitles() {
    testing::WindowFixture fx;
    fx.document.room = testing::exampleRoomType();
    fx.window->refresh();
    gui::CommandHooks hooks;
    hooks.modifyRoomType = [&fx](gui::RoomDocument& doc, QWidget* parent) {
        return gui::runEditorFlow(editing::FlowKind::Modify, doc, fx.prompter, nullptr, parent);
    };
    fx.window->setCommandHooks(hooks);
    fx.window->show();
    // The definition dialog is confirmed; the editor that follows it is cancelled.
    QTimer poll;
    QPointer<QWidget> answered;  // the next dialog may sit at the same address
    QObject::connect(&poll, &QTimer::timeout, [&answered] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == answered) return;
        answered = modal;
        if (auto* dialog = qobject_cast<gui::DefinitionDialog*>(modal)) {
            testing::byName<QLineEdit>(dialog, QStringLiteral("房型名称："))
                ->setText(QStringLiteral("行政套房"));
            QTest::mouseClick(testing::buttonCaptioned(dialog, QStringLiteral("确定")),
                              Qt::LeftButton);
        } else if (QPushButton* cancel = testing::buttonCaptioned(modal, QStringLiteral("取消"))) {
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    poll.start(10);
    fx.button(1003)->click();
    QCOMPARE(QString::fromStdString(fx.document.room.roomTypeName), QStringLiteral("行政套房"));
    QVERIFY(fx.window->windowTitle().contains(QStringLiteral("房型:行政套房")));
    QCOMPARE(fx.document.room.modified, 1);
}

// Pictures to look at (DEFINITION_SNAPSHOTS=/some/dir): every page in New and Modify mode.
void DefinitionDialogTest::snapshots() {
    const QString dir = qEnvironmentVariable("DEFINITION_SNAPSHOTS");
    if (dir.isEmpty()) QSKIP("set DEFINITION_SNAPSHOTS to a folder to write the pictures");
    gui::applyDialogColours(*qApp);
    for (const EditMode mode : {EditMode::New, EditMode::Modify}) {
        model::RoomTypeConfig room = testing::exampleRoomType();
        model::RoomTypeConfig edit;
        testing::RecordingPrompter prompter;
        gui::DefinitionDialog dialog(room, edit, mode, prompter, nullptr);
        dialog.show();
        const QString tag =
            mode == EditMode::New ? QStringLiteral("new") : QStringLiteral("modify");
        for (int i = 0; i < dialog.tabs()->count(); ++i) {
            dialog.tabs()->setCurrentIndex(i);
            QTest::qWait(20);
            QVERIFY(
                dialog.grab().save(QStringLiteral("%1/definition-%2-%3.png").arg(dir, tag).arg(i)));
        }
    }
}

QTEST_MAIN(DefinitionDialogTest)
#include "definition_dialog_test.moc"
