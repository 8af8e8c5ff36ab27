#include <gtest/gtest.h>

#include "core/protocol/frames.h"
#include "wire_builders.h"

using namespace room::model;
using namespace room::protocol;
using namespace room::testing;

namespace {

RoomTypeConfig roomWithPanel() {
    RoomTypeConfig room = makeStartupRoomType();
    room.systemType = 1;
    room.deviceCount = 2;
    room.functionOptionsA = 0x21;
    room.modeFlagBits = {0x01, 0x03, 0, 0, 0x80, 0x80};
    DeviceRecord& d = room.devices[2];
    d.type = 1;
    d.inputs = {10, 11, 50, 0, 0, 0};
    d.outputs = {10, 11, 2, 0, 0, 0};
    d.slot(1).modeCode = 50;                                // mode 1: out1 on, out2 off
    d.slot(1).outputState = {10, 0, 238, 238, 238, 238};
    d.slot(9).modeCode = 168;                               // mode 9: out2 on
    d.slot(9).outputState = {238, 5, 238, 238, 238, 238};
    refreshMasks(room);
    return room;
}

}  // namespace

TEST(Frames, FixedFramesByteForByte) {
    struct Case {
        const char* name;
        Bytes actual;
        Bytes expected;
    };
    const Case cases[] = {
        {"read device 3 type 1", commandFrame(1, 3, kOpRead),
         hex({0xF1, 0xF4, 0x01, 0x03, 0x02, 0x09, 0xF4, 0xF3, 0xF4})},
        {"clear all", clearAllFrame(), hex({0xF1, 0xF4, 0x00, 0x00, 0x04, 0x09, 0xF2, 0xF3, 0xF4})},
        {"leave network", leaveNetworkFrame(), shortOf({0xCB, 0xCC, 0xCD})},
        {"check devices", checkDevicesFrame(), shortOf({0xC8, 0xC9, 0xCA})},
        {"exit send mode", exitSendModeFrame(), shortOf({0xBB, 0, 2, 0, 0, 0, 0, 0, 0, 1, 1})},
        {"port editor", portEditorCloseFrame(),
         hex({0xF0, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xAB, 0x0F})},
        {"mirror lamp 20 on", mirrorFrame(20, 1),
         hex({0xF0, 0xDD, 20, 1, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0,
              (0xF0 + 0xDD + 20 + 1 + 1 + 1 + 1 + 1) & 0xFF, 0x0F})},
        {"mirror lamp 300 keeps the low byte", mirrorFrame(300, 2),
         shortOf({0xDD, 300 & 0xFF, 2, 1, 1, 0, 0, 0, 0, 1, 1})},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Frames, LongFramesWithoutPayloadFollowTheRoom) {
    RoomTypeConfig room = roomWithPanel();
    room.devices[3].type = 1;
    EXPECT_EQ(longFrame(room, 3, kOpRead),
              hex({0xF1, 0xF4, 0x01, 0x03, 0x02, 0x09, 0xF4, 0xF3, 0xF4}));
    // Every operation but 1 and 5 is the short form, also with the any-key flag.
    for (std::uint8_t op : {2, 3, 4, 6, 0x82, 0x86}) {
        const Bytes frame = longFrame(room, 3, op);
        ASSERT_EQ(frame.size(), 9u) << int(op);
        EXPECT_EQ(frame[4], op);
        EXPECT_EQ(frame[5], 9);
    }
    EXPECT_TRUE(longFrame(room, 0, kOpRead).empty());
    EXPECT_TRUE(longFrame(room, 37, kOpSendAll).empty());
}

TEST(Frames, SwitchPanelFrameBuiltByHand) {
    const RoomTypeConfig room = roomWithPanel();
    // Masks by hand: mode 1 is bit 0 of pair 0/1, mode 9 bit 0 of pair 2/3.
    // out1 on in mode 1 -> row0 = 01 01 00 00 00 00; out2 off in mode 1, on (5) in mode 9
    // -> row1 = 00 01 01 01 00 00; out3 (lamp 2) not involved -> zeros; outs 4..6 absent.
    Bytes expected = hex({0xF1, 0xF4, 1, 2, 0x85, 68, 0x21, 0, 0, 0, 0,
                          10, 11, 50, 0, 0, 0,                  // inputs
                          10, 11, 2, 0, 0, 0,                   // outputs
                          0x01, 0x03, 0, 0, 0x80, 0x80,         // indicator bytes
                          1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0});  // mask rows 1, 2
    expected.resize(65, 0);                                     // rows 3..6
    unsigned sum = 0;
    for (std::uint8_t b : expected) sum += b;
    expected.push_back(static_cast<std::uint8_t>(sum));
    expected.push_back(0xF3);
    expected.push_back(0xF4);
    const Bytes frame = longFrame(room, 2, kOpSendAll | kAnyKeyFlag);
    EXPECT_EQ(frame, expected);
    EXPECT_EQ(frame.size(), 68u);
    EXPECT_EQ(frame[5], 68);
    // The page's any-key send is 0x81 and carries the same payload as 1.
    Bytes page = longFrame(room, 2, kOpSendPage | kAnyKeyFlag);
    EXPECT_EQ(page[4], 0x81);
    Bytes plain = longFrame(room, 2, kOpSendPage);
    ASSERT_EQ(page.size(), plain.size());
    EXPECT_TRUE(std::equal(page.begin() + 5, page.end() - 3, plain.begin() + 5));
}

TEST(Frames, ThermostatFrames) {
    RoomTypeConfig room = makeStartupRoomType();
    room.devices[4].type = 2;
    room.devices[4].outputs = {100, 101, 102, 103, 0, 0};
    Bytes empty = longFrame(room, 4, kOpSendAll);
    ASSERT_EQ(empty.size(), 14u);
    EXPECT_EQ(empty[5], 14);
    EXPECT_EQ(empty[10], 1);  // second thermostat channel
    EXPECT_EQ(empty[12], 0xF3);
    EXPECT_EQ(empty[13], 0xF4);

    // Slot 17 (code 184): on, cooling, 26 degrees, auto fan; slot 2 (51): off, unchanged rest.
    room.devices[4].slot(17) = ModeSlot{184, {10, 9, 10, 10, 238, 238}};
    room.devices[4].slot(2) = ModeSlot{51, {0, 238, 238, 238, 238, 238}};
    room.devices[4].slot(5) = ModeSlot{238, {10, 8, 1, 7, 0, 0}};  // empty slot, not sent
    room.devices[4].slot(6) = ModeSlot{55, {5, 7, 0, 11, 0, 0}};   // odd values send 0
    const Bytes frame = longFrame(room, 4, kOpSendPage);
    ASSERT_EQ(frame.size(), 14u + 21u);
    EXPECT_EQ(frame[5], 35);
    const Bytes slots(frame.begin() + 11, frame.begin() + 32);
    EXPECT_EQ(slots, hex({51, 2, 0, 15, 0, 0, 0,      //
                          55, 0, 0, 16, 0, 0, 0,      //
                          184, 1, 2, 26, 4, 0, 0}));
}

TEST(Frames, SubByteOfEachType) {
    RoomTypeConfig room = makeStartupRoomType();
    const std::uint8_t types[] = {5, 6, 1, 5, 6, 6, 2, 2, 2, 2};
    for (int v = 1; v <= 10; ++v) room.devices[v].type = types[v - 1];
    room.devices[7].outputs[0] = 63;
    room.devices[8].outputs[0] = 161;
    room.devices[9].outputs[0] = 167;
    room.devices[10].outputs[0] = 20;  // not an air conditioner
    const int expected[] = {1, 1, 0, 2, 2, 3, 0, 2, 3, 0};
    for (int v = 1; v <= 10; ++v) EXPECT_EQ(subByte(room, v), expected[v - 1]) << v;
}

TEST(Frames, DimmerPayloadCarriesSlotsRaw) {
    RoomTypeConfig room = makeStartupRoomType();
    room.devices[1].type = 6;
    room.devices[3].type = 6;
    room.devices[3].inputs = {70, 0, 0, 0, 0, 0};
    room.devices[3].outputs = {70, 71, 0, 0, 0, 0};
    room.modeFlagBits = {1, 2, 3, 4, 5, 6};
    room.devices[3].slot(10) = ModeSlot{169, {3, 238, 238, 238, 238, 300}};
    const Bytes frame = longFrame(room, 3, kOpSendAll);
    ASSERT_EQ(frame.size(), 11u + 18u + 7u + 3u);
    EXPECT_EQ(frame[5], 39);
    EXPECT_EQ(frame[10], 2);
    const Bytes data(frame.begin() + 11, frame.end() - 3);
    EXPECT_EQ(data, hex({70, 0, 0, 0, 0, 0, 70, 71, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6,  //
                         169, 3, 238, 238, 238, 238, 300 & 0xFF}));
}

TEST(Frames, ShortConfigurationBlocks) {
    RoomTypeConfig room = roomWithPanel();
    room.systemType = 5;
    room.devices[2].outputs = {10, 11, 2, 12, 13, 14};
    room.outputMasks[2][3] = {9, 8, 7, 6, 5, 4};
    const std::vector<Bytes> frames = deviceFrames(room, 2, kOpSendPage | kAnyKeyFlag);
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0], shortOf({0xEC, 2, 0x81, 1, 10, 11, 50, 0, 0, 0, 10, 11, 2, 12}));
    EXPECT_EQ(frames[1], shortOf({0xEC, 2, 0x81, 5, 0x01, 0x03, 0, 0, 0x80, 0x80}));
    EXPECT_EQ(frames[2], shortOf({0xEC, 2, 0x81, 11, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(frames[3], shortOf({0xEC, 2, 0x81, 12, 0, 1, 1, 1, 0, 0}));
    EXPECT_EQ(frames[4], shortOf({0xEC, 2, 0x81, 13}));
    EXPECT_EQ(frames[5], shortOf({0xEC, 2, 0x81, 14, 9, 8, 7, 6, 5, 4}));

    EXPECT_EQ(deviceFrames(room, 2, kOpSendAll).size(), 6u);
    for (std::uint8_t op : {2, 3, 4, 6, 0x86}) {
        const std::vector<Bytes> one = deviceFrames(room, 2, op);
        ASSERT_EQ(one.size(), 1u);
        EXPECT_EQ(one[0], shortOf({0xEC, 2, op, 1})) << int(op);
    }
}

TEST(Frames, DeviceFramesChooseTheFramingBySystemType) {
    RoomTypeConfig room = roomWithPanel();
    for (int type : {1, 2, 3, 4}) {
        room.systemType = type;
        const auto frames = deviceFrames(room, 2, kOpSendAll);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].size(), 68u);
    }
    for (int type : {0, 5, 6, -1}) {
        room.systemType = type;
        EXPECT_EQ(deviceFrames(room, 2, kOpRead)[0].size(), 17u);
    }
}

TEST(Frames, MirrorAnswerAcceptance) {
    const Bytes good = shortOf({0xDD, 20, 1});
    Bytes magic = good;
    magic[15] = 0x88;
    Bytes badSum = good;
    badSum[15] ^= 1;
    Bytes badEnd = good;
    badEnd[16] = 0x0E;
    Bytes badStart = good;
    badStart[0] = 0xF1;
    EXPECT_TRUE(isAcceptedMirrorAnswer(good));
    EXPECT_TRUE(isAcceptedMirrorAnswer(magic));
    EXPECT_FALSE(isAcceptedMirrorAnswer(badSum));
    EXPECT_FALSE(isAcceptedMirrorAnswer(badEnd));
    EXPECT_FALSE(isAcceptedMirrorAnswer(badStart));
    EXPECT_FALSE(isAcceptedMirrorAnswer(Bytes(good.begin(), good.end() - 1)));
}
