// Every control of the main window and the console can be found by what a person reads: its
// caption, or the text of the label beside it (port lists by "串口:" and "串口选择:").

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include "gui/console/console_window.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/port_dialog.h"
#include "gui/editors/scene_dialog.h"
#include "gui/job/job_window.h"
#include "gui/ports/port_combo_box.h"
#include "support/editor_finders.h"
#include "support/window_fixture.h"
#include "test_page_fixture.h"

using namespace room::testing;

namespace {

// The name a screen reader on Windows announces: the accessible name when set, else what Qt's
// own interface gives (a button's caption). Qt on Linux names a list by its current item and
// relies on the buddy relation instead, so the property is read first.
QString accessibleName(QWidget* widget) {
    if (!widget->accessibleName().isEmpty()) return widget->accessibleName();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

QList<QWidget*> controls(QWidget* window) {
    QList<QWidget*> found;
    for (auto* w : window->findChildren<QAbstractButton*>())
        if (!qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) found << w;
    for (auto* w : window->findChildren<QComboBox*>()) found << w;
    for (auto* w : window->findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(w->parentWidget())) found << w;
    for (auto* w : window->findChildren<QListWidget*>()) found << w;
    for (auto* w : window->findChildren<QPlainTextEdit*>()) found << w;
    return found;
}

// Controls without a name; and labels whose text does not name the control they stand for.
QStringList faults(QWidget* window) {
    QStringList found;
    for (QWidget* control : controls(window)) {
        // The scroll buttons of the tab bar and of scroll bars are Qt's own.
        if (control->objectName().startsWith(QLatin1String("qt_"))) continue;
        if (control->inherits("QTableCornerButton")) continue;  // a grid's own corner
        if (accessibleName(control).isEmpty())
            found << QString::fromLatin1(control->metaObject()->className()) + ' ' +
                         control->objectName();
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() && accessibleName(label->buddy()) != label->text())
            found << label->text() + QStringLiteral(" -> ") + accessibleName(label->buddy());
    }
    return found;
}

QWidget* byName(QWidget* window, const QString& name) {
    QWidget* hit = nullptr;
    for (QWidget* control : controls(window)) {
        if (accessibleName(control) != name) continue;
        if (hit) return nullptr;  // ambiguous
        hit = control;
    }
    return hit;
}

}  // namespace

class AccessibleNamesTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("objectName");
        QTest::newRow("port list") << "串口:"
                                   << "combo1213";
        QTest::newRow("menu") << "菜单"
                              << "btnMenu";
        QTest::newRow("download") << "下载"
                                  << "btn1005";
        QTest::newRow("key") << "1:廊灯"
                             << "key2100";
    }
    void mainWindow() {
        QFETCH(QString, name);
        QFETCH(QString, objectName);
        WindowFixture f;
        f.document.room = demoRoom();
        f.window->refresh();
        QStringList missing = faults(f.window.get());
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
        QWidget* found = byName(f.window.get(), name);
        QVERIFY2(found, qPrintable(name));
        QCOMPARE(found->objectName(), objectName);
    }

    void console_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("objectName");
        QTest::newRow("port list") << "串口选择:"
                                   << "ports";
        QTest::newRow("send all") << "下发所有"
                                  << "btn260";
        QTest::newRow("device 1 takes part") << "1#参与发送"
                                             << "select1";
        QTest::newRow("select all") << "全选"
                                    << "";  // on both pages: ambiguous, see below
        QTest::newRow("differences") << "本次差异"
                                     << "differences";
        QTest::newRow("curtain action") << "窗帘动作:"
                                        << "curtainActions";
        QTest::newRow("temperature") << "温度:"
                                     << "temperatures";
        QTest::newRow("infrared number") << "红外编号:"
                                         << "irNumber";
        QTest::newRow("library type") << "码库类型:"
                                      << "irLibraryType";
        QTest::newRow("code") << "编码：(根据表格查询)"
                              << "irCode";
        QTest::newRow("key count") << "发送修改键数指令(谨慎操作,配置完会重启)"
                                   << "keyCount";
        QTest::newRow("bus log") << "总线记录 (毫秒  方向  编号  类型  数据)"
                                 << "busLogView";
    }
    void console() {
        QFETCH(QString, name);
        QFETCH(QString, objectName);
        Console console(false);
        loadExample(console.document.room);
        room::gui::ConsoleWindow window(console.document, console.prompter);
        QStringList missing = faults(&window);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
        if (objectName.isEmpty()) {
            // A control each switch page has: found on the page shown.
            QWidget* page = window.tabs()->widget(0);
            QVERIFY(byName(page, name));
            return;
        }
        QWidget* found = byName(&window, name);
        QVERIFY2(found, qPrintable(name));
        QCOMPARE(found->objectName(), objectName);
    }
    // Every control of the three editors has a name, and every label names its control.
    void editors() {
        room::model::RoomTypeConfig roomType = room::testing::exampleRoomType();
        roomType.sendToSwitch = true;
        room::model::RoomTypeConfig edit = roomType;
        room::testing::RecordingPrompter prompter;
        room::gui::DefinitionDialog definition(roomType, edit, room::editing::EditMode::Modify,
                                               prompter, nullptr);
        room::gui::PortDialog ports(roomType, edit, room::editing::EditMode::Modify, prompter);
        room::gui::SceneDialog scenes(roomType, edit, room::editing::EditMode::Modify, prompter);
        for (QDialog* dialog : {static_cast<QDialog*>(&definition), static_cast<QDialog*>(&ports),
                                static_cast<QDialog*>(&scenes)}) {
            const QStringList missing = faults(dialog);
            QVERIFY2(missing.isEmpty(), qPrintable(dialog->windowTitle() + QStringLiteral(":\n") +
                                                   missing.join('\n')));
        }
    }
    // "工程进度" and its add-room dialog: named controls, filters found by their labels.
    void jobWindow() {
        QTemporaryDir dir;
        room::testing::RecordingPrompter prompter;
        room::gui::JobWindow window(prompter,
                                    {dir.filePath(QStringLiteral("records.sqlite")), {}, {}, {}});
        room::gui::AddRoomDialog add(prompter, {});
        for (QDialog* dialog : {static_cast<QDialog*>(&window), static_cast<QDialog*>(&add)}) {
            const QStringList missing = faults(dialog);
            QVERIFY2(missing.isEmpty(), qPrintable(dialog->windowTitle() + QStringLiteral(":\n") +
                                                   missing.join('\n')));
        }
        QCOMPARE(byName(&window, QStringLiteral("状态:"))->objectName(),
                 QStringLiteral("stateFilter"));
        QCOMPARE(byName(&add, QStringLiteral("房型文件:"))->objectName(),
                 QStringLiteral("roomTypeFile"));
    }
};

QTEST_MAIN(AccessibleNamesTest)
#include "accessible_names_test.moc"
