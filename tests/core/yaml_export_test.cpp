#include "core/export/yaml_export.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "core/format/gbk.h"
#include "core/model/room_type.h"

using namespace room;
using model::RoomTypeConfig;

namespace {

// Every line of the file is its content, one blank and CR LF.
std::string lines(std::initializer_list<const char*> contents) {
    std::string text;
    for (const char* content : contents) text.append(content).append(" \r\n");
    return text;
}

const std::string kEmptyRoomText = lines({
    "#注意：请勿直接修改本文件内容，以免造成错乱！",
    "#酒店基本信息",
    "info:",
    " #酒店名称",
    " name: XX酒店",
    " #开关数量",
    " switchNumber: 0",
    " ",
    "#配置数据",
    "data: ",
});

std::string exported(const RoomTypeConfig& room) {
    return format::gbkToUtf8(exporting::exportYaml(room).bytes);
}

void setDevice(RoomTypeConfig& room, int v, int type, std::initializer_list<int> outputs,
               std::initializer_list<int> inputs = {}) {
    room.devices[v].type = static_cast<std::uint8_t>(type);
    int j = 0;
    for (int lamp : outputs) room.devices[v].outputs[j++] = lamp;
    j = 0;
    for (int lamp : inputs) room.devices[v].inputs[j++] = lamp;
    if (room.deviceCount < v) room.deviceCount = v;
}

}  // namespace

TEST(YamlExport, EmptyRoomIsHeaderBlankLineAndDataOnly) {
    const auto result = exporting::exportYaml(model::makeStartupRoomType());
    EXPECT_EQ(result.bytes, format::utf8ToGbk(kEmptyRoomText));
    // GBK on disk: "#配置数据" is 23 C5 E4 D6 C3 CA FD BE DD.
    EXPECT_NE(result.bytes.find("\r\n#\xC5\xE4\xD6\xC3\xCA\xFD\xBE\xDD \r\n"), std::string::npos);
    EXPECT_TRUE(result.messages.empty());
}

TEST(YamlExport, SwitchPanelEntryCarriesItsNumberTypeAndFrame) {
    RoomTypeConfig room = model::makeStartupRoomType();
    setDevice(room, 5, 1, {20, 21}, {10, 11});
    room.devices[5].name = "床头";
    room.modeFlagBits[0] = 0x01;
    room.outputMasks[5][0] = {0x01, 0x01, 0, 0, 0, 0};  // as stored, not recomputed
    room.switchPanelCount = 1;
    // 11 header bytes, inputs, outputs, indicator bytes, six masks; sum 630 -> 0x76.
    const std::string conf =
        "   conf: F1 F4 01 05 05 44 01 00 00 00 00 0A 0B 00 00 00 00 14 15 00 00 00 00 "
        "01 00 00 00 00 00 01 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 76 F3 F4 ";
    std::string expected = kEmptyRoomText;
    expected.replace(expected.find("switchNumber: 0"), 15, "switchNumber: 1");
    expected += lines({" -", "   #编号", "   id: 005", "   #位置", "   name: 床头", "   #类型",
                       "   type: 01", "   #配置数据", conf.c_str()});
    EXPECT_EQ(exported(room), expected);
    EXPECT_EQ(exporting::exportFrame(room, 5).size(), 68u);
}

TEST(YamlExport, ThermostatFrameHasUnitAndOneGroupPerUsedSlot) {
    RoomTypeConfig room = model::makeStartupRoomType();
    room.functionOptionsA = 0x03;
    setDevice(room, 3, 2, {100, 101, 102, 103});
    auto& dev = room.devices[3];
    dev.slot(1) = {50, {10, 9, 10, 8, 5, 6}};        // on, cooling, 26 degrees, medium
    dev.slot(2) = {0, {10, 10, 10, 10, 10, 10}};     // unused slot, states ignored
    dev.slot(5) = {238, {10, 10, 10, 10, 10, 10}};   // unused slot
    dev.slot(10) = {169, {0, 238, 238, 238, 0, 0}};  // off, rest unchanged
    dev.slot(17) = {184, {238, 8, 5, 10, 0, 0}};     // heating, 21 degrees, automatic
    // clang-format off
    const protocol::Bytes frame = {
        0xF1, 0xF4, 0x02, 0x03, 0x05, 0x23, 0x03, 0x00, 0x00, 0x00, 0x01,  // unit 1
        0x32, 0x01, 0x02, 0x1A, 0x02, 0x00, 0x00,                          //
        0xA9, 0x02, 0x00, 0x0F, 0x00, 0x00, 0x00,                          //
        0xB8, 0x00, 0x01, 0x15, 0x04, 0x00, 0x00,                          //
        0xF3, 0xF3, 0xF4};  // sum 1011 -> 0xF3
    // clang-format on
    EXPECT_EQ(exporting::exportFrame(room, 3), frame);
    const std::string text = exported(room);
    EXPECT_NE(text.find("   id: 101 \r\n   #位置 \r\n   name:  \r\n   #类型 \r\n   type: 03 \r\n"),
              std::string::npos);
}

TEST(YamlExport, DimmerAndColourSwitchHaveNoTypeCodeAndTheFullFrame) {
    RoomTypeConfig room = model::makeStartupRoomType();
    setDevice(room, 1, 5, {30}, {30});
    setDevice(room, 2, 6, {31}, {31});
    room.devices[2].slot(1) = {50, {10, 0, 0, 0, 0, 0}};  // slots are not in this frame
    for (int v : {1, 2}) {
        const protocol::Bytes frame = exporting::exportFrame(room, v);
        ASSERT_EQ(frame.size(), 68u) << v;
        EXPECT_EQ(frame[2], v + 4);
        EXPECT_EQ(frame[5], 68);
        EXPECT_EQ(frame[10], 0);  // the console's ordinal is not exported
    }
    const std::string text = exported(room);
    EXPECT_NE(text.find("   id: 001 \r\n   #位置 \r\n   name:  \r\n   #类型 \r\n   type:  \r\n"),
              std::string::npos);
    EXPECT_NE(text.find("   id: 002 \r\n   #位置 \r\n   name:  \r\n   #类型 \r\n   type:  \r\n"),
              std::string::npos);
}

TEST(YamlExport, IdentifiersOfThermostatsAndCurtainsAndBadData) {
    struct Case {
        int type;
        int output;
        const char* id;
        const char* message;  // nullptr: none
    };
    const Case cases[] = {
        {2, 63, "100", nullptr},
        {2, 164, "103", nullptr},
        {2, 70, "004", "编号为4的空调面板数据有误!"},
        {3, 83, "141", nullptr},
        {3, 197, "146", nullptr},
        {3, 90, "004", "编号为4的窗帘控制面板数据有误!"},
        {4, 88, "154", nullptr},
        {4, 207, "161", nullptr},
        {4, 1, "004", "编号为4的窗帘电机数据有误!"},
        {1, 63, "004", nullptr},
    };
    for (const Case& c : cases) {
        RoomTypeConfig room = model::makeStartupRoomType();
        setDevice(room, 4, c.type, {c.output});
        const auto result = exporting::exportYaml(room);
        const std::string text = format::gbkToUtf8(result.bytes);
        EXPECT_NE(text.find(std::string("   id: ") + c.id + " \r\n"), std::string::npos)
            << c.type << " " << c.output;
        if (c.message) {
            ASSERT_EQ(result.messages.size(), 1u);
            EXPECT_EQ(result.messages[0], c.message);
        } else {
            EXPECT_TRUE(result.messages.empty()) << c.type << " " << c.output;
        }
    }
}

TEST(YamlExport, SkipsEmptyDevicesLampTwoOnFirstOutputAndDevicesPastTheCount) {
    RoomTypeConfig room = model::makeStartupRoomType();
    setDevice(room, 1, 1, {2}, {10});         // first output lamp 2
    setDevice(room, 2, 1, {0, 0, 0, 0, 15});  // only outputs 5/6: empty
    room.devices[2].name = "空";
    room.devices[2].slot(1) = {50, {10, 10, 10, 10, 10, 10}};
    setDevice(room, 4, 1, {12});
    room.deviceCount = 3;  // device 4 is past the count
    EXPECT_EQ(exported(room), kEmptyRoomText);
}

TEST(YamlExport, RecordlessDevicesFollowInTheirOrderWithSharedInfraredKey) {
    RoomTypeConfig room = model::makeStartupRoomType();
    room.hotelName = "海景酒店";
    room.powerSwitchCount = 1;
    room.irForwarderCount = 1;
    room.offlineVoiceCount = 1;
    room.backgroundMusicCount = 2;
    room.gatewayCount = 2;
    room.humanIrCount = -1;  // a broken file: nothing written
    // clang-format off
    const std::string expected = lines({
        "#注意：请勿直接修改本文件内容，以免造成错乱！", "#酒店基本信息", "info:", " #酒店名称",
        " name: 海景酒店", " #开关数量", " switchNumber: 0", " #取电数量", " powerNumber: 1",
        " #红外转发数量", " infraredNumber: 1", " #离线语音数量", " infraredNumber: 1",
        " #背景音乐数量", " infraredNumber: 2", " #网关数量", " gatewayNumber: 2", " ",
        "#配置数据", "data: ",
        " -", "   #编号", "   id: 160", "   #位置", "   name: ", "   #类型", "   type: 05", "   #配置数据", "   conf: ",
        " -", "   #编号", "   id: 120", "   #位置", "   name: ", "   #类型", "   type: 62", "   #配置数据", "   conf: ",
        " -", "   #编号", "   id: 075", "   #位置", "   name: ", "   #类型", "   type: 77", "   #配置数据", "   conf: ",
        " -", "   #编号", "   id: 080", "   #位置", "   name: ", "   #类型", "   type: 45", "   #配置数据", "   conf: ",
        " -", "   #编号", "   id: 081", "   #位置", "   name: ", "   #类型", "   type: 45", "   #配置数据", "   conf: ",
        " -", "   #编号", "   id: 252", "   #位置", "   name: ", "   #类型", "   type: ", "   #配置数据", "   conf: ",
        " -", "   #编号", "   id: 252", "   #位置", "   name: ", "   #类型", "   type: ", "   #配置数据", "   conf: ",
    });
    // clang-format on
    EXPECT_EQ(exported(room), expected);
}

TEST(YamlExport, EveryLineEndsInBlankCrLfAndHugeCountsStayBounded) {
    RoomTypeConfig room = model::makeStartupRoomType();
    setDevice(room, 1, 2, {60});
    room.devices[1].slot(3) = {52, {10, 8, 2, 7, 0, 0}};
    setDevice(room, 2, 3, {99});
    room.doorMagnetCount = 1000000;
    room.deviceCount = 500;
    const std::string bytes = exporting::exportYaml(room).bytes;
    std::size_t start = 0;
    int count = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        ASSERT_NE(lf, std::string::npos);
        ASSERT_GE(lf - start, 2u);
        EXPECT_EQ(bytes.substr(lf - 2, 2), " \r");
        start = lf + 1;
        ++count;
    }
    EXPECT_EQ(count, 12 + 2 * 9 + exporting::kMaxEntriesPerGroup * 9);
}
