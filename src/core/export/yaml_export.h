#pragma once
// The cloud description of a room type (.yml): GBK text, CR LF lines, every line its content
// followed by one blank.

#include <string>
#include <vector>

#include "core/model/room_type.h"
#include "core/protocol/frames.h"

namespace room::exporting {

struct YamlExport {
    std::string bytes;                  // the file, GBK
    std::vector<std::string> messages;  // per-device data problems to show (UTF-8)
};

// Groups of devices without records write at most this many entries each; the editors offer
// single digits, so only a broken file gets near it.
constexpr int kMaxEntriesPerGroup = 256;

YamlExport exportYaml(const model::RoomTypeConfig& room);

// The configuration frame of device v as the export writes it; empty for a number outside
// 1..36.
protocol::Bytes exportFrame(const model::RoomTypeConfig& room, int device);

// The "   id: " number of device v, or -1 when a thermostat or curtain device carries an
// air-conditioner or curtain number outside its ranges (or the number is outside 1..36).
int exportIdentifier(const model::RoomTypeConfig& room, int device);

}  // namespace room::exporting
