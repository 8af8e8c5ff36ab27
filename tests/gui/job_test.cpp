// The hotel job in the console and in the record: the room list refuses what is not a room of
// the job, offers to open another room's room type, records who worked, and moves on after a
// clean verify; an old record is upgraded in place and a newer one is never written.

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "core/format/shd_file.h"
#include "gui/console/record_bar.h"
#include "platform/job_import.h"
#include "platform/job_status.h"
#include "platform/record_store.h"
#include "support/sim_console.h"

using namespace room::testing;
using room::platform::RecordStore;

namespace {

constexpr int kRunTimeoutMs = 60000;

QString writeRoomType(const QString& path, room::model::RoomTypeConfig room) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(QByteArray::fromStdString(room::format::writeRoomTypeFile(room)));
    return path;
}

room::records::JobRoom jobRoom(const char* number, const QString& path) {
    QString error;
    const auto room = room::platform::jobRoom(number, "", path, &error);
    return room ? *room : room::records::JobRoom{};
}

// Runs one SQL statement on the file outside the store, as another program would.
void execOn(const QString& path, const QString& statement) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

}  // namespace

class JobTest : public QObject {
    Q_OBJECT

private slots:
    void consoleWorksThroughTheJob();
    void oldRecordIsUpgradedAndNewerOneIsNotWritten();
};

void JobTest::consoleWorksThroughTheJob() {
    QTemporaryDir dir;
    const QString records = dir.filePath(QStringLiteral("records.sqlite"));
    ConsoleFixture console(true, records);
    const QString deluxe = writeRoomType(dir.filePath(QStringLiteral("deluxe.shd")), console.document.room);
    room::model::RoomTypeConfig twin = console.document.room;
    twin.roomTypeName = "标准双床房";
    const QString other = writeRoomType(dir.filePath(QStringLiteral("twin.shd")), twin);
    {
        RecordStore store(records);
        QVERIFY(store.putJobRooms({jobRoom("1201", deluxe), jobRoom("1202", other), jobRoom("1203", deluxe)}));
    }
    // The console reads the job when it opens.
    console.window = std::make_unique<ConsoleWindow>(console.document, console.prompter, console.options());
    console.choosePort();
    room::gui::RecordBar* bar = console.window->recordBar();
    QCOMPARE(bar->roomList()->count(), 3);

    QVERIFY(bar->chooseRoom(QStringLiteral(" 1201 ")));
    for (const char* refused : {"12 05", "1299"}) QVERIFY(!bar->chooseRoom(QString::fromUtf8(refused)));
    QCOMPARE(console.prompter.texts(),
             QStringList({QStringLiteral("房号只能含字母、数字和'-', 不能含有“ ”"),
                          QStringLiteral("房号1299不在酒店工程中")}));
    QCOMPARE(bar->roomNumberField()->text(), QStringLiteral("1201"));

    QSignalSpy open(bar, &room::gui::RecordBar::openRoomTypeRequested);
    console.prompter.clear();
    console.prompter.answerNext(room::platform::Answer::Yes);
    QVERIFY(bar->chooseRoom(QStringLiteral("1202")));
    QCOMPARE(console.prompter.texts(),
             QStringList(QStringLiteral("房间1202的房型是标准双床房, 当前打开的是豪华大床房. 打开该房型?")));
    QCOMPARE(open.size(), 1);
    QCOMPARE(open.front(), QVariantList({other, QStringLiteral("1202")}));

    QVERIFY(bar->chooseRoom(QStringLiteral("1201")));
    bar->installerField()->setText(QStringLiteral("张工"));
    emit bar->installerField()->editingFinished();
    console.press(261);  // verify all
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    // Done, so the list moves on to the next room of this room type, past the other one.
    QTRY_COMPARE(bar->roomNumberField()->text(), QStringLiteral("1203"));

    RecordStore store(records);
    const auto runs = store.runsOfRoom("1201");
    QVERIFY(runs && runs->size() == 1);
    QCOMPARE(QString::fromStdString(runs->front().installer), QStringLiteral("张工"));
    QVERIFY(!runs->front().whenUtc.empty() && !runs->front().machine.empty());
    const auto status = room::platform::loadJobStatus(store);
    QVERIFY(status);
    QCOMPARE(QString::fromStdString(room::records::totalsText(status->counts)),
             QStringLiteral("共3间: 校验通过 1, 未调试 2"));
}

void JobTest::oldRecordIsUpgradedAndNewerOneIsNotWritten() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.sqlite"));
    // A record as the program kept it before versions: one verify all, one silent device.
    execOn(path, QStringLiteral("CREATE TABLE runs(id INTEGER PRIMARY KEY, at TEXT, operation TEXT,"
                                " room_number TEXT, hotel TEXT, room_type TEXT, room_type_number TEXT,"
                                " room_type_hash TEXT, port TEXT, version TEXT, cut_short INTEGER)"));
    execOn(path, QStringLiteral("CREATE TABLE devices(run_id INTEGER, device INTEGER, type INTEGER,"
                                " location TEXT, result TEXT, differences TEXT)"));
    execOn(path, QStringLiteral("INSERT INTO runs VALUES(7, '2026-12-01 10:00:00', '校验所有', '0301',"
                                " '酒店', '房型', '8', 'abc', 'COM3', 'V1.6.2', 0)"));
    execOn(path, QStringLiteral("INSERT INTO devices VALUES(7, 1, 1, '门口', 'OK', ''),"
                                " (7, 2, 1, '床头', '无应答', '')"));
    {
        RecordStore store(path);
        const auto facts = store.factsOfRoom("0301");
        QVERIFY2(facts && facts->size() == 1, qPrintable(store.errorString()));
        QCOMPARE(facts->front().ok, 1);
        QCOMPARE(facts->front().noAnswer, 1);
        QCOMPARE(QString::fromStdString(facts->front().when), QStringLiteral("2026-12-01 10:00:00"));
        room::records::RunRecord run;
        run.operation = "下发所有";
        run.roomNumber = "0302";
        QVERIFY(store.add(run));
    }
    execOn(path, QStringLiteral("PRAGMA user_version = 9"));
    RecordStore newer(path);
    room::records::RunRecord run;
    run.roomNumber = "0303";
    QVERIFY(!newer.add(run));
    QVERIFY2(newer.errorString().contains(QStringLiteral("较新版本")), qPrintable(newer.errorString()));
    const auto runs = newer.runs(std::nullopt);  // still read
    QVERIFY(runs && runs->size() == 2);
}

QTEST_MAIN(JobTest)
#include "job_test.moc"
