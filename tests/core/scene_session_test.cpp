// The scene editor's rules without a widget: keys shown, texts and wire values, the click cycle,
// loading and storing scenes with the indicator bits, the bulk buttons and the live frames.

#include "core/editing/scene_session.h"

#include <gtest/gtest.h>

#include "core/editing/close_gate.h"

namespace {

using namespace room;
using namespace room::editing;

constexpr int E = 238;

// Device 1: outputs 10 (廊灯), 62 (空调温度), 93 (门铃), 70 (调光), 80 (窗帘开), 2 (字灯);
// device 2: outputs 11, 78, 60, 100, 102, 0.
model::RoomTypeConfig sceneRoom() {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.deviceCount = 2;
    room.switchPanelCount = 2;
    room.outputCount = 144;
    const int outs1[] = {10, 62, 93, 70, 80, 2};
    const int outs2[] = {11, 78, 60, 100, 102, 0};
    for (int o = 0; o < 6; ++o) {
        model::setOutput(room, 1, o, outs1[o]);
        model::setOutput(room, 2, o, outs2[o]);
    }
    room.devices[1].type = room.devices[2].type = 1;
    for (int lamp : {50, 51, 53, 168}) room.lampInUse[lamp] = 1;
    return room;
}

struct Editor {
    model::RoomTypeConfig room = sceneRoom();
    model::RoomTypeConfig edit;
    SceneSession session{room, edit, EditMode::Modify};
};

TEST(SceneSession, KeysShownByTheirLampAndSevenAndEightAlways) {
    Editor e;
    EXPECT_TRUE(e.session.keyShown(1));   // 50
    EXPECT_FALSE(e.session.keyShown(3));  // 52 not in use
    EXPECT_TRUE(e.session.keyShown(4));   // 53
    EXPECT_TRUE(e.session.keyShown(7));
    EXPECT_TRUE(e.session.keyShown(8));
    EXPECT_TRUE(e.session.keyShown(9));  // 168
    EXPECT_FALSE(e.session.keyShown(24));
    EXPECT_EQ(e.session.keyText(2), "明亮模式");
    EXPECT_EQ(sceneCodeOfKey(9), 168);
    EXPECT_EQ(sceneCodeOfKey(17), 184);
    // Outputs: a slot without a lamp is hidden; nothing is enabled before a scene is chosen.
    EXPECT_TRUE(e.session.outputShown(1));
    EXPECT_FALSE(e.session.outputShown(12));
    EXPECT_FALSE(e.session.outputsEnabled());
    EXPECT_EQ(e.session.outputText(8), "受控插座");
    EXPECT_EQ(e.session.groupsShown(), 1);
    e.room.lowVoltageDoorbell = true;
    SceneSession again(e.room, e.edit, EditMode::Modify);
    EXPECT_FALSE(again.outputShown(3));  // a low-voltage doorbell has no output button
}

TEST(SceneSession, TextsAndWireValues) {
    struct Case {
        int lamp;
        int state;
        const char* suffix;
        std::optional<int> wire;
    };
    const Case cases[] = {
        {10, 10, ":开 ", 1}, {10, 0, ":关 ", 2},   {10, 1, ":00", 1},   {10, 4, ":40", 1},
        {10, 9, ":99", 1},   {10, 12, ":C ", {}},  {10, E, "   ", 0},   {62, 10, ":26", 26},
        {62, E, " ", 15},    {62, 20, ":?", 36},   {60, 10, ":开", 1},  {60, 0, ":关", 2},
        {61, 8, ":制热", 1}, {61, 10, ":通风", 3}, {63, 7, ":低速", 1}, {63, 10, ":自动", 4},
        {63, 3, ":?", {}},   {70, 5, ":50", 5},    {70, 0, ":关 ", {}}, {64, 3, ":播3", 3},
        {64, E, "    ", 0},  {100, 10, ":开", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(actionSuffix(c.lamp, c.state), c.suffix) << c.lamp << " " << c.state;
        EXPECT_EQ(wireValue(c.lamp, c.state), c.wire) << c.lamp << " " << c.state;
    }
    // The live frame: F0 56 code wire 1 lamp flag 0.. checksum 0F; 100-103 go as 60-63 + flag.
    const auto frame = liveFrame(50, 102, 10);
    ASSERT_TRUE(frame);
    const std::vector<std::uint8_t> expected{0xF0, 0x56, 50, 26, 1, 62, 1,    0,   0,
                                             0,    0,    0,  0,  0, 0,  0xD2, 0x0F};
    // 0xF0 + 0x56 + 50 + 26 + 1 + 62 + 1 = 0x1D2
    EXPECT_EQ(*frame, expected);
    EXPECT_EQ((*liveFrame(51, 2, 10))[5], 0);  // the indicator lamp goes as 0
}

TEST(SceneSession, ClickCycleWithThePens) {
    Editor e;
    e.session.chooseKey(1);
    EXPECT_TRUE(e.session.outputsEnabled());
    e.session.choosePen(11);  // "开"
    std::vector<int> states;
    for (int i = 0; i < 3; ++i) {
        e.session.clickOutput(1);
        states.push_back(e.session.state(1));
    }
    EXPECT_EQ(states, (std::vector<int>{10, 0, E}));
    e.session.choosePen(1);  // "关": the first click gives off
    e.session.clickOutput(1);
    EXPECT_EQ(e.session.state(1), 0);
    e.session.choosePen(0);  // "不受控"
    e.session.clickOutput(7);
    EXPECT_EQ(e.session.state(7), E);
    e.session.choosePen(5);  // "40%"
    e.session.clickOutput(4);
    EXPECT_EQ(e.session.state(4), 4);
    EXPECT_EQ(e.session.outputText(4), "床头调光灯:40");
    EXPECT_EQ(e.session.outputColours(4).background, (Rgb{0, 100, 0}));
    // The doorbell does not react.
    e.session.clickOutput(3);
    EXPECT_EQ(e.session.state(3), E);
}

TEST(SceneSession, StoringScenesWithTheIndicatorBitsAndEmptyEntries) {
    Editor e;
    e.session.chooseKey(2);  // 51
    e.session.choosePen(11);
    e.session.clickOutput(1);  // 廊灯 on
    e.session.clickOutput(6);  // indicator (lamp 2) on
    e.session.chooseKey(4);    // 53: stores 51
    const model::ModeSlot& stored = e.edit.devices[1].slot(2);
    EXPECT_EQ(stored.modeCode, 51);
    EXPECT_EQ(stored.outputState, (std::array<int, 6>{10, E, E, E, E, 10}));
    EXPECT_EQ(e.edit.devices[2].slot(2).modeCode, 0);  // nothing controlled: empty entry
    EXPECT_EQ(e.edit.modeFlagBits[0], 0x02);           // on bit of 51
    EXPECT_EQ(e.edit.modeFlagBits[1], 0x02);           // controlled bit of 51
    // Back on 51: the stored states are loaded and drawn.
    e.session.chooseKey(2);
    EXPECT_EQ(e.session.state(1), 10);
    EXPECT_EQ(e.session.outputColours(1).background, (Rgb{0, 220, 0}));
    // The indicator now off: the controlled bit stays, the on bit goes.
    e.session.choosePen(1);    // "关"
    e.session.clickOutput(6);  // a loaded output starts the cycle again: "关" gives off
    e.session.accept();
    EXPECT_EQ(e.room.modeFlagBits[0], 0x00);
    EXPECT_EQ(e.room.modeFlagBits[1], 0x02);
    EXPECT_EQ(e.room.devices[1].slot(2).outputState[5], 0);
    // All not controlled again: empty entry and both bits cleared.
    SceneSession again(e.room, e.edit, EditMode::Modify);
    again.chooseKey(2);
    again.choosePen(0);
    again.clickOutput(1);
    again.clickOutput(6);
    again.accept();
    EXPECT_EQ(e.room.devices[1].slot(2).modeCode, 0);
    EXPECT_EQ(e.room.modeFlagBits[1], 0x00);
}

TEST(SceneSession, BulkButtonsFollowTheLampRules) {
    Editor e;
    e.session.chooseKey(1);
    e.session.choosePen(11);
    e.session.clickOutput(2);  // the set temperature, on
    e.session.bulk(BulkAction::AllOn);
    EXPECT_EQ(e.session.state(1), 10);  // ordinary lamp
    EXPECT_EQ(e.session.state(2), 10);  // thermostat output unchanged
    EXPECT_EQ(e.session.state(4), E);   // dimmer: not controlled
    EXPECT_EQ(e.session.state(5), E);   // curtain unchanged (it was not controlled)
    EXPECT_EQ(e.session.state(8), E);   // 78
    EXPECT_EQ(e.session.state(10), E);  // 100
    e.session.bulk(BulkAction::AllOff);
    EXPECT_EQ(e.session.state(1), 0);
    EXPECT_EQ(e.session.state(4), 0);  // "全关" turns the dimmer off
    e.session.bulk(BulkAction::AllNotControlled);
    EXPECT_EQ(e.session.state(1), E);
    // Only while a port is closed may they be pressed.
    EXPECT_TRUE(e.session.bulkEnabled());
    e.session.portOpened();
    EXPECT_FALSE(e.session.bulkEnabled());
}

TEST(SceneSession, LiveFramesOnlyWithAPortAndPausedByWhatSendsThem) {
    Editor e;
    e.session.chooseKey(1);
    e.session.choosePen(11);
    EXPECT_TRUE(e.session.clickOutput(1).empty());  // no port: nothing on the line
    e.session.clickOutput(1);
    e.session.clickOutput(1);
    e.session.clickOutput(11);  // 102 on
    e.session.clickOutput(1);   // 廊灯 on
    e.session.clickOutput(9);   // 60 on
    e.session.chooseKey(4);     // stores scene 50 with three controlled outputs
    e.session.portOpened();
    const std::vector<TimedFrame> click = e.session.clickOutput(1);
    ASSERT_EQ(click.size(), 1u);
    EXPECT_EQ(click[0].pauseAfterMs, 50);
    EXPECT_EQ(click[0].bytes[2], 53);
    // Choosing a scene sends its states only with "切模式时发送", 250 ms apart.
    EXPECT_TRUE(e.session.chooseKey(1).empty());
    e.session.setSendOnModeSwitch(true);
    e.session.chooseKey(4);
    const std::vector<TimedFrame> load = e.session.chooseKey(1);
    ASSERT_EQ(load.size(), 3u);
    for (const TimedFrame& frame : load) EXPECT_EQ(frame.pauseAfterMs, 250);
    // A new session (the dialog reopened) sends nothing until a port is chosen again.
    SceneSession reopened(e.room, e.edit, EditMode::Modify);
    reopened.chooseKey(1);
    reopened.choosePen(11);
    EXPECT_TRUE(reopened.clickOutput(1).empty());
}

TEST(SceneSession, NewCommitsTheWholeEditCopyAndCancelNothing) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.fileVersion = 150;  // both older than the program, so the commit must set it
    model::RoomTypeConfig edit = sceneRoom();
    edit.fileVersion = 150;
    edit.hotelName = "新酒店";
    {
        SceneSession cancelled(room, edit, EditMode::New);
        cancelled.chooseKey(1);
    }
    EXPECT_EQ(room.deviceCount, 0);
    SceneSession s(room, edit, EditMode::New);
    s.chooseKey(1);
    s.choosePen(11);
    s.clickOutput(1);
    s.accept();
    EXPECT_EQ(room.hotelName, "新酒店");
    EXPECT_EQ(room.deviceCount, 2);
    EXPECT_EQ(room.devices[1].slot(1).modeCode, 50);
    EXPECT_EQ(room.fileVersion, model::kProgramVersion);
}

TEST(SceneSession, CopySceneActsLikeClicks) {
    Editor e;
    e.session.chooseKey(2);
    e.session.choosePen(11);
    e.session.clickOutput(1);
    e.session.clickOutput(7);
    e.session.chooseKey(1);  // stores 51
    e.session.portOpened();
    const std::vector<TimedFrame> sent = e.session.copyScene(2);
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(e.session.state(1), 10);
    EXPECT_EQ(e.session.state(7), 10);
    e.session.clickOutput(1);  // goes on from "on": off
    EXPECT_EQ(e.session.state(1), 0);
    e.session.accept();
    EXPECT_EQ(e.room.devices[2].slot(1).outputState[0], 10);
}

TEST(SceneSession, WhatTheEditorShowsBeyondTheStates) {
    model::RoomTypeConfig room = sceneRoom();
    room.devices[1].name = "门口";
    model::RoomTypeConfig edit;
    SceneSession s(room, edit, EditMode::Modify);
    EXPECT_EQ(s.deviceRowLabel(1), "01 门口");
    EXPECT_EQ(s.deviceRowLabel(2), "02");
    EXPECT_EQ(s.deviceRowLabel(3), "");  // beyond the device count
    EXPECT_EQ(s.penButton(), -1);
    s.choosePen(11);
    EXPECT_EQ(s.penButton(), 11);
    // Keys that hold settings: stored ones, and the current one as its outputs show now.
    EXPECT_FALSE(s.keyHoldsSettings(1));
    s.chooseKey(1);
    s.clickOutput(1);
    EXPECT_TRUE(s.keyHoldsSettings(1));
    s.chooseKey(2);
    EXPECT_TRUE(s.keyHoldsSettings(1));
    EXPECT_FALSE(s.keyHoldsSettings(2));
    s.clickOutput(1);
    s.clickOutput(1);
    s.clickOutput(1);  // back to not controlled
    EXPECT_FALSE(s.keyHoldsSettings(2));
    EXPECT_EQ(s.bulkDisabledReason(), "");
    s.portOpened();
    EXPECT_FALSE(s.bulkEnabled());
    EXPECT_FALSE(s.bulkDisabledReason().empty());
}

TEST(CloseGate, OkAndCancelWaitForQueuedFramesAndASecondCancelGivesUp) {
    struct Press {
        bool ok;
        int pending;
        bool sending;
        bool closeNow, accepted;
        const char* message;  // nullptr: none
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;
        bool drainCloses;  // the queue then runs empty
        bool drainedAccepted;
    };
    const Case cases[] = {
        {"nothing queued", {{true, 0, false, true, true, nullptr}}, false, false},
        {"cancel, nothing queued", {{false, 0, false, true, false, nullptr}}, false, false},
        {"ok waits", {{true, 6, false, false, false, nullptr}}, true, true},
        {"last frame still going", {{true, 0, true, false, false, nullptr}}, true, true},
        {"cancel waits", {{false, 3, true, false, false, nullptr}}, true, false},
        {"second cancel",
         {{false, 3, true, false, false, nullptr},
          {false, 2, true, true, false, "2 帧未发送，设备上的情景可能不完整。"}},
         false,
         false},
        {"ok then cancel keeps ok",
         {{true, 4, true, false, false, nullptr},
          {false, 1, true, true, true, "1 帧未发送，设备上的情景可能不完整。"}},
         false,
         false},
        {"ok twice keeps waiting",
         {{true, 4, true, false, false, nullptr}, {true, 3, true, false, false, nullptr}},
         true,
         true},
    };
    for (const Case& c : cases) {
        CloseGate gate;
        for (const Press& p : c.presses) {
            const CloseDecision d = gate.press(p.ok, p.pending, p.sending);
            EXPECT_EQ(d.closeNow, p.closeNow) << c.name;
            if (d.closeNow) {
                EXPECT_EQ(d.accepted, p.accepted) << c.name;
            }
            EXPECT_EQ(d.message.has_value(), p.message != nullptr) << c.name;
            if (p.message && d.message) {
                EXPECT_EQ(*d.message, p.message) << c.name;
            }
        }
        const CloseDecision drained = gate.drained();
        EXPECT_EQ(drained.closeNow, c.drainCloses) << c.name;
        if (c.drainCloses) {
            EXPECT_EQ(drained.accepted, c.drainedAccepted) << c.name;
        }
    }
    EXPECT_EQ(queuedFramesText(6), "待发送: 6 帧");
}

}  // namespace
