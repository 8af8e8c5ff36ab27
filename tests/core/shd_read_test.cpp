// Reading the room-type file: every line kind, the version check and its messages, and broken
// input that must be skipped without writing outside the model.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/format/gbk.h"
#include "core/format/shd_file.h"

using namespace room::model;
using room::format::LoadResult;
using room::format::LoadStatus;
using room::format::readRoomTypeFile;
using room::format::utf8ToGbk;

namespace {

std::string readData(const char* name) {
    std::ifstream in(std::string(ROOM_TEST_DATA) + "/shd/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Header lines of a version 162 file, then `body`; lines are given in UTF-8 and end in CR LF.
std::string fileWith(const std::string& body, const std::string& version = "162,") {
    return utf8ToGbk(
        "注意：请勿直接修改本文件内容，以免造成错乱！, \r\n"
        "酒店名称:,海景酒店, \r\n"
        "房型名称:,大床房, \r\n"
        "房型编号:,12, \r\n"
        "主机型号:,3,8,32,3.联网485,1,-3,-128," +
        version + " \r\n" + body);
}

struct Loaded {
    RoomTypeConfig room = makeStartupRoomType();
    LoadResult result;
};

Loaded load(const std::string& bytes) {
    Loaded loaded;
    loaded.result = readRoomTypeFile(bytes, loaded.room);
    return loaded;
}

}  // namespace

TEST(ShdRead, SmallRoomFile) {
    const Loaded l = load(readData("small_room.shd"));
    const RoomTypeConfig& room = l.room;
    EXPECT_EQ(l.result.status, LoadStatus::Loaded);
    EXPECT_TRUE(l.result.messages.empty());
    EXPECT_EQ(room.hotelName, "海景酒店");
    EXPECT_EQ(room.roomTypeName, "大床房");
    EXPECT_EQ(room.roomTypeNumberText, "12");
    EXPECT_EQ(room.roomTypeNumber, 12);
    EXPECT_EQ(room.systemTypeText, "3");
    EXPECT_EQ(room.systemType, 3);
    EXPECT_EQ(room.outputExpansion, 8);
    EXPECT_EQ(room.inputExpansion, 32);
    EXPECT_EQ(room.dryContactFirstFive, 1);
    EXPECT_EQ(room.boardOptionFlags, -3);
    EXPECT_EQ(room.boardOption7, -128);
    EXPECT_EQ(room.fileVersion, 150);

    EXPECT_EQ(room.headerByte, 1);  // never read back
    EXPECT_EQ(room.inputCount, 176);
    EXPECT_EQ(room.inputLamp[0], 176);
    EXPECT_EQ(room.outputCount, 152);
    EXPECT_EQ(room.outputLamp[0], 152);
    EXPECT_EQ(room.deviceCount, 3);
    const int counts[] = {room.thermostatCount,
                          room.switchPanelCount,
                          room.curtainControllerCount,
                          room.powerSwitchCount,
                          room.irForwarderCount,
                          room.signalCollectorCount,
                          room.doorPlateCount,
                          room.humanIrCount,
                          room.doorMagnetCount,
                          room.wirelessCurtainMotorCount,
                          room.offlineVoiceCount,
                          room.backgroundMusicCount,
                          room.gatewayCount};
    const int expected[] = {1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
    for (std::size_t i = 0; i < std::size(counts); ++i) EXPECT_EQ(counts[i], expected[i]) << i;

    EXPECT_EQ(room.cardOutDelay, 30);
    EXPECT_EQ(room.functionOptionsA, 129);
    EXPECT_EQ(room.functionOptionsB, 2);
    EXPECT_EQ(room.functionOptionsC, 200);
    EXPECT_EQ(room.functionOptionsD, 4);
    EXPECT_EQ(room.modeFlagBits, (std::array<std::uint8_t, 6>{1, 2, 3, 255, 0, 128}));
    EXPECT_EQ(room.lampNames[10], "走廊灯");
    EXPECT_EQ(room.lampNames[191], "晚上入住模式");
}

TEST(ShdRead, DeviceLines) {
    const Loaded l = load(readData("small_room.shd"));
    const RoomTypeConfig& room = l.room;
    const DeviceRecord& panel = room.devices[1];
    EXPECT_EQ(panel.name, "床头");
    EXPECT_EQ(panel.type, 1);
    EXPECT_EQ(panel.inUse, 1);
    EXPECT_EQ(panel.inputs, (std::array<int, 6>{10, 11, 0, 0, 0, 50}));
    EXPECT_EQ(panel.outputs, (std::array<int, 6>{10, 11, 0, 0, 0, 0}));
    EXPECT_EQ(panel.slot(1), (ModeSlot{50, {1, 0, 238, 238, 238, 238}}));
    EXPECT_EQ(panel.slot(10), (ModeSlot{169, {0, 10, 238, 238, 238, 238}}));
    EXPECT_EQ(panel.slot(2), ModeSlot{});
    EXPECT_EQ(room.devices[2], DeviceRecord{});
    const DeviceRecord& thermostat = room.devices[3];
    EXPECT_EQ(thermostat.type, 2);
    EXPECT_EQ(thermostat.slot(24), (ModeSlot{191, {10, 238, 238, 238, 238, 238}}));

    // Mirrors: entry (v-1)*6+j+1.
    EXPECT_EQ(room.inputLamp[1], 10);
    EXPECT_EQ(room.inputLamp[6], 50);
    EXPECT_EQ(room.outputLamp[2], 11);
    EXPECT_EQ(room.inputLamp[2 * 6 + 4], 63);
    EXPECT_EQ(room.outputLamp[2 * 6 + 1], 60);
    for (int lamp : {0, 10, 11, 50, 60, 63, 169, 191}) EXPECT_EQ(room.lampInUse[lamp], 1) << lamp;
    EXPECT_EQ(room.lampInUse[12], 0);

    // Refreshed: output 1 of the panel is on in mode 1 and off in mode 10, output 2 the reverse.
    EXPECT_EQ(room.outputMasks[1][0], (OutputMask{0x01, 0x01, 0x00, 0x02, 0, 0}));
    EXPECT_EQ(room.outputMasks[1][1], (OutputMask{0x00, 0x01, 0x02, 0x02, 0, 0}));
    EXPECT_EQ(room.outputMasks[3][0], (OutputMask{0, 0, 0, 0, 0x80, 0x80}));
}

TEST(ShdRead, LoneLineFeedsAndQuotes) {
    const std::string text =
        "\"注意\", \n\"酒店名称:\",\"山\"\"景\", \n房型名称:,\"套房\", \n"
        "房型编号:,7,3, \n主机型号:,\"2\",0,0,2.单机Mesh,0,0,0,\"140\", \n"
        "\"K\",\"2\",\"门口\",1,5,0,0,0,0,0,0,0,0,0,0,0, \n";
    const Loaded l = load(utf8ToGbk(text));
    EXPECT_EQ(l.result.status, LoadStatus::Loaded);
    EXPECT_EQ(l.room.hotelName, "山景");
    EXPECT_EQ(l.room.roomTypeName, "套房");
    EXPECT_EQ(l.room.roomTypeNumber, 7);
    EXPECT_EQ(l.room.roomTypeNumberAux, 3);
    EXPECT_EQ(l.room.systemType, 2);
    EXPECT_EQ(l.room.fileVersion, 140);
    EXPECT_EQ(l.room.devices[2].name, "门口");
    EXPECT_EQ(l.room.devices[2].inputs[0], 5);
}

TEST(ShdRead, TextAfterTheLastCommaIsNotAField) {
    const Loaded l = load(fileWith("P,45,0,7,8,9,10\r\nL,1,2\r\n"));
    EXPECT_EQ(l.room.cardOutDelay, 45);
    EXPECT_EQ(l.room.functionOptionsC, 9);
    EXPECT_EQ(l.room.functionOptionsD, 0);  // "10" has no comma after it
    EXPECT_EQ(l.room.modeFlagBits[0], 1);
    EXPECT_EQ(l.room.modeFlagBits[1], 0);
}

TEST(ShdRead, LegacyLineAndUnknownKinds) {
    const Loaded l = load(fileWith("A,0,12,-1,300,77, \r\nZ,9,9, \r\n,K,1, \r\n"));
    EXPECT_EQ(l.room.legacyLamp[2], 12);
    EXPECT_EQ(l.room.legacyLamp[3], 0);  // out of the lamp range
    EXPECT_EQ(l.room.legacyLamp[4], 0);
    EXPECT_EQ(l.room.legacyLamp[5], 77);
    EXPECT_EQ(l.room.lampInUse[0], 0);  // a zero entry marks nothing
    EXPECT_EQ(l.room.lampInUse[12], 1);
    EXPECT_EQ(l.room.devices[1], DeviceRecord{});
}

TEST(ShdRead, LampNameTableStartsAtTheSeparator) {
    const Loaded l =
        load(fileWith("12号,not yet, \r\n-------, \r\n普通灯光按键:, \r\n"
                      "12号,排风扇, \r\nK,1,x,1,5, \r\n"));
    EXPECT_EQ(l.room.lampNames[12], "排风扇");
    // Inside the table a "K" line is a name line: "K" reads as number 0.
    EXPECT_EQ(l.room.lampNames[0], "1");
    EXPECT_EQ(l.room.devices[1], DeviceRecord{});
    EXPECT_EQ(listItems(l.room.curtainKeys), defaultCurtainKeys());
}

struct VersionCase {
    const char* field;  // the version field with its comma, or "" for none
    LoadStatus status;
    const char* message;
    int fileVersion;
};

class ShdVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(ShdVersion, MessagesAndModelState) {
    const VersionCase& c = GetParam();
    const Loaded l =
        load(fileWith("S,1,144,150,1,0,1, \r\nK,1,床头,1,10,0,0,0,0,0,10,0,0,0,0,0,"
                      "50,1,238,238,238,238,238, \r\n",
                      c.field));
    EXPECT_EQ(l.result.status, c.status);
    if (c.message[0] == '\0') {
        EXPECT_TRUE(l.result.messages.empty());
    } else {
        EXPECT_EQ(l.result.messages, std::vector<std::string>{c.message});
    }
    EXPECT_EQ(l.room.fileVersion, c.fileVersion);
    // The lines before the version field are kept in every case.
    EXPECT_EQ(l.room.hotelName, "海景酒店");
    EXPECT_EQ(l.room.boardOption7, -128);
    const bool readOn = !l.result.refused();
    EXPECT_EQ(l.room.outputCount, readOn ? 150 : 0);
    EXPECT_EQ(l.room.devices[1].inputs[0], readOn ? 10 : 0);
    const bool refreshed = c.status == LoadStatus::Loaded;
    EXPECT_EQ(l.room.outputMasks[1][0][0], refreshed ? 0x01 : 0x00);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ShdVersion,
    testing::Values(
        VersionCase{"129,", LoadStatus::RefusedOlder, "配置文件版本低,请用1.2.9版本打开!", 129},
        VersionCase{"130,", LoadStatus::Loaded, "", 130},
        VersionCase{"162,", LoadStatus::Loaded, "", 162},
        VersionCase{"163,", LoadStatus::RefusedNewer, "软件版本低,请用1.6.3及以上版本打开!", 163},
        VersionCase{"1000,", LoadStatus::RefusedNewer, "软件版本低,请用10.0.0及以上版本打开!",
                    1000},
        // No version to ask for: the field itself is broken.
        VersionCase{"-5,", LoadStatus::RefusedOlder, "配置文件版本号无效,无法打开!", -5},
        VersionCase{"99999999999,", LoadStatus::RefusedNewer, "配置文件版本号无效,无法打开!",
                    2147483647},
        VersionCase{"9999,", LoadStatus::RefusedNewer, "软件版本低,请用99.9.9及以上版本打开!",
                    9999},
        VersionCase{"abc,", LoadStatus::RefusedOlder, "配置文件版本低,请用0.0.0版本打开!", 0},
        VersionCase{"", LoadStatus::LoadedTooOld, "配置文件版本低,请用0.0.0版本打开!", 0}));

// Only the five header lines with their labels make a room-type file; anything short of them is
// refused with the model reset, not opened as the default room type.
TEST(ShdRead, WhatHoldsNoRoomTypeIsRefused) {
    const std::string header = fileWith("");
    const std::string utf8Header =
        "注意, \r\n酒店名称:,湖畔, \r\n房型名称:,套房, \r\n房型编号:,12, \r\n主机型号:,3, \r\n";
    std::string garbage;
    unsigned seed = 7;
    for (int i = 0; i < 3000; ++i)
        garbage += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    const struct {
        const char* name;
        std::string bytes;
        LoadStatus status;
    } cases[] = {
        {"empty", "", LoadStatus::NotRoomType},
        {"one line break", "\r\n", LoadStatus::NotRoomType},
        {"random bytes", garbage, LoadStatus::NotRoomType},
        {"four of the five header lines",
         header.substr(0, header.rfind("\r\n", header.size() - 3) + 2), LoadStatus::NotRoomType},
        {"labels of another program",
         "x, \r\nH:,a, \r\nR:,b, \r\nN:,3, \r\nM:,1,0,0,x,0,0,0,162, \r\n",
         LoadStatus::NotRoomType},
        {"the header alone", header, LoadStatus::Loaded},
        {"labels in UTF-8", utf8Header, LoadStatus::LoadedTooOld},
        {"no version field", fileWith("", ""), LoadStatus::LoadedTooOld},
        {"LF lines, quoted labels",
         "x,\n\"\xBE\xC6\xB5\xEA\xC3\xFB\xB3\xC6:\",a,\n" +
             header.substr(header.find("\r\n", header.find("\r\n") + 2) + 2),
         LoadStatus::Loaded},
    };
    for (const auto& c : cases) {
        Loaded l;
        l.room.devices[4].inputs[0] = 9;
        l.result = readRoomTypeFile(c.bytes, l.room);
        EXPECT_EQ(l.result.status, c.status) << c.name;
        EXPECT_EQ(l.result.refused(), c.status == LoadStatus::NotRoomType) << c.name;
        if (c.status != LoadStatus::NotRoomType) continue;
        EXPECT_EQ(l.result.messages, std::vector<std::string>{"不是房型配置文件"}) << c.name;
        EXPECT_EQ(l.room.devices[4], DeviceRecord{}) << c.name;
    }
}

TEST(ShdRead, RoomTypeFileNamesInAnyLetterCase) {
    const struct {
        const char* name;
        bool taken;
    } cases[] = {{"room.shd", true},   {"ROOM1.SHD", true}, {"a.Hdq", true},
                 {"/x/r.hdq", true},   {"room.pdf", false}, {"shd", false},
                 {"room.shdx", false}, {"room.yml", false}, {".shd", true},
                 {"roomshd", false}};
    for (const auto& c : cases)
        EXPECT_EQ(room::format::isRoomTypeFileName(c.name), c.taken) << c.name;
}

TEST(ShdRead, OutOfRangeNumbersAreSkipped) {
    const Loaded l =
        load(fileWith("K,0,零,1,10,0,0,0,0,0,0,0,0,0,0,0, \r\n"
                      "K,37,越界,1,10,0,0,0,0,0,0,0,0,0,0,0, \r\n"
                      "K,-1,负,1,10, \r\n"
                      "K,1,灯,300,250,-1,11,0,0,0,99999999999,0,0,0,0,0,"
                      "25,1,1,1,1,1,1,0,1,1,1,1,1,1,238,1,1,1,1,1,1,5,1,2,3,4,5,6,-7,1, \r\n"
                      "K,36,末,1,20,21,0,0,0,0,22,0,0,0,0,0, \r\n"
                      "K,2, \r\nK,3,短, \r\n"
                      "-----, \r\n250号,x, \r\n-1号,y, \r\n"));
    const RoomTypeConfig& room = l.room;
    for (int v : {2, 4, 35}) EXPECT_EQ(room.devices[v].inputs, (std::array<int, 6>{})) << v;
    const DeviceRecord& d1 = room.devices[1];
    EXPECT_EQ(d1.name, "灯");
    EXPECT_EQ(d1.type, 300 & 0xFF);
    EXPECT_EQ(d1.inputs, (std::array<int, 6>{0, 0, 11, 0, 0, 0}));
    EXPECT_EQ(d1.outputs[0], 0);
    EXPECT_EQ(d1.slot(5), (ModeSlot{5, {1, 2, 3, 4, 5, 6}}));  // a bare slot number
    for (int n : {1, 2, 3, 4, 6, 24}) EXPECT_EQ(d1.slot(n), ModeSlot{}) << n;
    EXPECT_EQ(room.lampInUse[5], 1);
    // Device 36 has a record but its channels lie past the 201-entry mirrors.
    EXPECT_EQ(room.devices[36].inputs[1], 21);
    EXPECT_EQ(room.devices[36].outputs[0], 22);
    EXPECT_EQ(room.lampInUse[22], 1);
    EXPECT_EQ(room.inputLamp[200], 0);
    EXPECT_EQ(room.outputLamp[200], 0);
    EXPECT_EQ(room.devices[3].name, "短");
    EXPECT_EQ(room.devices[3].inUse, 0);
    EXPECT_EQ(room.lampNames[0], "字灯");
    EXPECT_EQ(room.lampNames[249], "");
}

TEST(ShdRead, DeviceCountIsClampedToTheRecords) {
    const struct {
        const char* field;
        int count;
    } cases[] = {{"5", 5}, {"36", 36}, {"37", 36}, {"99999999999", 36}, {"-4", 0}, {"x", 0}};
    for (const auto& c : cases) {
        const Loaded l = load(fileWith(std::string("S,1,144,144,") + c.field + ", \r\n"));
        EXPECT_EQ(l.room.deviceCount, c.count) << c.field;
    }
}

TEST(ShdRead, ManyFieldsStayInTheirTables) {
    std::string k = "K,1,长,1,10,0,0,0,0,0,10,0,0,0,0,0,";
    for (int i = 16; i < 300; ++i) k += i % 7 == 2 ? "51," : "1,";
    std::string a = "A,";
    std::string l = "L,";
    for (int i = 1; i < 300; ++i) {
        a += "7,";
        l += "9,";
    }
    const Loaded loaded = load(fileWith(k + " \r\n" + a + " \r\n" + l + " \r\nS," + a + " \r\n"));
    EXPECT_EQ(loaded.room.devices[1].slot(2), (ModeSlot{51, {1, 1, 1, 1, 1, 1}}));
    EXPECT_EQ(loaded.room.legacyLamp[200], 7);
    EXPECT_EQ(loaded.room.modeFlagBits[5], 9);
    EXPECT_EQ(loaded.room.gatewayCount, 7);
}

TEST(ShdRead, LongFieldsAreCutAtACharacterBoundary) {
    std::string ascii(120, 'a');
    std::string chinese;
    for (int i = 0; i < 60; ++i) chinese += "房";  // 120 bytes in GBK
    std::string number = std::string(110, '0') + "45";
    const Loaded l = load(utf8ToGbk("x, \r\n酒店名称:," + ascii + ", \r\n房型名称:,x" + chinese +
                                    ", \r\n"
                                    "房型编号:," +
                                    number + ", \r\n主机型号:,3, \r\n"));
    EXPECT_EQ(l.room.hotelName, std::string(99, 'a'));
    std::string expected = "x";
    for (int i = 0; i < 49; ++i) expected += "房";  // 1 + 98 bytes
    EXPECT_EQ(l.room.roomTypeName, expected);
    EXPECT_EQ(l.room.roomTypeNumber, 0);  // only zeros within the first 99 bytes
}

TEST(ShdRead, NulBytesAndInvalidGbk) {
    const std::string bytes = "x, \r\n" + utf8ToGbk("酒店名称:") +
                              std::string(",ab,\0cd,ef, \r\n", 14) + utf8ToGbk("房型名称:") +
                              ",\x81,\xFF\xFF, \r\n" + utf8ToGbk("房型编号:") +
                              std::string(",\0\0\0,\r\n", 7) + utf8ToGbk("主机型号:,3,\r\n");
    const Loaded l = load(bytes);
    EXPECT_EQ(l.room.hotelName, "ab");
    EXPECT_EQ(l.room.roomTypeName, "\xEF\xBF\xBD");  // U+FFFD
    EXPECT_EQ(l.result.status, LoadStatus::LoadedTooOld);
}

// A file that is not GBK still loads; the result says so, for the caller to tell the user once.
// UTF-8 Chinese is mostly valid GBK pair by pair: a name of an odd number of characters ends in a
// byte that is none, and is lost; a file all in UTF-8 shows as well-formed UTF-8.
TEST(ShdRead, FilesThatAreNotGbkAreFlagged) {
    const auto device = [](const std::string& name) {
        return "K,1," + name + ",1,10,0,0,0,0,0,20,0,0,0,0,0, \r\n";
    };
    const struct {
        const char* name;
        std::string bytes;
        bool notGbk;
        bool bytesLost;
    } cases[] = {
        {"GBK", fileWith(utf8ToGbk(device("床头左"))), false, false},
        {"ASCII names", fileWith(device("abc")), false, false},
        {"a UTF-8 name of three characters", fileWith("") + device("床头左"), true, true},
        {"all UTF-8",
         "注意, \r\n酒店名称:,海景酒店, \r\n房型名称:,大床房间, \r\n房型编号:,12, \r\n主机型号:,3, "
         "\r\n",
         true, false},
        {"a lone 0xFF", fileWith("") + device("\xFF"), true, true},
        {"a lead byte cut off at the end", fileWith("") + device("a") + "\x81", true, true},
    };
    for (const auto& c : cases) {
        const Loaded l = load(c.bytes);
        EXPECT_EQ(l.result.notGbk, c.notGbk) << c.name;
        EXPECT_EQ(l.result.bytesLost, c.bytesLost) << c.name;
        EXPECT_FALSE(l.result.refused()) << c.name;
        const bool hasDevice = c.bytes.find("K,1,") != std::string::npos;
        EXPECT_EQ(l.room.devices[1].inputs[0], hasDevice ? 10 : 0) << c.name;  // still read
    }
}
