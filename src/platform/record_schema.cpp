#include "platform/record_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace room::platform {

namespace {

// The tables as the first record kept them.
const char* const kVersion1[] = {
    "CREATE TABLE IF NOT EXISTS runs(id INTEGER PRIMARY KEY, at TEXT, operation TEXT,"
    " room_number TEXT, hotel TEXT, room_type TEXT, room_type_number TEXT, room_type_hash TEXT,"
    " port TEXT, version TEXT, cut_short INTEGER)",
    "CREATE TABLE IF NOT EXISTS devices(run_id INTEGER, device INTEGER, type INTEGER,"
    " location TEXT, result TEXT, differences TEXT)",
    "CREATE INDEX IF NOT EXISTS devices_of_run ON devices(run_id)",
    "CREATE TABLE IF NOT EXISTS rooms(room_number TEXT, hotel TEXT, room_type TEXT,"
    " room_type_number TEXT, room_type_hash TEXT, last_send TEXT DEFAULT '',"
    " last_verify TEXT DEFAULT '', verify_ok INTEGER DEFAULT 0, verify_total INTEGER DEFAULT 0,"
    " verify_cut INTEGER DEFAULT 0, last_verify_id INTEGER DEFAULT 0,"
    " PRIMARY KEY(room_number, hotel, room_type, room_type_number))",
    "CREATE TABLE IF NOT EXISTS remembered(key TEXT PRIMARY KEY, value TEXT)",
};

// Who, where and when in UTC; a run's counts by result, so a board of thousands of rooms reads
// one row a room; the job; indexes for what the lists and the report look up.
const char* const kVersion2[] = {
    "ALTER TABLE runs ADD COLUMN at_utc TEXT DEFAULT ''",
    "ALTER TABLE runs ADD COLUMN utc_offset TEXT DEFAULT ''",
    "ALTER TABLE runs ADD COLUMN installer TEXT DEFAULT ''",
    "ALTER TABLE runs ADD COLUMN machine TEXT DEFAULT ''",
    "ALTER TABLE runs ADD COLUMN devices_count INTEGER DEFAULT 0",
    "ALTER TABLE runs ADD COLUMN ok_count INTEGER DEFAULT 0",
    "ALTER TABLE runs ADD COLUMN no_answer INTEGER DEFAULT 0",
    "ALTER TABLE runs ADD COLUMN differs INTEGER DEFAULT 0",
    "ALTER TABLE runs ADD COLUMN conflicts INTEGER DEFAULT 0",
    "ALTER TABLE runs ADD COLUMN unreached INTEGER DEFAULT 0",
    "UPDATE runs SET"
    " devices_count = (SELECT COUNT(*) FROM devices WHERE run_id = runs.id),"
    " ok_count = (SELECT COUNT(*) FROM devices WHERE run_id = runs.id AND result = 'OK'),"
    " no_answer = (SELECT COUNT(*) FROM devices WHERE run_id = runs.id AND result = '无应答'),"
    " differs = (SELECT COUNT(*) FROM devices WHERE run_id = runs.id AND result = '数据异常'),"
    " conflicts = (SELECT COUNT(*) FROM devices WHERE run_id = runs.id AND result = '编号冲突'),"
    " unreached = (SELECT COUNT(*) FROM devices WHERE run_id = runs.id AND result = '未处理')",
    "CREATE INDEX IF NOT EXISTS runs_of_room ON runs(room_number, id)",
    "CREATE INDEX IF NOT EXISTS runs_by_operation ON runs(operation, room_number, id)",
    "CREATE TABLE IF NOT EXISTS job_rooms(room_number TEXT PRIMARY KEY, floor TEXT, path TEXT,"
    " hotel TEXT, room_type TEXT, room_type_number TEXT, room_type_hash TEXT)",
};

// Each entry's own identity, so an entry sent twice (from the spool, after a lost answer) is
// kept once.
const char* const kVersion3[] = {
    "ALTER TABLE runs ADD COLUMN uuid TEXT",
    "CREATE UNIQUE INDEX IF NOT EXISTS runs_by_uuid ON runs(uuid)",
};

// The same tables on a shared server, created at the version this program writes.
const char* const kPostgres[] = {
    "CREATE TABLE IF NOT EXISTS runs(id BIGSERIAL PRIMARY KEY, uuid TEXT UNIQUE, at TEXT,"
    " operation TEXT, room_number TEXT, hotel TEXT, room_type TEXT, room_type_number TEXT,"
    " room_type_hash TEXT, port TEXT, version TEXT, cut_short INTEGER, at_utc TEXT DEFAULT '',"
    " utc_offset TEXT DEFAULT '', installer TEXT DEFAULT '', machine TEXT DEFAULT '',"
    " devices_count INTEGER DEFAULT 0, ok_count INTEGER DEFAULT 0, no_answer INTEGER DEFAULT 0,"
    " differs INTEGER DEFAULT 0, conflicts INTEGER DEFAULT 0, unreached INTEGER DEFAULT 0)",
    "CREATE TABLE IF NOT EXISTS devices(run_id BIGINT, device INTEGER, type INTEGER,"
    " location TEXT, result TEXT, differences TEXT)",
    "CREATE INDEX IF NOT EXISTS devices_of_run ON devices(run_id)",
    "CREATE TABLE IF NOT EXISTS rooms(room_number TEXT, hotel TEXT, room_type TEXT,"
    " room_type_number TEXT, room_type_hash TEXT, last_send TEXT DEFAULT '',"
    " last_verify TEXT DEFAULT '', verify_ok INTEGER DEFAULT 0, verify_total INTEGER DEFAULT 0,"
    " verify_cut INTEGER DEFAULT 0, last_verify_id BIGINT DEFAULT 0,"
    " PRIMARY KEY(room_number, hotel, room_type, room_type_number))",
    "CREATE TABLE IF NOT EXISTS remembered(key TEXT PRIMARY KEY, value TEXT)",
    "CREATE INDEX IF NOT EXISTS runs_of_room ON runs(room_number, id)",
    "CREATE INDEX IF NOT EXISTS runs_by_operation ON runs(operation, room_number, id)",
    "CREATE TABLE IF NOT EXISTS job_rooms(room_number TEXT PRIMARY KEY, floor TEXT, path TEXT,"
    " hotel TEXT, room_type TEXT, room_type_number TEXT, room_type_hash TEXT)",
};

int userVersion(QSqlQuery& q) {
    return q.exec(QStringLiteral("PRAGMA user_version")) && q.next() ? q.value(0).toInt() : -1;
}

bool runAll(QSqlQuery& q, const char* const* statements, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!q.exec(QString::fromUtf8(statements[i]))) return false;
    }
    return true;
}

}  // namespace

bool prepareRecordSchema(QSqlDatabase& db, int* version, QString* error) {
    QSqlQuery q(db);
    *version = userVersion(q);
    if (*version >= kRecordSchemaVersion) return true;
    // Two programs opening an old record at once: the second waits and then finds it done.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        *error = q.lastError().text();
        return false;
    }
    *version = userVersion(q);
    bool ok = *version >= 0;
    if (ok && *version < 1) ok = runAll(q, kVersion1, std::size(kVersion1));
    if (ok && *version < 2) ok = runAll(q, kVersion2, std::size(kVersion2));
    if (ok && *version < 3) ok = runAll(q, kVersion3, std::size(kVersion3));
    if (ok && *version < kRecordSchemaVersion) {
        ok = q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kRecordSchemaVersion));
    }
    if (!ok) {
        *error = q.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!q.exec(QStringLiteral("COMMIT"))) {
        *error = q.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool preparePostgresSchema(QSqlDatabase& db, int* version, QString* error) {
    QSqlQuery q(db);
    const auto failed = [&] {
        *error = q.lastError().text().trimmed();
        db.rollback();
        return false;
    };
    if (!db.transaction()) {
        *error = db.lastError().text().trimmed();
        return false;
    }
    // Laptops that meet an empty server at once: one creates the tables, the others wait. The
    // server's notices ("already exists, skipping") are no news to an installer.
    if (!q.exec(QStringLiteral("SET client_min_messages TO WARNING")) ||
        !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7302512)")) ||
        !q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS record_schema(version INTEGER NOT NULL)")) ||
        !q.exec(QStringLiteral("SELECT MAX(version) FROM record_schema"))) {
        return failed();
    }
    *version = q.next() && !q.value(0).isNull() ? q.value(0).toInt() : 0;
    if (*version < kRecordSchemaVersion) {
        if (!runAll(q, kPostgres, std::size(kPostgres)) ||
            !q.exec(QStringLiteral("DELETE FROM record_schema")) ||
            !q.exec(QStringLiteral("INSERT INTO record_schema(version) VALUES(%1)").arg(kRecordSchemaVersion))) {
            return failed();
        }
    }
    if (!db.commit()) {
        *error = db.lastError().text().trimmed();
        db.rollback();
        return false;
    }
    return true;
}

}  // namespace room::platform
