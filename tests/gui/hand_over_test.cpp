// The hand-over report of a job as the installer hands it over: the PDF read back as text (the
// totals first, each room's pages counted on their own with the room and the hotel on every one,
// a long device table continued under its header, the signature block, no "all verified" for a
// room to recheck), the CSV's columns and formula escaping, and a cancelled or failed report
// that leaves no file and keeps the one that was there.

#include "platform/hand_over.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "core/records/room_number.h"

using namespace room;
using platform::ReportResult;
using records::RoomState;
using records::Verdict;

namespace {

const char* const kHotel = "海景酒店";

records::RunFacts factsOf(const records::RunRecord& run, int ok) {
    records::RunFacts facts;
    facts.when = run.when;
    facts.utcOffset = run.utcOffset;
    facts.installer = run.installer;
    facts.operation = run.operation;
    facts.hash = run.roomType.hash;
    facts.devices = static_cast<int>(run.devices.size());
    facts.ok = ok;
    return facts;
}

records::RunRecord verifyRun(const std::string& number, const std::string& hash, int devices) {
    records::RunRecord run;
    run.when = "2026-12-10 14:54:04";
    run.utcOffset = "+08:00";
    run.installer = "张工";
    run.machine = "LAPTOP-7";
    run.operation = "校验所有";
    run.roomNumber = number;
    run.roomType = {kHotel, "标准间", "A01", hash};
    run.port = "/dev/ttyUSB0";
    run.programVersion = "1.6.2";
    for (int d = 1; d <= devices; ++d) run.devices.push_back({d, 1, "床头", Verdict::Ok, {}});
    return run;
}

// A verified room, one to recheck (verified with a room type since changed), a room of many
// devices with long differences, and one never commissioned that has no room number.
platform::ReportJob fourRooms(std::map<std::string, platform::ReportRoom>& details) {
    const std::pair<std::string, RoomState> rooms[] = {{"1201", RoomState::Verified},
                                                       {"1202", RoomState::Recheck},
                                                       {"-12", RoomState::Faulty},
                                                       {"", RoomState::Untouched}};
    platform::ReportJob job;
    for (const auto& [number, state] : rooms) {
        platform::ReportRoom room;
        room.status.room = {number, "12", "/rooms/a01.shd", {kHotel, "标准间", "A01", "h1"}};
        room.status.state = state;
        room.status.hashNow = "h1";
        if (state != RoomState::Untouched) {
            room.run = verifyRun(number, state == RoomState::Recheck ? "h0" : "h1",
                                 state == RoomState::Faulty ? 24 : 3);
            room.history = {factsOf(*room.run, 3)};
            room.status.latest = room.history.front();
        }
        job.rooms.push_back(job.status.rooms.size());
        job.status.rooms.push_back(room.status);
        details[number] = std::move(room);
    }
    records::RunRecord& faulty = *details["-12"].run;
    faulty.devices[1].location = "=SUM(A1)";
    for (int d : {3, 7, 11, 15, 19, 23}) {
        records::DeviceResult& device = faulty.devices[static_cast<std::size_t>(d)];
        device.verdict = Verdict::Differs;
        for (int k = 0; k < 6; ++k) {
            device.differences.push_back("按键第0" + std::to_string(k + 1) +
                                         "个数据异常 0A 0B  按键" + std::to_string(k + 1) +
                                         ": 应为010.走廊筒灯及门厅射灯, 实为013.卫生间夜灯");
        }
        device.differences.push_back("第02个面板模式数据异常 EE 0A 43 ");
    }
    faulty.devices[4].verdict = Verdict::NoAnswer;
    return job;
}

platform::ReportJob jobOf(std::map<std::string, platform::ReportRoom>& details) {
    platform::ReportJob job = fourRooms(details);
    job.fetch = [&details](const platform::RoomStatus& status) {
        return std::optional(details.at(status.room.roomNumber));
    };
    return job;
}

QStringList pdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000)) return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// The fields of a CSV line, quotes undone.
QStringList csvFields(const QString& line) {
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields << QString();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

class HandOverTest : public QObject {
    Q_OBJECT

private slots:
    void pdfCountsEachRoomsPagesAndRepeatsWhatEachPageNeeds();
    void csvHasOneShapeAndKeepsFormulasText();
    void cancelledOrFailedReportLeavesTheFolderAsItWas_data();
    void cancelledOrFailedReportLeavesTheFolderAsItWas();
};

void HandOverTest::pdfCountsEachRoomsPagesAndRepeatsWhatEachPageNeeds() {
    std::map<std::string, platform::ReportRoom> details;
    platform::ReportJob job = jobOf(details);
    std::vector<std::pair<int, int>> progress;
    job.progress = [&progress](int done, int total) {
        progress.emplace_back(done, total);
        return true;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("交接报告.pdf");
    QString error;
    QCOMPARE(platform::writeHandOverPdf(path, job, &error), ReportResult::Written);
    QCOMPARE(progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    const QStringList pages = pdfPages(path);
    QVERIFY(pages.size() >= 5);
    for (const char* total : {"共4间: ", "校验通过 1", "需复核 1", "数据异常 1", "未调试 1"}) {
        QVERIFY2(pages[0].contains(QString::fromUtf8(total)), total);
    }
    // Each room's pages, in the job's order, by the room number that heads them.
    static const QRegularExpression head(QStringLiteral("房号 (\\S+)\\s+海景酒店"));
    std::map<QString, QStringList> rooms;
    QStringList order;
    for (const QString& page : pages.mid(1)) {
        const QRegularExpressionMatch match = head.match(page);
        if (!match.hasMatch()) continue;
        if (!rooms.count(match.captured(1))) order << match.captured(1);
        rooms[match.captured(1)] << page;
    }
    QCOMPARE(order, (QStringList{"1201", "1202", "-12", "未填房号"}));
    QVERIFY(rooms["-12"].size() >= 2);
    for (const auto& [number, roomPages] : rooms) {
        const auto count = roomPages.size();
        for (qsizetype i = 0; i < count; ++i) {
            QVERIFY2(roomPages[i].contains(QStringLiteral("第%1/%2页").arg(i + 1).arg(count)),
                     qPrintable(number));
            QVERIFY2(roomPages[i].contains(QStringLiteral("调试人员: ____ 日期: ____")) ==
                         (i + 1 == count),
                     qPrintable(number));
        }
        QVERIFY(roomPages.back().contains(QStringLiteral("验收人员: ____ 日期: ____")));
    }
    static const QRegularExpression tableHead(
        QStringLiteral("编号\\s+设备类型\\s+位置\\s+结果\\s+差异"));
    QVERIFY(rooms["-12"][1].contains(QStringLiteral("设备 (续)")));
    QVERIFY(rooms["-12"][1].contains(tableHead));
    QVERIFY(rooms["-12"].join("").contains(QStringLiteral("按键6: 应为010.走廊筒灯及门厅射灯")));
    QVERIFY(rooms["1201"][0].contains(QStringLiteral("3台设备全部校验一致")));
    QVERIFY(!rooms["1202"].join("").contains(QStringLiteral("全部校验一致")));
    QVERIFY(rooms["1202"][0].contains(QStringLiteral("需复核")));
}

void HandOverTest::csvHasOneShapeAndKeepsFormulasText() {
    std::map<std::string, platform::ReportRoom> details;
    const platform::ReportJob job = jobOf(details);
    QTemporaryDir dir;
    const QString path = dir.filePath("交接报告.csv");
    QString error;
    QCOMPARE(platform::writeHandOverCsv(path, job, &error), ReportResult::Written);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    lines.removeLast();
    QCOMPARE(lines.size(), 1 + 3 + 3 + 24 + 1);
    const QStringList header = csvFields(lines[0]);
    for (const QString& line : lines) QCOMPARE(csvFields(line).size(), header.size());
    const auto column = [&header](const char* name) {
        return header.indexOf(QString::fromUtf8(name));
    };
    QVERIFY(column("差异") > column("结果"));
    const QStringList faulty = csvFields(lines[1 + 3 + 3 + 1]);
    QCOMPARE(faulty[column("房号")], QStringLiteral("'-12"));
    QCOMPARE(faulty[column("位置")], QStringLiteral("'=SUM(A1)"));
    QCOMPARE(faulty[column("UTC偏移")], QStringLiteral("UTC+08:00"));
    const QStringList untouched = csvFields(lines.back());
    QCOMPARE(untouched[column("房号")], QStringLiteral("未填房号"));
    QCOMPARE(untouched[column("状态")], QStringLiteral("未调试"));
    QVERIFY(untouched[column("编号")].isEmpty());
    QVERIFY(lines.join("\n").contains(
        QStringLiteral("第02个面板模式数据异常: 应为EE, 实为0A (第67字节)")));
}

void HandOverTest::cancelledOrFailedReportLeavesTheFolderAsItWas_data() {
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("fetchFails");
    QTest::newRow("PDF cancelled") << true << false << false;
    QTest::newRow("PDF cancelled over an old one") << true << true << false;
    QTest::newRow("PDF of a record that fails") << true << true << true;
    QTest::newRow("CSV cancelled over an old one") << false << true << false;
    QTest::newRow("CSV of a record that fails") << false << false << true;
}

void HandOverTest::cancelledOrFailedReportLeavesTheFolderAsItWas() {
    QFETCH(bool, pdf);
    QFETCH(bool, existing);
    QFETCH(bool, fetchFails);
    std::map<std::string, platform::ReportRoom> details;
    platform::ReportJob job = jobOf(details);
    job.progress = [](int done, int) { return done < 2; };
    if (fetchFails) {
        job.fetch = [&details](const platform::RoomStatus& status) {
            if (status.room.roomNumber == "-12") return std::optional<platform::ReportRoom>();
            return std::optional(details.at(status.room.roomNumber));
        };
        job.progress = nullptr;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(pdf ? "交接报告.pdf" : "交接报告.csv");
    if (existing) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old report");
    }
    QString error;
    const ReportResult result = pdf ? platform::writeHandOverPdf(path, job, &error)
                                    : platform::writeHandOverCsv(path, job, &error);
    QCOMPARE(result, fetchFails ? ReportResult::Failed : ReportResult::Cancelled);
    QCOMPARE(error, fetchFails ? QStringLiteral("无法读取房间-12的调试记录") : QString());
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, existing ? QStringList{QFileInfo(path).fileName()} : QStringList{});
    if (existing) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old report"));
    }
}

QTEST_MAIN(HandOverTest)
#include "hand_over_test.moc"
