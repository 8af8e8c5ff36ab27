// Whole-file reads and replacement writes: a write that fails part-way leaves the old file as it
// was and says why.

#include "platform/file_io.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#if defined(__linux__)
#include <sys/resource.h>

#include <csignal>
#endif

using namespace room;

class FileIoTest : public QObject {
    Q_OBJECT

private slots:
    void saveReplacesTheWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("room.shd");
        QVERIFY(platform::saveFileBytes(path, QByteArray(5000, 'a')).ok);
        const platform::WriteResult second = platform::saveFileBytes(path, "short");
        QVERIFY(second.ok);
        QVERIFY(second.error.isEmpty());
        const platform::ReadResult read = platform::readFileBytes(path);
        QVERIFY(read.ok);
        QCOMPARE(read.bytes, QByteArray("short"));
    }

    void readOfAMissingFileSaysWhy() {
        QTemporaryDir dir;
        const platform::ReadResult read = platform::readFileBytes(dir.filePath("none.shd"));
        QVERIFY(!read.ok);
        QVERIFY(!read.error.isEmpty());
    }

    void savingOverAFolderFails() {
        QTemporaryDir dir;
        const platform::WriteResult result = platform::saveFileBytes(dir.path(), "x");
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }

    void writeThatFailsPartWayKeepsTheOldFile() {
#if defined(__linux__)
        QTemporaryDir dir;
        const QString path = dir.filePath("room.shd");
        QVERIFY(platform::saveFileBytes(path, "old content").ok);
        // A file-size limit makes the write fail after the first bytes, as a full disk would.
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = 4096;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tight) == 0);
        const platform::WriteResult result =
            platform::saveFileBytes(path, QByteArray(1 << 20, 'n'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY2(result.error != QLatin1String("Unknown error"), qPrintable(result.error));
        QCOMPARE(platform::readFileBytes(path).bytes, QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"room.shd"});
#else
        QSKIP("needs a file-size limit");
#endif
    }
};

QTEST_GUILESS_MAIN(FileIoTest)
#include "file_io_test.moc"
