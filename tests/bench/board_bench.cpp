// Opening "工程进度" over a job of 2,000 rooms with 10 runs of 32 devices each: reading the job's
// states, building the window and its first picture, beside a bare SQL select of every run in the
// same run and against the aim of 0.3 s.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/tests/bench/board_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdio>

#include "gui/job/job_window.h"
#include "platform/job_import.h"
#include "platform/job_status.h"
#include "platform/record_store.h"
#include "silent_prompter.h"

using namespace room;

namespace {

constexpr int kFloors = 50;
constexpr int kRoomsPerFloor = 40;
constexpr int kRunsPerRoom = 10;
constexpr int kDevices = 32;

// The runs as the store writes them, in one transaction so that filling takes seconds.
void fillRuns(const QString& path, const std::vector<records::JobRoom>& rooms) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery run(db);
    run.prepare(
        "INSERT INTO runs(at, operation, room_number, hotel, room_type, room_type_number,"
        " room_type_hash, installer, cut_short, devices_count, ok_count, no_answer,"
        " differs, conflicts, unreached) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    QSqlQuery device(db);
    device.prepare(
        "INSERT INTO devices(run_id, device, type, location, result, differences)"
        " VALUES(?,?,?,?,?,?)");
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const records::JobRoom& room = rooms[i];
        for (int n = 0; n < kRunsPerRoom; ++n) {
            const bool silent = n == kRunsPerRoom - 1 && i % 7 == 0;
            const QVariantList values{
                QStringLiteral("2026-12-%1 10:00:00").arg(1 + n, 2, 10, QChar('0')),
                n % 2 ? QStringLiteral("校验所有") : QStringLiteral("下发所有"),
                QString::fromStdString(room.roomNumber),
                QString::fromStdString(room.roomType.hotel),
                QString::fromStdString(room.roomType.name),
                QString::fromStdString(room.roomType.number),
                QString::fromStdString(i % 5 ? room.roomType.hash : "older"),
                QStringLiteral("王工"),
                0,
                kDevices,
                silent ? kDevices - 1 : kDevices,
                silent ? 1 : 0,
                0,
                0,
                0};
            for (const QVariant& v : values) run.addBindValue(v);
            run.exec();
            const qlonglong id = run.lastInsertId().toLongLong();
            for (int d = 1; d <= kDevices; ++d) {
                for (const QVariant& v : QVariantList{id, d, 1, QStringLiteral("位置%1").arg(d),
                                                      QStringLiteral("OK"), QString()}) {
                    device.addBindValue(v);
                }
                device.exec();
            }
        }
    }
    db.commit();
    db.close();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("records.sqlite");
    QString error;
    const auto model = platform::jobRoom(
        "101", "", QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"), &error);
    if (!model) {
        std::fprintf(stderr, "room type: %s\n", qPrintable(error));
        return 1;
    }
    std::vector<records::JobRoom> rooms;
    for (int floor = 1; floor <= kFloors; ++floor) {
        for (int r = 1; r <= kRoomsPerFloor; ++r) {
            records::JobRoom room = *model;
            room.floor = std::to_string(floor);
            room.roomNumber = room.floor + (r < 10 ? "0" : "") + std::to_string(r);
            rooms.push_back(room);
        }
    }
    {
        platform::RecordStore store(path);
        if (!store.putJobRooms(rooms)) {
            std::fprintf(stderr, "job: %s\n", qPrintable(store.errorString()));
            return 1;
        }
    }
    fillRuns(path, rooms);
    QSqlDatabase::removeDatabase("fill");

    benchmarks::SilentPrompter prompter;
    QElapsedTimer clock;
    clock.start();
    platform::RecordStore store(path);
    const auto status = platform::loadJobStatus(store);
    const double load = clock.nsecsElapsed() / 1e6;
    clock.restart();
    double open = 0;
    {
        gui::JobWindow window(prompter, {path, {}, {}, {}});
        window.resize(1350, 689);
        window.show();
        const QPixmap picture = window.grab();
        open = clock.nsecsElapsed() / 1e6;
        if (picture.isNull()) return 1;
    }

    QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "reader");
    reader.setDatabaseName(path);
    reader.open();
    clock.restart();
    QSqlQuery q(reader);
    q.setForwardOnly(true);
    q.exec(
        "SELECT id, at, operation, room_number, room_type_hash, cut_short, devices_count,"
        " ok_count, no_answer, differs, conflicts, unreached FROM runs");
    int selected = 0;
    while (q.next()) selected += q.value(3).toString().size() > 0;
    const double bare = clock.nsecsElapsed() / 1e6;
    std::printf("job status of %zu rooms: %.0f ms\n", status ? status->rooms.size() : 0, load);
    std::printf(
        "open 工程进度 (status, window, first picture): %.0f ms (bare select of %d runs"
        " %.0f ms), ratio %.1f, %.2f of the 0.3 s aim\n",
        open, selected, bare, open / bare, open / 300.0);
    return 0;
}
