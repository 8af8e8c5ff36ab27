#pragma once
// Loading a room-type file the way the program's Open does, for the subcommands.

#include <optional>
#include <string>

#include "core/model/room_type.h"

namespace room::cli {

// Loads FILE into `room`; prints the reader's messages on stderr, and a line when the file is not
// GBK text. `bytesLost` (when given) tells whether some bytes are no GBK at all, so that no
// output can carry them. Returns false (with the reason already printed) when the file is
// missing, unreadable, not a room-type file or refused.
bool loadRoomType(const std::string& path, model::RoomTypeConfig& room, bool* bytesLost = nullptr);

// `path` with its extension replaced by `extension` (".yml").
std::string withExtension(const std::string& path, const std::string& extension);

}  // namespace room::cli

namespace room::cli {

// Only the listed devices take part in a run.
void selectOnly(model::RoomTypeConfig& room, const std::vector<int>& devices);

// A read back may hold devices above the room type's device count, which a save would drop.
// Raises the count (and the per-kind counts from the device types) so they are kept; returns a
// note for the user, empty when nothing had to change.
std::string keepReadDevices(model::RoomTypeConfig& room);

}  // namespace room::cli
