#pragma once
// The pieces of the comparison, one per part of the room type; each appends its lines.

#include <string>
#include <vector>

#include "core/compare/compare.h"

namespace room::compare::detail {

using model::RoomTypeConfig;

void compareIdentity(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out);
void compareLampNames(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out);
void compareDevices(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out);
void compareOptions(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out);

// A device the file would carry: numbered within the device count and not empty.
bool deviceCarried(const RoomTypeConfig& room, int device);
// What lamp `lamp` does in a scene as the scene editor says it; a state the scene leaves alone is
// "<name>:不受控" as on the editor's button, not the bare name. "无" for no lamp.
std::string stateText(const RoomTypeConfig& room, int lamp, int state);
// "设备03"
std::string deviceLabel(int device);

}  // namespace room::compare::detail
