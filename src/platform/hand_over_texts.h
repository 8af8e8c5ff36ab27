#pragma once
// What the hand-over report says of a room, shared by its PDF and its CSV. A room that needs a
// recheck never reads as all verified: its verify was made with another room type than it has
// now, and its history says so too.

#include <QString>
#include <string>
#include <string_view>

#include "core/records/room_state.h"
#include "core/records/run_record.h"

namespace room::platform::hand_over {

QString qs(std::string_view text);

// "UTC+08:00"; empty when the offset is unknown.
std::string offsetText(std::string_view utcOffset);
// "2026-12-10 14:54:04 (UTC+08:00)".
std::string timeText(std::string_view when, std::string_view utcOffset);

// The room's state and what it rests on: "校验通过: 7台设备全部校验一致".
std::string stateLine(records::RoomState state, const records::RunRecord* run);

// A history entry by factsLine, told as made with another room type when its hash is not the
// room's now.
std::string historyLine(const records::RunFacts& facts, std::string_view hashNow);

// Whether the room type's file has changed since `run` (false when either hash is unknown).
bool hashChanged(const records::RunRecord& run, std::string_view hashNow);

// Why a report stopped when a room's details could not be read from the record.
QString unreadableRoomText(std::string_view roomNumber);

// A device's differences in words, one per line (or joined by `separator`).
std::string differencesText(const records::DeviceResult& device, std::string_view separator);

}  // namespace room::platform::hand_over
