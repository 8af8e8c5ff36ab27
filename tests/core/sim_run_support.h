#pragma once
// The run engine against the emulated devices of the simulated bus, in simulated time: frames
// reach the devices as the engine writes them, answer bytes reach the engine one by one when
// they are due. A run that does not end within kLimit of simulated time fails the test.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/commissioning/engine.h"
#include "core/commissioning/run_sequence.h"
#include "core/format/shd_file.h"
#include "core/simulator/bus.h"

namespace simrun {

using namespace room;
using namespace room::commissioning;
using std::chrono::milliseconds;

inline const TimePoint kStart = TimePoint{} + std::chrono::hours(2);
constexpr milliseconds kLimit{10 * 60 * 1000};

// The example room type that ships with the program.
inline model::RoomTypeConfig exampleRoom() {
    std::ifstream in(std::string(ROOM_EXAMPLES) + "/grand-hotel-deluxe.shd", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    model::RoomTypeConfig room = model::makeStartupRoomType();
    const format::LoadResult loaded = format::readRoomTypeFile(bytes, room);
    EXPECT_FALSE(loaded.refused());
    EXPECT_GE(room.deviceCount, 7);
    return room;
}

// Switch panels 1..count holding the same configuration, in a room of `systemType` (1: long
// frames, 2 s first period; 5: short frames).
inline model::RoomTypeConfig identicalPanels(int count, int systemType = 1) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.systemType = systemType;
    room.deviceCount = count;
    room.switchPanelCount = count;
    room.modeFlagBits = {1, 2, 3, 4, 5, 6};
    for (int d = 1; d <= count; ++d) {
        room.devices[d].type = 1;
        room.devices[d].inUse = 1;
        room.devices[d].inputs = {10, 11, 12, 0, 0, 0};
        room.devices[d].outputs = {10, 11, 12, 0, 0, 0};
        room.outputMasks[d][0] = {1, 1, 0, 0, 0, 0};
    }
    return room;
}

struct SimRun {
    explicit SimRun(const model::RoomTypeConfig& roomType)
        : room(roomType), edit(roomType), bus(roomType), engine(room, edit) {
        take(engine.setPortOpen(true, now));
        // As the console's pages do when they open.
        engine.unselectUnused();
    }

    void take(Effects fx) {
        for (const OutFrame& frame : fx.writes) bus.feed(frame.bytes, now);
        log.push_back(std::move(fx));
        drainEvents();
    }

    // What the bus saw, kept here: its own log is bounded and chatty devices fill it.
    void drainEvents() {
        for (simulator::BusEvent& event : bus.takeEvents()) events.push_back(std::move(event));
    }

    // Starts `action` (confirmed) and plays the bus until the run is over.
    void run(Action action) {
        take(engine.command(action, now, true));
        play();
    }

    // Plays every run of one command of the installer, as the console and the tool do.
    void runSequence(const SequencePlan& plan) {
        RunSequence sequence(plan);
        std::optional<NextRun> next = sequence.first();
        while (next) {
            const std::size_t before = log.size();
            start(*next);
            play();
            bool ended = false;
            for (std::size_t i = before; i < log.size(); ++i) ended = ended || log[i].runFinished;
            next = ended ? sequence.after(summary()) : std::nullopt;
        }
    }
    void start(const NextRun& run) { take(engine.start(run, now)); }

    // Plays engine deadlines and answer bytes in time order while anything is going on.
    void play() {
        const TimePoint began = now;
        while (engine.runActive() || engine.nextDeadline()) {
            const auto deadline = engine.nextDeadline();
            const auto due = bus.nextDue();
            if (!deadline && !due) break;
            if (due && (!deadline || *due <= *deadline)) {
                now = *due;
                for (const simulator::TimedByte& byte : bus.answerDue(now)) {
                    take(engine.onBytes(std::span<const std::uint8_t>(&byte.value, 1), byte.due));
                }
            } else {
                now = *deadline;
                take(engine.onTimeout(now));
            }
            if (now - began > kLimit) {
                ADD_FAILURE() << "the run did not end";
                return;
            }
        }
    }

    Effects all() const {
        Effects merged;
        for (Effects fx : log) merged.merge(std::move(fx));
        return merged;
    }
    RunSummary summary() const {
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->runFinished) return *it->runFinished;
        }
        ADD_FAILURE() << "no run finished";
        return {};
    }
    // Every status text shown, e.g. to make sure no verdict said OK for a device.
    bool showed(const std::string& text) const {
        for (const Effects& fx : log) {
            for (const std::string& shown : fx.statusTexts) {
                if (shown == text) return true;
            }
        }
        return false;
    }
    std::vector<AnswerNote> notes(AnswerFate fate) const {
        std::vector<AnswerNote> out;
        for (const Effects& fx : log) {
            for (const AnswerNote& note : fx.answers) {
                if (note.fate == fate) out.push_back(note);
            }
        }
        return out;
    }

    model::RoomTypeConfig room;
    model::RoomTypeConfig edit;
    simulator::Bus bus;
    Engine engine;
    TimePoint now = kStart;
    std::vector<Effects> log;
    std::vector<simulator::BusEvent> events;
};

}  // namespace simrun
