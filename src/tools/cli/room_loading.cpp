#include "tools/cli/room_loading.h"

#include <filesystem>
#include <iostream>

#include "core/format/shd_file.h"
#include "tools/cli/file_io.h"
#include "tools/cli/native_text.h"

namespace room::cli {

int loadRoomType(const std::string& path, model::RoomTypeConfig& room,
                 format::LoadResult* details) {
    if (!format::isRoomTypeFileName(path)) {
        std::cerr << path << ": not a room-type file (expected .shd or .hdq)\n";
        return 1;
    }
    const ReadResult file = readFile(path, format::kMaxRoomTypeFileBytes);
    if (!file.bytes) {
        std::cerr << path << ": cannot read: " << file.error << "\n";
        return 1;
    }
    const format::LoadResult result = format::readRoomTypeFile(*file.bytes, room);
    if (result.status == format::LoadStatus::NotRoomType) {
        std::cerr << path << ": " << format::notRoomTypeMessage() << "\n";
        return kNotRoomTypeExit;
    }
    for (const std::string& message : result.messages) std::cerr << message << "\n";
    if (result.refused()) return 1;
    if (result.notGbk) std::cerr << path << ": " << format::notGbkMessage() << "\n";
    if (details) *details = result;
    return 0;
}

std::string withExtension(const std::string& path, const std::string& extension) {
    std::filesystem::path p = pathFromUtf8(path);
    p.replace_extension(extension);
    return utf8FromPath(p);
}

}  // namespace room::cli

namespace room::cli {

void selectOnly(model::RoomTypeConfig& room, const std::vector<int>& devices) {
    for (int v = 1; v <= model::kMaxDevices; ++v) room.selected[v] = 0;
    for (int v : devices) room.selected[v] = 1;
}

std::string keepReadDevices(model::RoomTypeConfig& room) {
    int highest = 0;
    for (int v = 1; v <= model::kBusDevices; ++v) {
        if (room.devices[v].inUse) highest = v;
    }
    if (highest <= room.deviceCount) return {};
    const int before = room.deviceCount;
    if (model::deviceCountFromCounts(room) < highest) {
        room.thermostatCount = room.switchPanelCount = 0;
        room.curtainControllerCount = room.wirelessCurtainMotorCount = 0;
        for (int v = 1; v <= highest; ++v) {
            switch (room.devices[v].type) {
                case 2:
                    ++room.thermostatCount;
                    break;
                case 3:
                    ++room.curtainControllerCount;
                    break;
                case 4:
                    ++room.wirelessCurtainMotorCount;
                    break;
                default:
                    ++room.switchPanelCount;
                    break;
            }
        }
    }
    room.deviceCount = highest;
    return "device count raised from " + std::to_string(before) + " to " + std::to_string(highest) +
           " so that every device read back is saved";
}

}  // namespace room::cli
