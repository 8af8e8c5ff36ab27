#pragma once
// Loading a room-type file the way the program's Open does, for the subcommands.

#include <optional>
#include <string>

#include "core/format/shd_file.h"
#include "core/model/room_type.h"

namespace room::cli {

// Exit code of every command given a file that holds no room type (empty, or some other file
// under a room-type name).
constexpr int kNotRoomTypeExit = 2;

// Loads FILE into `room`; prints the reader's messages on stderr, and a line when the file is not
// GBK text. `details` (when given) receives the reader's result: whether some bytes are no GBK
// at all, so that no output can carry them, and what the file holds that the model does not. Returns 0 when loaded, else the command's exit code with the reason
// already printed: kNotRoomTypeExit for a file without a room type in it, 1 when the file is
// missing, unreadable, not named as a room-type file or refused for its version.
[[nodiscard]] int loadRoomType(const std::string& path, model::RoomTypeConfig& room,
                               format::LoadResult* details = nullptr);

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
