// Where "setinfo.ini" is kept and what reading and writing it does to the file on disk.
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <future>

#include "core/format/gbk.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using room::platform::SettingsStore;

namespace {

QByteArray gbk(const char* utf8) {
    return QByteArray::fromStdString(room::format::utf8ToGbk(utf8));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

private slots:
    void missingFileReadsDefaults() {
        QTemporaryDir dir;
        const SettingsStore store(dir.path());
        QCOMPARE(store.filePath(), QDir(dir.path()).filePath("setinfo.ini"));
        QCOMPARE(store.read().systemTypeSelection, 1);
        QVERIFY(store.read().lampTableName.empty());
    }

    void writingTheSystemTypeKeepsTheRestOfTheFile() {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        writeFile(store.filePath(), gbk("; 安装时生成\r\n[设置]\r\n上次选择的灯名表=客房\r\n"
                                        "上次选择的主机型号=1\r\n[其它]\r\nx=1\r\n"));
        QVERIFY(store.writeSystemType(3));
        QCOMPARE(readFile(store.filePath()),
                 gbk("; 安装时生成\r\n[设置]\r\n上次选择的灯名表=客房\r\n"
                     "上次选择的主机型号=3\r\n[其它]\r\nx=1\r\n"));
        QCOMPARE(store.read().systemTypeSelection, 3);
        QCOMPARE(QString::fromStdString(store.read().lampTableName), QStringLiteral("客房"));
    }

    void anUnreadableFileReadsDefaultsAndIsNotReplaced() {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(QDir(dir.path()).mkdir("setinfo.ini"));  // cannot be opened as a file
        QCOMPARE(store.read().systemTypeSelection, 1);
        QVERIFY(!store.writeSystemType(2));
        QVERIFY(!store.errorString().isEmpty());
        QVERIFY(QFileInfo(store.filePath()).isDir());
    }

    // Read at start-up before the window shows: a FIFO there must not hold the program.
    void aFifoReadsDefaultsWithoutWaitingAndIsNotReplaced() {
#if defined(__linux__)
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        const QByteArray path = QFile::encodeName(store.filePath());
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        auto reading = std::async(std::launch::async, [&store] { return store.read(); });
        const bool answered =
            reading.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
        if (!answered)
            ::close(::open(path.constData(), O_WRONLY | O_NONBLOCK));  // frees the reader
        QVERIFY2(answered, "reading a FIFO waited for a writer");
        QCOMPARE(reading.get().systemTypeSelection, 1);
        QVERIFY(!store.writeSystemType(2));
        QVERIFY2(store.errorString().endsWith(QStringLiteral(": 不是普通文件")),
                 qPrintable(store.errorString()));
        struct stat st {};
        QVERIFY(::stat(path.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
#else
        QSKIP("needs a FIFO");
#endif
    }

    void aProgramFolderThatTakesNoFilesSendsTheFileToTheUserFolder() {
        QTemporaryDir dir;
        const QString notAFolder = QDir(dir.path()).filePath("roomcfg.exe");
        writeFile(notAFolder, "MZ");
        QVERIFY(!SettingsStore::isWritableFolder(notAFolder));
        QVERIFY(SettingsStore::isWritableFolder(dir.path()));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 1);  // the probe is gone

        const QString user = QDir(dir.path()).filePath("config/roomcfg");
        SettingsStore store(notAFolder, user);
        QCOMPARE(store.filePath(), QDir(user).filePath("setinfo.ini"));
        QVERIFY(store.writeSystemType(4));  // creates the user folder
        QCOMPARE(readFile(store.filePath()), gbk("[设置]\r\n上次选择的主机型号=4\r\n"));

        SettingsStore beside(dir.path(), user);
        QCOMPARE(beside.filePath(), QDir(dir.path()).filePath("setinfo.ini"));
    }

    void theProgramFoldersFileIsReadUntilTheUserHasOne() {
        QTemporaryDir program;
        QTemporaryDir user;
        const QByteArray shipped =
            gbk("[设置]\r\n上次选择的灯名表=出厂\r\n上次选择的主机型号=2\r\n");
        writeFile(QDir(program.path()).filePath("setinfo.ini"), shipped);
        SettingsStore store(program.path(), user.path(), false);
        QCOMPARE(store.read().systemTypeSelection, 2);
        QCOMPARE(QString::fromStdString(store.read().lampTableName), QStringLiteral("出厂"));

        QVERIFY(store.writeSystemType(3));
        QCOMPARE(readFile(QDir(user.path()).filePath("setinfo.ini")),
                 gbk("[设置]\r\n上次选择的灯名表=出厂\r\n上次选择的主机型号=3\r\n"));
        QCOMPARE(readFile(QDir(program.path()).filePath("setinfo.ini")), shipped);
        QCOMPARE(store.read().systemTypeSelection, 3);
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
