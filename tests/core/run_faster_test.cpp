// Faster rooms: the bus scan, the read of an unknown room, retries and send-then-verify, played
// against the emulated devices in simulated time.

#include <gtest/gtest.h>

#include <functional>

#include "core/commissioning/run_sequence.h"
#include "sim_run_support.h"

namespace {

using namespace simrun;

std::vector<int> numbers(int from, int to) {
    std::vector<int> out;
    for (int n = from; n <= to; ++n) out.push_back(n);
    return out;
}

std::vector<int> foundNumbers(const ScanReport& report) {
    std::vector<int> out;
    for (const ScanFinding& f : report.found) out.push_back(f.number);
    return out;
}

struct ScanCase {
    const char* name;
    std::function<void(simulator::Bus&)> setup;
    std::vector<int> found;
    std::vector<int> missing;
    std::vector<int> extra;
    std::vector<int> slow;
};

// The example room has devices 1 to 7 in use.
TEST(BusScan, FindsWhoAnswersInItsOwnWindowOnly) {
    const ScanCase cases[] = {
        {"all seven", [](simulator::Bus&) {}, numbers(1, 7), {}, {}, {}},
        {"behind an echoing adapter", [](simulator::Bus& b) { b.setEcho(true); }, numbers(1, 7),
         {}, {}, {}},
        {"a silent device is missing", [](simulator::Bus& b) { b.faults(3).silent = true; },
         {1, 2, 4, 5, 6, 7}, {3}, {}, {}},
        // Its answer begins after its window, in the next number's turn: credited to nobody.
        {"a slow device", [](simulator::Bus& b) { b.faults(5).lateMs = 400; },
         {1, 2, 3, 4, 6, 7}, {}, {}, {5}},
        {"a device not in the room type",
         [](simulator::Bus& b) {
             b.setPresent({1, 2, 3, 4, 5, 6, 7, 12});
             b.memory(12).type = 1;
         },
         {1, 2, 3, 4, 5, 6, 7, 12}, {}, {12}, {}},
        // Device 2 answers under 9 in 2's turn: neither 2 nor 9 is found from it.
        {"an answer under another number", [](simulator::Bus& b) { b.faults(2).wrongNumber = 9; },
         {1, 3, 4, 5, 6, 7}, {2}, {}, {}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimRun sim(exampleRoom());
        c.setup(sim.bus);
        sim.start(NextRun{NextRun::Kind::Scan, Action::ReadAll, numbers(1, 32)});
        sim.play();
        const RunSummary summary = sim.summary();
        ASSERT_TRUE(summary.scan);
        EXPECT_EQ(foundNumbers(*summary.scan), c.found);
        EXPECT_EQ(summary.scan->missing, c.missing);
        EXPECT_EQ(summary.scan->extra, c.extra);
        EXPECT_EQ(summary.scan->slow, c.slow);
        // Nothing of the room type changes, and the answers say the devices' types.
        const model::RoomTypeConfig example = exampleRoom();
        for (int d = 1; d <= 32; ++d) EXPECT_TRUE(sim.room.devices[d] == example.devices[d]) << d;
        for (const ScanFinding& f : summary.scan->found) {
            if (f.number <= 7) {
                EXPECT_EQ(f.type, sim.room.devices[f.number].type) << f.number;
            }
        }
        // 32 numbers, each its window and its request; those that answer a little more.
        EXPECT_LT(sim.now - kStart, milliseconds(15000));
    }
}

TEST(BusScan, TextsAndVerdict) {
    ScanReport report;
    report.found = {{1, 1}, {2, 0}, {9, 2}};
    report.missing = {3};
    report.extra = {9};
    report.slow = {5};
    report.againstRoomType = true;
    const std::vector<std::string> lines = {"01 1.开关面板", "02", "09 2.温控器", "缺少: 03",
                                            "多出: 09", "应答慢: 05"};
    EXPECT_EQ(scanLines(report), lines);
    EXPECT_EQ(scanTitle(report), "应答的编号:01 02 09  缺少:03  多出:09  应答慢:05");
    EXPECT_FALSE(scanMatches(report));
    EXPECT_EQ(answeringNumbers(report), (std::vector<int>{1, 2, 5, 9}));
    report.missing.clear();
    report.extra.clear();
    report.slow.clear();
    EXPECT_TRUE(scanMatches(report));
    // Without a room type anything that answered will do; nothing, or only slow numbers, not.
    ScanReport alone;
    EXPECT_FALSE(scanMatches(alone));
    alone.found = {{4, 1}};
    EXPECT_TRUE(scanMatches(alone));
}

// A room type without devices: the scan finds the seven, the read reads just those.
TEST(UnknownRoom, ScanThenReadReadsTheDevicesThatAnswered) {
    SimRun sim(model::makeStartupRoomType());
    sim.bus = simulator::Bus(exampleRoom());
    SequencePlan plan;
    plan.action = Action::ReadAll;
    plan.scanFirst = true;
    sim.runSequence(plan);
    const RunSummary read = sim.summary();
    EXPECT_EQ(read.mode, RunMode::ReadAll);
    EXPECT_EQ(read.served, numbers(1, 7));
    EXPECT_TRUE(read.unread.empty());
    for (int d = 1; d <= 7; ++d) EXPECT_EQ(sim.room.devices[d].inputs, exampleRoom().devices[d].inputs);
    EXPECT_LT(sim.now - kStart, milliseconds(30000));
}

// A retry serves the devices that did not answer; the verdict covers the whole room.
TEST(Retry, ServesTheSilentAgainAndKeepsWhatTheRunFound) {
    SimRun sim(exampleRoom());
    sim.bus.faults(4).silent = true;
    sim.bus.memory(2).inputs[0] ^= 1;  // differs from the room type
    sim.run(Action::VerifyAll);
    EXPECT_EQ(sim.summary().unread, std::vector<int>{4});
    sim.bus.faults(4).silent = false;
    const std::size_t before = sim.events.size();
    sim.start(NextRun{NextRun::Kind::Retry, Action::VerifyAll, sim.summary().unread});
    sim.play();
    const RunSummary retried = sim.summary();
    EXPECT_TRUE(retried.unread.empty());
    EXPECT_EQ(retried.abnormal, std::vector<int>{2});  // from the run before
    EXPECT_EQ(retried.served, numbers(1, 7));
    EXPECT_EQ(sim.engine.result(4), 1);
    // Only device 4 was asked again.
    for (std::size_t i = before; i < sim.events.size(); ++i) {
        if (sim.events[i].kind == simulator::BusEvent::Kind::Received && sim.events[i].device > 0) {
            EXPECT_EQ(sim.events[i].device, 4);
        }
    }
}

TEST(RunSequence, WhatFollowsARun) {
    RunSummary clean;
    clean.mode = RunMode::SendAll;
    RunSummary silent = clean;
    silent.unread = {3};
    RunSummary cut = silent;
    cut.stopped = true;

    SequencePlan sendVerify;
    sendVerify.action = Action::SendAll;
    sendVerify.thenVerify = true;
    RunSequence a(sendVerify);
    EXPECT_EQ(a.first().action, Action::SendAll);
    EXPECT_EQ(a.after(silent)->action, Action::VerifyAll);  // a verify tells who took it
    EXPECT_FALSE(a.after(clean));
    EXPECT_FALSE(RunSequence(sendVerify).after(cut));  // a cut-short send is not verified

    SequencePlan retries;
    retries.action = Action::VerifyAll;
    retries.retries = 2;
    RunSequence b(retries);
    silent.mode = RunMode::VerifyAll;
    EXPECT_EQ(b.after(silent), (NextRun{NextRun::Kind::Retry, Action::VerifyAll, {3}}));
    EXPECT_TRUE(b.after(silent));
    EXPECT_FALSE(b.after(silent));  // at most twice

    SequencePlan unknown;
    unknown.action = Action::ReadAll;
    unknown.scanFirst = true;
    RunSequence c(unknown);
    EXPECT_EQ(c.first().kind, NextRun::Kind::Scan);
    EXPECT_EQ(c.first().devices, numbers(1, 32));
    RunSummary scanned;
    scanned.mode = RunMode::Scan;
    scanned.scan = ScanReport{};
    EXPECT_FALSE(c.after(scanned));  // nobody answered: nothing to read
    scanned.scan->found = {{2, 1}, {7, 1}};
    scanned.scan->slow = {4};
    EXPECT_EQ(c.after(scanned), (NextRun{NextRun::Kind::Devices, Action::ReadAll, {2, 4, 7}}));

    RunSummary failed;
    failed.unread = {5};
    failed.abnormal = {2, 5};
    failed.inDoubt = {9};
    failed.unreached = {12};
    EXPECT_EQ(failedDevices(failed), (std::vector<int>{2, 5, 9, 12}));
}

}  // namespace
