#pragma once
// The job as the board, `job status` and the report see it: every room of the job with its state,
// computed now from the record's entries and the hash of the room-type file as it is on disk now
// (each file read once). A record without a job shows the room numbers its entries name, each
// judged against the room type of its own latest whole-room run.

#include <QString>
#include <optional>
#include <vector>

#include "core/records/job.h"
#include "core/records/room_state.h"
#include "platform/record_store.h"

namespace room::platform {

struct RoomStatus {
    records::JobRoom room;  // without a job: the room type of its latest run, no path
    records::RoomState state = records::RoomState::Untouched;
    std::optional<records::RunFacts> latest;  // the latest whole-room run
    std::string hashNow;                      // of the room type the room has now; empty: unknown
    int runs = 0;                             // entries of every kind
    int waiting = 0;  // entries of this computer not yet in the record (the spool)
    bool operator==(const RoomStatus&) const = default;
};

struct JobStatus {
    bool hasJob = false;
    std::vector<RoomStatus> rooms;  // by floor, then room number
    records::StateCounts counts{};
    // The hotel most rooms belong to.
    std::string hotel() const;
    // First and last time of the rooms' latest runs ("2026-12-01 08:00:00", "...").
    std::pair<std::string, std::string> period() const;
};

// Nothing, and store.errorString(), when the record cannot be read. The entries this computer
// keeps for the record and has not sent yet count too (`waiting`): they are its newest.
std::optional<JobStatus> loadJobStatus(RecordStore& store);

}  // namespace room::platform
