#include "gui/job/board_rows.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "core/records/room_number.h"
#include "gui/records/rooms_model.h"

namespace room::gui {

QString roomTypeText(const platform::RoomStatus& room) {
    return RoomsModel::roomTypeText(room.room.roomType);
}

bool BoardFilter::shows(const platform::RoomStatus& room) const {
    if (state && room.state != *state) return false;
    return roomType.isEmpty() || roomTypeText(room) == roomType;
}

void countState(records::StateCounts& counts, records::RoomState state) {
    ++counts[static_cast<std::size_t>(state)];
}

int roomsIn(const records::StateCounts& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0);
}

std::vector<BoardRow> boardRows(const std::vector<platform::RoomStatus>& rooms,
                                const BoardFilter& filter) {
    std::map<std::string, std::vector<int>, bool (*)(std::string_view, std::string_view)> byFloor(
        &records::naturalLess);
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        byFloor[rooms[i].room.floor].push_back(static_cast<int>(i));
    }
    std::vector<BoardRow> rows;
    rows.reserve(byFloor.size());
    for (auto& [floor, indexes] : byFloor) {
        BoardRow row{QString::fromStdString(floor), std::move(indexes), {}};
        std::sort(row.rooms.begin(), row.rooms.end(), [&rooms](int x, int y) {
            return records::naturalLess(rooms[x].room.roomNumber, rooms[y].room.roomNumber);
        });
        for (int i : row.rooms) {
            if (filter.shows(rooms[i])) countState(row.shown, rooms[i].state);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::pair<QString, records::StateCounts>> countsByRoomType(
    const std::vector<platform::RoomStatus>& rooms, const BoardFilter& filter) {
    std::map<QString, records::StateCounts> byType;
    for (const platform::RoomStatus& room : rooms) {
        if (filter.shows(room)) countState(byType[roomTypeText(room)], room.state);
    }
    return {byType.begin(), byType.end()};
}

}  // namespace room::gui
