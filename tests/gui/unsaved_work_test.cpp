// No command of the main window replaces or throws away a modified room type without asking:
// "打开", "新建", a recent file and closing share "是否保存文件?"; Cancel in a later editor of a New
// asks first; a name without a known suffix still saves. And the helps of a desktop program:
// "最近打开", Ctrl+N/O/S and the "*" of unsaved changes in the title.

#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "gui/editors/editor_flow.h"
#include "gui/main/recent_files.h"
#include "platform/settings_store.h"
#include "support/editor_finders.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"

using namespace room;
using platform::Answer;
using testing::PromptRecord;
using testing::WindowFixture;

namespace {

const QString kAskSave = QStringLiteral("是否保存文件?");

void showDemoRoom(WindowFixture& f) {
    f.document.room = testing::demoRoom();
    f.window->refresh();
}

QString writeHandWritten(const QTemporaryDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    testing::writeGbkFile(path, testing::handWrittenShd(QStringLiteral("162,")));
    return path;
}

QStringList questions(const testing::RecordingPrompter& prompter) {
    QStringList texts;
    for (const PromptRecord& record : prompter.records())
        if (record.kind == PromptRecord::Kind::Question) texts << record.text;
    return texts;
}

QAbstractButton* toolbarButton(WindowFixture& f, const QString& caption) {
    return testing::shownButton(f.window.get(), caption);
}

QMenu* recentMenu(WindowFixture& f) {
    for (QAction* action : f.window->toolbar()->menu()->actions())
        if (action->text() == QStringLiteral("最近打开")) return action->menu();
    return nullptr;
}

// The entries a person sees in the menu.
QList<QAction*> entries(QMenu* menu) {
    QList<QAction*> shown;
    for (QAction* action : menu->actions())
        if (action->isVisible()) shown << action;
    return shown;
}

}  // namespace

class UnsavedWorkTest : public QObject {
    Q_OBJECT

private slots:
    void openAndNewAskFirst_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("replaced");
        for (const char* command : {"打开", "新建"}) {
            const QString c = QString::fromUtf8(command);
            QTest::addRow("%s yes", command) << c << int(Answer::Yes) << true << true;
            QTest::addRow("%s no", command) << c << int(Answer::No) << false << true;
            QTest::addRow("%s cancel", command) << c << int(Answer::Cancel) << false << false;
        }
    }
    void openAndNewAskFirst() {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        WindowFixture f;
        bool newRan = false;
        gui::CommandHooks hooks;
        hooks.newRoomType = [&newRan](gui::RoomDocument&, QWidget*) { return newRan = true; };
        f.window->setCommandHooks(hooks);
        showDemoRoom(f);
        f.document.room.modified = 1;
        const QString savedPath = dir.filePath(QStringLiteral("work.shd"));
        f.dialogs.savePaths << savedPath;
        f.dialogs.openPaths << writeHandWritten(dir, QStringLiteral("other.shd"));
        f.prompter.answerNext(static_cast<Answer>(answer));
        f.window->show();

        toolbarButton(f, command)->click();
        QCOMPARE(questions(f.prompter), QStringList{kAskSave});
        QCOMPARE(QFileInfo::exists(savedPath), saved);
        const bool opened = QString::fromStdString(f.document.room.hotelName) ==
                            QStringLiteral("湖畔酒店");
        QCOMPARE(command == QStringLiteral("打开") ? opened : newRan, replaced);
    }

    // The file just opened is what the room type is: closing asks nothing.
    void openedFileClosesWithoutQuestion() {
        QTemporaryDir dir;
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        f.window->show();
        f.dialogs.openPaths << writeHandWritten(dir, QStringLiteral("room.shd"));
        f.prompter.answerNext(Answer::No);  // the changes are not wanted
        toolbarButton(f, QStringLiteral("打开"))->click();
        QVERIFY(!f.window->windowTitle().startsWith(QLatin1Char('*')));
        QVERIFY(f.window->close());
        QCOMPARE(questions(f.prompter), QStringList{kAskSave});  // only before opening
    }

    // Cancel (or Escape) in the port or scene editor of a New asks; Cancel there goes back to the
    // same editor, still open.
    void cancelInALaterEditorOfNewAsks() {
        WindowFixture f;
        showDemoRoom(f);
        const std::string before = f.document.room.hotelName;
        gui::CommandHooks hooks;
        hooks.newRoomType = [&f](gui::RoomDocument& doc, QWidget* parent) {
            return gui::runEditorFlow(editing::FlowKind::New, doc, f.prompter, nullptr, parent);
        };
        f.window->setCommandHooks(hooks);
        f.window->show();
        int portEditorShown = 0;
        auto cancelPorts = [&portEditorShown](QWidget* d) {
            ++portEditorShown;
            QTest::mouseClick(testing::shownButton(d, QStringLiteral("取消")), Qt::LeftButton);
            QVERIFY(d->isVisible());
            QTest::mouseClick(testing::shownButton(d, QStringLiteral("取消")), Qt::LeftButton);
        };
        testing::ModalScript script({
            [](QWidget* d) {
                testing::byName<QLineEdit>(d, QStringLiteral("酒店名称："))
                    ->setText(QStringLiteral("新酒店"));
                testing::byName<QLineEdit>(d, QStringLiteral("房型名称："))
                    ->setText(QStringLiteral("新房型"));
                testing::byName<QLineEdit>(d, QStringLiteral("房型编号："))
                    ->setText(QStringLiteral("3"));
                QTest::mouseClick(testing::shownButton(d, QStringLiteral("确定")), Qt::LeftButton);
            },
            cancelPorts,
        });
        f.prompter.answerNext(Answer::Cancel);  // back to the port editor
        f.prompter.answerNext(Answer::Ok);      // throw the new room type away
        toolbarButton(f, QStringLiteral("新建"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);
        QCOMPARE(portEditorShown, 1);
        QCOMPARE(questions(f.prompter), (QStringList{QStringLiteral("是否放弃新建的房型?"),
                                                     QStringLiteral("是否放弃新建的房型?")}));
        QCOMPARE(f.document.room.hotelName, before);
    }

    // The ".shd" added makes a name the dialog did not ask about: replacing it is asked.
    void addedSuffixAsksBeforeReplacing() {
        QTemporaryDir dir;
        const QString existing = writeHandWritten(dir, QStringLiteral("room.shd"));
        const QByteArray old = testing::readGbkFile(existing).toUtf8();
        WindowFixture f;
        showDemoRoom(f);
        f.dialogs.savePaths << dir.filePath(QStringLiteral("room")) << dir.filePath("room");
        f.prompter.answerNext(Answer::Cancel);
        f.window->save();
        QCOMPARE(testing::readGbkFile(existing).toUtf8(), old);
        QCOMPARE(questions(f.prompter).size(), 1);
        QVERIFY(questions(f.prompter).first().contains(QStringLiteral("是否替换")));
        f.prompter.answerNext(Answer::Ok);
        f.window->save();
        QVERIFY(testing::readGbkFile(existing).contains(QStringLiteral("测试酒店")));
    }

    void titleShowsUnsavedChanges() {
        QTemporaryDir dir;
        WindowFixture f;
        gui::CommandHooks hooks;
        hooks.modifyRoomType = [](gui::RoomDocument&, QWidget*) { return true; };
        f.window->setCommandHooks(hooks);
        showDemoRoom(f);
        f.window->show();
        toolbarButton(f, QStringLiteral("修改"))->click();
        QVERIFY2(f.window->windowTitle().startsWith(QStringLiteral("*Tavrin")),
                 qPrintable(f.window->windowTitle()));
        f.dialogs.savePaths << dir.filePath(QStringLiteral("saved.shd"));
        toolbarButton(f, QStringLiteral("保存"))->click();
        QVERIFY(f.window->windowTitle().startsWith(QStringLiteral("Tavrin")));
        QVERIFY(f.window->windowTitle().endsWith(
            QDir::toNativeSeparators(dir.filePath(QStringLiteral("saved.shd")))));
    }

    void keyboardShortcuts() {
        QTemporaryDir dir;
        WindowFixture f;
        int newRuns = 0;
        gui::CommandHooks hooks;
        hooks.newRoomType = [&newRuns](gui::RoomDocument&, QWidget*) { return ++newRuns > 0; };
        f.window->setCommandHooks(hooks);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        // A button's shortcut clicks it the way a mouse would, shortly after the key.
        QTest::keyClick(f.window.get(), Qt::Key_N, Qt::ControlModifier);
        QTRY_COMPARE(newRuns, 1);
        f.dialogs.savePaths << dir.filePath(QStringLiteral("keys.shd"));
        QTest::keyClick(f.window.get(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("keys.shd"))));
        f.dialogs.openPaths << writeHandWritten(dir, QStringLiteral("open.shd"));
        QTest::keyClick(f.window.get(), Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(QString::fromStdString(f.document.room.hotelName), QStringLiteral("湖畔酒店"));
    }

    // Opened and saved files come first in "最近打开", also after a new start; choosing one opens
    // it, after the same question as "打开".
    void recentFiles() {
        QTemporaryDir dir;
        platform::SettingsStore settings(dir.path());
        const QString first = writeHandWritten(dir, QStringLiteral("first.shd"));
        const QString second = writeHandWritten(dir, QStringLiteral("second.shd"));
        {
            WindowFixture f;
            f.window = std::make_unique<gui::MainWindow>(
                f.document, gui::MainWindowServices{&f.prompter, &f.dialogs, &f.speech, &settings});
            QVERIFY(recentMenu(f));
            QVERIFY(!recentMenu(f)->isEnabled());
            f.dialogs.openPaths << first << second;
            f.window->openFromDialog();
            f.window->openFromDialog();
            QCOMPARE(entries(recentMenu(f)).size(), 2);
        }
        WindowFixture f;
        f.window = std::make_unique<gui::MainWindow>(
            f.document, gui::MainWindowServices{&f.prompter, &f.dialogs, &f.speech, &settings});
        QMenu* menu = recentMenu(f);
        QCOMPARE(entries(menu).size(), 2);
        QVERIFY(entries(menu)[0]->text().endsWith(QDir::toNativeSeparators(second)));
        QVERIFY(entries(menu)[1]->text().endsWith(QDir::toNativeSeparators(first)));

        f.document.room.modified = 1;
        f.prompter.answerNext(Answer::Cancel);
        entries(menu)[1]->trigger();
        QCOMPARE(questions(f.prompter), QStringList{kAskSave});
        QVERIFY(f.document.room.hotelName != std::string("湖畔酒店"));
        f.prompter.answerNext(Answer::No);
        entries(menu)[1]->trigger();
        QCOMPARE(QString::fromStdString(f.document.room.hotelName), QStringLiteral("湖畔酒店"));
        QVERIFY(f.window->windowTitle().endsWith(QDir::toNativeSeparators(first)));
        QVERIFY(entries(menu)[0]->text().endsWith(QDir::toNativeSeparators(first)));
    }
};

QTEST_MAIN(UnsavedWorkTest)
#include "unsaved_work_test.moc"
