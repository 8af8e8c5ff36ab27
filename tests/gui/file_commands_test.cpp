// Open, Save and the close prompt of the main window, with files on disk and the dialogs and
// message boxes answered by the test.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "gui/main/demo_panel.h"
#include "gui/ports/port_combo_box.h"
#include "support/file_size_limit.h"
#include "support/window_fixture.h"

#if defined(__linux__)
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace room;
using testing::PromptRecord;
using testing::WindowFixture;

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString roomTitle(const char* text, const QString& path) {
    return gui::baseTitle() + QString::fromUtf8(text) + QStringLiteral("   ") + native(path);
}

const char* const kHandWrittenTitle =
    "   酒店名称:湖畔酒店   房型:套房   房型编号:12   主机型号:3.联网485";
const char* const kDemoTitle =
    "   酒店名称:测试酒店   房型:大床房   房型编号:1   主机型号:1.联网Mesh";

void showDemoRoom(WindowFixture& f) {
    f.document.room = testing::demoRoom();
    f.window->refresh();
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Root ignores folder permissions; dropping the override capabilities of this thread makes the
// unwritable folder unwritable for the test as it is for an installer.
bool setPermissionOverride(bool on) {
#if defined(__linux__)
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        const unsigned bit = 1u << cap;
        data[0].effective =
            on ? (data[0].effective | (data[0].permitted & bit)) : (data[0].effective & ~bit);
    }
    return syscall(SYS_capset, &header, data) == 0;
#else
    (void)on;
    return true;
#endif
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        gui::PortComboBox::setLister([] { return QList<gui::PortChoice>{}; });
        m_folder = std::make_unique<QTemporaryDir>();  // a fresh folder for every case
        QVERIFY(m_folder->isValid());
    }

    void openShowsTheRoomOfAHandWrittenFile() {
        // .hdq is accepted when typed; the suffix in any letter case
        const QStringList names = {"room.shd", "room.hdq", "ROOM1.SHD", "Room.Hdq"};
        for (const QString& name : names) {
            WindowFixture f;
            const QString path = m_dir.filePath(name);
            QVERIFY(testing::writeGbkFile(path, testing::handWrittenShd("162,")));
            f.dialogs.openPaths << path;
            f.button(1001)->click();
            QCOMPARE(f.window->windowTitle(), roomTitle(kHandWrittenTitle, path));
            QCOMPARE(f.key(1)->text(), QStringLiteral("1:走廊灯"));  // the file's lamp name
            QCOMPARE(f.key(2)->text(), QStringLiteral("2:取电开关"));
            QVERIFY(f.key(7)->isHidden());
            QCOMPARE(f.relay(5)->text(), QStringLiteral("K5:受控插座"));
            QCOMPARE(f.relay(7)->text(), QStringLiteral("K1:卫浴灯"));
            QVERIFY(!f.relay(8)->isHidden());
            QVERIFY(!f.button(1002)->isHidden());
            QVERIFY(f.prompter.records().isEmpty());
            QCOMPARE(f.document.room.modified, 0);
        }
    }

    void openRefusesOtherExtensionsWithAMessageAndCancelIsSilent() {
        WindowFixture f;
        showDemoRoom(f);
        const QString path = m_dir.filePath("room.pdf");
        QVERIFY(testing::writeGbkFile(path, testing::handWrittenShd("162,")));
        f.dialogs.openPaths << path;
        f.button(1001)->click();
        f.button(1001)->click();  // cancelled
        QCOMPARE(f.document.room.hotelName, std::string("测试酒店"));
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("文件打开失败!\n") + native(path) +
                                                 "\n不是房型配置文件"});
    }

    void refusedFileKeepsTheRoomTypeInMemory_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("message");
        QTest::newRow("newer") << "163,"
                               << "软件版本低,请用1.6.3及以上版本打开!";
        QTest::newRow("older") << "129,"
                               << "配置文件版本低,请用1.2.9版本打开!";
    }
    void refusedFileKeepsTheRoomTypeInMemory() {
        QFETCH(QString, version);
        QFETCH(QString, message);
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        f.window->showRoomTitle();
        const QString before = f.window->windowTitle();
        const QString path = m_dir.filePath("refused.shd");
        QVERIFY(testing::writeGbkFile(path, testing::handWrittenShd(version)));
        f.dialogs.openPaths << path;
        f.prompter.answerNext(platform::Answer::No);  // not saved first
        f.button(1001)->click();
        QCOMPARE(f.prompter.texts(), (QStringList{QStringLiteral("是否保存文件?"), message}));
        QCOMPARE(f.document.room.hotelName, std::string("测试酒店"));
        QCOMPARE(f.document.room.inputLamp[2], 78);
        QCOMPARE(f.document.room.modified, 1);
        QCOMPARE(f.window->windowTitle(), before);
        QCOMPARE(f.key(1)->text(), QStringLiteral("1:廊灯"));
        QVERIFY(!f.key(1)->isHidden());
    }

    void fileWithoutVersionLoadsWithoutRefresh() {
        WindowFixture f;
        showDemoRoom(f);
        const QString path = m_dir.filePath("old.shd");
        QVERIFY(testing::writeGbkFile(path, testing::handWrittenShd("")));
        f.dialogs.openPaths << path;
        f.button(1001)->click();
        QCOMPARE(f.prompter.texts(), QStringList{"配置文件版本低,请用0.0.0版本打开!"});
        QCOMPARE(f.window->windowTitle(), roomTitle(kHandWrittenTitle, path));
        QCOMPARE(f.document.room.hotelName, std::string("湖畔酒店"));
        for (int k = 1; k <= 8; ++k) QVERIFY(f.key(k)->isHidden() && f.relay(k)->isHidden());
    }

    void unreadableFileKeepsTheRoomAndSaysWhy() {
        WindowFixture f;
        showDemoRoom(f);
        const QString path = m_dir.filePath("missing.shd");
        f.dialogs.openPaths << path;
        f.button(1001)->click();
        QCOMPARE(f.prompter.records().size(), 1);
        const QString text = f.prompter.records().first().text;
        QVERIFY2(text.startsWith(QStringLiteral("文件打开失败!\n") + native(path) + "\n"),
                 qPrintable(text));
        QVERIFY(text.size() >
                QString(QStringLiteral("文件打开失败!\n") + native(path) + "\n").size());
        QCOMPARE(f.document.room.hotelName, std::string("测试酒店"));
    }

    void openRefusesWhatIsNoRoomFileAndKeepsTheRoom_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("over 4 MB") << "large"
                                   << "文件太大 (超过 4 MB)";
        QTest::newRow("empty") << "empty"
                               << "不是房型配置文件";
        QTest::newRow("random bytes") << "garbage"
                                      << "不是房型配置文件";
#if defined(__linux__)
        QTest::newRow("FIFO") << "fifo"
                              << "不是普通文件";
#endif
    }
    void openRefusesWhatIsNoRoomFileAndKeepsTheRoom() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        WindowFixture f;
        showDemoRoom(f);
        const QString path = m_dir.filePath("odd.shd");
        if (kind == "large") {
            QFile file(path);  // sparse: the size is what counts, not the bytes
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(100 * 1024 * 1024));
        }
        if (kind == "empty" || kind == "garbage") {
            QFile file(path);
            QByteArray bytes;
            for (int i = 0; kind == "garbage" && i < 3000; ++i)
                bytes += char((i * 7919 + 13) % 251);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
#if defined(__linux__)
        if (kind == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        f.dialogs.openPaths << path;
        QElapsedTimer clock;
        clock.start();
        f.button(1001)->click();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(f.prompter.texts(),
                 QStringList{QStringLiteral("文件打开失败!\n") + native(path) + "\n" + reason});
        QCOMPARE(f.document.room.hotelName, std::string("测试酒店"));
    }

    void aFileThatIsNotGbkLoadsWithOneWarningNamingIt() {
        WindowFixture f;
        const QString path = m_dir.filePath("utf8.shd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("注意, \r\n酒店名称:,湖畔酒店, \r\n房型名称:,套房, \r\n房型编号:,12, "
                           "\r\n主机型号:,3,0,0,3.联网485,0,0,0,162, \r\n")
                .toUtf8());
        file.close();
        f.dialogs.openPaths << path;
        f.button(1001)->click();
        QCOMPARE(f.prompter.texts(),
                 QStringList{QStringLiteral("文件中有不是GBK编码的文字(可能是UTF-8文件),"
                                            "这些文字显示为乱码\n") +
                             native(path)});
        QCOMPARE(f.document.room.roomTypeNumber, 12);
        QVERIFY(f.window->windowTitle().endsWith(native(path)));
    }

    void saveWritesTheRoomFileAndClearsModified() {
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        const QString path = m_dir.filePath("saved.shd");
        f.dialogs.savePaths << path;
        f.button(1002)->click();
        QCOMPARE(f.dialogs.proposedNames, QStringList{"测试酒店-大床房"});
        const QString text = testing::readGbkFile(path);
        QVERIFY(
            text.startsWith(QStringLiteral("注意：请勿直接修改本文件内容，以免造成错乱！, \r\n"
                                           "酒店名称:,测试酒店, \r\n房型名称:,大床房, \r\n")));
        QCOMPARE(f.document.room.modified, 0);
        QCOMPARE(f.window->windowTitle(), roomTitle(kDemoTitle, path));
        QCOMPARE(f.prompter.records().size(), 1);
        QCOMPARE(f.prompter.records().first().text, QStringLiteral("文件保存成功!"));
    }

    // Save after Open offers the opened file itself, not a name in the program's folder.
    void saveAfterOpenProposesTheOpenedFile() {
        WindowFixture f;
        const QString path = m_dir.filePath("opened.shd");
        QVERIFY(testing::writeGbkFile(path, testing::handWrittenShd("162,")));
        f.dialogs.openPaths << path;
        f.button(1001)->click();
        f.button(1002)->click();  // answered with Cancel
        QCOMPARE(f.dialogs.proposedNames, QStringList{QFileInfo(path).absoluteFilePath()});
        // After a cloud export, the room file beside it; after New, the new room type's own
        // name in that folder, not the file of another room type.
        f.dialogs.savePaths << m_dir.filePath("cloud.yml");
        f.button(1002)->click();
        f.button(1002)->click();
        QCOMPARE(f.dialogs.proposedNames.last(), m_dir.filePath("cloud.shd"));
        gui::CommandHooks hooks;
        hooks.newRoomType = [](gui::RoomDocument& doc, QWidget*) {
            doc.room.roomTypeName = "套房";
            return true;
        };
        f.window->setCommandHooks(hooks);
        f.prompter.answerNext(platform::Answer::No);  // the opened room type is not saved first
        f.button(1000)->click();
        f.button(1002)->click();
        QCOMPARE(f.dialogs.proposedNames.last(),
                 m_dir.filePath(QString::fromStdString(f.document.room.hotelName) + "-套房"));
    }

    void saveAsHdqWritesTheShdBesideIt() {
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        const QString chosen = m_dir.filePath("copy.hdq");
        const QString written = m_dir.filePath("copy.shd");
        f.dialogs.savePaths << chosen;
        f.button(1002)->click();
        QVERIFY(QFileInfo::exists(written));
        QVERIFY(!QFileInfo::exists(chosen));
        QVERIFY(testing::readGbkFile(written).contains(QStringLiteral("酒店名称:,测试酒店, ")));
        QCOMPARE(f.window->windowTitle(), roomTitle(kDemoTitle, written));
        QCOMPARE(f.document.room.modified, 0);

        // The .shd beside a chosen .hdq was never confirmed for replacing: it is left alone.
        f.document.room.modified = 1;
        f.prompter.clear();
        QVERIFY(testing::writeGbkFile(written, "old"));
        f.dialogs.savePaths << chosen;
        f.button(1002)->click();
        QCOMPARE(contents(written), QByteArray("old"));
        QCOMPARE(f.prompter.records().size(), 1);
        QVERIFY(f.prompter.records().first().text.startsWith(QStringLiteral("文件保存失败!\n")));
        QCOMPARE(f.document.room.modified, 1);
    }

    void saveAsYmlExportsWithItsMessagesAndKeepsModified() {
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.devices[1].type = 2;  // a thermostat whose first output is no unit
        f.document.room.modified = 1;
        const QString path = m_dir.filePath("cloud.yml");
        f.dialogs.savePaths << path;
        f.button(1002)->click();
        const auto& records = f.prompter.records();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].text, QStringLiteral("编号为1的空调面板数据有误!"));
        QCOMPARE(records[0].caption, QString());
        QCOMPARE(records[0].kind, PromptRecord::Kind::Information);
        QCOMPARE(records[1].text, QStringLiteral("文件保存成功!"));
        QVERIFY(testing::readGbkFile(path).startsWith(QStringLiteral(
            "#注意：请勿直接修改本文件内容，以免造成错乱！ \r\n#酒店基本信息 \r\n")));
        QCOMPARE(f.document.room.modified, 1);  // an export is no saved room-type file
        QCOMPARE(f.window->windowTitle(), QLatin1Char('*') + roomTitle(kDemoTitle, path));
    }

    // A name the dialog did not give a known suffix still saves: as a room-type file (it used to
    // write nothing and say nothing). Upper case is the suffix it names.
    void saveWithAnotherExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("modified");
        QTest::newRow("txt") << "room.txt" << "room.txt.shd" << 0;
        QTest::newRow("none") << "room" << "room.shd" << 0;
        QTest::newRow("upper-case SHD") << "room.SHD" << "room.shd" << 0;
        QTest::newRow("upper-case YML") << "room.YML" << "room.YML" << 1;
    }
    void saveWithAnotherExtension() {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QFETCH(int, modified);
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        f.dialogs.savePaths << m_dir.filePath(name);
        f.button(1002)->click();
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{written});
        QCOMPARE(f.prompter.texts().last(), QStringLiteral("文件保存成功!"));
        QCOMPARE(f.document.room.modified, modified);
    }

    // An old file that cannot be replaced says so and stays as it was; with nothing to replace
    // it is the plain save failure. Both give the path and the reason.
    void saveIntoAnUnwritableFolder_data() {
        QTest::addColumn<bool>("oldFile");
        QTest::addColumn<QString>("message");
        QTest::newRow("old file kept") << true << QStringLiteral("覆盖文件时出错！");
        QTest::newRow("new file") << false << QStringLiteral("文件保存失败!");
    }
    void saveIntoAnUnwritableFolder() {
        QFETCH(bool, oldFile);
        QFETCH(QString, message);
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        const QString folder = m_dir.filePath(QStringLiteral("locked-%1").arg(oldFile));
        QVERIFY(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath("room.shd");
        if (oldFile) QVERIFY(testing::writeGbkFile(path, "old content"));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(setPermissionOverride(false));
        f.dialogs.savePaths << path;
        f.button(1002)->click();
        QVERIFY(setPermissionOverride(true));
        QVERIFY(QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        if (oldFile) QCOMPARE(contents(path), QByteArray("old content"));
        QCOMPARE(f.prompter.records().size(), 1);
        const QString text = f.prompter.records().first().text;
        const QString head = message + QStringLiteral("\n") + native(path) + "\n";
        QVERIFY2(text.startsWith(head) && text.size() > head.size(), qPrintable(text));
        QCOMPARE(f.document.room.modified, 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 oldFile ? QStringList{"room.shd"} : QStringList{});
    }

    // A file named on the command line relative to the working folder: the title shows its full
    // path, as for one chosen in the dialog.
    void fileGivenByARelativeNameShowsItsFullPath() {
        WindowFixture f;
        QVERIFY(
            testing::writeGbkFile(m_dir.filePath("given.shd"), testing::handWrittenShd("162,")));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        const bool opened = f.window->openFile(QStringLiteral("given.shd"));
        QDir::setCurrent(before);
        QVERIFY(opened);
        QCOMPARE(f.window->windowTitle(),
                 roomTitle(kHandWrittenTitle,
                           QFileInfo(m_dir.filePath("given.shd")).absoluteFilePath()));
    }

    // A room file is a few KB: the disk filling part-way through it must still say why.
    void saveOnAFullDiskKeepsTheOldFileAndSaysWhy() {
#if defined(__linux__)
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = 1;
        const QString path = m_dir.filePath("room.shd");
        QVERIFY(testing::writeGbkFile(path, "old content"));
        f.dialogs.savePaths << path;
        {
            const testing::FileSizeLimit fullDisk{1024};
            QVERIFY(fullDisk.isSet());
            f.button(1002)->click();
        }
        QCOMPARE(contents(path), QByteArray("old content"));
        QCOMPARE(f.prompter.records().size(), 1);
        const QString text = f.prompter.records().first().text;
        // The system's own words follow in brackets ("File too large").
        QVERIFY2(text.startsWith(QStringLiteral("覆盖文件时出错！\n") + native(path) +
                                 QStringLiteral("\n文件超过了系统允许的大小 (")),
                 qPrintable(text));
        QCOMPARE(f.document.room.modified, 1);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"room.shd"});
#else
        QSKIP("needs a file-size limit");
#endif
    }

    void closePrompt_data() {
        QTest::addColumn<int>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saves");
        QTest::newRow("not modified") << 0 << int(platform::Answer::Cancel) << true << false;
        QTest::newRow("yes saves and stays") << 1 << int(platform::Answer::Yes) << false << true;
        QTest::newRow("no closes") << 1 << int(platform::Answer::No) << true << false;
        QTest::newRow("cancel stays") << 1 << int(platform::Answer::Cancel) << false << false;
    }
    void closePrompt() {
        QFETCH(int, modified);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, saves);
        WindowFixture f;
        showDemoRoom(f);
        f.document.room.modified = modified;
        f.window->show();
        const QString path =
            m_dir.filePath(QStringLiteral("close-%1.shd").arg(QTest::currentDataTag()));
        f.dialogs.savePaths << path;
        f.prompter.answerNext(static_cast<platform::Answer>(answer));
        QCOMPARE(f.window->close(), closes);
        QCOMPARE(f.window->isVisible(), !closes);
        QCOMPARE(QFileInfo::exists(path), saves);
        if (modified) {
            const PromptRecord& question = f.prompter.records().first();
            QCOMPARE(question.kind, PromptRecord::Kind::Question);
            QCOMPARE(question.text, QStringLiteral("是否保存文件?"));
            QCOMPARE(question.caption, QStringLiteral("询问..."));
            QCOMPARE(question.buttons, platform::QuestionButtons::YesNoCancel);
        } else {
            QVERIFY(f.prompter.records().isEmpty());
        }
        if (saves) QCOMPARE(f.document.room.modified, 0);
    }

private:
    struct Folder {
        std::unique_ptr<QTemporaryDir>& dir;
        QString filePath(const QString& name) const { return dir->filePath(name); }
        QString path() const { return dir->path(); }
    };
    std::unique_ptr<QTemporaryDir> m_folder;
    Folder m_dir{m_folder};
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
