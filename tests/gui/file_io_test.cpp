// Whole-file reads and replacement writes: a read takes only a regular file of bounded size, a
// write that fails part-way leaves the old file as it was and says why, and a save killed at any
// moment leaves the old or the new file, never a mix.

#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <random>

#include "support/file_size_limit.h"

#if defined(__linux__)
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace room;

namespace {

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

}  // namespace

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
        const platform::ReadResult read = platform::readFileBytes(path, 100);
        QVERIFY(read.ok);
        QCOMPARE(read.bytes, QByteArray("short"));
        QCOMPARE(entries(dir), QStringList{"room.shd"});
    }

    void readRefusesWhatIsNoFileOfItsSize_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "文件或文件夹不存在";
        QTest::newRow("folder") << "folder"
                                << "这是一个文件夹";
        QTest::newRow("one byte over") << "large"
                                       << "文件太大";
#if defined(__linux__)
        QTest::newRow("FIFO") << "fifo"
                              << "不是普通文件";
        QTest::newRow("link to a device") << "device"
                                          << "不是普通文件";
#endif
    }
    void readRefusesWhatIsNoFileOfItsSize() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("input");
        const QByteArray path8 = QFile::encodeName(path);
        if (kind == "folder") QVERIFY(QDir().mkpath(path));
        if (kind == "large") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1025, 'x')) == 1025);
        }
#if defined(__linux__)
        if (kind == "fifo") QCOMPARE(::mkfifo(path8.constData(), 0600), 0);
        if (kind == "device") QCOMPARE(::symlink("/dev/zero", path8.constData()), 0);
#endif
        // A FIFO without a writer would block a plain open; the test would hang, not fail.
        const platform::ReadResult read = platform::readFileBytes(path, 1024);
        QVERIFY(!read.ok);
        QVERIFY(read.bytes.isEmpty());
        QVERIFY2(read.error.startsWith(reason), qPrintable(read.error));
    }

    void saveRefusesATargetThatIsNoFile() {
        QTemporaryDir dir;
        const platform::WriteResult folder = platform::saveFileBytes(dir.path(), "x");
        QVERIFY(!folder.ok);
        QCOMPARE(folder.error, QStringLiteral("这是一个文件夹"));
#if defined(__linux__)
        // Replacing a FIFO (or through a link, a device) would destroy it for a file of ours.
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.shd"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        const platform::WriteResult result = platform::saveFileBytes(dir.filePath("pipe.shd"), "x");
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("不是普通文件"));
        struct stat st {};
        QVERIFY(::stat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
#endif
    }

    void writeThatFailsPartWayKeepsTheOldFileAndSaysWhy_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("size");
        // Room files are a few KB: Qt buffers writes under 16 KB and loses the reason of those.
        QTest::newRow("3 KB over a 1 KB limit") << 1024 << 3000;
        QTest::newRow("just under 16 KB") << 8192 << 16383;
        QTest::newRow("1 MB") << 4096 << (1 << 20);
    }
    void writeThatFailsPartWayKeepsTheOldFileAndSaysWhy() {
#if defined(__linux__)
        QFETCH(int, limit);
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath("room.shd");
        QVERIFY(platform::saveFileBytes(path, "old content").ok);
        platform::WriteResult result;
        {
            const testing::FileSizeLimit fullDisk{rlim_t(limit)};
            QVERIFY(fullDisk.isSet());
            result = platform::saveFileBytes(path, QByteArray(size, 'n'));
        }
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith(QStringLiteral("文件超过了系统允许的大小")),
                 qPrintable(result.error));
        QCOMPARE(platform::readFileBytes(path, 100).bytes, QByteArray("old content"));
        QCOMPARE(entries(dir), QStringList{"room.shd"});
#else
        QSKIP("needs a file-size limit");
#endif
    }

    // A save killed at a random moment, again and again: the target always holds one whole
    // version and at most one uniquely named temporary file is left beside it.
    void killedSavesLeaveTheOldOrTheNewFile() {
#if defined(__linux__)
        QTemporaryDir dir;
        const QString path = dir.filePath("room.shd");
        const QByteArray versions[] = {QByteArray(3000, 'a'), QByteArray(5000, 'b')};
        QVERIFY(platform::saveFileBytes(path, versions[0]).ok);
        std::mt19937 random(9);
        for (int round = 0; round < 25; ++round) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int i = 0;; ++i) platform::saveFileBytes(path, versions[(i + 1) % 2]);
            }
            ::usleep(useconds_t(random() % 3000));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            const QByteArray now = platform::readFileBytes(path, 10000).bytes;
            QVERIFY(now == versions[0] || now == versions[1]);
            QStringList left = entries(dir);
            left.removeOne("room.shd");
            QVERIFY2(left.size() <= 1, qPrintable(left.join(' ')));
            for (const QString& name : left) {
                QVERIFY2(name.startsWith("room.shd.") && name.size() > 12, qPrintable(name));
                QVERIFY(QDir(dir.path()).remove(name));
            }
        }
#else
        QSKIP("needs fork");
#endif
    }
};

QTEST_GUILESS_MAIN(FileIoTest)
#include "file_io_test.moc"
