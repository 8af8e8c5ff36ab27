// The tests' throwaway PostgreSQL (fixture pg) through Qt's QPSQL driver, reached as the record
// will reach a team's server: the superuser over the cluster's socket, the role `roomcfg` over
// 127.0.0.1 with its password. Each makes a table in `records` and reads back what it wrote; a
// wrong password is refused with the server's reason.

#include <QFile>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

namespace {

// The KEY=VALUE lines of the cluster's urls.env; empty without a cluster.
QMap<QString, QString> clusterUrls() {
    QMap<QString, QString> urls;
    QFile file(qEnvironmentVariable("ROOM_PG_ENV"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return urls;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0) urls.insert(line.left(equals), line.mid(equals + 1));
    }
    return urls;
}

// A QPSQL connection named `name` with the parts of a postgresql:// URL; `?host=DIR` is the
// folder of the server's socket, as libpq takes it.
QSqlDatabase connectionFor(const QString& name, const QUrl& url) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    const QString socketFolder = QUrlQuery(url).queryItemValue(QStringLiteral("host"));
    db.setHostName(socketFolder.isEmpty() ? url.host() : socketFolder);
    db.setPort(url.port());
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(url.path().mid(1));
    return db;
}

}  // namespace

class QpsqlPgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void tableRoundTrip_data();
    void tableRoundTrip();
    void wrongPasswordIsRefused();

private:
    QMap<QString, QString> m_urls;
};

void QpsqlPgTest::initTestCase() {
    m_urls = clusterUrls();
    if (m_urls.isEmpty()) QSKIP("no PostgreSQL for the tests (ROOM_PG_ENV; see tests/pg)");
    QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")),
             "Qt has no QPSQL driver: apt-get install libqt6sql6-psql");
}

void QpsqlPgTest::cleanup() {
    for (const QString& name : QSqlDatabase::connectionNames()) QSqlDatabase::removeDatabase(name);
}

void QpsqlPgTest::tableRoundTrip_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("user");
    QTest::newRow("superuser, socket")
        << QStringLiteral("ROOM_PG_SUPERUSER_URL") << QStringLiteral("postgres");
    QTest::newRow("roomcfg, 127.0.0.1")
        << QStringLiteral("ROOM_PG_URL") << QStringLiteral("roomcfg");
}

void QpsqlPgTest::tableRoundTrip() {
    QFETCH(QString, key);
    QFETCH(QString, user);
    QVERIFY2(m_urls.contains(key), qPrintable(key + QStringLiteral(" missing")));
    {
        QSqlDatabase db = connectionFor(key, QUrl(m_urls.value(key)));
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        const QString table = QStringLiteral("smoke_") + user;
        QVERIFY(query.exec(QStringLiteral("DROP TABLE IF EXISTS ") + table));
        QVERIFY2(
            query.exec(
                QStringLiteral("CREATE TABLE %1 (id serial PRIMARY KEY, room text)").arg(table)),
            qPrintable(query.lastError().text()));
        QVERIFY(query.prepare(QStringLiteral("INSERT INTO %1 (room) VALUES (?)").arg(table)));
        query.addBindValue(QStringLiteral("1208 豪华大床房"));
        QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
        QVERIFY(query.exec(QStringLiteral("SELECT room, current_user FROM ") + table));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("1208 豪华大床房"));
        QCOMPARE(query.value(1).toString(), user);
    }
}

void QpsqlPgTest::wrongPasswordIsRefused() {
    QUrl url(m_urls.value(QStringLiteral("ROOM_PG_URL")));
    url.setPassword(QStringLiteral("not-the-password"));
    QSqlDatabase db = connectionFor(QStringLiteral("wrong"), url);
    QVERIFY(!db.open());
    QVERIFY2(db.lastError().text().contains(
                 QStringLiteral("password authentication failed for user \"roomcfg\"")),
             qPrintable(db.lastError().text()));
}

QTEST_GUILESS_MAIN(QpsqlPgTest)
#include "qpsql_pg_test.moc"
