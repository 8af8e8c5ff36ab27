#include "platform/record_store.h"
#include "platform/record_values.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimeZone>
#include <QVariant>

#include "core/format/shd_file.h"
#include "platform/record_location.h"
#include "platform/record_schema.h"

namespace room::platform {

namespace {

using recordvalues::text;
using recordvalues::utf8;


// Differences are kept one per line.
QString joined(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines) list << text(line);
    return list.join(QLatin1Char('\n'));
}

std::vector<std::string> split(const QString& lines) {
    std::vector<std::string> out;
    if (lines.isEmpty()) return out;
    for (const QString& line : lines.split(QLatin1Char('\n'))) out.push_back(line.toStdString());
    return out;
}

records::RoomTypeId roomTypeOf(const QSqlQuery& q, int first) {
    return {utf8(q.value(first)), utf8(q.value(first + 1)), utf8(q.value(first + 2)),
            utf8(q.value(first + 3))};
}

}  // namespace

QString utcOffsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString programVersion() {
    return QStringLiteral("V1.6.2");
}

records::RoomTypeId roomTypeId(const model::RoomTypeConfig& room) {
    const std::string bytes = format::writeRoomTypeFile(room);
    const QByteArray hash = QCryptographicHash::hash(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())),
        QCryptographicHash::Sha256);
    return {room.hotelName, room.roomTypeName, room.roomTypeNumberText,
            hash.toHex().left(16).toStdString()};
}

void stamp(records::RunRecord& record, const model::RoomTypeConfig& room,
           const QString& roomNumber, const QString& port) {
    const QDateTime now = QDateTime::currentDateTime();
    record.when = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    record.whenUtc = now.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toStdString();
    record.utcOffset = utcOffsetText(now.offsetFromUtc()).toStdString();
    record.machine = QSysInfo::machineHostName().toStdString();
    record.roomNumber = roomNumber.trimmed().toStdString();
    record.roomType = roomTypeId(room);
    record.port = port.toStdString();
    record.programVersion = programVersion().toStdString();
}

RecordStore::RecordStore(QString path, int busyMs) : m_path(std::move(path)), m_busyMs(busyMs) {
    static QAtomicInt counter;
    m_connection = QStringLiteral("records-%1").arg(counter.fetchAndAddRelaxed(1));
}

RecordStore::~RecordStore() {
    m_prepared.clear();  // before their connection goes
    if (!QSqlDatabase::contains(m_connection)) return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

namespace {
// Read by the thread that sends the spool, set by the window's thread.
QMutex g_userRecordMutex;
QString g_userRecord;
}  // namespace

QString RecordStore::shownPath() const {
    return shownLocation(m_path);
}

QString RecordStore::userRecord() {
    const QMutexLocker lock(&g_userRecordMutex);
    return g_userRecord.isEmpty() ? defaultPath() : g_userRecord;
}

void RecordStore::setUserRecord(const QString& location) {
    const QMutexLocker lock(&g_userRecordMutex);
    g_userRecord = location;
}

QString RecordStore::defaultPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return folder + QStringLiteral("/roomcfg/records.sqlite");
}

QSqlQuery& RecordStore::prepared(const QString& sql) {
    auto& query = m_prepared[sql];
    if (!query) {
        query = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
        query->setForwardOnly(true);
        query->prepare(sql);
    }
    return *query;
}

bool RecordStore::fail(const QString& what, const QString& reason) {
    m_error = what + QStringLiteral(": ") + reason;
    return false;
}

bool RecordStore::open() {
    if (m_ready) return true;
    QString problem;
    const auto location = parseRecordLocation(m_path, &problem);
    if (!location) return fail(QStringLiteral("调试记录无法打开"), problem);
    const bool shared = location->shared();
    if (!shared && !QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        return fail(QStringLiteral("调试记录文件夹无法创建"), QFileInfo(m_path).absolutePath());
    }
    const QString driver = shared ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(driver, m_connection);
    if (!db.isValid()) return fail(QStringLiteral("调试记录无法打开"), QStringLiteral("没有数据库驱动 ") + driver);
    if (shared) {
        db.setHostName(location->host);
        if (location->port != 0) db.setPort(location->port);
        db.setDatabaseName(location->database);
        db.setUserName(location->user);
        if (!location->password.isEmpty()) db.setPassword(location->password);
        // A server out of reach is known within seconds, and the entry waits in the spool.
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(std::max(1, m_busyMs / 1000 + 2)));
    } else {
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyMs));
    }
    if (!db.open()) return fail(QStringLiteral("调试记录无法打开"), db.lastError().text().trimmed());
    int version = 0;
    QString reason;
    const bool prepared = shared ? preparePostgresSchema(db, &version, &reason)
                                 : prepareRecordSchema(db, &version, &reason);
    if (!prepared) {
        db.close();
        return fail(QStringLiteral("调试记录无法打开"), reason);
    }
    m_shared = shared;
    m_newerVersion = version > kRecordSchemaVersion ? version : 0;
    m_ready = true;
    return true;
}

bool RecordStore::writable() {
    m_error.clear();
    if (!open()) return false;
    if (m_newerVersion == 0) return true;
    return fail(QStringLiteral("调试记录未保存"),
                QStringLiteral("记录由较新版本的程序建立 (结构版本%1), 本程序只读取不写入")
                    .arg(m_newerVersion));
}

bool RecordStore::add(records::RunRecord& record) {
    if (!writable()) return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) return fail(QStringLiteral("调试记录未保存"), db.lastError().text());
    QSqlQuery q(db);
    auto abandon = [&] {
        const QString reason = q.lastError().text();
        db.rollback();
        return fail(QStringLiteral("调试记录未保存"), reason);
    };
    q.prepare(QStringLiteral(
        "INSERT INTO runs(uuid, at, operation, room_number, hotel, room_type, room_type_number,"
        " room_type_hash, port, version, at_utc, utc_offset, installer, machine, cut_short,"
        " devices_count, ok_count, no_answer, differs, conflicts, unreached)"
        " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"
        " ON CONFLICT(uuid) DO NOTHING RETURNING id"));
    // Entries made before entries had an identity stay apart: NULL is never a duplicate.
    q.addBindValue(record.uuid.empty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text(record.uuid)));
    for (const std::string* v :
         {&record.when, &record.operation, &record.roomNumber, &record.roomType.hotel,
          &record.roomType.name, &record.roomType.number, &record.roomType.hash, &record.port,
          &record.programVersion, &record.whenUtc, &record.utcOffset, &record.installer,
          &record.machine}) {
        q.addBindValue(text(*v));
    }
    q.addBindValue(record.cutShort ? 1 : 0);
    const records::RunFacts facts = records::factsOf(record);
    for (int count : {facts.devices, facts.ok, facts.noAnswer, facts.differs, facts.conflicts,
                      facts.unreached}) {
        q.addBindValue(count);
    }
    if (!q.exec()) return abandon();
    if (!q.next()) {
        // Sent before (its answer lost on the way, or from another spool): kept once.
        db.rollback();
        return existing(record);
    }
    const long long id = q.value(0).toLongLong();
    q.finish();
    q.prepare(QStringLiteral(
        "INSERT INTO devices(run_id, device, type, location, result, differences)"
        " VALUES(?,?,?,?,?,?)"));
    for (const records::DeviceResult& d : record.devices) {
        q.addBindValue(id);
        q.addBindValue(d.device);
        q.addBindValue(d.type);
        q.addBindValue(text(d.location));
        q.addBindValue(text(std::string(records::verdictText(d.verdict))));
        q.addBindValue(joined(d.differences));
        if (!q.exec()) return abandon();
    }
    const bool verify = record.operation == "校验所有";
    const bool send = records::isSend(record.operation);
    q.prepare(QStringLiteral(
        "INSERT INTO rooms(room_number, hotel, room_type, room_type_number, room_type_hash)"
        " VALUES(?,?,?,?,?) ON CONFLICT(room_number, hotel, room_type, room_type_number)"
        " DO UPDATE SET room_type_hash = excluded.room_type_hash"));
    for (const std::string* v : {&record.roomNumber, &record.roomType.hotel, &record.roomType.name,
                                 &record.roomType.number, &record.roomType.hash}) {
        q.addBindValue(text(*v));
    }
    if (!q.exec()) return abandon();
    if (verify || send) {
        q.prepare(verify ? QStringLiteral("UPDATE rooms SET last_verify = ?, verify_ok = ?,"
                                          " verify_total = ?, verify_cut = ?, last_verify_id = ?"
                                          " WHERE room_number = ? AND hotel = ? AND room_type = ?"
                                          " AND room_type_number = ?")
                         : QStringLiteral("UPDATE rooms SET last_send = ? WHERE room_number = ?"
                                          " AND hotel = ? AND room_type = ? AND room_type_number = ?"));
        q.addBindValue(text(record.when));
        if (verify) {
            q.addBindValue(records::okCount(record));
            q.addBindValue(static_cast<int>(record.devices.size()));
            q.addBindValue(record.cutShort ? 1 : 0);
            q.addBindValue(id);
        }
        for (const std::string* v : {&record.roomNumber, &record.roomType.hotel,
                                     &record.roomType.name, &record.roomType.number}) {
            q.addBindValue(text(*v));
        }
        if (!q.exec()) return abandon();
    }
    if (!db.commit()) return abandon();
    record.id = id;
    return true;
}

bool RecordStore::existing(records::RunRecord& record) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT id FROM runs WHERE uuid = ?"));
    q.addBindValue(text(record.uuid));
    if (!q.exec() || !q.next()) return fail(QStringLiteral("调试记录未保存"), q.lastError().text());
    record.id = q.value(0).toLongLong();
    return true;
}

QString RecordStore::remembered(const QString& key) {
    if (!open()) return {};
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT value FROM remembered WHERE key = ?"));
    q.addBindValue(key);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

bool RecordStore::remember(const QString& key, const QString& value) {
    if (!writable()) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO remembered(key, value) VALUES(?, ?)"
                             " ON CONFLICT(key) DO UPDATE SET value = excluded.value"));
    q.addBindValue(key);
    q.addBindValue(value);
    return q.exec() || fail(QStringLiteral("调试记录未保存"), q.lastError().text());
}

std::optional<records::RunRecord> RecordStore::latestOf(const records::RoomRow& room) {
    if (room.lastVerifyId != 0) {
        if (auto run = this->run(room.lastVerifyId)) return run;
    }
    const auto all = runs(room);
    if (!all || all->empty()) return std::nullopt;
    return all->front();
}

std::optional<std::vector<records::RoomRow>> RecordStore::rooms() {
    m_error.clear();
    if (!open()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT room_number, hotel, room_type, room_type_number, room_type_hash, last_send,"
            " last_verify, verify_ok, verify_total, verify_cut, last_verify_id FROM rooms"
            " ORDER BY room_number, hotel, room_type, room_type_number"))) {
        fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
        return std::nullopt;
    }
    std::vector<records::RoomRow> rows;
    while (q.next()) {
        records::RoomRow row;
        row.roomNumber = utf8(q.value(0));
        row.roomType = roomTypeOf(q, 1);
        row.lastSend = utf8(q.value(5));
        row.lastVerify = utf8(q.value(6));
        row.verifyOk = q.value(7).toInt();
        row.verifyTotal = q.value(8).toInt();
        row.verifyCutShort = q.value(9).toInt() != 0;
        row.lastVerifyId = q.value(10).toLongLong();
        rows.push_back(std::move(row));
    }
    if (!fillLatest(rows)) return std::nullopt;
    return rows;
}

std::optional<std::vector<records::RunRecord>> RecordStore::runs(
    const std::optional<records::RoomRow>& room) {
    if (!room) return select(QString(), {});
    QVariantList binds;
    for (const std::string* v : {&room->roomNumber, &room->roomType.hotel, &room->roomType.name,
                                 &room->roomType.number}) {
        binds << text(*v);
    }
    return select(QStringLiteral(" WHERE room_number = ? AND hotel = ? AND room_type = ?"
                                 " AND room_type_number = ?"),
                  binds);
}

std::optional<records::RunRecord> RecordStore::run(long long id) {
    auto found = select(QStringLiteral(" WHERE id = ?"), {id});
    if (!found || found->empty()) return std::nullopt;
    return std::move(found->front());
}

std::optional<std::vector<records::RunRecord>> RecordStore::select(const QString& where,
                                                                   const QVariantList& binds) {
    m_error.clear();
    if (!open()) return std::nullopt;
    QSqlQuery& q = prepared(QStringLiteral(
                  "SELECT id, at, operation, room_number, hotel, room_type, room_type_number,"
                  " room_type_hash, port, version, cut_short, at_utc, utc_offset, installer,"
                  " machine, uuid FROM runs") +
              where + QStringLiteral(" ORDER BY id DESC"));
    for (const QVariant& bind : binds) q.addBindValue(bind);
    if (!q.exec()) {
        fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
        q.finish();
        return std::nullopt;
    }
    std::vector<records::RunRecord> out;
    while (q.next()) {
        records::RunRecord r;
        r.id = q.value(0).toLongLong();
        r.when = utf8(q.value(1));
        r.operation = utf8(q.value(2));
        r.roomNumber = utf8(q.value(3));
        r.roomType = roomTypeOf(q, 4);
        r.port = utf8(q.value(8));
        r.programVersion = utf8(q.value(9));
        r.cutShort = q.value(10).toInt() != 0;
        r.whenUtc = utf8(q.value(11));
        r.utcOffset = utf8(q.value(12));
        r.installer = utf8(q.value(13));
        r.machine = utf8(q.value(14));
        r.uuid = utf8(q.value(15));
        out.push_back(std::move(r));
    }
    q.finish();  // a cached statement must not hold the file's read lock between uses
    QSqlQuery& d = prepared(QStringLiteral("SELECT device, type, location, result, differences"
                                           " FROM devices WHERE run_id = ? ORDER BY device"));
    for (records::RunRecord& r : out) {
        d.addBindValue(r.id);
        if (!d.exec()) {
            fail(QStringLiteral("调试记录无法读取"), d.lastError().text());
            d.finish();
            return std::nullopt;
        }
        while (d.next()) {
            records::DeviceResult row;
            row.device = d.value(0).toInt();
            row.type = d.value(1).toInt();
            row.location = utf8(d.value(2));
            row.verdict = records::verdictFromText(utf8(d.value(3)));
            row.differences = split(d.value(4).toString());
            r.devices.push_back(std::move(row));
        }
        d.finish();
    }
    return out;
}


}  // namespace room::platform
