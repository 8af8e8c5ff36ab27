// What real RS-485 lines do to bytes: a 0x00 glitch inside an answer, a device of another kind,
// two devices set to one number, answers OR'ed by a collision, a second talker after the last
// device, an adapter that echoes. None of it may end with a device OK or stored from an answer
// that was not wholly its own and consistent.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/commissioning/texts.h"
#include "core/compare/compare.h"
#include "core/protocol/checks.h"
#include "core/protocol/frames.h"
#include "sim_run_support.h"

namespace {

using namespace simrun;
using FaultSetup = std::function<void(simulator::Bus&)>;

bool listed(const std::vector<int>& list, int device) {
    return std::find(list.begin(), list.end(), device) != list.end();
}

bool startsWith(const std::vector<std::string>& texts, const std::string& head) {
    return std::any_of(texts.begin(), texts.end(),
                       [&head](const std::string& t) { return t.rfind(head, 0) == 0; });
}

model::RoomTypeConfig shortFrameExample() {
    model::RoomTypeConfig room = exampleRoom();
    room.systemType = 5;
    return room;
}

// A read all leaves the device's record as it was, says why with `readDifference` and does not
// say it read it; a verify all lists it abnormal (with `verifyDifference` when one is given) and
// never says OK.
void expectNeitherStoredNorOk(const model::RoomTypeConfig& room, int device,
                              const FaultSetup& faults, const std::string& readDifference,
                              const std::string& verifyDifference = {}) {
    SimRun read(room);
    read.room.devices[device].name = "x";  // stays only when nothing was stored
    faults(read.bus);
    read.run(Action::ReadAll);
    EXPECT_EQ(read.room.devices[device], [&] {
        model::DeviceRecord kept = room.devices[device];
        kept.name = "x";
        return kept;
    }());
    EXPECT_EQ(read.room.outputMasks[device], room.outputMasks[device]);
    EXPECT_FALSE(read.showed(formatNumber("第%02d个面板读取完成  ", device)));
    EXPECT_NE(read.engine.result(device), 1);
    EXPECT_TRUE(startsWith(read.engine.differencesOf(device), readDifference));

    SimRun check(room);
    faults(check.bus);
    check.run(Action::VerifyAll);
    EXPECT_FALSE(check.showed(formatNumber(text::kVerdictOk, device)));
    EXPECT_TRUE(listed(check.summary().abnormal, device));
    if (!verifyDifference.empty()) {
        EXPECT_TRUE(startsWith(check.engine.differencesOf(device), verifyDifference));
    }
}

TEST(RunWire, AGlitchByteShiftingAnAnswerIsNeverReadNorOk) {
    const struct {
        const char* name;
        int device;  // 2: a switch panel, 5: a thermostat
        int at;
    } cases[] = {{"panel, among the keys", 2, 14}, {"thermostat, among its slots", 5, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string broken = formatNumber("第%02d个面板长度异常", c.device);
        expectNeitherStoredNorOk(
            exampleRoom(), c.device, [&c](simulator::Bus& b) { b.faults(c.device).zeroAt = c.at; },
            broken, broken);
    }
}

TEST(RunWire, AnAnswerOfAnotherDeviceTypeIsADifferenceAndAReadSaysWhatItTook) {
    // The curtain controller answering as an empty thermostat; switch panels as curtain devices.
    for (const auto& [device, kind] : {std::pair{7, 2}, std::pair{1, 3}, std::pair{1, 4}}) {
        SCOPED_TRACE(std::to_string(device) + " as " + std::to_string(kind));
        SimRun sim(exampleRoom());
        sim.bus.faults(device).kind = kind;
        sim.run(Action::VerifyAll);
        EXPECT_EQ(sim.engine.differencesOf(device),
                  (std::vector<std::string>{formatNumber("第%02d个面板类型不符", device)}));
        EXPECT_TRUE(listed(sim.summary().abnormal, device));
        EXPECT_FALSE(sim.showed(formatNumber(text::kVerdictOk, device)));
    }
    // A read all takes the type the device reports and the comparison names it.
    const model::RoomTypeConfig before = exampleRoom();
    SimRun read(before);
    read.bus.faults(2).kind = 3;
    read.run(Action::ReadAll);
    EXPECT_EQ(read.room.devices[2].type, 3);
    const std::vector<std::string> lines =
        compare::lineTexts(compare::compareRoomTypes(before, read.room));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("设备02") != std::string::npos && l.find("类型") != std::string::npos;
    })) << (lines.empty() ? "" : lines.front());
}

TEST(RunWire, TwoShortFrameDevicesUnderOneNumberAreAConflictNeverAMix) {
    // The twin's blocks start half way through: the first's blocks 1, 5, 11 and the twin's
    // 12, 13, 14 arrive whole and once, their overlap garbled.
    expectNeitherStoredNorOk(
        shortFrameExample(), 2,
        [](simulator::Bus& b) {
            b.faults(2).twin = true;
            b.twinMemory(2).indicators = {0x30, 0x30, 0x30, 0x30, 0x30, 0x30};
        },
        "第02个面板编号冲突");
}

// Two answers OR'ed on the line that still add up: device 3's keys 2 and 6 become 55 and 219,
// and the twin's bytes 7..9 happen to make the 8-bit sum come out right.
TEST(RunWire, TwoAnswersOrEdThatAddUpAreStillNotStored) {
    const model::RoomTypeConfig room = exampleRoom();
    simulator::Bus probe(room);
    const simulator::DeviceMemory first = probe.memory(3);
    simulator::DeviceMemory twin = first;
    twin.inputs[1] = 55;
    twin.inputs[5] = 219;
    bool found = false;
    for (int r = 1; r < 256 && !found; ++r) {
        twin.reserved[0] = static_cast<std::uint8_t>(r);
        const simulator::Bytes heard =
            simulator::collide(simulator::longAnswer(first, 3, 2).bytes,
                               simulator::longAnswer(twin, 3, 2).bytes, 0, false);
        found = protocol::checkAnswerSum({protocol::Answer::Kind::Long, heard}).ok;
    }
    ASSERT_TRUE(found);
    expectNeitherStoredNorOk(
        room, 3,
        [&twin](simulator::Bus& b) {
            b.faults(3).twin = true;
            b.faults(3).twinOffset = 0;
            b.twinMemory(3) = twin;
        },
        "第03个面板数据无效 DB 10 ", "按键第02个数据异常 16 37 ");
}

TEST(RunWire, ASecondTalkerAfterTheLastDeviceIsHeard) {
    for (const int device : {3, 7}) {  // the same talker before the last device and on it
        SCOPED_TRACE(device);
        SimRun sim(exampleRoom());
        sim.bus.faults(device).twin = true;
        sim.bus.faults(device).twinOffset = 150;  // a whole answer, about 150 ms after the first
        sim.run(Action::VerifyAll);
        EXPECT_EQ(sim.summary().abnormal, std::vector<int>{device});
        EXPECT_EQ(sim.engine.result(device), 2);
        EXPECT_EQ(sim.engine.differencesOf(device),
                  std::vector<std::string>{formatNumber(text::kConflict, device)});
        EXPECT_EQ(sim.summary().answered, 6);
    }
}

TEST(RunWire, BehindAnEchoingAdapterEveryDeviceIsReadVerifiedAndSentAsWithoutIt) {
    for (const model::RoomTypeConfig& room : {exampleRoom(), shortFrameExample()}) {
        SCOPED_TRACE(room.systemType);
        for (const Action action : {Action::ReadAll, Action::VerifyAll, Action::SendAll}) {
            SCOPED_TRACE(static_cast<int>(action));
            SimRun plain(room);
            plain.run(action);
            SimRun echoed(room);
            echoed.bus.setEcho(true);
            echoed.run(action);
            EXPECT_EQ(echoed.summary().unread, std::vector<int>{});
            EXPECT_EQ(echoed.summary().abnormal, std::vector<int>{});
            EXPECT_EQ(echoed.summary().answered, plain.summary().answered);
            EXPECT_EQ(echoed.engine.title(), plain.engine.title());
            EXPECT_TRUE(compare::compareRoomTypes(plain.room, echoed.room).empty());
            EXPECT_TRUE(echoed.notes(AnswerFate::Ignored).empty());
        }
    }
    // A chatty device talking while a request goes out puts its bytes among the echo's.
    for (const bool echo : {false, true}) {
        SimRun sim(exampleRoom());
        sim.bus.setEcho(echo);
        sim.bus.faults(1).chattyMs = 50;
        sim.run(Action::VerifyAll);
        EXPECT_EQ(sim.engine.title(), "未读到的编号:数据异常的编号:") << echo;
    }
    // Device 1 acknowledges a command by repeating it: after the first request showed whether
    // the adapter echoes, the repeat is heard as the device's, with echo or without.
    for (const bool echo : {false, true}) {
        SCOPED_TRACE(echo);
        SimRun sim(exampleRoom());
        sim.bus.setEcho(echo);
        sim.run(Action::VerifyAll);
        sim.take(sim.engine.command(Action::CheckDevices, sim.now, true));
        for (const simulator::TimedByte& b : sim.bus.answerDue(sim.now + milliseconds(500))) {
            sim.take(sim.engine.onBytes(std::span<const std::uint8_t>(&b.value, 1), b.due));
        }
        std::size_t acknowledgements = 0;
        for (const Effects& fx : sim.log) {
            for (const AnswerNote& note : fx.answers) {
                acknowledgements += note.bytes == protocol::checkDevicesFrame();
            }
        }
        EXPECT_EQ(acknowledgements, 1u);
    }
}

}  // namespace
