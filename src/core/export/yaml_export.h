#pragma once
// The cloud description of a room type (.yml): GBK text, CR LF lines.

#include <string>
#include <vector>

#include "core/model/room_type.h"
#include "core/protocol/frames.h"

namespace room::exporting {

struct YamlExport {
    std::string bytes;                  // the file, GBK
    std::vector<std::string> messages;  // per-device data problems to show (UTF-8)
};

YamlExport exportYaml(const model::RoomTypeConfig& room);

// The configuration frame of device v as the export writes it.
protocol::Bytes exportFrame(const model::RoomTypeConfig& room, int device);

}  // namespace room::exporting
