// The hotel job's rules: which room numbers come in, how a room's latest whole-room run becomes
// its state, and how a rooms table is read all or nothing.

#include <gtest/gtest.h>

#include "core/format/gbk.h"
#include "core/records/job.h"
#include "core/records/room_number.h"
#include "core/records/room_state.h"

namespace {

using namespace room::records;

TEST(Job, RoomNumbersAreTrimmedThenCheckedCharacterByCharacter) {
    struct Case {
        const char* input;
        const char* number;  // as kept
        const char* reason;  // empty: accepted
    };
    const Case cases[] = {
        {"1203", "1203", ""},
        {"  A-0301\t", "A-0301", ""},
        {"东1203", "东1203", ""},
        {"1234567890ABCDEF", "1234567890ABCDEF", ""},
        {"1234567890ABCDEFG", "1234567890ABCDEFG", "房号超过16个字符"},
        {"   ", "", "房号为空"},
        {"12,05", "12,05", "房号只能含字母、数字和'-', 不能含有“,”"},
        {"12;\"<b>x</b>", "12;\"<b>x</b>", "房号只能含字母、数字和'-', 不能含有“;”"},
        {"12\n03", "12\n03", "房号只能含字母、数字和'-', 不能含有0x0A"},
        {"12 03", "12 03", "房号只能含字母、数字和'-', 不能含有“ ”"},
        {"12\xE2\x80\x8B" "03", "12\xE2\x80\x8B" "03", "房号只能含字母、数字和'-', 不能含有“\xE2\x80\x8B”"},
        {"12\xFF", "12\xFF", "房号只能含字母、数字和'-', 不能含有无效字节"},
    };
    for (const Case& c : cases) {
        const RoomNumberCheck check = checkRoomNumber(c.input);
        EXPECT_EQ(check.number, c.number) << c.input;
        EXPECT_EQ(check.reason, c.reason) << c.input;
    }
    EXPECT_EQ(floorOf("1203"), "12");
    EXPECT_EQ(floorOf("东305"), "东3");
    EXPECT_TRUE(naturalLess("2", "10"));
    EXPECT_TRUE(naturalLess("2-9", "2-10"));
    EXPECT_FALSE(naturalLess("0301", "301"));
    EXPECT_TRUE(naturalLess("301", "0301"));
}

TEST(Job, ARoomsStateComesFromItsLatestWholeRoomRunAndTheHashNow) {
    const auto run = [](const char* operation, const char* hash, int ok, int silent, int differs,
                        int conflicts, bool cut) {
        RunFacts f;
        f.operation = operation;
        f.hash = hash;
        f.ok = ok;
        f.noAnswer = silent;
        f.differs = differs;
        f.conflicts = conflicts;
        f.cutShort = cut;
        f.unreached = cut ? 1 : 0;
        f.devices = ok + silent + differs + conflicts + f.unreached;
        return f;
    };
    struct Case {
        std::optional<RunFacts> run;
        const char* state;
    };
    const Case cases[] = {
        {std::nullopt, "未调试"},
        {run("下发所有", "h1", 7, 0, 0, 0, false), "已下发"},
        {run("下发所有", "h0", 7, 0, 0, 0, false), "已下发"},
        {run("校验所有", "h1", 7, 0, 0, 0, false), "校验通过"},
        {run("校验所有", "h0", 7, 0, 0, 0, false), "需复核"},
        {run("下发所有", "h1", 2, 5, 0, 0, false), "无应答"},
        {run("校验所有", "h1", 5, 1, 1, 0, false), "数据异常"},
        {run("校验所有", "h1", 6, 0, 0, 1, false), "数据异常"},
        {run("校验所有", "h1", 3, 0, 0, 0, true), "中断"},
        {run("下发所有", "h1", 2, 1, 0, 0, true), "中断"},
        {run("校验所有", "h1", 2, 0, 1, 0, true), "数据异常"},
        {run("校验所有", "h1", 0, 0, 0, 0, false), "无应答"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(roomStateText(roomState(c.run, "h1")), c.state)
            << (c.run ? factsLine(*c.run) : std::string("none"));
    }
    EXPECT_EQ(factsLine(run("校验所有", "h1", 4, 1, 1, 1, false)),
              "校验所有: 7台中4台校验一致, 无应答 1, 数据异常 1, 编号冲突 1");
    StateCounts counts{};
    counts[static_cast<int>(RoomState::Verified)] = 287;
    counts[static_cast<int>(RoomState::Recheck)] = 5;
    counts[static_cast<int>(RoomState::Untouched)] = 28;
    EXPECT_EQ(totalsText(counts), "共320间: 校验通过 287, 需复核 5, 未调试 28");
}

TEST(Job, ARoomsTableIsReadWholeOrNotAtAll) {
    const std::string good =
        "\xEF\xBB\xBF房号,楼层,房型文件\r\n1203,,a.shd\r\n\"1204\",十二,\"b, c.shd\"\r\n\r\n0305, 3 ,a.shd\n";
    const RoomsTable table = parseRoomsTable(good);
    ASSERT_TRUE(table.errors.empty()) << table.errors.front();
    ASSERT_EQ(table.rooms.size(), 3u);
    EXPECT_EQ(table.rooms[0].floor, "12");
    EXPECT_EQ(table.rooms[1].floor, "十二");
    EXPECT_EQ(table.rooms[1].path, "b, c.shd");
    EXPECT_EQ(table.rooms[2].line, 5);
    EXPECT_EQ(table.rooms[2].floor, "3");
    // The same table as a spreadsheet on a Chinese Windows saves it.
    EXPECT_EQ(parseRoomsTable(room::format::utf8ToGbk(good.substr(3))).rooms.size(), 3u);

    const RoomsTable bad = parseRoomsTable(
        "房号,楼层,房型文件\n1203,,a.shd\n12 05,,a.shd\n1206,,\n1203,12,b.shd\n1207,12\n");
    EXPECT_TRUE(bad.rooms.empty());
    const std::vector<std::string> expected = {
        "第3行: 房号只能含字母、数字和'-', 不能含有“ ”", "第4行: 房型文件为空",
        "第5行: 房号1203与第2行重复", "第6行: 应有3列, 实有2列"};
    EXPECT_EQ(bad.errors, expected);
    EXPECT_EQ(parseRoomsTable("room,floor,file\n1203,,a.shd\n").errors,
              std::vector<std::string>{"第1行: 表头应为“房号,楼层,房型文件”"});
}

}  // namespace
