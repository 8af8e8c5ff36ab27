#include "platform/record_spool.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include "platform/record_location.h"
#include "platform/record_store.h"
#include "platform/record_values.h"

namespace room::platform {

namespace {

using recordvalues::text;

std::string utf8(const QJsonValue& value) {
    return value.toString().toStdString();
}

QJsonObject deviceJson(const records::DeviceResult& d) {
    QJsonArray differences;
    for (const std::string& line : d.differences) differences.append(text(line));
    return {{QStringLiteral("device"), d.device},
            {QStringLiteral("type"), d.type},
            {QStringLiteral("location"), text(d.location)},
            {QStringLiteral("verdict"), text(std::string(records::verdictText(d.verdict)))},
            {QStringLiteral("differences"), differences}};
}

records::DeviceResult deviceFrom(const QJsonObject& o) {
    records::DeviceResult d;
    d.device = o.value(QStringLiteral("device")).toInt();
    d.type = o.value(QStringLiteral("type")).toInt();
    d.location = utf8(o.value(QStringLiteral("location")));
    d.verdict = records::verdictFromText(utf8(o.value(QStringLiteral("verdict"))));
    for (const QJsonValue& line : o.value(QStringLiteral("differences")).toArray()) {
        d.differences.push_back(utf8(line));
    }
    return d;
}

// The text fields of an entry, by the names the spool keeps them under.
std::vector<std::pair<QString, std::string records::RunRecord::*>> textFields() {
    using R = records::RunRecord;
    return {{QStringLiteral("uuid"), &R::uuid},           {QStringLiteral("when"), &R::when},
            {QStringLiteral("whenUtc"), &R::whenUtc},     {QStringLiteral("utcOffset"), &R::utcOffset},
            {QStringLiteral("installer"), &R::installer}, {QStringLiteral("machine"), &R::machine},
            {QStringLiteral("operation"), &R::operation}, {QStringLiteral("roomNumber"), &R::roomNumber},
            {QStringLiteral("port"), &R::port},           {QStringLiteral("programVersion"), &R::programVersion}};
}

}  // namespace

QByteArray entryJson(const records::RunRecord& record) {
    QJsonObject o;
    for (const auto& [name, field] : textFields()) o.insert(name, text(record.*field));
    o.insert(QStringLiteral("roomType"), QJsonArray{text(record.roomType.hotel), text(record.roomType.name),
                                                    text(record.roomType.number), text(record.roomType.hash)});
    o.insert(QStringLiteral("cutShort"), record.cutShort);
    QJsonArray devices;
    for (const records::DeviceResult& d : record.devices) devices.append(deviceJson(d));
    o.insert(QStringLiteral("devices"), devices);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<records::RunRecord> entryFromJson(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject()) return std::nullopt;
    const QJsonObject o = document.object();
    records::RunRecord record;
    for (const auto& [name, field] : textFields()) record.*field = utf8(o.value(name));
    const QJsonArray type = o.value(QStringLiteral("roomType")).toArray();
    record.roomType = {utf8(type.at(0)), utf8(type.at(1)), utf8(type.at(2)), utf8(type.at(3))};
    record.cutShort = o.value(QStringLiteral("cutShort")).toBool();
    for (const QJsonValue& d : o.value(QStringLiteral("devices")).toArray()) {
        record.devices.push_back(deviceFrom(d.toObject()));
    }
    if (record.uuid.empty()) return std::nullopt;
    return record;
}

QString spooledText(int waiting) {
    return QStringLiteral("调试记录暂存本机, 共%1条待上传").arg(waiting);
}

RecordSpool::RecordSpool(QString path) : m_path(std::move(path)) {
    static QAtomicInt counter;
    m_connection = QStringLiteral("spool-%1").arg(counter.fetchAndAddRelaxed(1));
}

RecordSpool::~RecordSpool() {
    if (!QSqlDatabase::contains(m_connection)) return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QString RecordSpool::defaultPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return folder + QStringLiteral("/roomcfg/spool.sqlite");
}

bool RecordSpool::open() {
    if (m_ready) return true;
    m_error.clear();
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        m_error = QStringLiteral("暂存文件夹无法创建: ") + QFileInfo(m_path).absolutePath();
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    // Runs of several programs at once each keep their entry: a short wait, never a loss.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    QSqlQuery q(db);
    if (!db.open() || !q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS waiting(seq INTEGER PRIMARY KEY,"
                                             " uuid TEXT UNIQUE, target TEXT, entry TEXT)"))) {
        m_error = QStringLiteral("暂存文件无法打开: ") + (db.isOpen() ? q.lastError() : db.lastError()).text();
        db.close();
        return false;
    }
    m_ready = true;
    return true;
}

bool RecordSpool::keep(records::RunRecord& record, const QString& target) {
    if (record.uuid.empty()) record.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    if (!open()) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO waiting(uuid, target, entry) VALUES(?, ?, ?)"
                             " ON CONFLICT(uuid) DO NOTHING"));
    q.addBindValue(text(record.uuid));
    q.addBindValue(target);
    q.addBindValue(QString::fromUtf8(entryJson(record)));
    if (q.exec()) return true;
    m_error = QStringLiteral("暂存失败: ") + q.lastError().text();
    return false;
}

std::optional<std::vector<records::RunRecord>> RecordSpool::waiting(const QString& target) {
    if (!open()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT entry FROM waiting WHERE target = ? ORDER BY seq"));
    q.addBindValue(target);
    if (!q.exec()) {
        m_error = q.lastError().text();
        return std::nullopt;
    }
    std::vector<records::RunRecord> out;
    while (q.next()) {
        if (auto record = entryFromJson(q.value(0).toString().toUtf8())) out.push_back(std::move(*record));
    }
    return out;
}

int RecordSpool::waitingCount(const QString& target) {
    const auto entries = waiting(target);
    return entries ? static_cast<int>(entries->size()) : 0;
}

RecordSpool::Sent RecordSpool::send(RecordStore& store) {
    Sent result;
    const QString target = store.shownPath();
    auto entries = waiting(target);
    if (!entries) {
        result.error = m_error;
        return result;
    }
    QSqlQuery done(QSqlDatabase::database(m_connection, false));
    done.prepare(QStringLiteral("DELETE FROM waiting WHERE uuid = ?"));
    for (records::RunRecord& record : *entries) {
        if (!store.add(record)) {
            result.error = store.errorString();
            break;
        }
        done.addBindValue(text(record.uuid));
        done.exec();  // sent twice at worst, and kept once by its uuid
        ++result.sent;
    }
    result.waiting = static_cast<int>(entries->size()) - result.sent;
    return result;
}

}  // namespace room::platform
