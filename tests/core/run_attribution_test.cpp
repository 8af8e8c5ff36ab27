// Runs over the emulated devices with their faults: every answer belongs to the device that sent
// it, no device that failed to answer in time is ever reported OK, every silent device is
// listed, and every run ends.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/protocol/frames.h"
#include "sim_run_support.h"

namespace {

using namespace simrun;
using Faults = simulator::Faults;

std::string okText(int device) {
    return formatNumber("第%02d个面板OK  ", device);
}

struct FaultCase {
    const char* name;
    std::function<void(simulator::Bus&)> faults;
    std::vector<int> unread;
    std::vector<int> abnormal;
    std::vector<int> late;     // devices whose answer is logged as late
    std::vector<int> foreign;  // numbers logged as foreign
};

TEST(RunAttribution, VerifyAllOverFaultyDevicesOfTheExample) {
    const FaultCase cases[] = {
        {"clean", [](simulator::Bus&) {}, {}, {}, {}, {}},
        {"late 3:3500", [](simulator::Bus& b) { b.faults(3).lateMs = 3500; }, {3}, {}, {3}, {}},
        {"dribble 4:50", [](simulator::Bus& b) { b.faults(4).dribbleMs = 50; }, {4}, {}, {4}, {}},
        // A number answered out of turn is in doubt: two talkers claim it.
        {"wrong number 3 as 4", [](simulator::Bus& b) { b.faults(3).wrongNumber = 4; }, {3}, {4},
         {}, {4}},
        {"wrong number 5 as 2", [](simulator::Bus& b) { b.faults(5).wrongNumber = 2; }, {5}, {2},
         {2}, {}},
        {"bad checksum 2", [](simulator::Bus& b) { b.faults(2).badChecksum = true; }, {}, {2},
         {}, {}},
        {"corrupt thermostat 5", [](simulator::Bus& b) { b.faults(5).corrupt = true; }, {}, {5},
         {}, {}},
        {"chatty 1 every 50 ms", [](simulator::Bus& b) { b.faults(1).chattyMs = 50; }, {}, {}, {},
         {}},
        {"mix",
         [](simulator::Bus& b) {
             b.faults(2).lateMs = 3200;
             b.faults(6).wrongNumber = 1;
             b.faults(7).chattyMs = 40;
             b.faults(3).garbage = true;
             b.faults(4).badChecksum = true;
             b.faults(5).silent = true;
         },
         {2, 5, 6}, {1, 4}, {1, 2}, {}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRun sim(exampleRoom());
        c.faults(sim.bus);
        sim.run(Action::VerifyAll);
        const RunSummary summary = sim.summary();
        EXPECT_FALSE(summary.stopped);
        EXPECT_EQ(summary.unread, c.unread);
        EXPECT_EQ(summary.abnormal, c.abnormal);
        const std::set<int> failed(c.unread.begin(), c.unread.end());
        for (int d = 1; d <= sim.room.deviceCount; ++d) {
            const bool bad = failed.count(d) ||
                             std::count(c.abnormal.begin(), c.abnormal.end(), d) != 0;
            EXPECT_EQ(sim.engine.result(d), failed.count(d) ? 0 : bad ? 2 : 1) << d;
            // A device found OK before another claimed its number is listed, not unsaid.
            if (failed.count(d)) {
                EXPECT_FALSE(sim.showed(okText(d))) << d;
            }
        }
        std::set<int> late, foreign;
        for (const AnswerNote& n : sim.notes(AnswerFate::Late)) late.insert(n.device);
        for (const AnswerNote& n : sim.notes(AnswerFate::Foreign)) foreign.insert(n.device);
        EXPECT_EQ(late, std::set<int>(c.late.begin(), c.late.end()));
        EXPECT_EQ(foreign, std::set<int>(c.foreign.begin(), c.foreign.end()));
        // Never longer than a period and its grace (or the answer's 100 ms) per device.
        EXPECT_LE(sim.now - kStart, 7 * (milliseconds(3120) + kGracePeriod));
    }
}

TEST(RunAttribution, ALateAnswerOfAnIdenticalPanelNeverVouchesForItsSilentNeighbour) {
    SimRun sim(identicalPanels(2));
    sim.bus.faults(1).lateMs = 3100;
    sim.bus.faults(2).silent = true;
    sim.run(Action::VerifyAll);
    EXPECT_EQ(sim.summary().unread, (std::vector<int>{1, 2}));
    EXPECT_FALSE(sim.showed(okText(2)));
    EXPECT_FALSE(sim.showed(okText(1)));
    EXPECT_EQ(sim.engine.title(), "未读到的编号:01 02 数据异常的编号:");
}

TEST(RunAttribution, ReadAllStoresEachAnswerOnlyIntoItsOwnDevice) {
    const model::RoomTypeConfig original = exampleRoom();
    SimRun clean(original);  // what device 2's own answer leaves in its record
    clean.run(Action::ReadAll);
    SimRun sim(original);
    sim.bus.faults(3).wrongNumber = 2;      // device 3 answers as 2
    sim.bus.faults(6).badChecksum = true;   // device 6's answer does not add up
    sim.room.devices[6].outputs[1] = 99;    // so a stored answer would show
    sim.room.devices[2].outputs[1] = 98;
    sim.run(Action::ReadAll);
    EXPECT_EQ(sim.summary().unread, (std::vector<int>{3, 6}));
    // Number 2 was claimed twice: neither answer is stored, and the title says so.
    EXPECT_EQ(sim.summary().abnormal, std::vector<int>{2});
    EXPECT_EQ(sim.room.devices[2].outputs[1], 98);
    EXPECT_EQ(sim.room.devices[6].outputs[1], 99);
    EXPECT_EQ(sim.room.devices[4], clean.room.devices[4]);
    EXPECT_TRUE(sim.engine.result(2) == 2 && sim.engine.result(4) == 1);
    const std::vector<std::string>& differences = sim.engine.differences();
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0], "第02个面板编号冲突");
    EXPECT_EQ(differences[1].rfind("第06个面板校验和异常 ", 0), 0u) << differences[1];
}

TEST(RunAttribution, ReadAllOfTheExampleKeepsTheRoomWideBytes) {
    const model::RoomTypeConfig original = exampleRoom();
    SimRun sim(original);
    sim.run(Action::ReadAll);
    EXPECT_TRUE(sim.summary().unread.empty());
    EXPECT_EQ(sim.room.functionOptionsA, original.functionOptionsA);
    EXPECT_EQ(sim.room.modeFlagBits, original.modeFlagBits);
    EXPECT_EQ(sim.room.deviceCount, original.deviceCount);
    // Only the room's devices are on its bus: the read visited nothing else.
    EXPECT_EQ(sim.summary().visited, original.deviceCount);
}

TEST(RunAttribution, ASilentDeviceAboveAGapIsListed) {
    model::RoomTypeConfig room = identicalPanels(10);
    room.devices[9].inUse = 0;
    SimRun sim(room);
    sim.bus.faults(10).silent = true;
    sim.run(Action::VerifyAll);
    EXPECT_EQ(sim.summary().unread, std::vector<int>{10});
    EXPECT_EQ(sim.engine.title(), "未读到的编号:10 数据异常的编号:");
}

TEST(RunAttribution, EachVerifyStartsFromACleanWorkingCopy) {
    SimRun sim(exampleRoom());
    sim.run(Action::VerifyAll);
    ASSERT_TRUE(sim.summary().abnormal.empty());
    // Thermostat 5 and dimmer 4 lose their scene slots; the next verify all must see it.
    sim.bus.memory(5).sceneSlots.clear();
    sim.bus.memory(4).sceneSlots.clear();
    sim.log.clear();
    sim.run(Action::VerifyAll);
    EXPECT_EQ(sim.summary().abnormal, (std::vector<int>{4, 5}));
    EXPECT_FALSE(sim.showed(okText(5)));
}

TEST(RunAttribution, VerifyAllRightAfterReadAllFindsNoFalseDifferences) {
    for (const int systemType : {3, 5}) {
        SCOPED_TRACE(systemType);
        model::RoomTypeConfig room = exampleRoom();
        room.systemType = systemType;
        SimRun sim(room);
        sim.run(Action::ReadAll);
        sim.run(Action::VerifyAll);
        EXPECT_TRUE(sim.summary().unread.empty());
        EXPECT_TRUE(sim.summary().abnormal.empty());
        EXPECT_TRUE(sim.engine.differences().empty());
    }
}

TEST(RunAttribution, ShortFrameRoomsVerifyCleanAndChatterNeverHoldsARun) {
    model::RoomTypeConfig room = exampleRoom();
    room.systemType = 6;
    SimRun sim(room);
    sim.bus.faults(1).chattyMs = 30;
    sim.bus.faults(3).chattyMs = 50;
    sim.run(Action::VerifyAll);
    EXPECT_TRUE(sim.summary().unread.empty());
    EXPECT_TRUE(sim.summary().abnormal.empty());
    for (int d = 1; d <= 7; ++d) EXPECT_TRUE(sim.showed(okText(d))) << d;
    EXPECT_FALSE(sim.notes(AnswerFate::Ignored).empty());  // the chatter, logged and let be
    sim.run(Action::SendAll);
    sim.run(Action::VerifyAll);
    EXPECT_TRUE(sim.summary().abnormal.empty());
}

TEST(RunAttribution, ARunWhosePortGoesAwaySaysSoAndListsWhatItNeverServed) {
    for (const bool lose : {true, false}) {
        SCOPED_TRACE(lose);
        SimRun sim(exampleRoom());
        sim.take(sim.engine.command(Action::VerifyAll, sim.now, true));
        // Play until device 3 is being served, then pull the adapter (or press stop).
        while (sim.engine.visitedDevices() < 3) {
            sim.now = *sim.engine.nextDeadline();
            sim.take(sim.engine.onTimeout(sim.now));
        }
        sim.take(lose ? sim.engine.setPortOpen(false, sim.now)
                      : sim.engine.command(Action::Stop, sim.now));
        const RunSummary summary = sim.summary();
        EXPECT_TRUE(summary.stopped);
        EXPECT_EQ(summary.portLost, lose);
        EXPECT_EQ(summary.unread, (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(summary.unreached, (std::vector<int>{4, 5, 6, 7}));
        EXPECT_EQ(sim.engine.status(), lose ? "校验中断: 串口断开" : "校验已停止");
        EXPECT_FALSE(sim.showed("校验完成"));
        EXPECT_EQ(sim.engine.title(),
                  "未读到的编号:01 02 03 数据异常的编号:未处理的编号:04 05 06 07 ");
    }
}

}  // namespace
