#pragma once
// How the board arranges a job: a row per floor, floors and rooms in natural order ("2" before
// "10", "B2" before "B10"), and which rooms a filter shows. Totals count the shown rooms only, so
// what the board says always matches what it shows.

#include <QString>
#include <optional>
#include <vector>

#include "platform/job_status.h"

namespace room::gui {

// "湖畔酒店 套房 (12)": the room type as the board's filter and totals name it.
QString roomTypeText(const platform::RoomStatus& room);

struct BoardFilter {
    QString roomType;                         // empty: every room type
    std::optional<records::RoomState> state;  // none: every state
    bool active() const { return !roomType.isEmpty() || state.has_value(); }
    bool shows(const platform::RoomStatus& room) const;
};

struct BoardRow {
    QString floor;
    std::vector<int> rooms;  // indexes into the job's rooms, in natural order
    records::StateCounts shown{};
};

std::vector<BoardRow> boardRows(const std::vector<platform::RoomStatus>& rooms,
                                const BoardFilter& filter);

// Counts of the shown rooms of each room type, by room-type text.
std::vector<std::pair<QString, records::StateCounts>> countsByRoomType(
    const std::vector<platform::RoomStatus>& rooms, const BoardFilter& filter);

int roomsIn(const records::StateCounts& counts);
void countState(records::StateCounts& counts, records::RoomState state);

}  // namespace room::gui
