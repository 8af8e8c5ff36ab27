// The rooms a hand-over report covers and how each is fetched from the record.
#include "platform/hand_over.h"

#include <algorithm>

namespace room::platform {

std::optional<ReportJob> reportJob(RecordStore& store, const std::vector<std::string>& roomNumbers) {
    auto status = loadJobStatus(store);
    if (!status) return std::nullopt;
    ReportJob job;
    job.status = std::move(*status);
    for (std::size_t i = 0; i < job.status.rooms.size(); ++i) {
        const std::string& number = job.status.rooms[i].room.roomNumber;
        if (roomNumbers.empty() ||
            std::find(roomNumbers.begin(), roomNumbers.end(), number) != roomNumbers.end()) {
            job.rooms.push_back(i);
        }
    }
    job.fetch = [&store](const RoomStatus& status) -> std::optional<ReportRoom> {
        ReportRoom room;
        room.status = status;
        auto history = store.factsOfRoom(status.room.roomNumber);
        if (!history) return std::nullopt;
        room.history = std::move(*history);
        // The run that decides the state, or else the latest of any kind.
        const long long shown = status.latest ? status.latest->id
                                : room.history.empty() ? 0 : room.history.front().id;
        if (shown != 0) {
            room.run = store.run(shown);
            if (!room.run) return std::nullopt;
        }
        return room;
    };
    return job;
}

}  // namespace room::platform
