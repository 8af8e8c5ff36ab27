#include "core/commissioning/run_rules.h"

#include <algorithm>
#include <cstdio>

#include "core/commissioning/texts.h"

namespace room::commissioning {

namespace {

bool selected(const model::RoomTypeConfig& room, int device) {
    return room.selected[device] != 0;
}

// Timer 1 step 1: whether the search passes over `device`.
bool skipped(const model::RoomTypeConfig& room, RunMode mode, int device) {
    if (!selected(room, device)) return true;
    return mode != RunMode::ReadAll && room.devices[device].inUse == 0 &&
           device <= room.deviceCount;
}

int lastListed(const model::RoomTypeConfig& room, RunMode mode) {
    if (mode == RunMode::ReadAll) return kLastBusDevice;
    return std::clamp(room.deviceCount, 0, kLastBusDevice);
}

}  // namespace

Milliseconds startPeriod(RunMode mode, int systemType) {
    const bool fast = systemType == 1 || systemType == 2;
    if (mode == RunMode::ReadAll && !fast) {
        return Milliseconds(systemType == 3 || systemType == 4 ? 3000 : 5000);
    }
    return Milliseconds(fast ? 2000 : 3000);
}

std::uint8_t runOperation(RunMode mode) {
    switch (mode) {
        case RunMode::ReadAll:
            return protocol::kOpRead;
        case RunMode::VerifyAll:
            return protocol::kOpVerify;
        case RunMode::ClearAll:
            return protocol::kOpClear;
        default:
            return protocol::kOpSendAll;
    }
}

FrameKind runFrameKind(RunMode mode) {
    switch (mode) {
        case RunMode::ReadAll:
            return FrameKind::Read;
        case RunMode::VerifyAll:
            return FrameKind::Verify;
        case RunMode::ClearAll:
            return FrameKind::Clear;
        default:
            return FrameKind::Send;
    }
}

int nextDevice(const model::RoomTypeConfig& room, RunMode mode, int current) {
    int device = std::max(current, 0) + 1;
    while (device <= kLastBusDevice && skipped(room, mode, device)) ++device;
    if (device > kLastBusDevice) return 0;
    if (device <= room.deviceCount || mode == RunMode::ReadAll) return device;
    return 0;
}

int remainingDevices(const model::RoomTypeConfig& room, RunMode mode, int current) {
    int count = 0;
    for (int device = nextDevice(room, mode, current); device != 0;
         device = nextDevice(room, mode, device)) {
        ++count;
    }
    return count;
}

std::vector<int> unreadDevices(const model::RoomTypeConfig& room, RunMode mode,
                               const ResultTable& results, int lastVisited) {
    std::vector<int> unread;
    const int last = std::min(lastListed(room, mode), lastVisited);
    for (int device = 1; device <= last; ++device) {
        if (!selected(room, device)) break;
        if (results[device] == 0) unread.push_back(device);
    }
    return unread;
}

std::vector<int> abnormalDevices(const model::RoomTypeConfig& room, const ResultTable& results) {
    std::vector<int> abnormal;
    const int last = std::clamp(room.deviceCount, 0, kLastBusDevice);
    for (int device = 1; device <= last; ++device) {
        if (results[device] == 2) abnormal.push_back(device);
    }
    return abnormal;
}

std::string formatNumber(const char* format, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string summaryTitle(const RunSummary& summary) {
    std::string title = text::kUnread;
    for (int device : summary.unread) title += formatNumber("%02d ", device);
    if (summary.mode == RunMode::VerifyAll) {
        title += text::kAbnormal;
        for (int device : summary.abnormal) title += formatNumber("%02d ", device);
    }
    return title;
}

std::string finishedStatus(RunMode mode) {
    switch (mode) {
        case RunMode::ReadAll:
            return text::kReadDone;
        case RunMode::VerifyAll:
            return text::kVerifyDone;
        default:
            return text::kSent;
    }
}

}  // namespace room::commissioning
