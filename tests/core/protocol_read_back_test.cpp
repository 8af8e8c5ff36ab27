#include <gtest/gtest.h>

#include "core/protocol/checks.h"
#include "wire_builders.h"

using namespace room::model;
using namespace room::protocol;
using namespace room::testing;

namespace {

// Answers to a read carry the read operation.
Answer readAnswer(int type, int device, int param, int sub, const Ints& payload) {
    return longAnswer(type, device, param, sub, payload, kOpRead);
}

ModeSlot slotOf(int code, std::array<int, 6> states) {
    return ModeSlot{code, states};
}

constexpr int E = 238;

// A read of the device the answer says it is (the console only reads the device it asked).
CheckOutcome readBack(const Answer& answer, RoomTypeConfig& room) {
    return readBackAnswer(answer, room, answerDevice(answer));
}

// Masks of a panel answer: row 1 says mode 1 on and mode 2 off; row 3 mode 16 on; row 6 mode 17
// off.
const Ints kMasks = concat({{0x01, 0x03, 0, 0, 0, 0},
                            Ints(6, 0),
                            {0, 0, 0x80, 0x80, 0, 0},
                            Ints(12, 0),
                            {0, 0, 0, 0, 0x00, 0x01}});

}  // namespace

TEST(ReadBack, PanelAnswerDecodesMasksIntoSlots) {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 2;
    room.devices[4].slot(5) = slotOf(54, {10, 10, 10, 10, 10, 10});  // gone after the read
    const Answer answer = readAnswer(
        3, 4, 0x44, 0,
        concat({{20, 21, 0, 0, 0, 0}, {20, 21, 22, 0, 0, 23}, {1, 2, 3, 4, 5, 6}, kMasks}));
    const CheckOutcome out = readBack(answer, room);
    EXPECT_EQ(out.device, 4);
    EXPECT_TRUE(out.wroteRoom);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.status, std::vector<std::string>{"第04个面板读取完成  "});
    EXPECT_TRUE(out.messages.empty());
    EXPECT_EQ(room.modified, 1);
    EXPECT_EQ(room.deviceCount, 4);
    EXPECT_EQ(room.functionOptionsA, 0x44);
    const DeviceRecord& d = room.devices[4];
    EXPECT_EQ(d.type, 3);
    EXPECT_EQ(d.inUse, 1);
    EXPECT_EQ(room.inputLamp[19], 20);
    EXPECT_EQ(room.inputLamp[20], 21);
    EXPECT_EQ(room.outputLamp[21], 22);
    EXPECT_EQ(room.modeFlagBits, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(room.outputMasks[4][2], (OutputMask{0, 0, 0x80, 0x80, 0, 0}));
    EXPECT_EQ(d.slot(1), slotOf(50, {10, E, E, E, E, E}));
    EXPECT_EQ(d.slot(2), slotOf(51, {0, E, E, E, E, E}));
    EXPECT_EQ(d.slot(16), slotOf(175, {E, E, 10, E, E, E}));
    EXPECT_EQ(d.slot(17), slotOf(184, {E, E, E, E, E, 0}));
    EXPECT_EQ(d.slot(5), slotOf(E, {E, E, E, E, E, E}));
    for (int lamp : {20, 21, 22, 50, 51, 175, 184}) EXPECT_EQ(room.lampInUse[lamp], 1) << lamp;
    for (int lamp : {52, 54, 168}) EXPECT_EQ(room.lampInUse[lamp], 0) << lamp;
}

TEST(ReadBack, CurtainLikePanelKeepsIndicatorBytesAndCountStaysWhenLarger) {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 9;
    room.modeFlagBits = {7, 7, 7, 7, 7, 7};
    const Answer answer = readAnswer(
        4, 2, 1, 0, concat({Ints(6, 0), {80, 81, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, Ints(36, 0)}));
    readBack(answer, room);
    EXPECT_EQ(room.modeFlagBits, (std::array<std::uint8_t, 6>{7, 7, 7, 7, 7, 7}));
    EXPECT_EQ(room.deviceCount, 9);
    EXPECT_EQ(room.devices[2].type, 4);
}

TEST(ReadBack, ThermostatDecodesSlotsByTheirCode) {
    RoomTypeConfig room = makeStartupRoomType();
    room.devices[6].slot(3) = slotOf(52, {10, 8, 1, 7, E, E});  // not on the device any more
    const Answer answer =
        readAnswer(2, 6, 0x99, 2, {50,  2, 0, 20, 0, 0, 0,    // off, unchanged, 4, unchanged
                                   169, 1, 3, 15, 2, 0, 0,    // on, ventilation, unchanged, medium
                                   184, 0, 2, 31, 4, 0, 0});  // unchanged, cooling, 15, auto
    const CheckOutcome out = readBack(answer, room);
    EXPECT_EQ(out.status, std::vector<std::string>{"第03个温控读取完成  "});
    EXPECT_EQ(out.result, 1);
    const DeviceRecord& d = room.devices[6];
    EXPECT_EQ(d.type, 2);
    EXPECT_EQ(room.functionOptionsA, 0x01);  // thermostats do not carry the parameter byte
    EXPECT_EQ(d.outputs, (std::array<int, 6>{160, 161, 162, 163, 0, 0}));
    EXPECT_EQ(room.outputLamp[31], 160);
    EXPECT_EQ(room.outputLamp[34], 163);
    EXPECT_EQ(room.lampInUse[160], 1);
    EXPECT_EQ(room.lampInUse[161], 0);
    EXPECT_EQ(d.slot(10), slotOf(169, {10, 10, E, 8, 0, 0}));
    EXPECT_EQ(d.slot(1), slotOf(50, {0, E, 4, E, 0, 0}));
    EXPECT_EQ(d.slot(17), slotOf(184, {E, 9, 15, 10, 0, 0}));
    EXPECT_EQ(d.slot(3), slotOf(E, {E, E, E, E, E, E}));
    EXPECT_EQ(room.lampInUse[169], 1);
    EXPECT_EQ(room.deviceCount, 6);
}

TEST(ReadBack, DimmerAndTypeSixSlotsAsReceived) {
    for (const int type : {5, 6}) {
        RoomTypeConfig room = makeStartupRoomType();
        const Answer answer = readAnswer(type, 1, 3, 1,
                                         concat({{70, 0, 0, 0, 0, 0},
                                                 {70, 71, 0, 0, 0, 0},
                                                 {9, 8, 7, 6, 5, 4},
                                                 {186, 3, 0, 238, 1, 2, 15}}));
        const CheckOutcome out = readBack(answer, room);
        EXPECT_EQ(out.status, std::vector<std::string>{"第01个面板读取完成  "}) << type;
        EXPECT_EQ(room.devices[1].type, type);
        EXPECT_EQ(room.devices[1].slot(19), slotOf(186, {3, 0, 238, 1, 2, 15})) << type;
        EXPECT_EQ(room.modeFlagBits, (std::array<std::uint8_t, 6>{9, 8, 7, 6, 5, 4})) << type;
        EXPECT_EQ(room.functionOptionsA, 3) << type;
        EXPECT_EQ(room.lampInUse[186], 1) << type;
    }
}

TEST(ReadBack, ShortAnswersBlockByBlock) {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 1;
    room.devices[3].slot(24) = slotOf(191, {10, 10, 10, 10, 10, 10});
    std::vector<CheckOutcome> outs;
    outs.push_back(readBack(shortAnswer(3, 1, {10, 11, 0, 0, 0, 0, 10, 11, 12, 13}), room));
    outs.push_back(readBack(shortAnswer(3, 5, {1, 3, 0, 0, 0, 0}), room));
    outs.push_back(readBack(shortAnswer(3, 11, {1, 3, 0, 0, 0, 0}), room));
    outs.push_back(readBack(shortAnswer(3, 12, {}), room));
    outs.push_back(readBack(shortAnswer(3, 13, {}), room));
    outs.push_back(readBack(shortAnswer(3, 14, {0, 0, 0x01, 0x01, 0, 0}), room));
    for (std::size_t i = 0; i + 1 < outs.size(); ++i) {
        EXPECT_TRUE(outs[i].wroteRoom);
        EXPECT_TRUE(outs[i].status.empty());
        EXPECT_FALSE(outs[i].result);
    }
    EXPECT_EQ(outs.back().status, std::vector<std::string>{"第03个面板读取完成  "});
    EXPECT_EQ(outs.back().result, 1);
    const DeviceRecord& d = room.devices[3];
    EXPECT_EQ(room.deviceCount, 3);
    EXPECT_EQ(d.inputs, (std::array<int, 6>{10, 11, 0, 0, 0, 0}));
    EXPECT_EQ(d.outputs, (std::array<int, 6>{10, 11, 12, 13, 0, 0}));
    EXPECT_EQ(room.outputLamp[16], 13);
    EXPECT_EQ(room.modeFlagBits, (std::array<std::uint8_t, 6>{1, 3, 0, 0, 0, 0}));
    EXPECT_EQ(d.slot(1), slotOf(50, {10, E, E, E, E, E}));
    EXPECT_EQ(d.slot(2), slotOf(51, {0, E, E, E, E, E}));
    EXPECT_EQ(d.slot(9), slotOf(168, {E, E, E, 10, E, E}));
    EXPECT_EQ(d.slot(24), slotOf(E, {E, E, E, E, E, E}));  // block 1 emptied every slot
}

TEST(ReadBack, AnswersNeverWriteOutsideTheModel) {
    const RoomTypeConfig before = makeStartupRoomType();
    const Ints panel = concat({Ints(6, 0xFA), Ints(6, 0xFF), Ints(6, 0), Ints(36, 0xFF)});
    struct Case {
        const char* name;
        Answer answer;
    };
    Answer cut = readAnswer(1, 5, 1, 0, panel);
    cut.bytes.erase(cut.bytes.begin() + 40, cut.bytes.end() - 3);
    const Case ignored[] = {
        {"device 0", readAnswer(1, 0, 1, 0, panel)},
        {"device 37", readAnswer(1, 37, 1, 0, panel)},
        {"device 255", readAnswer(2, 255, 1, 0, {})},
        {"type 7", readAnswer(7, 3, 1, 0, panel)},
        {"panel without masks", cut},
        {"short device 40", shortAnswer(40, 1, Ints(10, 1))},
        {"short block 9", shortAnswer(3, 9, Ints(10, 1))},
    };
    for (const Case& c : ignored) {
        RoomTypeConfig room = before;
        const CheckOutcome out = readBack(c.answer, room);
        EXPECT_FALSE(out.wroteRoom) << c.name;
        EXPECT_EQ(room.modified, 0) << c.name;
        EXPECT_EQ(room.devices, before.devices) << c.name;
    }
    // Numbers no lamp table names are refused: nothing is written, the status says where.
    RoomTypeConfig refused = before;
    const CheckOutcome no = readBack(readAnswer(1, 5, 1, 0, panel), refused);
    EXPECT_TRUE(no.refused);
    EXPECT_EQ(no.status, std::vector<std::string>{"第05个面板数据无效 FA 0B "});
    EXPECT_EQ(refused.devices, before.devices);
    // Device 36 has no room in the channel mirrors.
    RoomTypeConfig room = before;
    const Ints highest =
        concat({Ints(6, 207), Ints(6, 207), Ints(6, 0), Ints(6, 0), Ints(30, 0xFF)});
    const CheckOutcome out = readBack(readAnswer(1, 36, 1, 0, highest), room);
    EXPECT_TRUE(out.wroteRoom);
    EXPECT_EQ(room.devices[36].inputs[0], 207);
    EXPECT_EQ(room.inputLamp, before.inputLamp);
    EXPECT_EQ(room.outputLamp, before.outputLamp);
    EXPECT_EQ(room.deviceCount, 36);
}
