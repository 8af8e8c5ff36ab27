// Comparing two room types: every kind of field the file carries gives exactly one line in the
// installer's words; what the file does not carry gives none; a save and reload changes nothing;
// an editor's Modify and a read all over the simulated bus list just what they changed.

#include <gtest/gtest.h>

#include <functional>

#include "core/compare/compare.h"
#include "core/editing/port_session.h"
#include "sim_run_support.h"

using namespace room;
using compare::compareRoomTypes;
using compare::lineTexts;
using model::RoomTypeConfig;
using simrun::exampleRoom;

namespace {

struct Case {
    const char* what;
    std::function<void(RoomTypeConfig&)> change;
    const char* line;  // nullptr: the change must not show
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"hotel", [](RoomTypeConfig& r) { r.hotelName = "湖畔酒店"; },
         "酒店名称: 云栖湖畔大酒店 → 湖畔酒店"},
        {"room type", [](RoomTypeConfig& r) { r.roomTypeName = "标准房"; },
         "房型名称: 豪华大床房 → 标准房"},
        {"number", [](RoomTypeConfig& r) { r.roomTypeNumberText = "9"; }, "房型编号: 8 → 9"},
        {"system", [](RoomTypeConfig& r) { r.systemType = 1; }, "主机型号: 3.联网485 → 1.联网Mesh"},
        {"output board", [](RoomTypeConfig& r) { r.outputExpansion = 18; },
         "输出扩展板: 8路输出扩展板 → 18路输出扩展板"},
        {"board flag", [](RoomTypeConfig& r) { r.boardOptionFlags = 0x10; },
         "C款主机使用大扩展板: 不勾选 → 勾选"},
        {"count", [](RoomTypeConfig& r) { r.switchPanelCount = 5; }, "开关数量: 4 → 5"},
        {"lamp name", [](RoomTypeConfig& r) { r.lampNames[22] = "右阅读灯"; },
         "灯名 022: 右阅读 → 右阅读灯"},
        {"type", [](RoomTypeConfig& r) { r.devices[7].type = 4; },
         "设备07 类型: 3.窗帘控制器 → 4.无线窗帘电机"},
        {"location", [](RoomTypeConfig& r) { r.devices[2].name = "床头"; },
         "设备02 位置: 床头左 → 床头"},
        {"key", [](RoomTypeConfig& r) { r.devices[3].inputs[1] = 21; },
         "设备03 按键2: 022.右阅读 → 021.左阅读"},
        {"output", [](RoomTypeConfig& r) { r.devices[1].outputs[0] = 11; },
         "设备01 输出1: 010.廊灯 → 011.卫浴灯"},
        {"scene state", [](RoomTypeConfig& r) { r.devices[1].slot(1).outputState[0] = 10; },
         "情景 睡眠模式 设备01 输出1: 廊灯:关 → 廊灯:开"},
        {"scene left", [](RoomTypeConfig& r) { r.devices[1].slot(2).modeCode = 0; },
         "情景 明亮模式 设备01 输出1: 廊灯:开 → 廊灯:不受控"},
        {"device gone", [](RoomTypeConfig& r) { r.devices[7].outputs = {}; },
         "设备07: 3.窗帘控制器 主窗帘 → 无"},
        {"indicator", [](RoomTypeConfig& r) { r.modeFlagBits[1] = 6; },
         "情景 睡眠模式 字灯: 字灯:关 → 字灯:不受控"},
        {"function option", [](RoomTypeConfig& r) { r.functionOptionsA = 0; },
         "上电后进入编号为AC的模式: 勾选 → 不勾选"},
        {"card delay", [](RoomTypeConfig& r) { r.cardOutDelay = 60; }, "拔卡后延时(秒): 30 → 60"},
        // Not in the file
        {"option E", [](RoomTypeConfig& r) { r.functionOptionsE = 0xFF; }, nullptr},
        {"cycle modes", [](RoomTypeConfig& r) { r.cycleModes[3] = 7; }, nullptr},
        {"timing", [](RoomTypeConfig& r) { r.doorLampTime = 90; }, nullptr},
        {"header byte", [](RoomTypeConfig& r) { r.headerByte = 9; }, "S行首字段: 1 → 9"},
        {"header byte past 8 bits", [](RoomTypeConfig& r) { r.headerByte = 257; }, nullptr},
        {"file version", [](RoomTypeConfig& r) { r.fileVersion = 150; },
         "配置文件版本: 1.6.2 → 1.5.0"},
        {"no version field", [](RoomTypeConfig& r) { r.fileVersion = 0; },
         "配置文件版本: 1.6.2 → 无"},
        {"state of an absent output",
         [](RoomTypeConfig& r) { r.devices[1].slot(1).outputState[5] = 10; }, nullptr},
        {"unused slot", [](RoomTypeConfig& r) { r.devices[7].slot(3).outputState[0] = 10; },
         nullptr},
        {"device past the count", [](RoomTypeConfig& r) { r.devices[9].inputs[0] = 10; }, nullptr},
    };
    return all;
}

}  // namespace

TEST(Compare, EachKindOfFieldGivesOneLineNamingIt) {
    const RoomTypeConfig before = exampleRoom();
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        RoomTypeConfig after = before;
        c.change(after);
        const std::vector<std::string> lines = lineTexts(compareRoomTypes(before, after));
        if (c.line == nullptr) {
            EXPECT_TRUE(lines.empty()) << lines.front();
        } else {
            EXPECT_EQ(lines, std::vector<std::string>{c.line});
        }
    }
}

// The parts of a line as --json gives them; no line ends in a blank.
TEST(Compare, EachDifferenceNamesItsDeviceFieldAndBothSides) {
    const struct {
        const char* what;
        std::function<void(RoomTypeConfig&)> change;
        compare::Difference expected;
    } table[] = {
        {"version",
         [](RoomTypeConfig& r) { r.fileVersion = 140; },
         {"房型", "配置文件版本: 1.6.2 → 1.4.0", 0, "配置文件版本", "1.6.2", "1.4.0"}},
        {"key",
         [](RoomTypeConfig& r) { r.devices[3].inputs[1] = 21; },
         {"设备03", "设备03 按键2: 022.右阅读 → 021.左阅读", 3, "按键2", "022.右阅读",
          "021.左阅读"}},
        {"scene left alone",
         [](RoomTypeConfig& r) { r.devices[1].slot(2).modeCode = 0; },
         {"设备01", "情景 明亮模式 设备01 输出1: 廊灯:开 → 廊灯:不受控", 1, "情景 明亮模式 输出1",
          "廊灯:开", "廊灯:不受控"}},
        {"scene state",
         [](RoomTypeConfig& r) { r.devices[1].slot(1).outputState[0] = 10; },
         {"设备01", "情景 睡眠模式 设备01 输出1: 廊灯:关 → 廊灯:开", 1, "情景 睡眠模式 输出1",
          "廊灯:关", "廊灯:开"}},
        {"device gone",
         [](RoomTypeConfig& r) { r.devices[7].outputs = {}; },
         {"设备07", "设备07: 3.窗帘控制器 主窗帘 → 无", 7, "设备", "3.窗帘控制器 主窗帘", "无"}},
        {"lamp name",
         [](RoomTypeConfig& r) { r.lampNames[22] = "右阅读灯"; },
         {"灯名", "灯名 022: 右阅读 → 右阅读灯", 0, "灯名 022", "右阅读", "右阅读灯"}},
    };
    const RoomTypeConfig before = exampleRoom();
    for (const auto& c : table) {
        RoomTypeConfig after = before;
        c.change(after);
        EXPECT_EQ(compareRoomTypes(before, after), std::vector<compare::Difference>{c.expected})
            << c.what;
    }
}

TEST(Compare, GroupsComeInOrderWithTheDeviceLinesTogether) {
    const RoomTypeConfig before = exampleRoom();
    RoomTypeConfig after = before;
    after.cardOutDelay = 60;
    after.devices[3].slot(1).outputState[0] = 10;
    after.devices[1].inputs[0] = 11;
    after.devices[3].name = "右";
    after.lampNames[22] = "右阅读灯";
    after.hotelName = "湖畔酒店";
    std::vector<std::string> groups;
    for (const compare::Difference& d : compareRoomTypes(before, after)) groups.push_back(d.group);
    EXPECT_EQ(groups, (std::vector<std::string>{"房型", "灯名", "设备01", "设备03", "设备03", "选项"}));
}

TEST(Compare, TheExampleAgainstItselfAndItsReloadGivesNothing) {
    const RoomTypeConfig room = exampleRoom();
    EXPECT_TRUE(compareRoomTypes(room, room).empty());
    RoomTypeConfig reloaded = model::makeStartupRoomType();
    format::readRoomTypeFile(format::writeRoomTypeFile(room), reloaded);
    EXPECT_TRUE(compareRoomTypes(room, reloaded).empty());
}

TEST(Compare, AModifyThatChangesOneKeyGivesOneLine) {
    const RoomTypeConfig before = exampleRoom();
    RoomTypeConfig room = before;
    RoomTypeConfig edit = room;
    editing::PortSession session(room, edit, editing::EditMode::Modify);
    ASSERT_TRUE(session.choose(editing::PortPage::Keys, 2 * 6 + 1, 21));
    ASSERT_TRUE(session.accept().accepted);
    EXPECT_EQ(lineTexts(compareRoomTypes(before, room)),
              std::vector<std::string>{"设备03 按键2: 022.右阅读 → 021.左阅读"});
}

namespace {

// What a read all leaves in the room type when the devices hold `held`.
RoomTypeConfig readAll(const RoomTypeConfig& start, const RoomTypeConfig& held) {
    simrun::SimRun run(held);
    run.room = start;
    run.edit = start;
    run.run(commissioning::Action::ReadAll);
    return run.room;
}

}  // namespace

TEST(Compare, AReadAllListsWhatTheOneDifferentDeviceHolds) {
    // Panels keep on and off, not levels: the baseline is what the devices give back as they are.
    const RoomTypeConfig before = readAll(exampleRoom(), exampleRoom());
    RoomTypeConfig held = before;
    held.devices[2].inputs[0] = 23;
    held.devices[2].slot(2).outputState[1] = 0;
    model::refreshMasks(held);
    EXPECT_EQ(lineTexts(compareRoomTypes(before, readAll(before, held))),
              (std::vector<std::string>{"设备02 按键1: 024.左床头灯 → 023.镜前灯",
                                        "情景 明亮模式 设备02 输出2: 左阅读:开 → 左阅读:关"}));
}
