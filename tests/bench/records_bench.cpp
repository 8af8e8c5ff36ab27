// The commissioning record: adding the entry of a 32-device run, and opening "调试记录" over
// 10,000 rooms, each beside a bare SQLite insert / select of the same rows in the same run.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/tests/bench/records_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdio>

#include "gui/records/records_dialog.h"
#include "platform/prompter.h"
#include "silent_prompter.h"
#include "platform/record_store.h"

using namespace room;

namespace {

using benchmarks::SilentPrompter;

records::RunRecord run32(int room) {
    records::RunRecord run;
    run.when = "2026-12-09 10:00:00";
    run.operation = "校验所有";
    run.roomNumber = std::to_string(room);
    run.roomType = {"云栖湖畔大酒店", "豪华大床房", "8", "0123456789abcdef"};
    run.port = "/dev/ttyUSB0";
    run.programVersion = "V1.6.2";
    for (int d = 1; d <= 32; ++d) {
        run.devices.push_back({d, 1, "位置" + std::to_string(d),
                               d % 9 == 0 ? records::Verdict::Differs : records::Verdict::Ok,
                               d % 9 == 0 ? std::vector<std::string>{"按键第01个数据异常 0A 0B "}
                                          : std::vector<std::string>{}});
    }
    return run;
}

// The same rows as the store writes them, with nothing around them.
void bareInsert(QSqlDatabase& db, const records::RunRecord& run) {
    db.transaction();
    QSqlQuery q(db);
    q.prepare("INSERT INTO runs(at, operation, room_number) VALUES(?,?,?)");
    q.addBindValue(QString::fromStdString(run.when));
    q.addBindValue(QString::fromStdString(run.operation));
    q.addBindValue(QString::fromStdString(run.roomNumber));
    q.exec();
    const qlonglong id = q.lastInsertId().toLongLong();
    q.prepare("INSERT INTO devices(run_id, device, location, result) VALUES(?,?,?,?)");
    for (const records::DeviceResult& d : run.devices) {
        q.addBindValue(id);
        q.addBindValue(d.device);
        q.addBindValue(QString::fromStdString(d.location));
        q.addBindValue(QStringLiteral("OK"));
        q.exec();
    }
    db.commit();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const int runs = 200;
    const int rooms = 10000;

    // 1. Adding a 32-device run.
    platform::RecordStore store(dir.filePath("records.sqlite"));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runs; ++i) {
        records::RunRecord run = run32(1000 + i);
        store.add(run);
    }
    const double add = clock.nsecsElapsed() / 1e6 / runs;
    QSqlDatabase bare = QSqlDatabase::addDatabase("QSQLITE", "bare");
    bare.setDatabaseName(dir.filePath("bare.sqlite"));
    bare.open();
    QSqlQuery(bare).exec("CREATE TABLE runs(id INTEGER PRIMARY KEY, at TEXT, operation TEXT, room_number TEXT)");
    QSqlQuery(bare).exec("CREATE TABLE devices(run_id INTEGER, device INTEGER, location TEXT, result TEXT)");
    clock.restart();
    for (int i = 0; i < runs; ++i) bareInsert(bare, run32(1000 + i));
    const double bareAdd = clock.nsecsElapsed() / 1e6 / runs;
    std::printf("add a 32-device run : %.2f ms (bare insert %.2f ms), ratio %.2f\n", add, bareAdd,
                add / bareAdd);

    // 2. Listing 10,000 rooms.
    const QString many = dir.filePath("many.sqlite");
    { platform::RecordStore schema(many); schema.rooms(); }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(many);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare("INSERT INTO rooms(room_number, hotel, room_type, room_type_number, room_type_hash,"
                  " last_send, last_verify, verify_ok, verify_total) VALUES(?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < rooms; ++i) {
            q.addBindValue(QString::number(100 + i));
            q.addBindValue(QStringLiteral("云栖湖畔大酒店"));
            q.addBindValue(i % 3 ? QStringLiteral("豪华大床房") : QStringLiteral("行政套房"));
            q.addBindValue(QString::number(i % 3 ? 8 : 9));
            q.addBindValue(QStringLiteral("0123456789abcdef"));
            q.addBindValue(QStringLiteral("2026-12-08 09:00:00"));
            q.addBindValue(QStringLiteral("2026-12-09 10:00:00"));
            q.addBindValue(i % 7 ? 7 : 5);
            q.addBindValue(7);
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("fill");
    SilentPrompter prompter;
    clock.restart();
    double open = 0;
    int shown = 0;
    {
        gui::RecordsDialog dialog(prompter, {many, {}});
        dialog.show();
        app.processEvents();
        open = clock.nsecsElapsed() / 1e6;
        shown = dialog.shownRooms();
    }
    QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "reader");
    reader.setDatabaseName(many);
    reader.open();
    clock.restart();
    QSqlQuery q(reader);
    q.setForwardOnly(true);
    q.exec("SELECT room_number, hotel, room_type, room_type_number, room_type_hash, last_send,"
           " last_verify, verify_ok, verify_total, verify_cut, last_verify_id FROM rooms"
           " ORDER BY room_number, hotel, room_type, room_type_number");
    int selected = 0;
    while (q.next()) selected += q.value(0).toString().size() > 0;
    const double bareSelect = clock.nsecsElapsed() / 1e6;
    std::printf("open 调试记录 with %d rooms: %.0f ms (bare select of %d rows %.0f ms), ratio %.1f,"
                " %.2f of the half-second aim\n",
                shown, open, selected, bareSelect, open / bareSelect, open / 500.0);
    return 0;
}
