// From nothing to a saved room type, as an installer does it: "新建" with every dialog driven by
// what it shows, then "保存", then the command-line tool reads the saved file back.

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "gui/editors/definition_dialog.h"
#include "gui/editors/editor_flow.h"
#include "gui/editors/lamp_grid.h"
#include "gui/editors/scene_dialog.h"
#include "gui/toolkit/color_button.h"
#include "support/editor_finders.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"

using namespace room;

using testing::chooseStartingWith;

namespace {

QString run(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(ROOMCFG_CLI), arguments);
    cli.waitForFinished(20000);
    return QString::fromUtf8(cli.readAllStandardOutput());
}

// The definition dialog: one 联网485 panel with 廊灯 and 卫浴灯.
void defineOnePanel(QWidget* d) {
    testing::byName<QLineEdit>(d, QStringLiteral("酒店名称："))
        ->setText(QStringLiteral("湖光酒店"));
    testing::byName<QLineEdit>(d, QStringLiteral("房型名称："))
        ->setText(QStringLiteral("雅致房"));
    testing::byName<QLineEdit>(d, QStringLiteral("房型编号："))
        ->setText(QStringLiteral("17"));
    auto* type = testing::byName<QComboBox>(d, QStringLiteral("系统类型："));
    type->setCurrentIndex(3);
    emit type->activated(3);
    testing::byName<QComboBox>(d, QStringLiteral("开关数量："))->setCurrentIndex(1);
    auto* definition = qobject_cast<gui::DefinitionDialog*>(d);
    QVERIFY(definition);
    gui::LampGrid* grid = definition->grid(editing::ListPage::Ordinary);
    definition->tabs()->setCurrentIndex(1);
    for (int lamp : {10, 11}) {
        const int row = grid->rowOf(lamp);
        const int column = grid->columnOf(lamp, gui::LampGrid::kMarkerCell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, column)).center());
    }
    QTest::mouseClick(testing::shownButton(d, QStringLiteral("确定")), Qt::LeftButton);
}

}  // namespace

class NewRoomTypeTest : public QObject {
    Q_OBJECT

private slots:
    void newThenSaveThenTheToolReadsItBack();
    void backFromTheDiscardQuestionKeepsThePortEditor();
};

void NewRoomTypeTest::newThenSaveThenTheToolReadsItBack() {
    QTemporaryDir dir;
    testing::WindowFixture fx;
    gui::CommandHooks hooks;
    hooks.newRoomType = [&fx](gui::RoomDocument& doc, QWidget* parent) {
        return gui::runEditorFlow(editing::FlowKind::New, doc, fx.prompter, nullptr, parent);
    };
    fx.window->setCommandHooks(hooks);
    fx.window->show();
    testing::ModalScript script({
        defineOnePanel,
        [](QWidget* d) {  // the port editor: the one panel, 廊灯 on key 1, 卫浴灯 on output 1
            chooseStartingWith(testing::described<QComboBox>(d, QStringLiteral("设备1类型")),
                               QStringLiteral("1.开关面板"));
            testing::described<QLineEdit>(d, QStringLiteral("设备1位置"))
                ->setText(QStringLiteral("门口"));
            chooseStartingWith(testing::described<QComboBox>(d, QStringLiteral("设备1按键1")),
                               QStringLiteral("010."));
            chooseStartingWith(testing::described<QComboBox>(d, QStringLiteral("设备1输出1")),
                               QStringLiteral("011."));
            QTest::mouseClick(testing::shownButton(d, QStringLiteral("确定")), Qt::LeftButton);
        },
        [](QWidget* d) {  // the scene editor: 卫浴灯 on in "入住模式" (key 7, always there)
            QTest::mouseClick(testing::described<gui::ColorButton>(d, QStringLiteral("情景7")),
                              Qt::LeftButton);
            QTest::mouseClick(testing::shownButton(d, QStringLiteral("开")), Qt::LeftButton);
            QTest::mouseClick(testing::described<gui::ColorButton>(d, QStringLiteral("输出1")),
                              Qt::LeftButton);
            QTest::mouseClick(testing::shownButton(d, QStringLiteral("确定")), Qt::LeftButton);
        },
    });
    fx.button(1000)->click();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);
    QCOMPARE(QString::fromStdString(fx.document.room.hotelName), QStringLiteral("湖光酒店"));
    QCOMPARE(fx.document.room.systemType, 3);
    QVERIFY(fx.document.room.lampInUse[10] && fx.document.room.lampInUse[11]);

    const QString path = dir.filePath(QStringLiteral("new.shd"));
    fx.dialogs.savePaths << path;
    fx.window->save();
    QVERIFY(QFile::exists(path));

    const QString info = run({QStringLiteral("info"), path});
    QVERIFY2(info.contains(QStringLiteral("酒店名称:湖光酒店")), qPrintable(info));
    QVERIFY(info.contains(QStringLiteral("房型:雅致房")));
    QVERIFY(info.contains(QStringLiteral("房型编号:17")));
    QVERIFY(info.contains(QStringLiteral("3.联网485")));
    // The panel as the port and scene editors set it.
    QVERIFY2(info.contains(QStringLiteral("01  1.开关面板  \"门口\"  inputs 10,0,0,0,0,0  outputs "
                                          "11,0,0,0,0,0  scenes 56")),
             qPrintable(info));
    const QString yml = dir.filePath(QStringLiteral("new.yml"));
    run({QStringLiteral("export-yml"), path, QStringLiteral("-o"), yml});
    QFile exported(yml);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QString text =
        QString::fromStdString(format::gbkToUtf8(exported.readAll().toStdString()));
    QVERIFY2(text.contains(QStringLiteral("湖光酒店")), qPrintable(text.left(400)));
}

// Esc in the port editor of a New, then 取消 to "是否放弃新建的房型?": the editor is still there
// with what was typed into it, and its OK takes that.
void NewRoomTypeTest::backFromTheDiscardQuestionKeepsThePortEditor() {
    testing::WindowFixture fx;
    gui::CommandHooks hooks;
    hooks.newRoomType = [&fx](gui::RoomDocument& doc, QWidget* parent) {
        return gui::runEditorFlow(editing::FlowKind::New, doc, fx.prompter, nullptr, parent);
    };
    fx.window->setCommandHooks(hooks);
    fx.window->show();
    fx.prompter.answerNext(platform::Answer::Cancel);
    fx.prompter.answerNext(platform::Answer::Ok);  // only if the editor came back empty
    bool keptOpen = false;
    testing::ModalScript script({
        defineOnePanel,
        [&](QWidget* d) {
            testing::described<QLineEdit>(d, QStringLiteral("设备1位置"))
                ->setText(QStringLiteral("门口"));
            chooseStartingWith(testing::described<QComboBox>(d, QStringLiteral("设备1按键1")),
                               QStringLiteral("010."));
            chooseStartingWith(testing::described<QComboBox>(d, QStringLiteral("设备1类型")),
                               QStringLiteral("1.开关面板"));
            QTest::keyClick(d, Qt::Key_Escape);
            keptOpen = d->isVisible();
            if (!keptOpen) return;
            QCOMPARE(testing::described<QLineEdit>(d, QStringLiteral("设备1位置"))->text(),
                     QStringLiteral("门口"));
            QTest::mouseClick(testing::shownButton(d, QStringLiteral("确定")), Qt::LeftButton);
        },
        [](QWidget* d) {  // the scene editor, or an emptied port editor given up on
            const bool ports = d->objectName() == QStringLiteral("portDialog");
            QTest::mouseClick(testing::shownButton(d, ports ? QStringLiteral("取消")
                                                            : QStringLiteral("确定")),
                              Qt::LeftButton);
        },
    });
    fx.button(1000)->click();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);
    QVERIFY(keptOpen);
    QCOMPARE(fx.prompter.records().size(), 1);
    QCOMPARE(fx.prompter.records()[0].text, QStringLiteral("是否放弃新建的房型?"));
    const model::DeviceRecord& panel = fx.document.room.devices[1];
    QCOMPARE(QString::fromStdString(panel.name), QStringLiteral("门口"));
    QCOMPARE(panel.inputs[0], 10);
    QCOMPARE(int(panel.type), 1);
}

QTEST_MAIN(NewRoomTypeTest)
#include "new_room_type_test.moc"
