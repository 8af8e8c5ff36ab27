#pragma once
// A room's state, a pure function of its latest whole-room run (send all or verify all; a read
// all or a single-device check never changes it) and the hash of the room type the room has now:
// - none: 未调试
// - any device that differs or whose number two devices claim: 数据异常 (before anything else)
// - cut short: 中断
// - any device silent: 无应答
// - a send every device acknowledged: 已下发
// - a verify with every device OK: 校验通过 for the room type's hash now, else 需复核.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/records/run_record.h"

namespace room::records {

enum class RoomState : std::uint8_t { Untouched, Sent, Verified, Recheck, NoAnswer, Faulty, Interrupted };
inline constexpr std::array<RoomState, 7> kRoomStates = {
    RoomState::Untouched, RoomState::Sent,   RoomState::Verified,   RoomState::Recheck,
    RoomState::NoAnswer,  RoomState::Faulty, RoomState::Interrupted};

// "未调试", "已下发", "校验通过", "需复核", "无应答", "数据异常", "中断".
std::string_view roomStateText(RoomState state);
std::optional<RoomState> roomStateFromText(std::string_view text);

RunFacts factsOf(const RunRecord& run);

// Whether a run decides the state: a send all or a verify all.
bool isWholeRoomRun(std::string_view operation);

RoomState roomState(const std::optional<RunFacts>& latestWholeRoomRun, std::string_view hashNow);

// "校验所有: 7台中5台校验一致, 无应答 1, 数据异常 1", "下发所有: 7台全部已应答 (中断)".
std::string factsLine(const RunFacts& run);

// Rooms counted by state, in kRoomStates order.
using StateCounts = std::array<int, kRoomStates.size()>;
// "共320间: 校验通过 287, 需复核 5, 数据异常 3, 未调试 25": the states that occur, most
// finished first.
std::string totalsText(const StateCounts& counts);

}  // namespace room::records
