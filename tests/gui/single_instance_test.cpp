// The single-instance guard: a second copy is refused with the message and leaves the first
// alone; a lock left by a crashed run does not block a new start.

#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "gui/main/application.h"
#include "support/recording_prompter.h"

using namespace room;

namespace {
// Child mode of this test binary: try the lock of `name` and report through the exit code.
constexpr const char* kProbeArgument = "--probe-lock";

QString uniqueName(const char* what) {
    return QStringLiteral("roomcfg-test-%1-%2").arg(what).arg(QCoreApplication::applicationPid());
}
}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondLockInTheSameProcessIsRefusedWithTheMessage() {
        const QString name = uniqueName("same");
        platform::SingleInstance first(name);
        testing::RecordingPrompter prompter;
        QVERIFY(gui::claimSingleInstance(first, prompter));
        QVERIFY(prompter.records().isEmpty());

        platform::SingleInstance second(name);
        QVERIFY(!gui::claimSingleInstance(second, prompter));
        QCOMPARE(prompter.texts(),
                 QStringList{"软件已经运行，如未显示，请打开任务管理器结束此进程!"});
        QVERIFY(QFile::exists(first.lockPath()));  // the first copy keeps its lock
        QVERIFY(first.acquire());
    }

    void secondProcessIsRefusedWhileTheFirstRuns() {
        const QString name = uniqueName("process");
        platform::SingleInstance first(name);
        QVERIFY(first.acquire());
        QCOMPARE(probe(name), 1);
    }

    void lockIsFreeAgainOnceTheFirstEnds() {
        const QString name = uniqueName("released");
        {
            platform::SingleInstance first(name);
            QVERIFY(first.acquire());
        }
        QCOMPARE(probe(name), 0);
    }

    void staleLockOfACrashedRunDoesNotBlock() {
        const QString name = uniqueName("stale");
        const QString path = platform::singleInstanceLockPath(name);
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // What a crashed copy leaves: its pid (no longer running), program and host name.
        stale.write("2147483000\nroomcfg\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        platform::SingleInstance next(name);
        QVERIFY(next.acquire());
    }

    void lockOfARunningCopyStaysValidAfterMinutes() {
        const QString name = uniqueName("old");
        platform::SingleInstance first(name);
        QVERIFY(first.acquire());
        const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-3600);
        QFile lock(first.lockPath());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(longAgo, QFileDevice::FileModificationTime));
        lock.close();
        QCOMPARE(probe(name), 1);
    }

    // Another user's copy, in another session: it neither sees nor blocks this user's lock.
    void anotherUsersCopyIsNotRefused() {
        const QString name = uniqueName("user");
        platform::SingleInstance first(name);
        QVERIFY(first.acquire());
        QProcessEnvironment other = QProcessEnvironment::systemEnvironment();
        other.insert(QStringLiteral("USER"), QStringLiteral("another-installer"));
        other.insert(QStringLiteral("LOGNAME"), QStringLiteral("another-installer"));
        other.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        QCOMPARE(probe(name, other), 0);
        QCOMPARE(probe(name), 1);
    }

private:
    static int probe(const QString& name, const QProcessEnvironment& environment =
                                              QProcessEnvironment::systemEnvironment()) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {kProbeArgument, name});
        if (!child.waitForFinished(20000)) return -1;
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kProbeArgument) == 0) {
        QCoreApplication app(argc, argv);
        platform::SingleInstance instance(QString::fromLocal8Bit(argv[2]));
        return instance.acquire() ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "single_instance_test.moc"
