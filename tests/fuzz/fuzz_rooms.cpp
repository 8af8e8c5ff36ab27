// A rooms table is outside bytes (a spreadsheet's export, any encoding). Besides not crashing:
// the reader keeps rooms only when it found no problem, and every room it keeps has a number
// that passes the room-number check unchanged and appears once.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "core/records/job.h"
#include "core/records/room_number.h"

using namespace room::records;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RoomsTable table = parseRoomsTable(bytes);
    if (!table.errors.empty() && !table.rooms.empty()) __builtin_trap();
    std::set<std::string> seen;
    for (const RoomsTableLine& room : table.rooms) {
        const RoomNumberCheck check = checkRoomNumber(room.roomNumber);
        if (!check.ok() || check.number != room.roomNumber || room.path.empty()) __builtin_trap();
        if (!seen.insert(room.roomNumber).second) __builtin_trap();
    }
    // The input as one room number: the check never keeps what it refuses to be safe.
    const RoomNumberCheck check = checkRoomNumber(bytes);
    if (check.ok() && check.number.find_first_of(",\"\r\n;") != std::string::npos) __builtin_trap();
    (void)floorOf(bytes);
    return 0;
}
