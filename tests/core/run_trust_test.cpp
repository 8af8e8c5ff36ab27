// Answers out of turn and broken answers: a device that did not answer for itself is never OK
// nor counted answered, a record is written only from its own device's whole answer, and a
// broken answer never costs the next device its turn.

#include <gtest/gtest.h>

#include <functional>

#include "core/protocol/frames.h"
#include "sim_run_support.h"

namespace {

using namespace simrun;
using Faults = simulator::Faults;
using FaultSetup = std::function<void(simulator::Bus&)>;

std::string okText(int device) {
    return formatNumber("第%02d个面板OK  ", device);
}

bool listed(const std::vector<int>& list, int device) {
    return std::find(list.begin(), list.end(), device) != list.end();
}

struct OutOfTurnCase {
    const char* name;
    FaultSetup faults;
};

// Device 1's answer under number 2 while 2 is silent: dribbled across the turn, or late.
TEST(RunTrust, AnAnswerOutOfTurnNeverVouchesForTheDeviceWhoseNumberItCarries) {
    const OutOfTurnCase cases[] = {
        {"dribbled into 2's turn",
         [](simulator::Bus& b) {
             b.faults(1).dribbleMs = 30;
             b.faults(1).wrongNumber = 2;
             b.faults(2).silent = true;
         }},
        {"late into the grace",
         [](simulator::Bus& b) {
             b.faults(1).lateMs = 2300;
             b.faults(1).wrongNumber = 2;
             b.faults(2).silent = true;
         }},
        {"late, and 2 answers for itself too",
         [](simulator::Bus& b) {
             b.faults(1).lateMs = 2300;
             b.faults(1).wrongNumber = 2;
         }},
    };
    for (const OutOfTurnCase& c : cases) {
        for (const Action action : {Action::VerifyAll, Action::ReadAll, Action::SendAll}) {
            SCOPED_TRACE(std::string(c.name) + " / " + std::to_string(int(action)));
            SimRun sim(identicalPanels(3));
            // A stored answer would show here (a read all only: a verify would differ).
            if (action == Action::ReadAll) sim.room.devices[2].outputs[2] = 77;
            c.faults(sim.bus);
            sim.run(action);
            const RunSummary summary = sim.summary();
            EXPECT_FALSE(sim.showed(okText(2)));
            EXPECT_FALSE(sim.showed("第02个面板读取完成  "));
            EXPECT_NE(sim.engine.result(2), 1);
            EXPECT_TRUE(listed(summary.unread, 2) || listed(summary.abnormal, 2));
            if (action == Action::ReadAll) {
                EXPECT_EQ(sim.room.devices[2].outputs[2], 77);
            }
            EXPECT_TRUE(listed(summary.unread, 1));
            // Device 3 is not touched by any of it.
            EXPECT_FALSE(listed(summary.unread, 3) || listed(summary.abnormal, 3));
            EXPECT_LE(summary.answered, 2);
        }
    }
}

TEST(RunTrust, ALateAnswerInTheGraceIsLoggedLateAndTheNextRequestWaitsForTheGrace) {
    SimRun sim(identicalPanels(2));
    sim.bus.faults(1).lateMs = 2300;
    sim.run(Action::VerifyAll);
    ASSERT_EQ(sim.notes(AnswerFate::Late).size(), 1u);
    EXPECT_EQ(sim.notes(AnswerFate::Late)[0].device, 1);
    EXPECT_EQ(sim.summary().unread, std::vector<int>{1});
    EXPECT_TRUE(sim.showed(okText(2)));
    // Device 2 was asked only after the period and the grace: 2 s + 600 ms (+ frame time).
    std::vector<TimePoint> asked;
    for (const simulator::BusEvent& e : sim.events) {
        if (e.kind == simulator::BusEvent::Kind::Received) asked.push_back(e.at);
    }
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_GE(asked[1] - asked[0], kGracePeriod + milliseconds(2000));
    EXPECT_LT(asked[1] - asked[0], kGracePeriod + milliseconds(2200));
}

struct BrokenCase {
    const char* name;
    int systemType;
    FaultSetup faults;
};

// A broken answer of device 2 must not cost device 3 its answer.
TEST(RunTrust, ABrokenAnswerNeverSwallowsTheNextDevicesAnswer) {
    const BrokenCase cases[] = {
        {"long answer cut after 30 bytes", 1, [](simulator::Bus& b) { b.faults(2).cutAfter = 30; }},
        {"stray F0 after a long answer", 1, [](simulator::Bus& b) { b.faults(2).stray = true; }},
        {"every short block cut after 10 bytes", 5,
         [](simulator::Bus& b) { b.faults(2).cutAfter = 10; }},
        {"stray F0 after short blocks", 5, [](simulator::Bus& b) { b.faults(2).stray = true; }},
        {"cut short block, stray F0", 5,
         [](simulator::Bus& b) {
             b.faults(2).cutAfter = 8;
             b.faults(2).stray = true;
         }},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRun sim(identicalPanels(3, c.systemType));
        c.faults(sim.bus);
        sim.run(Action::VerifyAll);
        EXPECT_TRUE(sim.showed(okText(3)));
        EXPECT_EQ(sim.engine.result(3), 1);
        EXPECT_FALSE(sim.showed("第03个面板异常(01)"));
        // A stray byte after a whole long answer spoils nothing; one among a device's short
        // blocks is garbled bytes in its turn; a cut answer is no answer.
        const bool spoilt = c.systemType == 5 || sim.bus.faults(2).cutAfter != 0;
        EXPECT_EQ(sim.showed(okText(2)), !spoilt);
    }
}

TEST(RunTrust, AShortFrameReadAllWritesARecordOnlyFromItsWholeAnswer) {
    model::RoomTypeConfig room = exampleRoom();
    room.systemType = 5;
    SimRun clean(room);
    clean.run(Action::ReadAll);
    ASSERT_TRUE(clean.summary().unread.empty());

    // Dribbled: slow, but whole within the period; read as a clean bus reads it.
    SimRun slow(room);
    slow.bus.faults(2).dribbleMs = 10;
    slow.run(Action::ReadAll);
    EXPECT_FALSE(listed(slow.summary().unread, 2));
    EXPECT_EQ(slow.room.devices[2], clean.room.devices[2]);

    // Blocks that stop coming, or come twice: the record stays as it was.
    const FaultSetup broken[] = {
        [](simulator::Bus& b) { b.faults(2).cutAfter = 12; },
        [](simulator::Bus& b) { b.faults(2).repeat = true; },
        [](simulator::Bus& b) { b.faults(2).dribbleMs = 40; },  // only some blocks in time
    };
    for (const FaultSetup& faults : broken) {
        SimRun sim(room);
        faults(sim.bus);
        sim.run(Action::ReadAll);
        EXPECT_TRUE(listed(sim.summary().unread, 2));
        EXPECT_EQ(sim.room.devices[2], room.devices[2]);
        EXPECT_EQ(sim.room.outputMasks[2], room.outputMasks[2]);
        EXPECT_EQ(sim.room.devices[3], clean.room.devices[3]);
    }
}

TEST(RunTrust, AShortFrameVerifyIsOkOnlyWithEveryBlockOnceAndNoneDiffering) {
    const model::RoomTypeConfig room = identicalPanels(3, 5);
    struct Case {
        const char* name;
        FaultSetup faults;
        bool ok;
    };
    const Case cases[] = {
        {"reversed order", [](simulator::Bus& b) { b.faults(2).reorder = true; }, true},
        {"wrong indicator block before block 1",
         [](simulator::Bus& b) {
             b.faults(2).reorder = true;
             b.memory(2).indicators[0] ^= 0x40;
         },
         false},
        {"block 1 again instead of block 5", [](simulator::Bus& b) { b.faults(2).repeat = true; },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimRun sim(room);
        c.faults(sim.bus);
        sim.run(Action::VerifyAll);
        EXPECT_EQ(sim.showed(okText(2)), c.ok);
        EXPECT_EQ(sim.engine.result(2), c.ok ? 1 : 2);
        EXPECT_TRUE(sim.showed(okText(3)));
    }
}

TEST(RunTrust, SendAllCountsOnlyWholeGoodAcknowledgements) {
    struct Case {
        const char* name;
        int systemType;
        FaultSetup faults;
        bool answered;
    };
    const Case cases[] = {
        {"long, checksum off", 1, [](simulator::Bus& b) { b.faults(1).badChecksum = true; },
         false},
        {"short, dribbled but whole", 5, [](simulator::Bus& b) { b.faults(2).dribbleMs = 10; },
         true},
        {"short, blocks cut", 5, [](simulator::Bus& b) { b.faults(2).cutAfter = 12; }, false},
        {"short, dribbled past the period", 5,
         [](simulator::Bus& b) { b.faults(2).dribbleMs = 40; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimRun sim(identicalPanels(3, c.systemType));
        c.faults(sim.bus);
        sim.run(Action::SendAll);
        const RunSummary summary = sim.summary();
        const int faulty = c.systemType == 1 ? 1 : 2;
        EXPECT_EQ(listed(summary.unread, faulty), !c.answered);
        EXPECT_EQ(summary.answered, c.answered ? 3 : 2);
    }
}

// A device that answers twice, or two devices set to the same number: the number is in doubt.
TEST(RunTrust, ANumberAnsweredTwiceIsAConflictNeverOk) {
    SimRun sim(identicalPanels(3));
    sim.bus.faults(2).repeat = true;
    sim.run(Action::VerifyAll);
    EXPECT_EQ(sim.summary().abnormal, std::vector<int>{2});
    EXPECT_EQ(sim.engine.result(2), 2);
    const auto& differences = sim.engine.differences();
    EXPECT_NE(std::find(differences.begin(), differences.end(), "第02个面板编号冲突"),
              differences.end());
    EXPECT_EQ(sim.engine.title(), "未读到的编号:数据异常的编号:02 ");

    // In a read all the record keeps what it had; the title says why.
    SimRun read(identicalPanels(3));
    read.room.devices[2].outputs[2] = 77;
    read.bus.faults(2).repeat = true;
    read.run(Action::ReadAll);
    EXPECT_EQ(read.room.devices[2].outputs[2], 77);
    EXPECT_EQ(read.engine.title(), "未读到的编号:数据异常的编号:02 ");
}

}  // namespace
