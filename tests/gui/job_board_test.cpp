// "工程进度": a small job in a record of its own; the board shows each room in the state its
// entries give it, floors in the order people count them, the hotel's totals, a state filter
// that leaves only its rooms counted, a room's runs on a click and the room opened on a double
// click. With JOB_SNAPSHOTS=/some/dir a 40 x 40 board and the add-room dialog are written as PNGs.

#include "gui/job/job_board.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/job/add_room_dialog.h"
#include "gui/job/job_window.h"
#include "gui/main/application.h"
#include "platform/job_import.h"
#include "platform/record_store.h"
#include "support/recording_prompter.h"

using namespace room;
using records::RoomState;
using records::Verdict;

namespace {

const QString kRoomType = QStringLiteral(ROOM_TEST_DATA "/shd/small_room.shd");

// A record with the rooms of a job and, for each room, its runs: the operation and a verdict per
// device; `stale` runs were made with another version of the room type.
struct JobRecord {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("records.sqlite"));
    platform::RecordStore store{path};
    std::string hash = platform::roomTypeHashOf(kRoomType);
    int minute = 0;  // each run a minute after the one before

    void putRooms(const QStringList& numbers) {
        std::vector<records::JobRoom> rooms;
        for (const QString& number : numbers) {
            QString error;
            auto room = platform::jobRoom(number.toStdString(), {}, kRoomType, &error);
            QVERIFY2(room, qPrintable(error));
            rooms.push_back(*room);
        }
        QVERIFY(store.putJobRooms(rooms));
    }
    void run(const QString& number, const char* operation, std::vector<Verdict> devices,
             bool stale = false) {
        records::RunRecord r;
        r.when = QStringLiteral("2026-12-09 %1:%2:00")
                     .arg(10 + minute / 60)
                     .arg(minute % 60, 2, 10, QLatin1Char('0'))
                     .toStdString();
        ++minute;
        r.installer = "王工";
        r.operation = operation;
        r.roomNumber = number.toStdString();
        r.roomType = {"海景酒店", "大床房", "12", stale ? "0000" : hash};
        for (std::size_t d = 0; d < devices.size(); ++d) {
            r.devices.push_back({int(d) + 1, 1, "位置", devices[d], {}});
        }
        QVERIFY2(store.add(r), qPrintable(store.errorString()));
    }
};

QString stateShown(const gui::JobBoard* board, const QString& number) {
    const QStringList lines = board->toolTipOf(board->indexOf(number)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("状态: "))) return line.mid(4);
    }
    return {};
}

QStringList rowNumbers(const gui::JobBoard* board, int row) {
    QStringList numbers;
    for (int i : board->rows()[row].rooms) {
        numbers << QString::fromStdString(board->rooms()[i].room.roomNumber);
    }
    return numbers;
}

}  // namespace

class JobBoardTest : public QObject {
    Q_OBJECT

private slots:
    void boardShowsEachRoomsStateAndTotals();
    void doubleClickOpensTheRoom();
    void reportFollowsTheFilterAndCancels();
    void snapshots();
};

void JobBoardTest::boardShowsEachRoomsStateAndTotals() {
    JobRecord record;
    record.putRooms({QStringLiteral("1001"), QStringLiteral("210"), QStringLiteral("201"),
                     QStringLiteral("202"), QStringLiteral("301"), QStringLiteral("302")});
    record.run(QStringLiteral("201"), "校验所有", {Verdict::Ok, Verdict::Ok});
    record.run(QStringLiteral("202"), "下发所有", {Verdict::Ok, Verdict::Ok});
    record.run(QStringLiteral("202"), "校验所有", {Verdict::Ok, Verdict::NoAnswer});
    record.run(QStringLiteral("210"), "校验所有", {Verdict::Ok, Verdict::Ok}, true);
    record.run(QStringLiteral("301"), "下发所有", {Verdict::Ok, Verdict::Ok});
    record.run(QStringLiteral("302"), "校验所有", {Verdict::Differs, Verdict::Ok});
    // A read of the whole room does not change its state.
    record.run(QStringLiteral("301"), "读取所有", {Verdict::NoAnswer, Verdict::Ok});

    testing::RecordingPrompter prompter;
    gui::JobWindow window(prompter, {record.path, {}, {}, {}});
    const gui::JobBoard* board = window.board();
    QCOMPARE(board->rows().size(), std::size_t(3));
    QCOMPARE(rowNumbers(board, 0), QStringList({"201", "202", "210"}));
    QCOMPARE(rowNumbers(board, 2), QStringList({"1001"}));
    const std::pair<const char*, const char*> states[] = {{"201", "校验通过"}, {"202", "无应答"},
                                                          {"210", "需复核"},   {"301", "已下发"},
                                                          {"302", "数据异常"}, {"1001", "未调试"}};
    for (const auto& [number, state] : states) {
        QCOMPARE(stateShown(board, QString::fromUtf8(number)), QString::fromUtf8(state));
    }
    QCOMPARE(
        window.totalsLine(),
        QStringLiteral("海景酒店  共6间: 校验通过 1, 需复核 1, 数据异常 1, 无应答 1, 已下发 1, "
                       "未调试 1"));

    window.setStateFilter(RoomState::NoAnswer);
    QVERIFY(board->isShown(board->indexOf(QStringLiteral("202"))));
    QVERIFY(!board->isShown(board->indexOf(QStringLiteral("201"))));
    QVERIFY(window.totalsLine().startsWith(QStringLiteral("海景酒店  共1间: 无应答 1")));

    QTest::mouseClick(window.board(), Qt::LeftButton, {},
                      board->cellRect(board->indexOf(QStringLiteral("202"))).center());
    QCOMPARE(window.shownRuns(),
             QStringList({"2026-12-09 10:02:00  校验所有  王工  2台中1台校验一致, 无应答 1",
                          "2026-12-09 10:01:00  下发所有  王工  2台全部已应答"}));
}

void JobBoardTest::doubleClickOpensTheRoom() {
    JobRecord record;
    record.putRooms({QStringLiteral("东1203"), QStringLiteral("1204")});
    QStringList opened;
    testing::RecordingPrompter prompter;
    gui::JobWindowOptions options{record.path, {}, {}, {}};
    options.openRoom = [&](const QString& path, const QString& number) {
        opened << path << number;
        record.run(number, "校验所有", {Verdict::Ok});  // as a console run would
    };
    gui::JobWindow window(prompter, options);
    gui::JobBoard* board = window.board();
    const int room = board->indexOf(QStringLiteral("东1203"));
    QTest::mouseDClick(board, Qt::LeftButton, {}, board->cellRect(room).center());
    QCOMPARE(opened, QStringList({kRoomType, QStringLiteral("东1203")}));
    // What the console did shows without "刷新".
    QCOMPARE(stateShown(board, QStringLiteral("东1203")), QStringLiteral("校验通过"));
}

// The report is written on a thread of its own, of the rooms the filter shows; 取消 stops it and
// leaves no file.
void JobBoardTest::reportFollowsTheFilterAndCancels() {
    JobRecord record;
    QStringList numbers;
    for (int i = 1; i <= 120; ++i) numbers << QString::number(5000 + i);
    record.putRooms(numbers);
    record.run(QStringLiteral("5001"), "校验所有", {Verdict::Ok, Verdict::Ok});
    record.run(QStringLiteral("5002"), "校验所有", {Verdict::Ok, Verdict::NoAnswer});
    const QString csvPath = record.dir.filePath(QStringLiteral("无应答.csv"));
    const QString pdfPath = record.dir.filePath(QStringLiteral("全部.pdf"));
    QStringList saves{csvPath, pdfPath};
    gui::JobWindowOptions options{record.path, {}, {}, {}};
    options.askSaveName = [&](QWidget*, const QString&, const QString&, const QString&) {
        return saves.takeFirst();
    };
    testing::RecordingPrompter prompter;
    gui::JobWindow window(prompter, options);
    QSignalSpy finished(&window, &gui::JobWindow::reportFinished);

    window.setStateFilter(RoomState::NoAnswer);
    QVERIFY(window.writeReport());
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.takeFirst().at(0).toBool(), true);
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QStringList rooms;
    for (const QByteArray& line : csv.readAll().split('\n').mid(1)) {
        if (!line.trimmed().isEmpty()) rooms << QString::fromUtf8(line.split(',').first());
    }
    rooms.removeDuplicates();
    QCOMPARE(rooms, QStringList{QStringLiteral("5002")});

    window.setStateFilter(std::nullopt);
    QVERIFY(window.writeReport());
    QProgressDialog* progress = window.findChildren<QProgressDialog*>().last();
    // 取消 once the first room is done, as an installer would.
    connect(progress->findChild<QProgressBar*>(), &QProgressBar::valueChanged, progress,
            [progress](int done) {
                if (done == 1) emit progress->canceled();
            });
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.takeFirst().at(0).toBool(), false);
    QVERIFY(!QFile::exists(pdfPath));
    QVERIFY(prompter.records().isEmpty());
}

// 40 floors of 40 rooms in every state, at 1366 x 768, and the add-room dialog.
void JobBoardTest::snapshots() {
    const QString dir = qEnvironmentVariable("JOB_SNAPSHOTS");
    if (dir.isEmpty()) QSKIP("set JOB_SNAPSHOTS to a folder to write the pictures");
    JobRecord record;
    QStringList numbers;
    for (int floor = 1; floor <= 40; ++floor) {
        for (int r = 1; r <= 40; ++r)
            numbers << QStringLiteral("%1%2").arg(floor).arg(r, 2, 10, QChar('0'));
    }
    record.putRooms(numbers);
    for (int i = 0; i < numbers.size(); ++i) {
        const int kind = (i * 7 + i / 40) % 10;
        if (kind < 5) record.run(numbers[i], "校验所有", {Verdict::Ok, Verdict::Ok}, kind == 4);
        if (kind == 5) record.run(numbers[i], "下发所有", {Verdict::Ok});
        if (kind == 6) record.run(numbers[i], "校验所有", {Verdict::NoAnswer});
        if (kind == 7) record.run(numbers[i], "校验所有", {Verdict::Differs});
    }
    gui::applyDialogColours(*qApp);
    testing::RecordingPrompter prompter;
    gui::JobWindow window(prompter, {record.path, {}, {}, {}});
    window.resize(1366 - 16, 768 - 79);
    window.show();
    window.board()->select(window.board()->indexOf(QStringLiteral("1203")));
    QTest::qWait(100);
    QVERIFY(window.grab().save(QDir(dir).filePath(QStringLiteral("job-board.png"))));
    window.setStateFilter(RoomState::Verified);
    QTest::qWait(50);
    QVERIFY(window.grab().save(QDir(dir).filePath(QStringLiteral("job-board-filtered.png"))));
    gui::AddRoomDialog add(prompter, {});
    add.roomNumberField()->setText(QStringLiteral("1203"));
    add.roomTypeField()->setText(kRoomType);
    add.show();
    QTest::qWait(50);
    QVERIFY(add.grab().save(QDir(dir).filePath(QStringLiteral("job-add-room.png"))));
}

QTEST_MAIN(JobBoardTest)
#include "job_board_test.moc"
