#include "core/commissioning/run_rules.h"

#include <algorithm>
#include <cstdio>

#include "core/commissioning/scan.h"
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

}  // namespace

Milliseconds startPeriod(RunMode mode, int systemType) {
    if (mode == RunMode::Scan) mode = RunMode::ReadAll;
    const bool fast = systemType == 1 || systemType == 2;
    if (mode == RunMode::ReadAll && !fast) {
        return Milliseconds(systemType == 3 || systemType == 4 ? 3000 : 5000);
    }
    return Milliseconds(fast ? 2000 : 3000);
}

Milliseconds servePeriod(RunMode mode, int systemType) {
    return mode == RunMode::Scan ? startPeriod(mode, systemType) : kServePeriod;
}

std::uint8_t runOperation(RunMode mode) {
    switch (mode) {
        case RunMode::Scan:
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
        case RunMode::Scan:
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
    return static_cast<int>(devicesAfter(room, mode, current).size());
}

std::vector<int> devicesAfter(const model::RoomTypeConfig& room, RunMode mode, int last) {
    std::vector<int> devices;
    for (int device = nextDevice(room, mode, last); device != 0;
         device = nextDevice(room, mode, device)) {
        devices.push_back(device);
    }
    return devices;
}

std::vector<int> flagged(const DeviceFlags& flags) {
    std::vector<int> devices;
    for (int device = 1; device <= kLastBusDevice; ++device) {
        if (flags[device]) devices.push_back(device);
    }
    return devices;
}

std::vector<int> unreadDevices(RunMode mode, const DeviceFlags& served, const ResultTable& results,
                               const DeviceFlags& answered) {
    std::vector<int> unread;
    for (int device = 1; device <= kLastBusDevice; ++device) {
        if (!served[device]) continue;
        const bool missing = mode == RunMode::SendAll ? !answered[device] : results[device] == 0;
        if (missing) unread.push_back(device);
    }
    return unread;
}

std::vector<int> abnormalDevices(const model::RoomTypeConfig& room, RunMode mode,
                                 const DeviceFlags& served, const ResultTable& results) {
    std::vector<int> abnormal;
    const bool verify = mode == RunMode::VerifyAll;
    const int last = verify ? std::clamp(room.deviceCount, 0, kLastBusDevice) : kLastBusDevice;
    for (int device = 1; device <= last; ++device) {
        if (results[device] == 2 && (verify || served[device])) abnormal.push_back(device);
    }
    return abnormal;
}

std::string formatNumber(const char* format, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string summaryTitle(const RunSummary& summary) {
    if (summary.scan) return scanTitle(*summary.scan);
    const bool check = summary.mode == RunMode::VerifyAll || summary.mode == RunMode::ReadAll;
    std::string title;
    if (check || !summary.unread.empty()) {
        title = text::kUnread;
        for (int device : summary.unread) title += formatNumber("%02d ", device);
    }
    if (summary.mode == RunMode::VerifyAll || !summary.abnormal.empty()) {
        title += text::kAbnormal;
        for (int device : summary.abnormal) title += formatNumber("%02d ", device);
    }
    if (summary.stopped) {
        title += text::kUnreached;
        for (int device : summary.unreached) title += formatNumber("%02d ", device);
    }
    return title;
}

bool cleanRun(const RunSummary& summary) {
    if (summary.scan) return !summary.stopped && scanMatches(*summary.scan);
    return !summary.stopped && summary.unread.empty() && summary.abnormal.empty();
}

std::string runOutcomeText(const RunSummary& summary) {
    std::string text = std::to_string(summary.visited) + "个中" +
                       std::to_string(summary.answered) + "个应答";
    if (!summary.abnormal.empty()) {
        text += ", " + std::to_string(summary.abnormal.size()) + "个数据异常";
    }
    if (!summary.unreached.empty()) {
        text += ", " + std::to_string(summary.unreached.size()) + "个未处理";
    }
    return text;
}

std::string finishedStatus(const RunSummary& summary) {
    if (summary.scan) return scanStatus(summary);
    if (summary.stopped) {
        const char* name = summary.mode == RunMode::ReadAll     ? text::kReadName
                           : summary.mode == RunMode::VerifyAll ? text::kVerifyName
                                                                : text::kSendName;
        return std::string(name) + (summary.portLost ? text::kPortLost : text::kStopped);
    }
    switch (summary.mode) {
        case RunMode::ReadAll:
            return text::kReadDone;
        case RunMode::VerifyAll:
            return text::kVerifyDone;
        default:
            return text::kSent;
    }
}

}  // namespace room::commissioning
