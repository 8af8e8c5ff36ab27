#pragma once
// What differs between two room types, one line per difference in the installer's words: lamp
// numbers with their names as the channel lists show them, scene states as the scene editor
// writes them, options by the texts of their check boxes. Only what the room-type file carries is
// compared, so a room type in memory and the same one saved and reopened compare equal.

#include <string>
#include <vector>

#include "core/model/room_type.h"

namespace room::compare {

// Groups in the order their lines come: the room type itself, lamp names, each device (its keys,
// outputs and scene states, "设备03"), then the indicator bits and the option bytes.
inline constexpr const char* kRoomGroup = "房型";
inline constexpr const char* kLampGroup = "灯名";
inline constexpr const char* kOptionGroup = "选项";

struct Difference {
    std::string group;
    std::string text;    // the whole line, "设备03 按键2: 022.右阅读 → 021.左阅读"
    int device = 0;      // 1..36 for a device's lines, 0 for the room type's own
    std::string field;   // what changed within the group, "按键2", "情景 明亮模式 输出1"
    std::string before;  // the two sides as the line shows them, without trailing blanks
    std::string after;
    bool operator==(const Difference&) const = default;
};

// One difference; the line is changeLine(label, before, after).
Difference makeDifference(std::string group, int device, std::string field,
                          const std::string& label, std::string before, std::string after);

// Differences from `before` to `after`; empty when they are equal.
std::vector<Difference> compareRoomTypes(const model::RoomTypeConfig& before,
                                         const model::RoomTypeConfig& after);

std::vector<std::string> lineTexts(const std::vector<Difference>& differences);

// "<label>: <before> → <after>"; both texts lose their trailing blanks so that action texts such
// as ":开 " leave neither two blanks before the arrow nor one at the end of the line.
std::string changeLine(const std::string& label, std::string before, const std::string& after);

}  // namespace room::compare
