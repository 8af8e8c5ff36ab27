// The hand-over report of a whole hotel: a record of 10,000 rooms in a job with 50,000 entries
// (five per room, seven devices each). The CSV is timed beside a bare SQL read of the same device
// rows written with nothing around them, and against its 3 s target; the PDF's peak memory is
// measured against its 300 MB bound, with the memory after a tenth of the rooms to show it stays
// flat. Run offscreen: QT_QPA_PLATFORM=offscreen build/tests/bench/report_bench [ROOMS] [--no-pdf]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdio>
#include <cstring>

#include "core/format/shd_file.h"
#include "platform/hand_over.h"
#include "platform/job_import.h"
#include "platform/record_store.h"

using namespace room;

namespace {

constexpr int kRunsPerRoom = 5;
constexpr int kDevices = 7;

// The process's peak resident memory so far, in MB (Linux).
double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    }
    return -1;
}

double nowMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    }
    return -1;
}

// The job and its entries, written in one transaction straight into the store's tables.
void fill(const QString& path, const QString& roomType, int rooms) {
    platform::RecordStore store(path);
    QString error;
    const auto type = platform::jobRoom("101", "", roomType, &error);
    std::vector<records::JobRoom> job;
    for (int r = 0; r < rooms; ++r) {
        records::JobRoom room = *type;
        room.roomNumber = std::to_string((r / 40 + 1) * 100 + r % 40 + 1);
        room.floor = std::to_string(r / 40 + 1);
        job.push_back(room);
    }
    store.putJobRooms(job);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery run(db);
    run.prepare(QStringLiteral(
        "INSERT INTO runs(id, at, operation, room_number, hotel, room_type, room_type_number,"
        " room_type_hash, port, version, at_utc, utc_offset, installer, machine, cut_short,"
        " devices_count, ok_count, no_answer, differs) VALUES(?,?,?,?,?,?,?,?,'COM3','V1.6.2',"
        " '2026-12-01T02:00:00Z','+08:00','张工','PC-1',0,?,?,?,?)"));
    QSqlQuery device(db);
    device.prepare(QStringLiteral("INSERT INTO devices VALUES(?,?,1,?,?,?)"));
    long long id = 0;
    for (const records::JobRoom& room : job) {
        for (int k = 0; k < kRunsPerRoom; ++k) {
            const bool faulty = (++id % 17) == 0;
            for (const QVariant& v :
                 {QVariant(id), QVariant(QStringLiteral("2026-12-01 10:00:00")),
                  QVariant(k % 2 ? QStringLiteral("下发所有") : QStringLiteral("校验所有")),
                  QVariant(QString::fromStdString(room.roomNumber)), QVariant(QString::fromStdString(room.roomType.hotel)),
                  QVariant(QString::fromStdString(room.roomType.name)), QVariant(QString::fromStdString(room.roomType.number)),
                  QVariant(QString::fromStdString(room.roomType.hash)), QVariant(kDevices),
                  QVariant(faulty ? kDevices - 1 : kDevices), QVariant(0), QVariant(faulty ? 1 : 0)}) {
                run.addBindValue(v);
            }
            run.exec();
            for (int d = 1; d <= kDevices; ++d) {
                device.addBindValue(id);
                device.addBindValue(d);
                device.addBindValue(QStringLiteral("位置%1").arg(d));
                device.addBindValue(faulty && d == 3 ? QStringLiteral("数据异常") : QStringLiteral("OK"));
                device.addBindValue(faulty && d == 3 ? QStringLiteral("按键第01个数据异常 0A 0B  按键1: 应为010.廊灯, 实为013.夜灯")
                                                     : QString());
                device.exec();
            }
        }
    }
    db.commit();
}

// The same device rows as the report's CSV, read and written with nothing around them.
double bareCsvSeconds(const QString& path, const QString& out) {
    QElapsedTimer clock;
    clock.start();
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("fill"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral(
        "SELECT r.room_number, r.at, r.operation, d.device, d.location, d.result, d.differences"
        " FROM runs r JOIN (SELECT MAX(id) AS m FROM runs GROUP BY room_number) l ON r.id = l.m"
        " JOIN devices d ON d.run_id = r.id ORDER BY r.room_number, d.device"));
    QFile file(out);
    file.open(QIODevice::WriteOnly);
    while (q.next()) {
        QByteArray line;
        for (int i = 0; i < 7; ++i) line += q.value(i).toString().toUtf8() + ',';
        file.write(line + "\r\n");
    }
    (void)path;
    return clock.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int rooms = argc > 1 && std::strcmp(argv[1], "--no-pdf") != 0 ? std::atoi(argv[1]) : 10000;
    const bool pdf = !(argc > 1 && std::strcmp(argv[argc - 1], "--no-pdf") == 0);
    QTemporaryDir dir;
    const QString roomType = dir.filePath(QStringLiteral("deluxe.shd"));
    {
        QFile example(QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"));
        example.copy(roomType);
    }
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    fill(path, roomType, rooms);
    std::printf("record: %d rooms, %d entries, %d device rows\n", rooms, rooms * kRunsPerRoom,
                rooms * kRunsPerRoom * kDevices);

    const double bare = bareCsvSeconds(path, dir.filePath(QStringLiteral("bare.csv")));
    platform::RecordStore store(path);
    QElapsedTimer clock;
    clock.start();
    auto job = platform::reportJob(store, {});
    std::printf("status of every room: %.2f s\n", clock.nsecsElapsed() / 1e9);
    QString error;
    platform::writeHandOverCsv(dir.filePath(QStringLiteral("report.csv")), *job, &error);
    const double csv = clock.nsecsElapsed() / 1e9;
    std::printf("csv: %.2f s; bare SQL and write %.2f s (ratio %.2f); target 3 s (ratio %.2f)\n", csv, bare,
                csv / bare, csv / 3.0);
    if (!pdf) return 0;

    const double before = peakMegabytes();
    double atTenth = 0;
    job->progress = [&](int done, int total) {
        if (done == total / 10) atTenth = nowMegabytes();
        return true;
    };
    clock.restart();
    const auto result = platform::writeHandOverPdf(dir.filePath(QStringLiteral("report.pdf")), *job, &error);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double peak = peakMegabytes();
    std::printf("pdf: %s in %.1f s (%.1f ms a room), %.1f MB file\n",
                result == platform::ReportResult::Written ? "written" : qPrintable(error), seconds,
                seconds * 1000 / rooms, QFile(dir.filePath(QStringLiteral("report.pdf"))).size() / 1e6);
    std::printf("pdf memory: peak %.0f MB (before %.0f MB, after a tenth of the rooms %.0f MB, at the end "
                "%.0f MB); bound 300 MB (ratio %.2f)\n",
                peak, before, atTenth, nowMegabytes(), peak / 300.0);
    return 0;
}
