// The job's rooms and what the board, `job status` and the report read of the entries.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <map>
#include <tuple>

#include "platform/record_store.h"
#include "platform/record_values.h"

namespace room::platform {

namespace {

using recordvalues::text;
using recordvalues::utf8;

// The columns factsAt reads, from `id` on.
const QString kFactColumns = QStringLiteral(
    "id, at, utc_offset, installer, operation, room_type_hash, cut_short, devices_count, ok_count,"
    " no_answer, differs, conflicts, unreached");
const QString kFactColumnsOfR = QStringLiteral(
    "r.id, r.at, r.utc_offset, r.installer, r.operation, r.room_type_hash, r.cut_short,"
    " r.devices_count, r.ok_count, r.no_answer, r.differs, r.conflicts, r.unreached");

records::RunFacts factsAt(const QSqlQuery& q, int first) {
    records::RunFacts f;
    f.id = q.value(first).toLongLong();
    f.when = utf8(q.value(first + 1));
    f.utcOffset = utf8(q.value(first + 2));
    f.installer = utf8(q.value(first + 3));
    f.operation = utf8(q.value(first + 4));
    f.hash = utf8(q.value(first + 5));
    f.cutShort = q.value(first + 6).toInt() != 0;
    int* counts[] = {&f.devices, &f.ok, &f.noAnswer, &f.differs, &f.conflicts, &f.unreached};
    for (int i = 0; i < 6; ++i) *counts[i] = q.value(first + 7 + i).toInt();
    return f;
}

}  // namespace

std::optional<std::vector<records::JobRoom>> RecordStore::jobRooms() {
    m_error.clear();
    if (!open()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT room_number, floor, path, hotel, room_type,"
                               " room_type_number, room_type_hash FROM job_rooms"
                               " ORDER BY floor, room_number"))) {
        fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
        return std::nullopt;
    }
    std::vector<records::JobRoom> rooms;
    while (q.next()) {
        rooms.push_back({utf8(q.value(0)), utf8(q.value(1)), utf8(q.value(2)),
                         {utf8(q.value(3)), utf8(q.value(4)), utf8(q.value(5)), utf8(q.value(6))}});
    }
    return rooms;
}

bool RecordStore::putJobRooms(const std::vector<records::JobRoom>& rooms) {
    if (!writable()) return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) return fail(QStringLiteral("房间表未保存"), db.lastError().text());
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO job_rooms(room_number, floor, path, hotel, room_type, room_type_number,"
        " room_type_hash) VALUES(?,?,?,?,?,?,?) ON CONFLICT(room_number) DO UPDATE SET"
        " floor = excluded.floor, path = excluded.path, hotel = excluded.hotel,"
        " room_type = excluded.room_type, room_type_number = excluded.room_type_number,"
        " room_type_hash = excluded.room_type_hash"));
    for (const records::JobRoom& room : rooms) {
        for (const std::string* v : {&room.roomNumber, &room.floor, &room.roomTypePath,
                                     &room.roomType.hotel, &room.roomType.name,
                                     &room.roomType.number, &room.roomType.hash}) {
            q.addBindValue(text(*v));
        }
        if (!q.exec()) {
            const QString reason = q.lastError().text();
            db.rollback();
            return fail(QStringLiteral("房间表未保存"), reason);
        }
    }
    if (!db.commit()) {
        const QString reason = db.lastError().text();
        db.rollback();
        return fail(QStringLiteral("房间表未保存"), reason);
    }
    return true;
}

bool RecordStore::removeJobRoom(const std::string& roomNumber) {
    if (!writable()) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM job_rooms WHERE room_number = ?"));
    q.addBindValue(text(roomNumber));
    return q.exec() || fail(QStringLiteral("房间表未保存"), q.lastError().text());
}

std::optional<std::vector<RecordStore::RoomRuns>> RecordStore::roomRuns() {
    m_error.clear();
    if (!open()) return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Each room number's latest entry of any kind, and how many it has.
    if (!q.exec(QStringLiteral(
            "SELECT r.room_number, c.n, r.hotel, r.room_type, r.room_type_number, r.room_type_hash"
            " FROM runs r JOIN (SELECT MAX(id) AS m, COUNT(*) AS n FROM runs GROUP BY room_number)"
            " c ON r.id = c.m ORDER BY r.room_number"))) {
        fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
        return std::nullopt;
    }
    std::vector<RoomRuns> out;
    std::map<std::string, std::size_t> at;
    while (q.next()) {
        RoomRuns room;
        room.roomNumber = utf8(q.value(0));
        room.runs = q.value(1).toInt();
        room.latestType = {utf8(q.value(2)), utf8(q.value(3)), utf8(q.value(4)), utf8(q.value(5))};
        at[room.roomNumber] = out.size();
        out.push_back(std::move(room));
    }
    // Each room number's latest whole-room run.
    if (!q.exec(QStringLiteral("SELECT r.room_number, r.hotel, r.room_type, r.room_type_number, ") +
                kFactColumnsOfR +
                QStringLiteral(" FROM runs r JOIN (SELECT MAX(id) AS m FROM runs WHERE operation IN"
                               " ('下发所有', '校验所有') GROUP BY room_number) l ON r.id = l.m"))) {
        fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
        return std::nullopt;
    }
    while (q.next()) {
        const auto found = at.find(utf8(q.value(0)));
        if (found == at.end()) continue;
        RoomRuns& room = out[found->second];
        room.latest = factsAt(q, 4);
        room.latestType = {utf8(q.value(1)), utf8(q.value(2)), utf8(q.value(3)), room.latest->hash};
    }
    return out;
}

bool RecordStore::fillLatest(std::vector<records::RoomRow>& rows) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT r.room_number, r.hotel, r.room_type, r.room_type_number, ") +
                kFactColumnsOfR +
                QStringLiteral(" FROM runs r JOIN (SELECT MAX(id) AS m FROM runs WHERE operation IN"
                               " ('下发所有', '校验所有') GROUP BY room_number, hotel, room_type,"
                               " room_type_number) l ON r.id = l.m"))) {
        return fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
    }
    std::map<std::tuple<std::string, std::string, std::string, std::string>, records::RunFacts> latest;
    while (q.next()) {
        latest[{utf8(q.value(0)), utf8(q.value(1)), utf8(q.value(2)), utf8(q.value(3))}] = factsAt(q, 4);
    }
    for (records::RoomRow& row : rows) {
        const auto found = latest.find({row.roomNumber, row.roomType.hotel, row.roomType.name, row.roomType.number});
        if (found != latest.end()) row.latest = found->second;
    }
    return true;
}

std::optional<std::vector<records::RunFacts>> RecordStore::factsOfRoom(const std::string& roomNumber) {
    m_error.clear();
    if (!open()) return std::nullopt;
    QSqlQuery& q = prepared(QStringLiteral("SELECT ") + kFactColumns +
                            QStringLiteral(" FROM runs WHERE room_number = ? ORDER BY id DESC"));
    q.addBindValue(text(roomNumber));
    if (!q.exec()) {
        fail(QStringLiteral("调试记录无法读取"), q.lastError().text());
        q.finish();
        return std::nullopt;
    }
    std::vector<records::RunFacts> out;
    while (q.next()) out.push_back(factsAt(q, 0));
    q.finish();
    return out;
}

std::optional<std::vector<records::RunRecord>> RecordStore::runsOfRoom(const std::string& roomNumber) {
    return select(QStringLiteral(" WHERE room_number = ?"), {text(roomNumber)});
}

}  // namespace room::platform
