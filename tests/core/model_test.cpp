#include <gtest/gtest.h>

#include "core/format/gbk.h"
#include "core/model/room_type.h"

using namespace room::model;

TEST(Catalogues, NamesAndTypeNumbers) {
    EXPECT_EQ(defaultLampNames[6], "请稍侯");
    EXPECT_EQ(defaultLampNames[0], "字灯");
    EXPECT_EQ(defaultLampNames[111], "灯光6");
    EXPECT_EQ(defaultLampNames[154], "灯光19");
    EXPECT_EQ(defaultLampNames[189], "CheckOut");
    EXPECT_EQ(defaultLampNames[210], "空");
    for (int empty : {144, 153, 176, 183, 208, 209, 211, 249}) {
        EXPECT_TRUE(defaultLampNames[empty].empty()) << empty;
    }
    EXPECT_EQ(leadingNumber(deviceTypeNames[5]), 5);
    EXPECT_EQ(leadingNumber(deviceTypeNames[0]), 0);
    EXPECT_EQ(leadingNumber("10号"), 10);
    EXPECT_EQ(leadingNumber("-3x"), -3);
    EXPECT_EQ(leadingNumber("99999999999999"), 2147483647);
    EXPECT_EQ(defaultOrdinaryLightKeys().size(), 63u);
    EXPECT_EQ(defaultDimmerAndOtherKeys().back(), 12);
    EXPECT_EQ(systemTypeName(3), "3.联网485");
    EXPECT_EQ(systemTypeName(9), " ");
}

TEST(Model, ResetClearsTablesButKeepsTextsCountsAndOptions) {
    RoomTypeConfig room = makeStartupRoomType();
    room.hotelName = "海景酒店";
    room.switchPanelCount = 3;
    room.cardOutDelay = 45;
    setInput(room, 2, 1, 20);
    room.devices[2].slot(3).modeCode = 52;
    room.sceneTable[6][1] = 9;
    room.selected[5] = 0;
    room.lampNames[20] = "床灯";
    reset(room);
    EXPECT_EQ(room.hotelName, "海景酒店");
    EXPECT_EQ(room.switchPanelCount, 3);
    EXPECT_EQ(room.cardOutDelay, 45);
    EXPECT_EQ(room.lampNames[20], "床灯");
    EXPECT_EQ(room.devices[2], DeviceRecord{});
    EXPECT_EQ(room.inputLamp[8], 0);
    EXPECT_EQ(room.lampInUse[20], 0);
    EXPECT_EQ(room.sceneTable[6][1], 0);
    EXPECT_EQ(room.selected[5], 1);
    EXPECT_EQ(room.curtainRunTimes[0], 0x0A0A0A0A);
}

TEST(Model, StartupValues) {
    const RoomTypeConfig room = makeStartupRoomType();
    EXPECT_EQ(room.hotelName, "XX酒店");
    EXPECT_EQ(room.roomTypeName, "标准房");
    EXPECT_EQ(room.roomTypeNumberText, "1");
    EXPECT_EQ(room.systemTypeText, "1");
    EXPECT_EQ(room.fileVersion, 162);
    EXPECT_EQ(room.cardOutDelay, 10);
    EXPECT_EQ(room.functionOptionsA, 0x01);
    EXPECT_EQ(room.ordinaryLightKeys[63], kListEnd);
    EXPECT_EQ(room.otherKeys[0], kListEnd);
    EXPECT_EQ(listItems(room.curtainKeys).size(), 26u);
}

TEST(Model, OutputMasksFollowTheSceneSlots) {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 2;
    setOutput(room, 1, 0, 20);
    setOutput(room, 1, 1, 21);
    // output 3 absent: its state must be ignored
    ModeSlot& sleep = room.devices[1].slot(1);  // code 50: bit 0 of pair 0/1
    sleep = {50, {10, 0, 10, 238, 238, 238}};
    ModeSlot& m10 = room.devices[1].slot(10);  // code 169: bit 1 of pair 2/3
    m10 = {169, {238, 5, 238, 238, 238, 238}};
    ModeSlot& m24 = room.devices[1].slot(24);  // code 191: bit 7 of pair 4/5
    m24 = {191, {0, 238, 238, 238, 238, 238}};
    room.devices[1].slot(5) = {238, {10, 10, 10, 10, 10, 10}};  // unused slot
    room.devices[1].slot(6) = {0, {10, 10, 10, 10, 10, 10}};    // unused slot
    refreshMasks(room);
    const DeviceMasks& m = room.outputMasks[1];
    EXPECT_EQ(m[0], (OutputMask{0x01, 0x01, 0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(m[1], (OutputMask{0x00, 0x01, 0x02, 0x02, 0x00, 0x00}));
    EXPECT_EQ(m[2], (OutputMask{}));
    EXPECT_EQ(room.outputMasks[2], DeviceMasks{});
}

TEST(Model, MasksOnlyForDevicesInCount) {
    RoomTypeConfig room = makeStartupRoomType();
    setOutput(room, 3, 0, 20);
    room.devices[3].slot(1) = {50, {10, 238, 238, 238, 238, 238}};
    room.deviceCount = 2;
    refreshMasks(room);
    EXPECT_EQ(room.outputMasks[3], DeviceMasks{});
    room.deviceCount = 3;
    refreshMasks(room);
    EXPECT_EQ(room.outputMasks[3][0][0], 0x01);
}

TEST(Model, TitleAndChannelEntryTexts) {
    RoomTypeConfig room = makeStartupRoomType();
    room.systemType = 3;
    EXPECT_EQ(titleText(room), "   酒店名称:XX酒店   房型:标准房   房型编号:1   主机型号:3.联网485");
    EXPECT_EQ(channelEntryText(room, 6), "006.请稍侯");
    EXPECT_EQ(channelEntryText(room, 168), "168.会客模式");
    EXPECT_EQ(channelEntryLamp("078.取电开关"), 78);
}

TEST(Model, ChannelMirrorsStayInsideTheirTables) {
    RoomTypeConfig room = makeStartupRoomType();
    setInput(room, 36, 5, 30);  // device 36 has a record but no mirror entry
    EXPECT_EQ(room.devices[36].inputs[5], 30);
    setOutput(room, 33, 5, 31);
    EXPECT_EQ(room.outputLamp[198], 31);
}

TEST(Gbk, RoundTripAndBadBytes) {
    using namespace room::format;
    const std::string text = "注意：请勿直接修改本文件内容，以免造成错乱！";
    const std::string gbk = utf8ToGbk(text);
    EXPECT_EQ(gbk.substr(0, 4), "\xD7\xA2\xD2\xE2");  // 注意
    EXPECT_EQ(gbkToUtf8(gbk), text);
    EXPECT_EQ(gbkToUtf8("A\xFF" "B"), "A\xEF\xBF\xBD" "B");
    EXPECT_EQ(gbkToUtf8("\xD7"), "\xEF\xBF\xBD");  // cut off
    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x98\x80z"), "a?z");   // emoji has no GBK form
    EXPECT_EQ(utf8ToGbk("x\xC3"), "x?");
}

// Corners where code page 936 converters differ; the iconv and Win32 branches must read alike.
TEST(Gbk, CodePageCornersReadTheSameOnEverySystem) {
    using namespace room::format;
    EXPECT_EQ(gbkToUtf8("\x80"), "\xE2\x82\xAC");  // the euro sign, one byte
    EXPECT_EQ(utf8ToGbk("\xE2\x82\xAC"), "\x80");
    // The user-defined areas: Windows maps them to private use, iconv refuses them.
    EXPECT_EQ(gbkToUtf8("\xAA\xA1"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_FALSE(isValidGbk("\xAA\xA1"));
    EXPECT_EQ(utf8ToGbk("\xEE\x80\x80"), "?");  // U+E000
    // A lead byte whose second byte cannot follow it: one replacement, the second byte stays.
    EXPECT_EQ(gbkToUtf8("\x81\x30"), "\xEF\xBF\xBD" "0");
    // Broken UTF-8: one '?' per broken sequence, however long.
    EXPECT_EQ(utf8ToGbk("\xC0\x80|\x80|\xE4\xB8" "A|\xED\xA0\x80"), "?|?|?A|?");
}
