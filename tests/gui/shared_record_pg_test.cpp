// The record on a team's PostgreSQL server (the tests' own throwaway cluster): entries read back
// exactly as over SQLite; four programs sending at once lose and double nothing; a server out of
// reach, a wrong password or a newer schema keeps the entry on this computer with the reason,
// and `records sync` sends it once when the server takes it again.

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "platform/record_spool.h"
#include "platform/record_store.h"

using room::platform::RecordSpool;
using room::platform::RecordStore;
using room::records::RunRecord;
using room::records::Verdict;

namespace {

QMap<QString, QString> clusterEnv() {
    QMap<QString, QString> env;
    QFile file(qEnvironmentVariable("ROOM_PG_ENV"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return env;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0) env.insert(line.left(equals), line.mid(equals + 1));
    }
    return env;
}

RunRecord entry(const std::string& room, Verdict second, bool cut, const std::string& installer) {
    RunRecord run;
    run.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    run.when = "2026-12-10 14:00:00";
    run.whenUtc = "2026-12-10T06:00:00Z";
    run.utcOffset = "+08:00";
    run.installer = installer;
    run.machine = "PC-7";
    run.operation = "校验所有";
    run.roomNumber = room;
    run.roomType = {"云栖湖畔大酒店", "豪华大床房", "8", "33ce490dd7282bbd"};
    run.port = "COM3";
    run.programVersion = "V1.6.2";
    run.cutShort = cut;
    run.devices = {{1, 1, "门口", Verdict::Ok, {}},
                   {2, 2, "床头 '左'", second, {"按键第01个数据异常 0A 0B  按键1: 应为010.廊灯, 实为013.夜灯", "第二行"}}};
    return run;
}

struct Cli {
    QString dataHome;  // whose spool
    int code = -1;
    QString out;
    QString err;
};

Cli runCli(const QString& dataHome, const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ROOMCFG_CLI), args);
    process.waitForFinished(120000);
    return {dataHome, process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

int countOn(const QString& url, const QString& where) {
    RecordStore store(url);
    const auto runs = store.runs(std::nullopt);
    if (!runs) return -1;
    int n = 0;
    for (const RunRecord& run : *runs) n += where.isEmpty() || QString::fromStdString(run.roomNumber) == where;
    return n;
}

}  // namespace

class SharedRecordPgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void entriesReadBackAsOverSqlite();
    void fourProgramsAtOnceLoseAndDoubleNothing();
    void serverOutOfReachKeepsTheEntryUntilSync();
    void wrongPasswordAndNewerSchemaLoseNothing();

private:
    void pgCluster(const char* what);
    QMap<QString, QString> m_env;
    QString m_url;  // a fresh database for each test
    std::unique_ptr<QTemporaryDir> m_dir;
};

void SharedRecordPgTest::initTestCase() {
    m_env = clusterEnv();
    if (m_env.isEmpty()) QSKIP("no PostgreSQL for the tests (ROOM_PG_ENV)");
}

// Each test its own database, made by the role that owns the record.
void SharedRecordPgTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    const QString name = QStringLiteral("t_%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    {
        RecordStore bootstrap(m_env.value(QStringLiteral("ROOM_PG_URL")));
        QVERIFY2(bootstrap.roomRuns(), qPrintable(bootstrap.errorString()));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(m_env.value(QStringLiteral("ROOM_PG_PORT")).toInt());
        db.setUserName(QStringLiteral("roomcfg"));
        db.setPassword(QStringLiteral("roomcfg-test"));
        db.setDatabaseName(QStringLiteral("records"));
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + name));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    m_url = m_env.value(QStringLiteral("ROOM_PG_URL")).replace(QStringLiteral("/records"), QLatin1Char('/') + name);
}

void SharedRecordPgTest::pgCluster(const char* what) {
    const QString dir = QFileInfo(qEnvironmentVariable("ROOM_PG_ENV")).absolutePath();
    QProcess script;
    script.start(QStringLiteral("bash"), {QStringLiteral(ROOM_PG_SCRIPT), QString::fromLatin1(what), dir});
    QVERIFY(script.waitForFinished(120000));
    QVERIFY2(script.exitCode() == 0, script.readAllStandardError().constData());
}

void SharedRecordPgTest::entriesReadBackAsOverSqlite() {
    const std::vector<RunRecord> cases = {entry("1203", Verdict::Ok, false, "张工"),
                                          entry("1203", Verdict::Differs, false, ""),
                                          entry("东-12", Verdict::Conflict, true, "O'Brien"),
                                          entry("", Verdict::NoAnswer, false, "李工")};
    const QString sqlite = m_dir->filePath(QStringLiteral("records.sqlite"));
    for (const QString& location : {sqlite, m_url}) {
        RecordStore store(location);
        for (RunRecord run : cases) QVERIFY2(store.add(run), qPrintable(store.errorString()));
        RunRecord again = cases.front();
        QVERIFY(store.add(again));  // the same entry once more: kept once
        QVERIFY(store.putJobRooms({{"1203", "12", "/hotel/deluxe.shd", cases.front().roomType}}));
        QVERIFY(store.remember(QStringLiteral("调试人员"), QStringLiteral("张工")));
    }
    RecordStore a(sqlite);
    RecordStore b(m_url);
    auto left = a.runs(std::nullopt);
    auto right = b.runs(std::nullopt);
    QVERIFY(left && right);
    QCOMPARE(right->size(), cases.size());
    for (auto* runs : {&*left, &*right}) {
        for (RunRecord& run : *runs) run.id = 0;
    }
    QVERIFY(*left == *right);
    QVERIFY(a.jobRooms() == b.jobRooms());
    QCOMPARE(b.remembered(QStringLiteral("调试人员")), QStringLiteral("张工"));
    const auto facts = b.factsOfRoom("1203");
    QVERIFY(facts && facts->size() == 2 && facts->front().differs == 1);
}

// Four programs send 100 entries each from their own spool at the same moment; then one sends
// its hundred again (an answer lost on the way): 400 entries, each once.
void SharedRecordPgTest::fourProgramsAtOnceLoseAndDoubleNothing() {
    QList<QProcess*> running;
    std::vector<std::vector<RunRecord>> sent(4);
    for (int p = 0; p < 4; ++p) {
        const QString home = m_dir->filePath(QStringLiteral("laptop%1").arg(p));
        RecordSpool spool(home + QStringLiteral("/roomcfg/spool.sqlite"));
        for (int i = 0; i < 100; ++i) {
            RunRecord run = entry(std::to_string(100 * (p + 1) + i), Verdict::Ok, false, "张工");
            QVERIFY(spool.keep(run, RecordStore(m_url).shownPath()));
            sent[p].push_back(run);
        }
        auto* process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home);
        process->setProcessEnvironment(env);
        running << process;
    }
    for (QProcess* process : running) {
        process->start(QStringLiteral(ROOMCFG_CLI), {QStringLiteral("records"), QStringLiteral("sync"),
                                                    QStringLiteral("--records"), m_url});
    }
    for (QProcess* process : running) {
        QVERIFY(process->waitForFinished(120000));
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
    }
    RecordSpool again(m_dir->filePath(QStringLiteral("laptop0/roomcfg/spool.sqlite")));
    for (RunRecord run : sent[0]) QVERIFY(again.keep(run, RecordStore(m_url).shownPath()));
    const Cli second = runCli(m_dir->filePath(QStringLiteral("laptop0")),
                              {QStringLiteral("records"), QStringLiteral("sync"), QStringLiteral("--records"), m_url});
    QCOMPARE(second.code, 0);
    QCOMPARE(countOn(m_url, {}), 400);
}

void SharedRecordPgTest::serverOutOfReachKeepsTheEntryUntilSync() {
    const QString home = m_dir->filePath(QStringLiteral("home"));
    const QStringList run = {QStringLiteral("run"), QStringLiteral("verify-all"), QStringLiteral("--port"),
                             QStringLiteral("SIM"), QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"),
                             QStringLiteral("--room-number"), QStringLiteral("301"),
                             QStringLiteral("--records"), m_url};
    QCOMPARE(runCli(home, run).code, 0);  // the server takes it at once
    pgCluster("pause");
    const Cli away = runCli(home, run);
    const Cli stillAway = runCli(home, {QStringLiteral("records"), QStringLiteral("sync"), QStringLiteral("--records"), m_url});
    pgCluster("resume");
    QCOMPARE(away.code, 0);  // the run's verdict, whatever the record does
    QVERIFY2(away.err.contains(QStringLiteral("调试记录暂存本机, 共1条待上传")), qPrintable(away.err));
    QCOMPARE(stillAway.code, 3);
    const Cli back = runCli(home, {QStringLiteral("records"), QStringLiteral("sync"), QStringLiteral("--records"), m_url});
    QCOMPARE(back.code, 0);
    QVERIFY2(back.out.startsWith(QStringLiteral("sent 1 entry")), qPrintable(back.out));
    QVERIFY(runCli(home, {QStringLiteral("records"), QStringLiteral("sync"), QStringLiteral("--records"), m_url})
                .out.startsWith(QStringLiteral("sent 0 entries")));
    QCOMPARE(countOn(m_url, QStringLiteral("301")), 2);
}

void SharedRecordPgTest::wrongPasswordAndNewerSchemaLoseNothing() {
    const QString home = m_dir->filePath(QStringLiteral("home"));
    QString wrong = m_url;
    wrong.replace(QStringLiteral(":roomcfg-test@"), QStringLiteral(":not-it@"));
    const QStringList run = {QStringLiteral("run"), QStringLiteral("verify-all"), QStringLiteral("--port"),
                             QStringLiteral("SIM"), QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"),
                             QStringLiteral("--room-number"), QStringLiteral("302"), QStringLiteral("--records")};
    const Cli refused = runCli(home, run + QStringList{wrong});
    QCOMPARE(refused.code, 0);
    QVERIFY2(refused.err.contains(QStringLiteral("暂存本机")) && refused.err.contains(QStringLiteral("password")),
             qPrintable(refused.err));
    // The schema of a newer program: read, never written.
    QCOMPARE(countOn(m_url, {}), 0);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("newer"));
        const QUrl url(m_url);
        db.setHostName(url.host());
        db.setPort(url.port());
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE record_schema SET version = 99")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    const Cli newer = runCli(home, run + QStringList{m_url});
    QCOMPARE(newer.code, 0);
    QVERIFY2(newer.err.contains(QStringLiteral("较新版本")), qPrintable(newer.err));
    QCOMPARE(countOn(m_url, {}), 0);
    // Both wait, under the address without its password: the right password sends them both.
    QCOMPARE(RecordSpool(home + QStringLiteral("/roomcfg/spool.sqlite")).waitingCount(RecordStore(m_url).shownPath()), 2);
}

QTEST_MAIN(SharedRecordPgTest)
#include "shared_record_pg_test.moc"
