#pragma once
// The room-type file (.shd): GBK text, CR LF lines, comma-separated fields, each line closed by a
// field holding one blank. Pure functions over bytes; the program does the file I/O.

#include <string>
#include <string_view>
#include <vector>

#include "core/model/room_type.h"

namespace room::format {

enum class LoadStatus {
    Loaded,          // version 130..162: read and refreshed
    LoadedTooOld,    // no version field or below 130 at the end: kept as read, not refreshed
    RefusedNewer,    // version above 162: reading stopped
    RefusedOlder,    // version field below 130: reading stopped
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    std::vector<std::string> messages;  // texts the user must see, in order (UTF-8)
    bool refused() const {
        return status == LoadStatus::RefusedNewer || status == LoadStatus::RefusedOlder;
    }
};

// Resets `room` and reads `bytes` into it as Open does (refresh included when the version allows).
LoadResult readRoomTypeFile(std::string_view bytes, model::RoomTypeConfig& room);

// The whole file as the program writes it.
std::string writeRoomTypeFile(const model::RoomTypeConfig& room);

}  // namespace room::format
