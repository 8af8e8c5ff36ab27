#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "core/model/room_type.h"
#include "core/simulator/bus.h"

using namespace room::simulator;
using namespace std::chrono_literals;
using room::model::RoomTypeConfig;

namespace {

const TimePoint t0 = TimePoint{} + 1000s;
constexpr std::chrono::nanoseconds kByte{1041666};  // 10 bit times at 9600 baud, rounded down

std::uint8_t sumOf(const Bytes& b, std::size_t n) {
    unsigned s = 0;
    for (std::size_t i = 0; i < n; ++i) s += b[i];
    return static_cast<std::uint8_t>(s);
}

// Closes a long frame or answer: length byte, checksum, F3 F4.
Bytes closeLong(Bytes b) {
    b[5] = static_cast<std::uint8_t>(b.size() + 3);
    b.push_back(sumOf(b, b.size()));
    b.push_back(0xF3);
    b.push_back(0xF4);
    return b;
}

// 0xF0, bytes 1..14, checksum, 0x0F.
Bytes shortFrame(std::vector<std::uint8_t> command) {
    Bytes b = {0xF0};
    b.insert(b.end(), command.begin(), command.end());
    b.resize(15, 0);
    b.push_back(sumOf(b, 15));
    b.push_back(0x0F);
    return b;
}

Bytes command(std::uint8_t type, std::uint8_t device, std::uint8_t op) {
    return closeLong({0xF1, 0xF4, type, device, op, 0});
}

// All answer bytes the bus will ever send, with their due times.
std::vector<TimedByte> drain(Bus& bus) {
    return bus.answerDue(t0 + 3600s);
}

Bytes values(const std::vector<TimedByte>& timed) {
    Bytes b;
    for (const TimedByte& t : timed) b.push_back(t.value);
    return b;
}

Bytes answerOf(Bus& bus, const Bytes& frame) {
    bus.feed(frame, t0);
    return values(drain(bus));
}

// A switch-panel configuration frame for device 3 with recognisable data.
Bytes panelSendFrame(std::uint8_t op) {
    Bytes f = {0xF1, 0xF4, 0x01, 0x03, op, 0, 0x05, 0, 0, 0, 0};
    for (int i = 0; i < 54; ++i) f.push_back(static_cast<std::uint8_t>(i + 1));
    return closeLong(f);
}

// The answer a device gives for `sent` under operation `op`: F2 F3 and sent[2..] re-closed.
Bytes expectedAnswer(const Bytes& sent, std::uint8_t op) {
    Bytes a(sent.begin(), sent.end() - 3);
    a[0] = 0xF2;
    a[1] = 0xF3;
    a[4] = op;
    return closeLong(a);
}

Bytes emptyPanelRead7() {
    Bytes a = {0xF2, 0xF3, 0x01, 0x07, 0x02, 0x44};
    a.resize(65, 0);
    a.insert(a.end(), {0x33, 0xF3, 0xF4});
    return a;
}

}  // namespace

TEST(SimulatorBus, ReadOfAnEmptyDeviceIsAZeroPanelAnswer) {
    Bus bus;
    EXPECT_EQ(answerOf(bus, {0xF1, 0xF4, 0x01, 0x07, 0x02, 0x09, 0xF8, 0xF3, 0xF4}),
              emptyPanelRead7());

    bus.memory(7).type = 2;  // an empty thermostat: header only, 14 bytes
    const Bytes thermostat = {0xF2, 0xF3, 0x02, 0x07, 0x02, 0x0E, 0, 0, 0, 0, 0, 0xFE, 0xF3, 0xF4};
    EXPECT_EQ(answerOf(bus, command(0x01, 7, 2)), thermostat);
}

TEST(SimulatorBus, SendThenVerifyAndReadAnswerWhatWasSent) {
    for (std::uint8_t op : {0x01, 0x05, 0x81, 0x85}) {
        Bus bus;
        const Bytes sent = panelSendFrame(op);
        ASSERT_EQ(sent.size(), 68u);
        EXPECT_EQ(answerOf(bus, sent), expectedAnswer(sent, op)) << int(op);
        EXPECT_EQ(answerOf(bus, command(0x01, 3, 3)), expectedAnswer(sent, 3)) << int(op);
        EXPECT_EQ(answerOf(bus, command(0x00, 3, 2)), expectedAnswer(sent, 2)) << int(op);
    }
}

TEST(SimulatorBus, ThermostatAndSlotDevicesKeepTheirSlots) {
    Bus bus;
    const Bytes slots = {50, 1, 2, 26, 2, 0, 0, 52, 2, 0, 15, 0, 0, 0};
    Bytes thermostat = {0xF1, 0xF4, 0x02, 0x04, 0x05, 0, 0x01, 0, 0, 0, 0x02};
    thermostat.insert(thermostat.end(), slots.begin(), slots.end());
    thermostat = closeLong(thermostat);
    EXPECT_EQ(answerOf(bus, thermostat), expectedAnswer(thermostat, 5));
    EXPECT_EQ(answerOf(bus, command(0x02, 4, 3)), expectedAnswer(thermostat, 3));

    Bytes tuning = {0xF1, 0xF4, 0x06, 0x09, 0x05, 0, 0x01, 0, 0, 0, 0x01};
    for (int i = 0; i < 18; ++i) tuning.push_back(static_cast<std::uint8_t>(0x20 + i));
    tuning.insert(tuning.end(), {51, 10, 0, 238, 238, 238, 238});
    tuning = closeLong(tuning);
    answerOf(bus, tuning);
    EXPECT_EQ(answerOf(bus, command(0x06, 9, 2)), expectedAnswer(tuning, 2));
}

TEST(SimulatorBus, ClearOneDeviceAndClearAll) {
    Bus bus;
    answerOf(bus, panelSendFrame(5));  // device 3; device 7 gets its own data
    Bytes seven = panelSendFrame(5);
    seven[3] = 7;
    seven = closeLong(Bytes(seven.begin(), seven.end() - 3));
    bus.feed(seven, t0);
    drain(bus);

    const Bytes ack = {0xF2, 0xF3, 0x01, 0x03, 0x04, 0x09, 0xF6, 0xF3, 0xF4};
    EXPECT_EQ(answerOf(bus, command(0x01, 3, 4)), ack);
    Bytes emptyRead3 = emptyPanelRead7();
    emptyRead3[3] = 3;
    emptyRead3[65] = 0x2F;
    EXPECT_EQ(answerOf(bus, command(0x01, 3, 2)), emptyRead3);
    EXPECT_EQ(answerOf(bus, command(0x01, 7, 2)), expectedAnswer(seven, 2));

    // The console's clear-all frame: nobody answers, everybody forgets.
    EXPECT_TRUE(answerOf(bus, {0xF1, 0xF4, 0x00, 0x00, 0x04, 0x09, 0xF2, 0xF3, 0xF4}).empty());
    EXPECT_EQ(answerOf(bus, command(0x01, 7, 2)), emptyPanelRead7());
}

TEST(SimulatorBus, NumberOnlyAcknowledgesAndKeepsTheData) {
    Bus bus;
    const Bytes sent = panelSendFrame(5);
    answerOf(bus, sent);
    const Bytes ack = {0xF2, 0xF3, 0x01, 0x03, 0x86, 0x09, 0x78, 0xF3, 0xF4};
    EXPECT_EQ(answerOf(bus, command(0x01, 3, 0x86)), ack);
    EXPECT_EQ(answerOf(bus, command(0x01, 3, 2)), expectedAnswer(sent, 2));
}

TEST(SimulatorBus, FramesForOthersOrBrokenFramesGetNoAnswer) {
    Bus bus;
    bus.setDeviceCount(4);
    Bytes badSum = command(0x01, 2, 2);
    badSum[6] ^= 0x01;
    Bytes badEnd = command(0x01, 2, 2);
    badEnd[8] = 0xF5;
    const std::vector<Bytes> silent = {
        command(0x01, 5, 2),   // beyond the bus
        command(0x01, 33, 2),  // no such number
        command(0x01, 0, 2),   // only a clear may go to device 0
        badSum,
        badEnd,
        shortFrame({0xED, 0x01, 0x02, 0x01}),  // another device's answer
        shortFrame({0xEC, 0x05, 0x02, 0x01}),  // short read for device 5
    };
    for (const Bytes& frame : silent) {
        bus.feed(frame, t0);
        EXPECT_FALSE(bus.nextDue().has_value()) << frame.size();
    }
}

TEST(SimulatorBus, NoiseBeforeAFrameIsSkipped) {
    Bus bus;
    const Bytes read = {0xF1, 0xF4, 0x01, 0x07, 0x02, 0x09, 0xF8, 0xF3, 0xF4};
    Bytes noisy = {0x00, 0xF1, 0xF2, 0xF0, 0x01};
    noisy.insert(noisy.end(), read.begin(), read.end());
    noisy.resize(17 + 3);  // the short frame begun by 0xF0 is complete but wrong
    noisy.insert(noisy.end(), read.begin(), read.end());
    // Byte by byte, as the console writes: the frame inside the bad short frame is found too.
    for (std::uint8_t b : noisy) bus.feed(&b, 1, t0);
    Bytes twice = emptyPanelRead7();
    twice.insert(twice.end(), twice.begin(), twice.end());
    EXPECT_EQ(values(drain(bus)), twice);

    // A frame cut short holds the devices only until the line has been quiet for a while.
    const Bytes cut = {0xF1, 0xF4, 0x01, 0x07, 0x02, 0x30};
    bus.feed(cut, t0 + 1s);
    bus.feed(read, t0 + 1s + 10ms);
    EXPECT_FALSE(bus.nextDue().has_value());
    bus.feed(cut, t0 + 2s);
    bus.feed(read, t0 + 2s + 50ms);
    EXPECT_EQ(values(drain(bus)), emptyPanelRead7());
}

TEST(SimulatorBus, ShortFramingBlocks) {
    Bus bus;
    const std::vector<std::pair<int, Bytes>> blocks = {
        {1, {1, 2, 3, 4, 5, 6, 60, 61, 62, 63}},    {5, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}},
        {11, {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6}}, {12, {0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6}},
        {13, {0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6}}, {14, {0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6}},
    };
    for (const auto& [block, data] : blocks) {
        std::vector<std::uint8_t> cmd = {0xEC, 0x02, 0x81, static_cast<std::uint8_t>(block)};
        cmd.insert(cmd.end(), data.begin(), data.end());
        std::vector<std::uint8_t> answer = cmd;
        answer[0] = 0xED;
        EXPECT_EQ(answerOf(bus, shortFrame(cmd)), shortFrame(answer)) << block;
    }
    const Bytes block5 = {0xF0, 0xED, 0x02, 0x01, 0x05, 0x11, 0x22, 0x33, 0x44,
                          0x55, 0x66, 0,    0,    0,    0,    0x4A, 0x0F};
    bus.feed(shortFrame({0xEC, 0x02, 0x03, 0x01}), t0);
    const Bytes verify = values(drain(bus));
    ASSERT_EQ(verify.size(), 6u * 17u);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        std::vector<std::uint8_t> answer = {0xED, 0x02, 0x03,
                                            static_cast<std::uint8_t>(blocks[i].first)};
        answer.insert(answer.end(), blocks[i].second.begin(), blocks[i].second.end());
        EXPECT_EQ(Bytes(verify.begin() + 17 * i, verify.begin() + 17 * (i + 1)),
                  shortFrame(answer));
    }
    EXPECT_EQ(
        answerOf(bus, shortFrame({0xEC, 0x02, 0x01, 0x05, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66})),
        block5);
    // The long framing sees the same memory: inputs, outputs 1..4, indicators, mask rows 1..4.
    const Bytes longRead = answerOf(bus, command(0x01, 2, 2));
    ASSERT_EQ(longRead.size(), 68u);
    EXPECT_EQ(Bytes(longRead.begin() + 11, longRead.begin() + 29),
              Bytes({1, 2, 3, 4, 5, 6, 60, 61, 62, 63, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
    EXPECT_EQ(longRead[29 + 18], 0xD1);  // block 14 is mask row 4

    bus.feed(shortFrame({0xEC, 0x00, 0x04, 0x01}), t0);  // clear all, short framing
    EXPECT_FALSE(bus.nextDue().has_value());
    const Bytes empty = answerOf(bus, shortFrame({0xEC, 0x02, 0x02, 0x01}));
    EXPECT_EQ(Bytes(empty.begin(), empty.begin() + 17), shortFrame({0xED, 0x02, 0x02, 0x01}));
}

TEST(SimulatorBus, MirrorAndTestCommandsAreEchoedByDeviceOne) {
    Bus bus;
    const Bytes mirror = {0xF0, 0xDD, 0x12, 0x01, 0x01, 0x01, 0,    0,   0,
                          0,    0x01, 0x01, 0,    0,    0,    0xE4, 0x0F};
    EXPECT_EQ(answerOf(bus, mirror), mirror);
    const Bytes leave = shortFrame({0xCB, 0xCC, 0xCD});
    EXPECT_EQ(answerOf(bus, leave), leave);

    bus.faults(1).badChecksum = true;
    Bytes spoilt = mirror;
    spoilt[15] = 0xE5;
    EXPECT_EQ(answerOf(bus, mirror), spoilt);
    bus.faults(1).silent = true;
    EXPECT_TRUE(answerOf(bus, mirror).empty());
}

TEST(SimulatorBus, ByteTiming) {
    Bus bus;
    const Bytes read = command(0x01, 7, 2);  // 9 bytes to the device, 68 back
    bus.feed(read, t0);
    const std::vector<TimedByte> answer = drain(bus);
    ASSERT_EQ(answer.size(), 68u);
    const auto firstDue = t0 + 9 * kByte + 5ms + kByte;
    EXPECT_NEAR((answer.front().due - firstDue).count(), 0, 20);
    for (std::size_t i = 1; i < answer.size(); ++i) {
        const auto step = answer[i].due - answer[i - 1].due;
        EXPECT_TRUE(step == kByte || step == kByte + 1ns) << i << " " << step.count();
    }
    // 77 byte times (about 80.2 ms) plus the reaction time from the write to the last byte.
    using Ms = std::chrono::duration<double, std::milli>;
    EXPECT_NEAR(Ms(answer.back().due - t0).count(), 77 * 10.0 / 9.6 + 5.0, 0.01);

    // Without the inbound wire and with a slower reaction the answer starts earlier / later.
    bus.setTiming({20ms, 9600, false});
    bus.feed(read, t0);
    EXPECT_EQ(bus.nextDue(), t0 + 20ms + kByte);
    EXPECT_TRUE(bus.answerDue(t0 + 20ms).empty());
    EXPECT_EQ(bus.answerDue(t0 + 20ms + kByte).size(), 1u);
}

TEST(SimulatorBus, AnswersDoNotOverlapOnTheLine) {
    Bus bus;
    bus.feed(command(0x01, 1, 2), t0);
    bus.feed(command(0x01, 2, 2), t0);  // its frame ends while device 1 is still answering
    const std::vector<TimedByte> both = drain(bus);
    ASSERT_EQ(both.size(), 136u);
    EXPECT_EQ(both[3].value, 1);
    EXPECT_EQ(both[68 + 3].value, 2);
    EXPECT_GE(both[68].due - both[67].due, kByte);
}

struct FaultCase {
    const char* name;
    std::function<void(Faults&)> set;
    std::function<void(const std::vector<TimedByte>&)> check;
};

TEST(SimulatorBus, FaultsChangeTheAnswerAsScripted) {
    const Bytes clean = emptyPanelRead7();
    const auto firstDue = t0 + 10 * kByte + 5ms;
    const std::vector<FaultCase> cases = {
        {"silent", [](Faults& f) { f.silent = true; },
         [](const auto& a) { EXPECT_TRUE(a.empty()); }},
        {"late", [](Faults& f) { f.lateMs = 2500; },
         [&](const auto& a) {
             EXPECT_EQ(values(a), clean);
             EXPECT_NEAR((a.front().due - (firstDue + 2500ms)).count(), 0, 20);
         }},
        {"dribble", [](Faults& f) { f.dribbleMs = 30; },
         [&](const auto& a) {
             EXPECT_EQ(values(a), clean);
             EXPECT_EQ(a[1].due - a[0].due, 30ms);
             EXPECT_EQ(a.back().due - a.front().due, 67 * 30ms);
         }},
        {"bad checksum", [](Faults& f) { f.badChecksum = true; },
         [&](const auto& a) {
             Bytes expected = clean;
             expected[65] = 0x34;
             EXPECT_EQ(values(a), expected);
         }},
        {"wrong number", [](Faults& f) { f.wrongNumber = 9; },
         [&](const auto& a) {
             Bytes expected = clean;
             expected[3] = 9;
             expected[65] = 0x35;
             EXPECT_EQ(values(a), expected);
         }},
        {"garbage", [](Faults& f) { f.garbage = true; },
         [&](const auto& a) {
             Bytes expected = {0x00, 0xFF, 0x55, 0xF2, 0x11, 0xAA};
             expected.insert(expected.end(), clean.begin(), clean.end());
             EXPECT_EQ(values(a), expected);
         }},
        {"corrupt", [](Faults& f) { f.corrupt = true; },
         [&](const auto& a) {
             Bytes expected = clean;
             expected[11] = 0x01;
             expected[65] = 0x34;
             EXPECT_EQ(values(a), expected);
         }},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bus bus;
        c.set(bus.faults(7));
        bus.feed(command(0x01, 7, 2), t0);
        c.check(drain(bus));
        // Only the faulty device is affected.
        Bytes other = answerOf(bus, command(0x01, 6, 2));
        ASSERT_EQ(other.size(), 68u);
        EXPECT_EQ(other[3], 6);
    }
}

TEST(SimulatorBus, AMissingDeviceAnswersOnlyAfterItsFirstRequestsPassUnheard) {
    Bus bus;
    bus.faults(3).miss = 2;
    const Bytes send = panelSendFrame(0x01);
    EXPECT_TRUE(answerOf(bus, send).empty());
    EXPECT_EQ(answerOf(bus, command(0x01, 6, 2)).size(), 68u) << "the others answer meanwhile";
    EXPECT_TRUE(answerOf(bus, command(0x01, 3, 2)).empty());
    // The third request is answered, and the missed send left nothing behind.
    Bytes empty = emptyPanelRead7();
    empty[3] = 3;
    empty[65] = 0x2F;
    EXPECT_EQ(answerOf(bus, command(0x01, 3, 2)), empty);
    EXPECT_EQ(answerOf(bus, send), expectedAnswer(send, 0x01));
}

TEST(SimulatorBus, ALateAnswerDoesNotHoldBackOthers) {
    Bus bus;
    bus.faults(5).lateMs = 2500;
    bus.feed(command(0x01, 5, 2), t0);
    bus.feed(command(0x01, 6, 2), t0 + 100ms);
    const auto first = bus.answerDue(t0 + 1s);
    ASSERT_EQ(first.size(), 68u);
    EXPECT_EQ(first[3].value, 6);
    const auto late = drain(bus);
    ASSERT_EQ(late.size(), 68u);
    EXPECT_EQ(late[3].value, 5);
    const auto events = bus.takeEvents();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2].kind, BusEvent::Kind::Answered);
    EXPECT_EQ(events[2].device, 6);
}

TEST(SimulatorBus, PreloadedFromARoomType) {
    RoomTypeConfig room = room::model::makeStartupRoomType();
    room.deviceCount = 4;
    room.functionOptionsA = 0x21;
    room.modeFlagBits = {1, 2, 4, 8, 16, 32};
    auto& panel = room.devices[1];
    panel = {.type = 1,
             .name = "",
             .inUse = 1,
             .inputs = {10, 11, 12, 13, 14, 15},
             .outputs = {20, 21, 22, 23, 24, 25}};
    room.outputMasks[1][0] = {0x01, 0x01, 0, 0, 0, 0x80};
    auto& thermostat = room.devices[2];
    thermostat.type = 2;
    thermostat.inUse = 1;
    thermostat.outputs = {100, 101, 102, 103, 0, 0};
    thermostat.slot(1) = {50, {10, 9, 10, 8, 238, 238}};
    thermostat.slot(3) = {52, {0, 238, 238, 238, 238, 238}};
    thermostat.slot(4) = {238, {10, 9, 10, 8, 238, 238}};  // empty slot: not sent
    room.devices[3] = {.type = 6, .name = "", .inUse = 1};
    room.devices[4] = {.type = 6, .name = "", .inUse = 1};
    room.devices[4].slot(9) = {168, {10, 0, 238, 300, 5, 6}};
    room.devices[5] = {.type = 1, .name = "", .inUse = 1};  // beyond deviceCount: not configured

    Bus bus(room);
    const Bytes panelRead = answerOf(bus, command(0x01, 1, 2));
    ASSERT_EQ(panelRead.size(), 68u);
    EXPECT_EQ(panelRead[6], 0x21);
    EXPECT_EQ(Bytes(panelRead.begin() + 11, panelRead.begin() + 35),
              Bytes({10, 11, 12, 13, 14, 15, 20,   21,   22, 23, 24, 25,
                     1,  2,  4,  8,  16, 32, 0x01, 0x01, 0,  0,  0,  0x80}));

    Bytes thermostatExpected = {0xF2, 0xF3, 0x02, 0x02, 0x03, 0,  0x21, 0, 0,  0, 0x01, 50, 1,
                                2,    26,   2,    0,    0,    52, 2,    0, 15, 0, 0,    0};
    EXPECT_EQ(answerOf(bus, command(0x02, 2, 3)), closeLong(thermostatExpected));

    Bytes tuningExpected = {0xF2, 0xF3, 0x06, 0x04, 0x02, 0, 0x21, 0, 0, 0, 0x02};
    tuningExpected.insert(tuningExpected.end(), 12, 0);
    tuningExpected.insert(tuningExpected.end(), {1, 2, 4, 8, 16, 32});
    tuningExpected.insert(tuningExpected.end(), {168, 10, 0, 238, 0x2C, 5, 6});
    EXPECT_EQ(answerOf(bus, command(0x06, 4, 2)), closeLong(tuningExpected));

    // Device 5 is not part of the room: no such hardware on its bus.
    EXPECT_FALSE(bus.isPresent(5));
    EXPECT_TRUE(answerOf(bus, command(0x01, 5, 2)).empty());
    // A bus with every number on it answers for a device the room does not configure with an
    // empty memory of its kind.
    bus.setDeviceCount(32);
    Bytes unconfigured = answerOf(bus, command(0x01, 5, 2));
    ASSERT_EQ(unconfigured.size(), 68u);
    EXPECT_EQ(Bytes(unconfigured.begin() + 6, unconfigured.begin() + 65), Bytes(59, 0));
}
