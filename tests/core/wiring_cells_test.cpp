#include "core/commissioning/wiring_cells.h"

#include <gtest/gtest.h>

#include <set>

#include "engine_test_support.h"

namespace {

using namespace room;
using namespace room::commissioning;
using enginetest::Bus;
using enginetest::kT0;

// Device 1 of a room: keys 10 (廊灯), 78 (取电), nothing on key 3, 50 (睡眠模式); relays 10 and,
// on relay 6, lamp 93 (夜灯); mounted "床头".
model::RoomTypeConfig wiredRoom() {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.lampNames[10] = "廊灯";
    room.lampNames[78] = "取电";
    room.lampNames[50] = "睡眠模式";
    room.lampNames[93] = "夜灯";
    room.devices[1].name = "床头";
    room.devices[1].inUse = 1;
    room.devices[1].type = 1;
    model::setInput(room, 1, 0, 10);
    model::setInput(room, 1, 1, 78);
    model::setInput(room, 1, 3, 50);
    model::setOutput(room, 1, 0, 10);
    model::setOutput(room, 1, 5, 93);
    room.selected.fill(1);
    return room;
}

TEST(WiringCells, CellOriginsFollowTheGridOnBothPages) {
    struct Case {
        int device;
        CellOrigin origin;
    };
    const Case cases[] = {
        {1, {55, 30}},    {2, {347, 30}},   {4, {931, 30}},  {5, {55, 181}},
        {7, {639, 181}},  {16, {931, 483}}, {17, {55, 30}},  {22, {347, 181}},
        {32, {931, 483}}, {13, {55, 483}},  {29, {55, 483}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cellOrigin(c.device), c.origin) << c.device;
        EXPECT_EQ(firstDeviceOfPage(c.device), c.device <= 16 ? 1 : 17) << c.device;
    }
}

TEST(WiringCells, SelectedCellShowsKeysPositionAndRelaysInTheirColours) {
    const model::RoomTypeConfig room = wiredRoom();
    const std::vector<WiringText> expected{
        {WiringLine::Key, 1, 55, 30, "1.廊灯", {127, 255, 212}},
        {WiringLine::Key, 2, 55, 46, "2.取电", {127, 255, 212}},
        // key 3 has lamp 0: no line at all
        {WiringLine::Key, 4, 55, 78, "4.睡眠模式", {127, 255, 212}},
        {WiringLine::Position, 0, 55, 126, "位置:床头", {178, 210, 53}},
        {WiringLine::Relay, 1, 201, 30, "K1:廊灯", {255, 110, 180}},
        {WiringLine::Relay, 6, 201, 110, "K6:夜灯", {255, 110, 180}},
    };
    EXPECT_EQ(cellTexts(room, 1), expected);
}

TEST(WiringCells, UnselectingGreysTheWholeCellAndKeepsItsTexts) {
    model::RoomTypeConfig room = wiredRoom();
    const std::vector<WiringText> selected = cellTexts(room, 1);
    room.selected[1] = 0;
    const std::vector<WiringText> greyed = cellTexts(room, 1);
    ASSERT_EQ(greyed.size(), selected.size());
    for (std::size_t i = 0; i < greyed.size(); ++i) {
        EXPECT_EQ(greyed[i].text, selected[i].text);
        EXPECT_EQ(greyed[i].x, selected[i].x);
        EXPECT_EQ(greyed[i].y, selected[i].y);
        EXPECT_EQ(greyed[i].background, (Rgb{221, 221, 221}));
    }
}

TEST(WiringCells, TextsComeFromTheFlattenedTablesSlot6nPlusK) {
    model::RoomTypeConfig room = wiredRoom();
    // Device 20, key 6 and relay 2 live in slots 6*19+6 = 120 and 6*19+2 = 116.
    room.inputLamp[120] = 93;
    room.outputLamp[116] = 78;
    room.devices[20].name = "卫生间";
    EXPECT_EQ(keyText(room, 20, 6), "6.夜灯");
    EXPECT_EQ(relayText(room, 20, 2), "K2:取电");
    const std::vector<WiringText> texts = cellTexts(room, 20);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], (WiringText{WiringLine::Key, 6, 931, 30 + 80, "6.夜灯", {127, 255, 212}}));
    EXPECT_EQ(texts[1].text, "位置:卫生间");
    EXPECT_EQ(texts[2],
              (WiringText{WiringLine::Relay, 2, 931 + 146, 30 + 16, "K2:取电", {255, 110, 180}}));
    // The device record itself is not what the view reads.
    room.devices[20].inputs[0] = 10;
    EXPECT_EQ(keyText(room, 20, 1), "");
}

TEST(WiringCells, DamagedNumbersAndDevicesStayInsideTheTables) {
    model::RoomTypeConfig room = wiredRoom();
    room.inputLamp[2] = 300;  // device 1 key 2
    room.outputLamp[3] = -5;  // device 1 relay 3
    EXPECT_EQ(keyText(room, 1, 2), "2.300");
    EXPECT_EQ(relayText(room, 1, 3), "K3:-5");
    EXPECT_EQ(keyText(room, 0, 1), "");
    EXPECT_EQ(keyText(room, 33, 1), "");
    EXPECT_EQ(keyText(room, 1, 7), "");
    EXPECT_TRUE(cellTexts(room, 33).empty());
    EXPECT_TRUE(cellTexts(room, 0).empty());
}

// A verify all over the engine with device 3 silent and device 2 answering with a changed key.
TEST(WiringCells, BadgesShowEachDevicesLatestCheckAndSayWhenItIsFromAnEarlierRun) {
    model::RoomTypeConfig room = enginetest::panelRoom(4);
    model::RoomTypeConfig edit = room;
    const model::RoomTypeConfig held = room;
    Engine engine(room, edit);
    Bus bus(engine);
    bus.device = [&held](const OutFrame& frame) -> std::vector<enginetest::Bytes> {
        if (frame.device == 3) return {};
        enginetest::Bytes answer =
            enginetest::panelAnswer(held, frame.device, frame.kind == FrameKind::Read ? 2 : 3);
        if (frame.device == 2 && frame.kind == FrameKind::Verify) {
            answer[13] = 0x77;
            enginetest::resummed(answer);
        }
        return {answer};
    };
    engine.setPortOpen(true, kT0);
    ResultBadges badges;
    std::size_t seen = 0;
    auto follow = [&] {
        for (; seen < bus.log.size(); ++seen) badges.apply(bus.log[seen]);
    };

    bus.take(engine.command(Action::VerifyAll, kT0));
    // Device 3 served (20 + 130 + 130 ms): it has had no chance to answer yet.
    bus.runUntil(kT0 + std::chrono::milliseconds(300));
    follow();
    ASSERT_EQ(engine.currentDevice(), 3);
    EXPECT_EQ(badges.badge(1), Badge::Matched);
    EXPECT_EQ(badges.badge(2), Badge::Differences);
    EXPECT_EQ(badges.badge(3), Badge::None);
    EXPECT_EQ(badges.badge(4), Badge::None);

    bus.runToEnd();
    follow();
    const Badge expected[] = {Badge::None,     Badge::Matched, Badge::Differences,
                              Badge::NoAnswer, Badge::Matched, Badge::None};
    for (int d = 0; d <= 5; ++d) EXPECT_EQ(badges.badge(d), expected[d]) << d;

    for (int d = 1; d <= 4; ++d) EXPECT_FALSE(badges.fromEarlierRun(d)) << d;

    // A send all gives every device it served its badge: taken, or no answer. A read all marks
    // them as earlier until it has served each device.
    bus.delay = std::chrono::milliseconds(200);  // a whole configuration takes its time on the line
    bus.take(engine.command(Action::SendAll, bus.now));
    bus.runToEnd();
    follow();
    const Badge sent[] = {Badge::None, Badge::Sent, Badge::Sent, Badge::NoAnswer, Badge::Sent};
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(badges.badge(d), sent[d]) << d;
        EXPECT_FALSE(badges.fromEarlierRun(d)) << d;
    }
    bus.take(engine.command(Action::ReadAll, bus.now, true));
    follow();
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(badges.badge(d), sent[d]) << d;
        EXPECT_TRUE(badges.fromEarlierRun(d)) << d;
    }
    bus.runToEnd();
    follow();
    EXPECT_EQ(badges.badge(1), Badge::Read);
    EXPECT_EQ(badges.badge(3), Badge::NoAnswer);
    EXPECT_FALSE(badges.fromEarlierRun(3));

    // Device 2 then verified on its own, correct now: its badge says so at once.
    engine.setPageOperation(PageOperation::Verify);
    bus.take(engine.sendDevice(2, bus.now));
    bus.runToEnd();
    follow();
    EXPECT_EQ(badges.badge(2), Badge::Differences);  // the scripted device still differs
    bus.device = [&held](const OutFrame& frame) -> std::vector<enginetest::Bytes> {
        return {enginetest::panelAnswer(held, frame.device, 3)};
    };
    bus.take(engine.sendDevice(3, bus.now));
    bus.runToEnd();
    follow();
    EXPECT_EQ(badges.badge(3), Badge::Matched);
    EXPECT_FALSE(badges.fromEarlierRun(3));
    // A single check that never gets an answer shows "no answer" once the page is free again.
    bus.device = [](const OutFrame&) { return std::vector<enginetest::Bytes>{}; };
    bus.take(engine.sendDevice(1, bus.now));
    bus.runToEnd();
    follow();
    EXPECT_EQ(badges.badge(1), Badge::NoAnswer);

    // A retry of the silent device 3: the others' verdicts stay those of the current run.
    bool threeAnswers = false;
    bus.device = [&held, &threeAnswers](const OutFrame& frame) -> std::vector<enginetest::Bytes> {
        if (frame.device == 3 && !threeAnswers) return {};
        return {enginetest::panelAnswer(held, frame.device, 3)};
    };
    bus.take(engine.command(Action::VerifyAll, bus.now));
    bus.runToEnd();
    follow();
    EXPECT_EQ(badges.badge(3), Badge::NoAnswer);
    threeAnswers = true;
    bus.take(engine.start(NextRun{NextRun::Kind::Retry, Action::VerifyAll, {3}}, bus.now));
    bus.runToEnd();
    follow();
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(badges.badge(d), Badge::Matched) << d;
        EXPECT_FALSE(badges.fromEarlierRun(d)) << d;
    }
}

}  // namespace
