#include "core/commissioning/run_scope.h"

#include <algorithm>

namespace room::commissioning {

void RunScope::only(const std::vector<int>& devices) {
    DeviceFlags flags{};
    for (int device : devices) {
        if (device >= 1 && device <= kLastBusDevice) flags[device] = true;
    }
    m_only = flags;
}

int RunScope::first() const {
    if (!m_only) return 1;
    for (int device = 1; device <= kLastBusDevice; ++device) {
        if ((*m_only)[device]) return device;
    }
    return 0;
}

int RunScope::next(const model::RoomTypeConfig& room, RunMode mode, int current) const {
    if (!m_only) return nextDevice(room, mode, current);
    for (int device = std::max(current, 0) + 1; device <= kLastBusDevice; ++device) {
        if ((*m_only)[device]) return device;
    }
    return 0;
}

int RunScope::remaining(const model::RoomTypeConfig& room, RunMode mode, int current) const {
    return static_cast<int>(after(room, mode, current).size());
}

std::vector<int> RunScope::after(const model::RoomTypeConfig& room, RunMode mode, int last) const {
    std::vector<int> devices;
    for (int device = next(room, mode, last); device != 0; device = next(room, mode, device)) {
        devices.push_back(device);
    }
    return devices;
}

}  // namespace room::commissioning
