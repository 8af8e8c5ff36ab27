// Console runs over a simulated bus: order of devices, pacing, summaries.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine_test_support.h"

using namespace enginetest;

namespace {

// Devices that hold `held` and answer read and verify frames with it after the bus delay.
Bus::Device answering(const model::RoomTypeConfig& held, std::set<int> silent = {},
                      std::function<void(int, Bytes&)> tamper = {}) {
    return [&held, silent, tamper](const OutFrame& frame) -> std::vector<Bytes> {
        const int d = frame.device;
        if (silent.count(d) || (frame.kind != FrameKind::Read && frame.kind != FrameKind::Verify)) {
            return {};
        }
        Bytes answer = panelAnswer(held, d, frame.kind == FrameKind::Read ? 2 : 3);
        if (tamper) tamper(d, answer);
        return {answer};
    };
}

}  // namespace

TEST(EngineRun, SendAllServesDeviceOneFirstThenSkipsUnselectedAndUnused) {
    model::RoomTypeConfig room = panelRoom(6);
    model::RoomTypeConfig edit = room;
    room.selected[1] = 0;
    room.selected[3] = 0;
    room.devices[5].inUse = 0;
    Engine engine(room, edit);
    Bus bus(engine);
    // Devices echo what they were sent; each echo moves the run on after 100 ms.
    bus.device = [](const OutFrame& f) {
        Bytes echo{0xF2, 0xF3};
        echo.insert(echo.end(), f.bytes.begin() + 2, f.bytes.end());
        return std::vector<Bytes>{echo};
    };
    bus.delay = milliseconds(80);  // an answer cannot begin before the frame has left the line
    engine.setPortOpen(true, kT0);
    bus.take(engine.command(Action::SendAll, kT0));
    ASSERT_EQ(bus.log[0].statusTexts.size(), 2u);
    EXPECT_EQ(bus.log[0].statusTexts[0], "发送中");
    EXPECT_EQ(bus.log[0].statusTexts[1], "正在处理第01个");
    EXPECT_EQ(engine.runMode(), RunMode::SendAll);
    EXPECT_EQ(bus.log[0].runButtonsShown, false);
    bus.runToEnd();

    EXPECT_EQ(bus.devicesWritten(), (std::vector<int>{1, 2, 4, 6}));
    for (const Written& w : bus.written) {
        EXPECT_EQ(w.frame.kind, FrameKind::Send);
        ASSERT_EQ(w.frame.bytes.size(), 68u);
        EXPECT_EQ(w.frame.bytes[3], w.frame.device);
        EXPECT_EQ(w.frame.bytes[4], 5);
    }
    // Each device answers 80 ms after its frame (which takes 71 ms on the line); the run goes on
    // 100 ms after the answer and waits 20 ms before serving the next in-use device; after the
    // last one it listens the grace time for a second talker before it ends.
    EXPECT_EQ(msSince(bus.written[1].at), 200);
    EXPECT_EQ(msSince(bus.written[2].at), 400);
    EXPECT_EQ(msSince(bus.written[3].at), 600);
    EXPECT_EQ(msSince(bus.now), 780 + kGracePeriod.count());
    EXPECT_EQ(engine.status(), "发送完成");
    EXPECT_EQ(engine.runMode(), RunMode::Idle);
    EXPECT_EQ(engine.currentDevice(), 0);
    EXPECT_EQ(engine.title(), "");
    const Effects all = bus.all();
    ASSERT_TRUE(all.runFinished);
    EXPECT_EQ(all.runFinished->visited, 4);
    EXPECT_EQ(all.runStarted->total, 4);
    EXPECT_EQ(all.runButtonsShown, true);
    EXPECT_FALSE(engine.nextDeadline());
}

TEST(EngineRun, PeriodBySystemTypeForSilentDevices) {
    struct Case {
        Action action;
        int systemType;
        long period;
    };
    const Case cases[] = {
        {Action::SendAll, 1, 2000},   {Action::SendAll, 2, 2000},   {Action::SendAll, 3, 3000},
        {Action::SendAll, 4, 3000},   {Action::SendAll, 0, 3000},   {Action::SendAll, 5, 3000},
        {Action::VerifyAll, 1, 2000}, {Action::VerifyAll, 2, 2000}, {Action::VerifyAll, 4, 3000},
        {Action::VerifyAll, 7, 3000}, {Action::ReadAll, 1, 2000},   {Action::ReadAll, 2, 2000},
        {Action::ReadAll, 3, 3000},   {Action::ReadAll, 4, 3000},   {Action::ReadAll, 0, 5000},
        {Action::ReadAll, 6, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "action " << static_cast<int>(c.action) << " type " << c.systemType);
        model::RoomTypeConfig room = panelRoom(1, c.systemType);
        model::RoomTypeConfig edit = room;
        room.selected.fill(0);  // only device 1, which a run serves anyway
        Engine engine(room, edit);
        Bus bus(engine);
        engine.setPortOpen(true, kT0);
        bus.take(engine.command(c.action, kT0, true));
        bus.runToEnd();
        const bool shortFrames = c.systemType < 1 || c.systemType > 4;
        const size_t frames = shortFrames && c.action == Action::SendAll ? 6 : 1;
        ASSERT_EQ(bus.written.size(), frames);
        EXPECT_EQ(msSince(bus.now) - msSince(bus.written.back().at), c.period + kGracePeriod.count());
        EXPECT_EQ(engine.runMode(), RunMode::Idle);
    }
}

TEST(EngineRun, ShortFramedSendAllSendsTheBlocks50msApart) {
    model::RoomTypeConfig room = panelRoom(2, 0);
    model::RoomTypeConfig edit = room;
    Engine engine(room, edit);
    Bus bus(engine);
    engine.setPortOpen(true, kT0);
    bus.take(engine.command(Action::SendAll, kT0));
    bus.runToEnd();
    ASSERT_EQ(bus.written.size(), 12u);
    const int blocks[] = {1, 5, 11, 12, 13, 14};
    for (int i = 0; i < 12; ++i) {
        const Bytes& f = bus.written[i].frame.bytes;
        ASSERT_EQ(f.size(), 17u);
        EXPECT_EQ(f[0], 0xF0);
        EXPECT_EQ(f[1], 0xEC);
        EXPECT_EQ(f[2], i < 6 ? 1 : 2);
        EXPECT_EQ(f[3], 5);
        EXPECT_EQ(f[4], blocks[i % 6]);
        EXPECT_EQ(f[16], 0x0F);
    }
    // Block 1 of device 1: inputs then outputs 1..4.
    EXPECT_EQ(
        Bytes(bus.written[0].frame.bytes.begin() + 5, bus.written[0].frame.bytes.begin() + 15),
        (Bytes{10, 11, 12, 13, 14, 15, 20, 21, 22, 23}));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(msSince(bus.written[i].at), 50 * i);
    // Timer 1 runs from the last block: 250 + 3000, the grace of 600, then 20 ms before the
    // in-use device 2.
    for (int i = 6; i < 12; ++i) EXPECT_EQ(msSince(bus.written[i].at), 3870 + 50 * (i - 6));
    EXPECT_EQ(msSince(bus.now), 4120 + 3000 + 600);
}

TEST(EngineRun, VerifyAllOf32DevicesListsSilentAndAbnormalDevices) {
    model::RoomTypeConfig room = panelRoom(32);
    model::RoomTypeConfig edit = room;
    const model::RoomTypeConfig held = room;
    Engine engine(room, edit);
    Bus bus(engine);
    const std::set<int> silent{7, 19};
    bus.device = answering(held, silent, [](int d, Bytes& a) {
        if (d == 12) a[13] = 0x77;  // key 3
        if (d == 25) a[45] = 0x40;  // mask row 3, byte 5
        resummed(a);
    });
    engine.setPortOpen(true, kT0);
    bus.take(engine.command(Action::VerifyAll, kT0));
    EXPECT_EQ(bus.log[0].runStarted->total, 32);
    // Verify frame of device 1: F1 F4 01 01 03 09 cs F3 F4.
    EXPECT_EQ(bus.written[0].frame.bytes, (Bytes{0xF1, 0xF4, 1, 1, 3, 9, 0xF3, 0xF3, 0xF4}));
    bus.runToEnd();

    EXPECT_EQ(engine.title(), "未读到的编号:07 19 数据异常的编号:12 25 ");
    EXPECT_EQ(engine.status(), "校验完成");
    for (int d = 1; d <= 32; ++d) {
        const int expected = silent.count(d) ? 0 : (d == 12 || d == 25) ? 2 : 1;
        EXPECT_EQ(engine.result(d), expected) << d;
    }
    EXPECT_EQ(engine.differences(), (std::vector<std::string>{"按键第03个数据异常 0C 77 ",
                                                              "第25个开关模式数据异常 01 40 2D "}));
    const Effects all = bus.all();
    EXPECT_TRUE(all.messages.empty());  // message boxes stay shut during a run
    EXPECT_EQ(all.progress->visited, 32);
    EXPECT_EQ(all.runFinished->answered, 30);
    EXPECT_EQ(all.runFinished->abnormal, (std::vector<int>{12, 25}));

    // An answering device moves on 100 ms after its answer (30 ms latency), a silent one after
    // its period and the grace; every device here is in use, so 20 ms pass before each is served.
    long served = 0;
    for (int d = 1; d <= 32; ++d) {
        EXPECT_EQ(msSince(*bus.firstWriteTo(d)), served) << d;
        const long step = served + (silent.count(d) ? 3600 : 130);
        served = step + 20;
    }
    EXPECT_EQ(msSince(bus.now), served - 20 + kGracePeriod.count());
}

TEST(EngineRun, ReadAllVisitsSelectedNumbersUpTo32AndRestoresDeviceCount) {
    model::RoomTypeConfig room = panelRoom(4);  // deviceCount 4, everything selected
    model::RoomTypeConfig edit = room;
    const model::RoomTypeConfig held = panelRoom(32);
    room.selected[10] = 0;
    Engine engine(room, edit);
    Bus bus(engine);
    std::set<int> silent;
    for (int d = 1; d <= 32; ++d) {
        if (d != 1 && d != 2 && d != 4 && d != 6 && d != 20) silent.insert(d);
    }
    bus.device = answering(held, silent);
    engine.setPortOpen(true, kT0);
    const Effects asked = engine.command(Action::ReadAll, kT0);
    ASSERT_TRUE(asked.question);
    EXPECT_EQ(asked.question->text, "将覆盖现有数据，是否继续?");
    EXPECT_TRUE(asked.writes.empty());
    EXPECT_EQ(engine.runMode(), RunMode::Idle);
    bus.take(engine.command(Action::ReadAll, kT0, true));
    bus.runToEnd();

    std::vector<int> visited;
    for (int d = 1; d <= 32; ++d) {
        if (d != 10) visited.push_back(d);
    }
    EXPECT_EQ(bus.devicesWritten(), visited);
    // Read frame of device 7, whose record is empty: F1 F4 00 07 02 09 F7 F3 F4.
    EXPECT_EQ(bus.written[6].frame.bytes, (Bytes{0xF1, 0xF4, 0, 7, 2, 9, 0xF7, 0xF3, 0xF4}));
    // Every device served without an answer, past the unselected 10 as well.
    EXPECT_EQ(engine.title(),
              "未读到的编号:03 05 07 08 09 11 12 13 14 15 16 17 18 19 21 22 23 24 25 26 27 28 "
              "29 30 31 32 ");
    EXPECT_EQ(engine.status(), "读取完成");
    EXPECT_EQ(room.deviceCount, 4);
    EXPECT_EQ(engine.result(20), 1);
    EXPECT_EQ(engine.result(6), 1);
    EXPECT_EQ(engine.result(3), 0);
    EXPECT_EQ(room.devices[20].inputs, held.devices[20].inputs);
    EXPECT_EQ(room.outputMasks[20], held.outputMasks[20]);
    EXPECT_EQ(room.devices[20].inUse, 1);
    EXPECT_TRUE(engine.readBackDone());
    EXPECT_NE(room.modified, 0);
    EXPECT_EQ(bus.all().runFinished->visited, 31);
    // Devices 2 and 4 are in use: 20 ms pause; 5 and 7 are not: served at the timer step.
    EXPECT_EQ(msSince(*bus.firstWriteTo(2)) - msSince(*bus.firstWriteTo(1)), 150);
    EXPECT_EQ(msSince(*bus.firstWriteTo(5)) - msSince(*bus.firstWriteTo(4)), 130);
    EXPECT_EQ(msSince(*bus.firstWriteTo(8)) - msSince(*bus.firstWriteTo(7)), 3600);
}

TEST(EngineRun, StopEndsTheRunWithTheSummaryOfWhatWasVisited) {
    model::RoomTypeConfig room = panelRoom(10);
    model::RoomTypeConfig edit = room;
    Engine engine(room, edit);
    Bus bus(engine);
    engine.setPortOpen(true, kT0);
    bus.take(engine.command(Action::VerifyAll, kT0));
    bus.runUntil(kT0 + milliseconds(6500));  // devices 1, 2 (2620) and 3 (6240) served
    EXPECT_EQ(engine.currentDevice(), 3);
    bus.take(engine.command(Action::Stop, bus.now));
    const Effects& stopped = bus.log.back();
    ASSERT_TRUE(stopped.runFinished);
    EXPECT_TRUE(stopped.runFinished->stopped);
    EXPECT_EQ(stopped.runFinished->visited, 3);
    EXPECT_EQ(stopped.runFinished->total, 10);
    // Cut short: it says so, and which devices it never served.
    EXPECT_EQ(engine.title(),
              "未读到的编号:01 02 03 数据异常的编号:未处理的编号:04 05 06 07 08 09 10 ");
    EXPECT_EQ(engine.status(), "校验已停止");
    EXPECT_EQ(stopped.runFinished->unreached, (std::vector<int>{4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(engine.runMode(), RunMode::Idle);
    EXPECT_EQ(engine.currentDevice(), 0);
    EXPECT_FALSE(engine.nextDeadline());
    EXPECT_EQ(bus.written.size(), 3u);
    // Stop without a run does nothing.
    EXPECT_TRUE(engine.command(Action::Stop, bus.now).empty());
}

TEST(EngineRun, StopAndPortLossDropTheBlocksNotYetSent) {
    for (const bool lose : {false, true}) {
        model::RoomTypeConfig room = panelRoom(3, 0);
        model::RoomTypeConfig edit = room;
        Engine engine(room, edit);
        Bus bus(engine);
        engine.setPortOpen(true, kT0);
        bus.take(engine.command(Action::SendAll, kT0));
        bus.runUntil(kT0 + milliseconds(120));
        EXPECT_EQ(bus.written.size(), 3u);
        bus.take(lose ? engine.setPortOpen(false, bus.now) : engine.command(Action::Stop, bus.now));
        ASSERT_TRUE(bus.log.back().runFinished);
        EXPECT_EQ(engine.status(), lose ? "发送中断: 串口断开" : "发送已停止");
        EXPECT_EQ(bus.log.back().runFinished->portLost, lose);
        EXPECT_EQ(engine.title(), "未读到的编号:01 未处理的编号:02 03 ");
        bus.runToEnd();
        EXPECT_EQ(bus.written.size(), 3u);
        EXPECT_EQ(engine.portOpen(), !lose);
    }
}

TEST(EngineRun, ShortAnswersAreVerifiedBlockByBlock) {
    model::RoomTypeConfig room = panelRoom(1, 0);
    model::RoomTypeConfig edit = room;
    Engine engine(room, edit);
    Bus bus(engine);
    const auto& m = room.outputMasks[1];
    bus.device = [&m](const OutFrame&) {
        std::vector<Bytes> blocks{shortAnswer(1, 1, {10, 11, 12, 13, 14, 15, 20, 21, 22, 23}),
                                  shortAnswer(1, 5, {0x11, 0x12, 0x13, 0x14, 0x15, 0x16})};
        for (int r = 0; r < 4; ++r) {
            blocks.push_back(shortAnswer(1, 11 + r, std::vector<int>(m[r].begin(), m[r].end())));
        }
        return blocks;
    };
    engine.setPortOpen(true, kT0);
    room.selected.fill(0);
    bus.take(engine.command(Action::VerifyAll, kT0));
    bus.runToEnd();
    EXPECT_EQ(engine.result(1), 1);
    EXPECT_TRUE(engine.differences().empty());
    EXPECT_EQ(engine.title(), "未读到的编号:数据异常的编号:");
    // All six blocks arrive together 30 ms in; 100 ms and the grace later the run is over.
    EXPECT_EQ(msSince(bus.now), 130 + kGracePeriod.count());
}

TEST(EngineRun, ALateAnswerDuringThePauseIsCheckedAgainstNoDevice) {
    model::RoomTypeConfig room = panelRoom(3);
    model::RoomTypeConfig edit = room;
    const model::RoomTypeConfig held = room;
    Engine engine(room, edit);
    Bus bus(engine);
    engine.setPortOpen(true, kT0);
    bus.take(engine.command(Action::VerifyAll, kT0));
    bus.runUntil(kT0 + milliseconds(2010));  // period over at 2000, device 2 due at 2620
    EXPECT_EQ(bus.written.size(), 1u);
    Bytes late = panelAnswer(held, 1, 3);
    late[20] = 0x33;  // output 4 of device 1
    resummed(late);
    bus.take(engine.onBytes(late, bus.now));
    // Device 1's time is over: its answer is logged as late and checked against nothing.
    ASSERT_EQ(bus.log.back().answers.size(), 1u);
    EXPECT_EQ(bus.log.back().answers[0].fate, AnswerFate::Late);
    EXPECT_TRUE(engine.differences().empty());
    EXPECT_EQ(engine.result(1), 0);
    // Device 2 still gets its full wait.
    bus.runToEnd();
    EXPECT_EQ(msSince(*bus.firstWriteTo(2)), 2620);
    EXPECT_EQ(msSince(*bus.firstWriteTo(3)), 6240);
    EXPECT_EQ(engine.title(), "未读到的编号:01 02 03 数据异常的编号:");
}

// How a run's end reads: only a run that served everything it meant to, with every device
// answering and matching, is clean; the few words say what came of it.
TEST(EngineRun, OutcomeOfARunInAFewWords) {
    struct Case {
        const char* name;
        RunSummary summary;
        bool clean;
        const char* text;
    };
    const Case cases[] = {
        {"all answered", {RunMode::SendAll, 4, 4, 4, false, false, {}, {}, {}, {}, {}, {}}, true, "4个中4个应答"},
        {"nothing attached", {RunMode::SendAll, 4, 4, 0, false, false, {1, 2, 3, 4}, {}, {}, {}, {}, {}},
         false, "4个中0个应答"},
        {"one differs", {RunMode::VerifyAll, 3, 3, 3, false, false, {}, {2}, {}, {}, {}, {}}, false,
         "3个中3个应答, 1个数据异常"},
        {"stopped", {RunMode::VerifyAll, 2, 5, 2, true, false, {}, {}, {3, 4, 5}, {}, {}, {}}, false,
         "2个中2个应答, 3个未处理"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cleanRun(c.summary), c.clean) << c.name;
        EXPECT_EQ(runOutcomeText(c.summary), c.text) << c.name;
    }
}
