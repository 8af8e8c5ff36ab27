#include <gtest/gtest.h>

#include "core/demo/answer_scanner.h"
#include "core/demo/demo_session.h"
#include "core/model/room_type.h"

namespace room::demo {
namespace {

using model::RoomTypeConfig;

constexpr int kOn = kRelayOn;
constexpr int kOff = kRelayOff;

// Device 1 keys: 廊灯(10), card(78), scene 睡眠模式(50), 窗帘开(80), 窗帘关(81), scene 51.
// Device 1 outputs: 10, 10, 80, 81, 78, 93.  Device 2 outputs: 11, 12 (relays 7, 8).
RoomTypeConfig makeRoom() {
    RoomTypeConfig room = model::makeStartupRoomType();
    room.deviceCount = 2;
    room.inputCount = 144;
    const int keys[] = {10, 78, 50, 80, 81, 51};
    const int outs[] = {10, 10, 80, 81, 78, 93};
    for (int j = 0; j < 6; ++j) {
        model::setInput(room, 1, j, keys[j]);
        model::setOutput(room, 1, j, outs[j]);
    }
    model::setOutput(room, 2, 0, 11);
    model::setOutput(room, 2, 1, 12);
    return room;
}

struct Demo {
    RoomTypeConfig room = makeRoom();
    DemoSession session{room};
    Demo() { session.restart(); }
    std::vector<int> relays(int first, int last) const {
        std::vector<int> states;
        for (int r = first; r <= last; ++r) states.push_back(session.relayState(r));
        return states;
    }
};

TEST(DemoSession, RestartTurnsEveryRelayOffWithTheCardIn) {
    Demo demo;
    EXPECT_TRUE(demo.session.cardIn());
    EXPECT_EQ(demo.room.demoCardState, '8');
    EXPECT_EQ(demo.relays(1, 8), std::vector<int>(8, kOff));
    EXPECT_EQ(demo.session.relayState(144), kOff);
}

TEST(DemoSession, CaptionsAndVisibility) {
    Demo demo;
    EXPECT_EQ(demo.session.keyCaption(1), "1:廊灯");
    EXPECT_EQ(demo.session.keyCaption(2), "2:取电开关");
    EXPECT_EQ(demo.session.relayCaption(3), "K3:窗帘开");
    EXPECT_EQ(demo.session.relayCaption(5), "K5:受控插座");
    EXPECT_EQ(demo.session.relayCaption(7), "K1:卫浴灯");
    EXPECT_TRUE(demo.session.keyVisible(6));
    EXPECT_FALSE(demo.session.keyVisible(7));   // device 2 has no keys
    EXPECT_TRUE(demo.session.relayVisible(6));  // doorbell on mains
    EXPECT_FALSE(demo.session.relayVisible(9));
    demo.room.lowVoltageDoorbell = true;
    EXPECT_FALSE(demo.session.relayVisible(6));
    EXPECT_TRUE(demo.session.relayVisible(5));
}

TEST(DemoSession, KeysAreEnabledUpToTheInputCount) {
    Demo demo;
    demo.room.inputCount = 3;
    EXPECT_TRUE(demo.session.keyEnabled(3));
    EXPECT_FALSE(demo.session.keyEnabled(4));
}

TEST(DemoSession, TwoRelaysOfOneLampToggleTogether) {
    Demo demo;
    const KeyPress first = demo.session.pressKey(1);
    EXPECT_EQ(first.lamp, 10);
    EXPECT_EQ(first.result, kOn);
    EXPECT_EQ(demo.relays(1, 3), (std::vector<int>{kOn, kOn, kOff}));
    const KeyPress second = demo.session.pressKey(1);
    EXPECT_EQ(second.result, kOff);
    EXPECT_EQ(demo.relays(1, 3), (std::vector<int>{kOff, kOff, kOff}));
}

TEST(DemoSession, CurtainInterlockSwitchesThePartnerOff) {
    struct Case {
        int pressFirst, pressSecond;
        std::vector<int> expected;  // relays 3 (80) and 4 (81)
    };
    const Case cases[] = {
        {4, 5, {kOff, kOn}},   // open, then close: open goes off
        {5, 4, {kOn, kOff}},   // close, then open: close goes off
        {4, 4, {kOff, kOff}},  // open twice: switched off, partner untouched
    };
    for (const Case& c : cases) {
        Demo demo;
        demo.session.pressKey(c.pressFirst);
        demo.session.pressKey(c.pressSecond);
        EXPECT_EQ(demo.relays(3, 4), c.expected) << c.pressFirst << "," << c.pressSecond;
    }
}

TEST(DemoSession, OrdinaryKeysReachRelays1To89Only) {
    Demo demo;
    demo.room.outputLamp[89] = 10;
    demo.room.outputLamp[90] = 10;
    demo.session.pressKey(1);
    EXPECT_EQ(demo.session.relayState(89), kOn);
    EXPECT_EQ(demo.session.relayState(90), kOff);
}

TEST(DemoSession, KeyWithoutRelayReportsOn) {
    Demo demo;
    demo.room.outputLamp[1] = demo.room.outputLamp[2] = 0;
    const KeyPress press = demo.session.pressKey(1);
    EXPECT_EQ(press.result, kOn);
    EXPECT_EQ(demo.relays(1, 8), std::vector<int>(8, kOff));
}

TEST(DemoSession, CardOutLocksOrdinaryKeys) {
    Demo demo;
    const KeyPress out = demo.session.pressKey(2);
    EXPECT_EQ(out.lamp, 78);
    EXPECT_FALSE(demo.session.cardIn());
    EXPECT_EQ(demo.room.demoCardState, '9');
    EXPECT_TRUE(demo.session.keyEnabled(2));
    for (int key : {1, 3, 4, 5, 6}) EXPECT_FALSE(demo.session.keyEnabled(key)) << key;
    demo.session.pressKey(1);
    demo.session.pressKey(3);
    EXPECT_EQ(demo.relays(1, 8), std::vector<int>(8, kOff));
    demo.session.pressKey(2);
    EXPECT_TRUE(demo.session.cardIn());
    for (int key : {1, 2, 3, 4, 5, 6}) EXPECT_TRUE(demo.session.keyEnabled(key)) << key;
    demo.session.pressKey(1);
    EXPECT_EQ(demo.relays(1, 2), (std::vector<int>{kOn, kOn}));
}

TEST(DemoSession, SceneKeyWithoutSlotChangesNothingAndReportsOn) {
    Demo demo;
    demo.session.pressKey(1);
    const auto before = demo.relays(1, 144);
    const KeyPress press = demo.session.pressKey(3);
    EXPECT_EQ(press.lamp, 50);
    EXPECT_EQ(press.result, kOn);
    EXPECT_EQ(demo.relays(1, 144), before);
}

TEST(DemoSession, SceneKeySetsTheStatesOfItsSlots) {
    Demo demo;
    model::ModeSlot& slot = demo.room.devices[1].slot(1);
    slot.modeCode = 50;
    slot.outputState = {2, 0, 1, 238, 10, 238};
    model::ModeSlot& other = demo.room.devices[2].slot(1);
    other.modeCode = 50;
    other.outputState = {3, 238, 238, 238, 238, 238};
    demo.session.pressKey(5);  // relay 4 (81) on, so that state 238 visibly keeps it
    demo.session.pressKey(3);
    EXPECT_EQ(demo.relays(1, 8), (std::vector<int>{kOn, kOff, kOff, kOn, kOn, kOff, kOn, kOff}));
}

TEST(DemoSession, CardKeyAppliesTheRecordsOfModes7And8) {
    Demo demo;
    model::SceneRecord& cardOut = demo.room.sceneTable[7];  // mode 8
    cardOut[1] = 8;                                         // used length: pairs at 4..5 and 6..7
    cardOut[4] = 10;
    cardOut[5] = 2;
    cardOut[6] = 11;
    cardOut[7] = 1;
    cardOut[8] = 12;
    cardOut[9] = 5;                                        // beyond the used length
    model::SceneRecord& cardIn = demo.room.sceneTable[6];  // mode 7
    cardIn[1] = 6;
    cardIn[4] = 10;
    cardIn[5] = 0;
    demo.room.demoOutputState[7] = kOn;
    demo.room.outputLamp[120] = 10;  // the records reach the whole table up to 144

    const KeyPress out = demo.session.pressKey(2);
    EXPECT_EQ(out.result, kOff);
    EXPECT_EQ(demo.relays(1, 2), (std::vector<int>{kOn, kOn}));
    EXPECT_EQ(demo.session.relayState(7), kOff);
    EXPECT_EQ(demo.session.relayState(8), kOff);
    EXPECT_EQ(demo.session.relayState(120), kOn);

    const KeyPress in = demo.session.pressKey(2);
    EXPECT_EQ(in.result, kOn);
    EXPECT_EQ(demo.relays(1, 2), (std::vector<int>{kOff, kOff}));
    EXPECT_EQ(demo.session.relayState(120), kOff);
}

TEST(DemoSession, RelayButtonsCycleOnlyFor1To18InSceneModes50To59) {
    Demo demo;
    EXPECT_FALSE(demo.session.pressRelay(1, 0));
    EXPECT_FALSE(demo.session.pressRelay(1, 60));
    EXPECT_FALSE(demo.session.pressRelay(19, 55));
    EXPECT_EQ(demo.session.relayState(19), kOff);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(demo.session.pressRelay(18, i == 0 ? 50 : 59));
        seen.push_back(demo.session.relayState(18));
    }
    EXPECT_EQ(seen, (std::vector<int>{kRelayThird, kOn, kOff}));
}

TEST(AnswerScanner, AcceptsGoodAnswersAndDropsBadOnes) {
    // F0 DD 0A 01 01 01 00 00 00 00 01 01 00 00 00: sum 0x1DC.
    const std::vector<std::uint8_t> good = {0xF0, 0xDD, 0x0A, 0x01, 0x01, 0x01, 0,    0,   0,
                                            0,    0x01, 0x01, 0,    0,    0,    0xDC, 0x0F};
    auto with = [&](int index, std::uint8_t value) {
        auto frame = good;
        frame[index] = value;
        return frame;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int accepted;
    };
    std::vector<std::uint8_t> noisy = {0x00, 0xF0, 0x13};
    noisy.insert(noisy.end(), good.begin(), good.end());
    std::vector<std::uint8_t> twice = good;
    twice.insert(twice.end(), good.begin(), good.end());
    const Case cases[] = {
        {"checksum", good, 1},
        {"0x88 in place of the checksum", with(15, 0x88), 1},
        {"wrong checksum", with(15, 0xDD), 0},
        {"wrong end byte", with(16, 0x0E), 0},
        {"stray start byte before the answer", noisy, 1},
        {"two answers", twice, 2},
    };
    for (const Case& c : cases) {
        AnswerScanner scanner;
        EXPECT_EQ(scanner.push(c.bytes), c.accepted) << c.name;
    }
}

TEST(AnswerScanner, AnswerSplitOverReceiveEvents) {
    const std::vector<std::uint8_t> good = {0xF0, 0xDD, 0x0A, 0x01, 0x01, 0x01, 0,    0,   0,
                                            0,    0x01, 0x01, 0,    0,    0,    0xDC, 0x0F};
    AnswerScanner scanner;
    int accepted = 0;
    for (std::uint8_t byte : good) accepted += scanner.push({byte});
    EXPECT_EQ(accepted, 1);
}

}  // namespace
}  // namespace room::demo
