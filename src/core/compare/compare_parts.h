#pragma once
// The pieces of the comparison, one per part of the room type; each appends its lines.

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
// "设备03"
std::string deviceLabel(int device);

}  // namespace room::compare::detail
