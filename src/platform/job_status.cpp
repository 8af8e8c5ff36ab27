#include "platform/job_status.h"

#include <QString>
#include <algorithm>
#include <map>

#include "core/records/room_number.h"
#include "platform/job_import.h"
#include "platform/record_spool.h"

namespace room::platform {

std::string JobStatus::hotel() const {
    std::map<std::string, int> count;
    for (const RoomStatus& room : rooms) ++count[room.room.roomType.hotel];
    std::string best;
    int most = 0;
    for (const auto& [name, n] : count) {
        if (n > most && !name.empty()) {
            best = name;
            most = n;
        }
    }
    return best;
}

std::pair<std::string, std::string> JobStatus::period() const {
    std::string first;
    std::string last;
    for (const RoomStatus& room : rooms) {
        if (!room.latest || room.latest->when.empty()) continue;
        if (first.empty() || room.latest->when < first) first = room.latest->when;
        if (room.latest->when > last) last = room.latest->when;
    }
    return {first, last};
}

namespace {

// Folds the spool's entries for this record into the rooms' runs; how many wait per room.
std::map<std::string, int> addWaiting(std::vector<RecordStore::RoomRuns>& rooms, const QString& target) {
    std::map<std::string, int> waiting;
    RecordSpool spool;
    const auto entries = spool.waiting(target);
    if (!entries) return waiting;
    for (const records::RunRecord& entry : *entries) {
        ++waiting[entry.roomNumber];
        auto room = std::find_if(rooms.begin(), rooms.end(),
                                 [&](const RecordStore::RoomRuns& r) { return r.roomNumber == entry.roomNumber; });
        if (room == rooms.end()) {
            room = rooms.insert(rooms.end(), RecordStore::RoomRuns{entry.roomNumber, std::nullopt, entry.roomType, 0});
        }
        ++room->runs;
        if (records::isWholeRoomRun(entry.operation)) {
            room->latest = records::factsOf(entry);
            room->latestType = entry.roomType;
        }
    }
    return waiting;
}

}  // namespace

std::optional<JobStatus> loadJobStatus(RecordStore& store) {
    const auto job = store.jobRooms();
    if (!job) return std::nullopt;
    auto runs = store.roomRuns();
    if (!runs) return std::nullopt;
    const std::map<std::string, int> waiting = addWaiting(*runs, store.shownPath());
    std::map<std::string, const RecordStore::RoomRuns*> byNumber;
    for (const RecordStore::RoomRuns& room : *runs) byNumber[room.roomNumber] = &room;

    JobStatus status;
    status.hasJob = !job->empty();
    std::map<std::string, std::string> hashes;  // each room-type file read once
    const auto fill = [&](records::JobRoom room, std::string hashNow) {
        RoomStatus row;
        row.room = std::move(room);
        row.hashNow = std::move(hashNow);
        if (const auto found = byNumber.find(row.room.roomNumber); found != byNumber.end()) {
            row.latest = found->second->latest;
            row.runs = found->second->runs;
        }
        if (const auto spooled = waiting.find(row.room.roomNumber); spooled != waiting.end()) {
            row.waiting = spooled->second;
        }
        row.state = records::roomState(row.latest, row.hashNow);
        status.rooms.push_back(std::move(row));
    };
    if (status.hasJob) {
        for (const records::JobRoom& room : *job) {
            auto hash = hashes.find(room.roomTypePath);
            if (hash == hashes.end()) {
                hash = hashes.emplace(room.roomTypePath,
                                      roomTypeHashOf(QString::fromStdString(room.roomTypePath))).first;
            }
            fill(room, hash->second);
        }
    } else {
        // Without a job each room is judged against the room type it was last commissioned with.
        for (const RecordStore::RoomRuns& room : *runs) {
            fill({room.roomNumber, records::floorOf(room.roomNumber), {}, room.latestType},
                 room.latestType.hash);
        }
    }
    std::sort(status.rooms.begin(), status.rooms.end(), [](const RoomStatus& a, const RoomStatus& b) {
        if (a.room.floor != b.room.floor) return records::naturalLess(a.room.floor, b.room.floor);
        return records::naturalLess(a.room.roomNumber, b.room.roomNumber);
    });
    for (const RoomStatus& room : status.rooms) ++status.counts[static_cast<std::size_t>(room.state)];
    return status;
}

}  // namespace room::platform
