// The commissioning record's values: a run's summary turned into a row per device, the summary
// line a report opens with, and the CSV a spreadsheet program reads.

#include <gtest/gtest.h>

#include "core/records/run_record.h"
#include "sim_run_support.h"

namespace {

using namespace room;
using records::Verdict;

TEST(Records, ARunBecomesARowPerDeviceItServedOrNeverReached) {
    model::RoomTypeConfig room = simrun::identicalPanels(6);
    room.devices[2].name = "床头左";
    commissioning::RunSummary summary;
    summary.mode = commissioning::RunMode::VerifyAll;
    summary.stopped = true;
    summary.served = {1, 2, 3, 4};
    summary.unread = {3};
    summary.abnormal = {2, 4};
    summary.inDoubt = {4};
    summary.unreached = {5, 6};
    std::vector<std::vector<std::string>> differences(33);
    differences[2] = {"按键第01个数据异常 0A 0B "};
    const records::RunRecord record = records::recordOfRun(room, summary, differences);
    EXPECT_EQ(record.operation, "校验所有");
    EXPECT_TRUE(record.cutShort);
    const Verdict expected[] = {Verdict::Ok,       Verdict::Differs,   Verdict::NoAnswer,
                                Verdict::Conflict, Verdict::Unreached, Verdict::Unreached};
    ASSERT_EQ(record.devices.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(record.devices[i].device, i + 1);
        EXPECT_EQ(record.devices[i].verdict, expected[i]) << i + 1;
        EXPECT_EQ(record.devices[i].type, 1);
    }
    EXPECT_EQ(record.devices[1].location, "床头左");
    EXPECT_EQ(record.devices[1].differences, differences[2]);
    EXPECT_EQ(records::summaryLine(record),
              "6台设备中1台校验一致, 无应答: 03, 数据异常: 02, 编号冲突: 04, 未处理: 05 06");
}

TEST(Records, SummaryLinesByOperation) {
    records::RunRecord record;
    for (int d = 1; d <= 7; ++d) record.devices.push_back({d, 1, "", Verdict::Ok, {}});
    const std::pair<const char*, const char*> cases[] = {
        {"校验所有", "7台设备全部校验一致"},
        {"下发所有", "7台设备全部已应答"},
        {"读取所有", "7台设备全部已读取"},
        {"单台校验", "7台设备全部校验一致"},
    };
    for (const auto& [operation, line] : cases) {
        record.operation = operation;
        EXPECT_EQ(records::summaryLine(record), line);
    }
    for (Verdict v : {Verdict::Ok, Verdict::NoAnswer, Verdict::Differs, Verdict::Conflict,
                      Verdict::Unreached}) {
        EXPECT_EQ(records::verdictFromText(records::verdictText(v)), v);
    }
}

TEST(Records, CsvIsUtf8WithAByteOrderMarkAndQuotesWhatNeedsIt) {
    records::RoomRow row;
    row.roomNumber = "12,08";
    row.roomType = {"云栖\"湖畔\"酒店", "豪华大床房", "8", "abc"};
    row.lastVerify = "2026-12-09 10:00:00";
    row.verifyOk = 5;
    row.verifyTotal = 7;
    const std::string csv = records::roomsCsv({row});
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF房号,酒店,房型,", 0), 0u);
    EXPECT_NE(csv.find("\r\n\"12,08\",\"云栖\"\"湖畔\"\"酒店\",豪华大床房,8,,2026-12-09 10:00:00,5,7\r\n"),
              std::string::npos)
        << csv;

    records::RunRecord run;
    run.operation = "校验所有";
    run.devices.push_back({2, 2, "卧室\n温控", Verdict::Differs, {"a", "b"}});
    const std::string rows = records::runsCsv({run});
    EXPECT_NE(rows.find(",2,2.温控器,\"卧室\n温控\",数据异常,a; b\r\n"), std::string::npos) << rows;
}

}  // namespace
