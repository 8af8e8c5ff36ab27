// Any bytes opened as a room-type file: reading must stay inside the model, and what the program
// writes from it must read back to the same file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/format/shd_file.h"
#include "core/model/room_type.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const room::model::RoomTypeConfig startup = room::model::makeStartupRoomType();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    room::model::RoomTypeConfig room = startup;
    room::format::readRoomTypeFile(bytes, room);
    const std::string first = room::format::writeRoomTypeFile(room);

    room::model::RoomTypeConfig again = startup;
    room::format::readRoomTypeFile(first, again);
    const std::string second = room::format::writeRoomTypeFile(again);
    if (second != first) std::abort();
    return 0;
}
