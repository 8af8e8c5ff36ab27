#include <gtest/gtest.h>

#include "core/protocol/checks.h"
#include "wire_builders.h"

using namespace room::model;
using namespace room::protocol;
using namespace room::testing;

namespace {

using Texts = std::vector<std::string>;

// Device 3: a switch panel with hand-set masks (rows 1 and 2 used).
RoomTypeConfig panelRoom() {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 3;
    room.functionOptionsA = 0x21;
    room.modeFlagBits = {0x01, 0x03, 0, 0, 0x80, 0x80};
    DeviceRecord& d = room.devices[3];
    d.type = 1;
    d.inputs = {10, 11, 50, 0, 0, 0};
    d.outputs = {10, 11, 2, 0, 0, 0};
    room.outputMasks[3][0] = {0x01, 0x01, 0, 0, 0, 0};
    room.outputMasks[3][1] = {0x00, 0x01, 0x01, 0x01, 0, 0};
    return room;
}

const Ints kPanelInputs{10, 11, 50, 0, 0, 0};
const Ints kPanelOutputs{10, 11, 2, 0, 0, 0};
const Ints kPanelFlags{0x01, 0x03, 0, 0, 0x80, 0x80};
const Ints kPanelMasks = concat({{1, 1, 0, 0, 0, 0}, {0, 1, 1, 1, 0, 0}, Ints(24, 0)});

Answer panelAnswer() {
    return longAnswer(1, 3, 0x21, 0,
                      concat({kPanelInputs, kPanelOutputs, kPanelFlags, kPanelMasks}));
}

struct Verified {
    CheckOutcome out;
    VerifyState state;
};

Verified verify(const Answer& answer, const RoomTypeConfig& room, int device, bool runActive,
                RoomTypeConfig* edit = nullptr) {
    RoomTypeConfig scratch = room;
    Verified v;
    v.state.verifyDevice = device;
    v.out = verifyAnswer(answer, room, edit ? *edit : scratch, v.state, runActive);
    return v;
}

}  // namespace

TEST(Verify, MatchingPanelIsOk) {
    const RoomTypeConfig room = panelRoom();
    const Verified v = verify(panelAnswer(), room, 3, false);
    EXPECT_EQ(v.out.device, 3);
    EXPECT_EQ(v.out.status, Texts{"第03个面板OK  "});
    EXPECT_EQ(v.out.messages, Texts{"第03个面板OK  "});
    EXPECT_EQ(v.out.result, 1);
    EXPECT_EQ(v.state.errorCount, 0);
}

TEST(Verify, EachPanelDifferenceHasItsText) {
    struct Case {
        std::vector<std::pair<int, int>> changes;  // frame position, received value
        Texts status;
    };
    const Case cases[] = {
        {{{6, 0x20}}, {"第01个参数数据异常 21 20 ", "第03个面板异常"}},
        {{{13, 0x33}, {14, 7}}, {"按键第03个数据异常 32 33 ", "第03个面板异常"}},
        {{{19, 0x05}}, {"继电器第03个数据异常 02 05 ", "第03个面板异常"}},
        {{{24, 0x00}}, {"字灯第02个数据异常 03 00 ", "第03个面板异常"}},
        {{{40, 0x10}, {60, 1}}, {"第03个开关模式数据异常 00 10 28 ", "第03个面板异常"}},
        {{{11, 0}, {22, 9}, {64, 2}},
         {"按键第01个数据异常 0A 00 ", "继电器第06个数据异常 00 09 ",
          "第03个开关模式数据异常 00 02 40 ", "第03个面板异常"}},
    };
    const RoomTypeConfig room = panelRoom();
    for (const Case& c : cases) {
        Answer answer = panelAnswer();
        for (auto [pos, value] : c.changes) answer.bytes[pos] = static_cast<std::uint8_t>(value);
        resummed(answer);
        const Verified shown = verify(answer, room, 3, false);
        EXPECT_EQ(shown.out.status, c.status);
        EXPECT_EQ(shown.out.messages, c.status);
        EXPECT_EQ(shown.out.result, 2);
        EXPECT_EQ(shown.state.errorCount, static_cast<int>(c.status.size()) - 1);
        const Verified quiet = verify(answer, room, 3, true);
        EXPECT_EQ(quiet.out.status, c.status);
        EXPECT_TRUE(quiet.out.messages.empty());
    }
}

// Key and relay differences once more in lamp names, beside the status text they belong to.
TEST(Verify, KeyAndRelayDifferencesNameTheLamps) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> changes;  // frame position, received value
        std::vector<std::pair<std::size_t, std::string>> lampTexts;
    };
    const Case cases[] = {
        {"key 1", {{11, 13}}, {{0, "按键1: 应为010.廊灯, 实为013.夜灯"}}},
        {"relay 2 emptied", {{18, 0}}, {{0, "继电器2: 应为011.卫浴灯, 实为000.空"}}},
        {"beyond the lamp table", {{12, 250}}, {{0, "按键2: 应为011.卫浴灯, 实为250"}}},
        {"key and relay", {{13, 10}, {21, 12}},
         {{0, "按键3: 应为050." + panelRoom().lampNames[50] + ", 实为010.廊灯"},
          {1, "继电器5: 应为000.空, 实为012.换气扇"}}},
        {"other bytes only", {{24, 0}}, {}},
    };
    const RoomTypeConfig room = panelRoom();
    for (const Case& c : cases) {
        Answer answer = panelAnswer();
        for (auto [pos, value] : c.changes) answer.bytes[pos] = static_cast<std::uint8_t>(value);
        resummed(answer);
        const Verified v = verify(answer, room, 3, true);
        EXPECT_EQ(v.out.lampTexts, c.lampTexts) << c.name;
        for (const auto& [index, text] : c.lampTexts) EXPECT_EQ(v.out.lampText(index), text);
    }
    // A short-frame answer names the key by its place, though its own text gives the device.
    RoomTypeConfig shortRoom = room;
    shortRoom.systemType = 5;
    VerifyState state{3, 6, 0, 0};
    RoomTypeConfig edit = shortRoom;
    const CheckOutcome out = verifyAnswer(shortAnswer(3, 1, {10, 13, 50, 0, 0, 0, 10, 11, 2, 0}),
                                          shortRoom, edit, state, true);
    ASSERT_EQ(out.status.size(), 1u);
    EXPECT_EQ(out.status[0], "按键第03个数据异常 0B 0D ");
    EXPECT_EQ(out.lampText(0), "按键2: 应为011.卫浴灯, 实为013.夜灯");
}

TEST(Verify, NothingWithoutADeviceBeingVerified) {
    const RoomTypeConfig room = panelRoom();
    for (int device : {0, 37, -1}) {
        const Verified v = verify(panelAnswer(), room, device, false);
        EXPECT_FALSE(v.out.handled());
        EXPECT_TRUE(v.out.status.empty());
        EXPECT_FALSE(v.out.result);
    }
    // Another type than the room's, known or not, is a difference and ends the check.
    Answer other = panelAnswer();
    other.bytes[2] = 7;
    EXPECT_EQ(verify(resummed(other), room, 3, true).out.status,
              (Texts{"第03个面板类型不符", "第03个面板异常"}));
}

TEST(Verify, CutOffPanelAnswerCountsTheMissingBytes) {
    const RoomTypeConfig room = panelRoom();
    Answer cut = panelAnswer();
    cut.bytes.resize(47);  // data up to byte 46, then a checksum and the end pair
    cut.bytes.insert(cut.bytes.end(), {0x00, 0xF3, 0xF4});
    resummed(cut);
    const Verified v = verify(cut, room, 3, true);
    // Its length byte still says 68: nothing in it can be compared.
    EXPECT_EQ(v.out.status, (Texts{"第03个面板长度异常 44 32 ", "第03个面板异常"}));
}

TEST(Verify, CurtainLikeDeviceSkipsIndicatorBytes) {
    RoomTypeConfig room = panelRoom();
    room.devices[3].inputs = {0, 0, 50, 0, 0, 0};
    room.devices[3].outputs = {80, 81, 0, 0, 12, 0};
    Answer answer = longAnswer(
        1, 3, 0x21, 0,
        concat({{0, 0, 50, 0, 0, 0}, {80, 81, 0, 0, 12, 0}, {9, 9, 9, 9, 9, 9}, kPanelMasks}));
    EXPECT_EQ(verify(answer, room, 3, true).out.status, Texts{"第03个面板OK  "});
    room.devices[3].outputs[3] = 5;  // no longer curtain-like
    answer.bytes[20] = 5;
    resummed(answer);
    EXPECT_EQ(verify(answer, room, 3, true).out.status,
              (Texts{"字灯第01个数据异常 01 09 ", "第03个面板异常"}));
}

TEST(Verify, CurtainLikeRule) {
    struct Case {
        Ints inputs, outputs;
        bool curtainLike;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0}, {80, 81, 0, 0, 0, 0}, true},
        {{0, 0, 7, 7, 7, 7}, {1, 207, 0, 0, 9, 9}, true},
        {{0, 0, 0, 0, 0, 0}, {192, 1, 0, 0, 0, 0}, true},
        {{0, 0, 0, 0, 0, 0}, {80, 90, 0, 0, 0, 0}, false},
        {{0, 0, 0, 0, 0, 0}, {80, 81, 82, 0, 0, 0}, false},
        {{0, 0, 0, 0, 0, 0}, {80, 81, 0, 83, 0, 0}, false},
        {{10, 0, 0, 0, 0, 0}, {80, 81, 0, 0, 0, 0}, false},
        {{0, 10, 0, 0, 0, 0}, {80, 81, 0, 0, 0, 0}, false},
        {{0, 0, 0, 0, 0, 0}, {0, 81, 0, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        DeviceRecord d;
        std::copy(c.inputs.begin(), c.inputs.end(), d.inputs.begin());
        std::copy(c.outputs.begin(), c.outputs.end(), d.outputs.begin());
        EXPECT_EQ(isCurtainLike(d), c.curtainLike) << c.outputs[0] << "," << c.outputs[1];
    }
}

namespace {

// Device 5: thermostat channel 1 (outputs 100..103); mode 1 on/cooling/26 degrees/auto, mode 10
// off with the rest unchanged.
RoomTypeConfig thermostatRoom() {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 5;
    DeviceRecord& d = room.devices[5];
    d.type = 2;
    d.outputs = {100, 101, 102, 103, 0, 0};
    d.slot(1) = ModeSlot{50, {10, 9, 10, 10, 238, 238}};
    d.slot(10) = ModeSlot{169, {0, 238, 238, 238, 238, 238}};
    return room;
}

const Ints kThermostatSlots{50, 1, 2, 26, 4, 0, 0, 169, 2, 0, 15, 0, 0, 0};

}  // namespace

TEST(Verify, ThermostatMatchesAndFillsTheWorkingCopy) {
    const RoomTypeConfig room = thermostatRoom();
    RoomTypeConfig edit = room;
    edit.devices[5].slot(10) = ModeSlot{};  // stale working copy: refilled by the check
    edit.devices[5].slot(10).outputState.fill(238);
    const Verified v = verify(longAnswer(2, 5, 0, 1, kThermostatSlots), room, 5, false, &edit);
    EXPECT_EQ(v.out.status, Texts{"第05个面板OK  "});
    EXPECT_EQ(v.out.result, 1);
    // Room 238 met by a received 0 is equal and the room value goes into the copy.
    EXPECT_EQ(edit.devices[5].slot(10), room.devices[5].slot(10));
}

TEST(Verify, ThermostatDifferences) {
    const RoomTypeConfig room = thermostatRoom();
    struct Case {
        const char* name;
        int sub;
        std::vector<std::pair<int, int>> changes;  // position in the answer, value
        Texts status;
    };
    const Case cases[] = {
        {"identity", 2, {}, {"第05个面板ID数据不匹配,本编号01 读出编号02", "第05个面板异常"}},
        // 27 decodes to 11 against the room's 10 at frame position 14; the check stops there, so
        // slot 10 never reaches the stale copy and the 168-value pass finds its code (index 63).
        {"temperature",
         1,
         {{14, 27}},
         {"第05个面板模式数据异常 0A 0B 0E ", "第05个面板模式数据异常 00 A9 63 ",
          "第05个面板异常"}},
        // Slot 10's code matched before its power differed, so the copy has it.
        {"power", 1, {{19, 1}}, {"第05个面板模式数据异常 00 0A 13 ", "第05个面板异常"}},
        {"last values received",
         1,
         {{23, 5}},
         {"第05个面板模式数据异常 EE 05 17 ", "第05个面板异常"}},
        {"unknown mode code",
         1,
         {{18, 60}},
         {"第05个面板模式数据异常 -- 3C 12 ", "第05个面板模式数据异常 00 A9 63 ",
          "第05个面板异常"}},
    };
    for (const Case& c : cases) {
        RoomTypeConfig edit = room;
        edit.devices[5].slot(10).modeCode = 0;
        Answer answer = longAnswer(2, 5, 0, c.sub, kThermostatSlots);
        for (auto [pos, value] : c.changes) answer.bytes[pos] = static_cast<std::uint8_t>(value);
        resummed(answer);
        const Verified v = verify(answer, room, 5, true, &edit);
        EXPECT_EQ(v.out.status, c.status) << c.name;
        EXPECT_EQ(v.out.result, 2) << c.name;
    }
}

TEST(Verify, ThermostatWithoutSlotsAndCutOffSlots) {
    RoomTypeConfig room = makeStartupRoomType();
    room.devices[2].type = 2;
    room.devices[2].outputs = {164, 165, 166, 167, 0, 0};
    RoomTypeConfig edit = room;
    EXPECT_EQ(verify(longAnswer(2, 2, 0, 3, {}), room, 2, true, &edit).out.status,
              Texts{"第02个面板OK  "});
    // The length byte promises a slot that never came.
    Answer cut = longAnswer(2, 2, 0, 3, {});
    cut.bytes[5] = 21;
    resummed(cut);
    EXPECT_EQ(verify(cut, room, 2, true, &edit).out.status,
              (Texts{"第02个面板长度异常 15 0E ", "第02个面板异常"}));
}

TEST(Verify, DimmerAndTypeSixCompareSlotsRaw) {
    for (const int type : {5, 6}) {
        RoomTypeConfig room = makeStartupRoomType();
        DeviceRecord& d = room.devices[7];
        d.type = static_cast<std::uint8_t>(type);
        d.inputs = {70, 0, 0, 0, 0, 0};
        d.outputs = {70, 71, 0, 0, 0, 0};
        d.slot(3) = ModeSlot{52, {5, 238, 238, 238, 238, 238}};
        room.modeFlagBits = {4, 4, 0, 0, 0, 0};
        room.functionOptionsA = 1;
        const Ints head = concat({{70, 0, 0, 0, 0, 0}, {70, 71, 0, 0, 0, 0}, {4, 4, 0, 0, 0, 0}});
        RoomTypeConfig edit = room;
        const Answer ok = longAnswer(type, 7, 1, 1, concat({head, {52, 5, 0, 238, 0, 0, 0}}));
        EXPECT_EQ(verify(ok, room, 7, true, &edit).out.status, Texts{"第07个面板OK  "}) << type;
        Answer bad = ok;
        bad.bytes[30] = 6;
        bad.bytes[24] = 9;
        resummed(bad);
        EXPECT_EQ(verify(bad, room, 7, true, &edit).out.status,
                  (Texts{"字灯第02个数据异常 04 09 ", "第07个面板模式数据异常 05 06 1E ",
                         "第07个面板异常"}))
            << type;
    }
}

TEST(Verify, ShortAnswersByBlock) {
    RoomTypeConfig room = panelRoom();
    room.devices[3].outputs = {10, 11, 2, 12, 0, 0};
    room.outputMasks[3][3] = {7, 7, 0, 0, 0, 0};
    const Answer good[] = {
        shortAnswer(3, 1, {10, 11, 50, 0, 0, 0, 10, 11, 2, 12}),
        shortAnswer(3, 5, kPanelFlags),
        shortAnswer(3, 11, {1, 1, 0, 0, 0, 0}),
        shortAnswer(3, 12, {0, 1, 1, 1, 0, 0}),
        shortAnswer(3, 13, {}),
        shortAnswer(3, 14, {7, 7, 0, 0, 0, 0}),
    };
    struct Case {
        const char* name;
        std::vector<int> skip;                         // blocks lost on the way
        std::vector<std::pair<int, Answer>> replaced;  // index in good[], answer instead
        Texts status;                                  // texts of all answers, in order
        int result;
    };
    const Case cases[] = {
        {"all match", {}, {}, {"第03个面板OK  "}, 1},
        {"block 12 missing", {3}, {}, {"第03个面板异常(01)"}, 2},
        {"two missing", {0, 2}, {}, {"第03个面板异常(02)"}, 2},
        {"key and relay",
         {},
         {{0, shortAnswer(3, 1, {10, 12, 50, 0, 0, 0, 10, 11, 2, 13})}},
         {"按键第03个数据异常 0B 0C ", "继电器第03个数据异常 0C 0D ", "第03个面板异常"},
         2},
        {"indicator",
         {},
         {{1, shortAnswer(3, 5, {1, 3, 0, 0, 0x80, 0})}},
         {"字灯数据异常 ", "第03个面板异常"},
         2},
        {"mask row 2",
         {},
         {{3, shortAnswer(3, 12, {0, 1, 1, 0, 0, 0})}},
         {"第 2 继电器模式数据异常", "第03个面板异常"},
         2},
        // Block 1 never wipes out what an earlier block found.
        {"indicator before block 1",
         {},
         {{0, shortAnswer(3, 5, {1, 3, 0, 0, 0x80, 0})}, {1, good[0]}},
         {"字灯数据异常 ", "第03个面板异常"},
         2},
        // A block that comes twice stands in for none, and is a difference itself.
        {"block 1 instead of block 5",
         {},
         {{1, good[0]}},
         {"第03个面板第01块重复", "第03个面板异常(01)"},
         2},
    };
    for (const Case& c : cases) {
        VerifyState state;
        state.verifyDevice = 3;
        RoomTypeConfig edit = room;
        Texts status;
        std::optional<int> result;
        for (int i = 0; i < 6; ++i) {
            if (std::find(c.skip.begin(), c.skip.end(), i) != c.skip.end()) continue;
            Answer answer = good[i];
            for (const auto& [at, instead] : c.replaced) {
                if (at == i) answer = instead;
            }
            const CheckOutcome out = verifyAnswer(answer, room, edit, state, true);
            status.insert(status.end(), out.status.begin(), out.status.end());
            if (out.result) result = out.result;
        }
        if (!result) {  // the run moves on without the missing blocks
            const CheckOutcome out = verifyIncomplete(state, true);
            status.insert(status.end(), out.status.begin(), out.status.end());
            result = out.result;
        }
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}

TEST(Verify, ShortAnswersOtherThanConfigurationAreIgnored) {
    const RoomTypeConfig room = panelRoom();
    Answer other = shortAnswer(3, 1, {});
    other.bytes[1] = 0xEC;
    Verified v = verify(other, room, 3, false);
    EXPECT_FALSE(v.out.handled());
    v = verify(shortAnswer(3, 7, {}), room, 3, false);
    EXPECT_TRUE(v.out.status.empty());
    EXPECT_EQ(v.state.blockCounter, 6);
}
