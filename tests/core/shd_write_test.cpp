// The room-type file as written: every line kind against bytes put together by hand, and
// load -> save giving the same bytes back.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/format/gbk.h"
#include "core/format/shd_file.h"

using namespace room::model;
using room::format::readRoomTypeFile;
using room::format::utf8ToGbk;
using room::format::writeRoomTypeFile;

namespace {

std::string readData(const char* name) {
    std::ifstream in(std::string(ROOM_TEST_DATA) + "/shd/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <std::size_t N>
void setList(std::array<std::uint8_t, N>& list, std::initializer_list<std::uint8_t> items) {
    list.fill(0);
    std::size_t i = 0;
    for (std::uint8_t v : items) list[i++] = v;
    list[i] = kListEnd;
}

void useSmallLists(RoomTypeConfig& room) {
    setList(room.ordinaryLightKeys, {10, 11});
    setList(room.dimmerAndOtherKeys, {2});
    setList(room.curtainKeys, {});
    setList(room.sceneModeKeys, {50, 191});
    setList(room.otherKeys, {});
}

// The room of tests/data/shd/small_room.shd.
RoomTypeConfig smallRoom() {
    RoomTypeConfig room = makeStartupRoomType();
    useSmallLists(room);
    room.hotelName = "海景酒店";
    room.roomTypeName = "大床房";
    room.roomTypeNumber = 12;
    room.roomTypeNumberText = "12";
    room.systemType = 3;
    room.systemTypeText = "3";
    room.outputExpansion = 8;
    room.inputExpansion = 32;
    room.dryContactFirstFive = 1;
    room.boardOptionFlags = -3;
    room.boardOption7 = -128;
    room.fileVersion = 150;
    room.headerByte = 1;  // never read back, so a round trip needs its start-up value
    room.inputCount = 176;
    room.outputCount = 152;
    room.deviceCount = 3;
    int* counts[] = {&room.thermostatCount,
                     &room.switchPanelCount,
                     &room.curtainControllerCount,
                     &room.powerSwitchCount,
                     &room.irForwarderCount,
                     &room.signalCollectorCount,
                     &room.doorPlateCount,
                     &room.humanIrCount,
                     &room.doorMagnetCount,
                     &room.wirelessCurtainMotorCount,
                     &room.offlineVoiceCount,
                     &room.backgroundMusicCount,
                     &room.gatewayCount};
    const int values[] = {1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
    for (std::size_t i = 0; i < std::size(counts); ++i) *counts[i] = values[i];
    room.cardOutDelay = 30;
    room.functionOptionsA = 129;
    room.functionOptionsB = 2;
    room.functionOptionsC = 200;
    room.functionOptionsD = 4;
    room.modeFlagBits = {1, 2, 3, 255, 0, 128};

    DeviceRecord& panel = room.devices[1];
    panel.name = "床头";
    panel.type = 1;
    panel.inputs = {10, 11, 0, 0, 0, 50};
    panel.outputs = {10, 11, 0, 0, 0, 0};
    panel.slot(1) = {50, {1, 0, 5, 5, 5, 5}};  // states of absent outputs become 238
    panel.slot(10) = {169, {0, 10, 3, 3, 3, 3}};
    panel.slot(3) = {0, {1, 1, 1, 1, 1, 1}};  // no mode code: not written
    panel.slot(4) = {238, {1, 1, 1, 1, 1, 1}};

    DeviceRecord& unused = room.devices[2];  // named, with a mode, but no leading channel
    unused.name = "备用";
    unused.type = 1;
    unused.outputs[4] = 12;
    unused.outputs[5] = 13;
    unused.slot(2) = {51, {1, 1, 1, 1, 1, 1}};

    DeviceRecord& thermostat = room.devices[3];
    thermostat.name = "空调";
    thermostat.type = 2;
    thermostat.inputs = {60, 61, 62, 63, 0, 0};
    thermostat.outputs = {60, 0, 0, 0, 0, 0};
    thermostat.slot(24) = {191, {10, 9, 8, 7, 0, 0}};

    room.devices[4].inputs[0] = 20;  // beyond deviceCount: not written
    room.lampNames[10] = "走廊灯";
    return room;
}

std::string crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return utf8ToGbk(text);
}

std::string lineOf(const std::string& file, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = file.find("\r\n", start) + 2;
    return file.substr(start, file.find("\r\n", start) - start);
}

}  // namespace

TEST(ShdWrite, SmallRoomMatchesTheHandMadeFile) {
    const std::string expected = readData("small_room.shd");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(writeRoomTypeFile(smallRoom()), expected);
}

TEST(ShdWrite, TextIsGbkWithCrLfAfterEveryLine) {
    RoomTypeConfig room = smallRoom();
    const std::string file = writeRoomTypeFile(room);
    // "酒店名称:" in code page 936
    EXPECT_EQ(lineOf(file, 1).substr(0, 9), "\xBE\xC6\xB5\xEA\xC3\xFB\xB3\xC6:");
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file.substr(file.size() - 4), ", \r\n");
}

TEST(ShdWrite, SystemLineOmitsAZeroVersionAndHeaderByteKeepsItsLowByte) {
    RoomTypeConfig room = smallRoom();
    room.fileVersion = 0;
    room.headerByte = 0x1FF;
    room.systemType = 9;  // no catalogue name: the blank entry
    room.outputExpansion = -1;
    const std::string file = writeRoomTypeFile(room);
    EXPECT_EQ(lineOf(file, 4), utf8ToGbk("主机型号:,3,-1,32, ,1,-3,-128, "));
    EXPECT_EQ(lineOf(file, 5).substr(0, 6), "S,255,");
}

TEST(ShdWrite, LampNameLines) {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 0;
    setList(room.ordinaryLightKeys, {11, 252, 0});
    setList(room.dimmerAndOtherKeys, {});
    setList(room.curtainKeys, {});
    setList(room.sceneModeKeys, {});
    room.otherKeys.fill(49);  // no terminator: the list ends with its slot
    room.lampNames[11] = "卫浴,灯";
    const std::string file = writeRoomTypeFile(room);
    // Lines 0..4, S, P, L, the separator and the table heading come first.
    EXPECT_EQ(lineOf(file, 10), utf8ToGbk("普通灯光按键:, "));
    EXPECT_EQ(lineOf(file, 11), utf8ToGbk("11号,卫浴,灯, "));
    EXPECT_EQ(lineOf(file, 12), utf8ToGbk("0号,字灯, "));  // 252 has no name and is left out
    EXPECT_EQ(lineOf(file, 13), utf8ToGbk("调光按键与其它:, "));
    EXPECT_EQ(lineOf(file, 16), utf8ToGbk("其它按键:, "));
    EXPECT_EQ(lineOf(file, 17), utf8ToGbk("49号,新风, "));
    EXPECT_EQ(lineOf(file, 17 + kCategoryListSize - 1), utf8ToGbk("49号,新风, "));
    std::size_t lines = 0;
    for (std::size_t at = file.find("\r\n"); at != std::string::npos;
         at = file.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 17u + kCategoryListSize);
}

TEST(ShdWrite, LoadThenSaveGivesTheSameBytes) {
    const std::string original = readData("small_room.shd");
    RoomTypeConfig room = makeStartupRoomType();
    useSmallLists(room);  // the lists are the program's, not the file's
    const auto result = readRoomTypeFile(original, room);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(writeRoomTypeFile(room), original);
}

TEST(ShdWrite, SavedStartupRoomWithDefaultListsReloadsUnchanged) {
    RoomTypeConfig room = smallRoom();
    initDefaults(room);
    room.lampNames[205] = "幕布升起";
    const std::string first = writeRoomTypeFile(room);
    RoomTypeConfig reloaded = makeStartupRoomType();
    readRoomTypeFile(first, reloaded);
    EXPECT_EQ(reloaded.lampNames[205], "幕布升起");
    EXPECT_EQ(writeRoomTypeFile(reloaded), first);
}

TEST(ShdWrite, CommaInALampNameKeepsOnlyTheTextBeforeIt) {
    RoomTypeConfig room = smallRoom();
    room.lampNames[11] = "卫浴,灯";
    const std::string file = writeRoomTypeFile(room);
    EXPECT_NE(file.find(crlf({"11号,卫浴,灯, "})), std::string::npos);
    RoomTypeConfig reloaded = makeStartupRoomType();
    readRoomTypeFile(file, reloaded);
    EXPECT_EQ(reloaded.lampNames[11], "卫浴");
}
