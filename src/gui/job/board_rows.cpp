#include "gui/job/board_rows.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "gui/records/rooms_model.h"

namespace room::gui {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The run of digits at `at`, without its leading zeros.
std::string_view digitsAt(std::string_view s, std::size_t& at) {
    const std::size_t start = at;
    while (at < s.size() && isDigit(s[at])) ++at;
    std::string_view run = s.substr(start, at - start);
    while (run.size() > 1 && run.front() == '0') run.remove_prefix(1);
    return run;
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view x = digitsAt(a, i);
            const std::string_view y = digitsAt(b, j);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    // "012" and "12" are equal as numbers: the shorter text first keeps the order total.
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

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
    std::map<std::string, std::vector<int>> byFloor;
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        byFloor[rooms[i].room.floor].push_back(static_cast<int>(i));
    }
    std::vector<BoardRow> rows;
    rows.reserve(byFloor.size());
    for (auto& [floor, indexes] : byFloor) {
        BoardRow row{QString::fromStdString(floor), std::move(indexes), {}};
        std::sort(row.rooms.begin(), row.rooms.end(), [&rooms](int x, int y) {
            return naturalLess(rooms[x].room.roomNumber, rooms[y].room.roomNumber);
        });
        for (int i : row.rooms) {
            if (filter.shows(rooms[i])) countState(row.shown, rooms[i].state);
        }
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const BoardRow& x, const BoardRow& y) {
        return naturalLess(x.floor.toStdString(), y.floor.toStdString());
    });
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
