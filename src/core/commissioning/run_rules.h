#pragma once
// The pacing and visiting rules of a console run, as pure functions of the room type.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/commissioning/effects.h"
#include "core/model/room_type.h"

namespace room::commissioning {

constexpr int kLastBusDevice = model::kBusDevices;  // a run never addresses a device above 32

constexpr Milliseconds kServePeriod{3000};  // timer 1 after serving a device in a run step
constexpr Milliseconds kAnswerPeriod{100};  // timer 1 after a complete answer
// After a device's period ends unanswered the run still listens this long before the next
// request, so that a late answer is heard as late instead of landing in the next device's turn.
constexpr Milliseconds kGracePeriod{600};
constexpr Milliseconds kInUsePause{20};     // before serving a device whose record is in use
constexpr Milliseconds kFramePause{protocol::kShortFramePauseMs};  // between frames on the bus
constexpr Milliseconds kPageBusyPause{2000};  // switch pages' send buttons after a single send

// Per-device results 1..32 (entry 0 unused): 0 no answer, 1 matched or read, 2 differences.
using ResultTable = std::array<std::uint8_t, kLastBusDevice + 1>;

// Timer 1 period when a run starts, and after each later device is served. A scan gives an
// answer that has begun the time a read would.
Milliseconds startPeriod(RunMode mode, int systemType);
Milliseconds servePeriod(RunMode mode, int systemType);

// Operation byte and frame label of the frames a run sends (a scan asks with read requests).
std::uint8_t runOperation(RunMode mode);
FrameKind runFrameKind(RunMode mode);

// The device a run step serves after `current`, or 0 when the run ends there.
int nextDevice(const model::RoomTypeConfig& room, RunMode mode, int current);
// How many devices after `current` the run will still serve.
int remainingDevices(const model::RoomTypeConfig& room, RunMode mode, int current);

// Per-device flags 1..32 (entry 0 unused).
using DeviceFlags = std::array<bool, kLastBusDevice + 1>;

// Devices listed after "未读到的编号:": every device the run served, in ascending order, that
// has no result (verify all, read all) or whose answer never came (send all: `answered`).
std::vector<int> unreadDevices(RunMode mode, const DeviceFlags& served, const ResultTable& results,
                               const DeviceFlags& answered);
// The devices a run would still serve after `last`, in order.
std::vector<int> devicesAfter(const model::RoomTypeConfig& room, RunMode mode, int last);
// The devices set in `flags`, ascending.
std::vector<int> flagged(const DeviceFlags& flags);

// Devices listed after "数据异常的编号:": for verify all those 1..deviceCount whose answer
// differed; for the other runs the served devices whose answer is in doubt (result 2).
std::vector<int> abnormalDevices(const model::RoomTypeConfig& room, RunMode mode,
                                 const DeviceFlags& served, const ResultTable& results);

// Title line at the end of a run: the lists of a read all or verify all; a send all shows one
// only when a device did not answer. Read all and send all list abnormal devices only when
// there are some. A cut-short run adds the devices it never served.
// Empty when there is nothing to show.
std::string summaryTitle(const RunSummary& summary);
// Status line at the end of a run; a cut-short run says it stopped or lost its port.
std::string finishedStatus(const RunSummary& summary);

// A run that served every device it meant to, each of which answered and matched (or took its
// configuration, or was read); a scan that found just what the room type has in use. Anything
// else must not end with the look of a clean run.
bool cleanRun(const RunSummary& summary);
// What the run came to, in a few words: "4个中0个应答", with ", 1个数据异常" and ", 2个未处理"
// when there are such devices.
std::string runOutcomeText(const RunSummary& summary);

// "正在处理第%02d个" and the like.
std::string formatNumber(const char* format, int value);

}  // namespace room::commissioning
