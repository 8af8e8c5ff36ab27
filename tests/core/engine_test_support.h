#pragma once
// A tiny simulated bus for the run engine tests: devices that answer frames after a fixed delay
// (or stay silent) and a loop that plays engine deadlines and answers in time order.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "core/commissioning/engine.h"
#include "core/model/room_type.h"

namespace enginetest {

using namespace room;
using namespace room::commissioning;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

inline const TimePoint kT0 = TimePoint{} + std::chrono::hours(1);

inline long msSince(TimePoint t) {
    return static_cast<long>(std::chrono::duration_cast<milliseconds>(t - kT0).count());
}

// `count` switch panels 1..count, all in use and selected, with distinct channel values and masks.
inline model::RoomTypeConfig panelRoom(int count, int systemType = 1) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.systemType = systemType;
    room.switchPanelCount = count;
    room.deviceCount = count;
    room.functionOptionsA = 0x01;
    room.modeFlagBits = {0x11, 0x12, 0x13, 0x14, 0x15, 0x16};
    for (int d = 1; d <= count; ++d) {
        model::DeviceRecord& dev = room.devices[d];
        dev.type = 1;
        dev.inUse = 1;
        for (int k = 0; k < 6; ++k) {
            dev.inputs[k] = 10 + k;
            dev.outputs[k] = 20 + k;
            // "On" bits only among the "takes part" bits, as masks made from scene slots are.
            for (int p = 0; p < 3; ++p) {
                const auto takesPart = static_cast<std::uint8_t>((d + 3 * k + p) | 0x40);
                room.outputMasks[d][k][2 * p] = takesPart & 0x0F;
                room.outputMasks[d][k][2 * p + 1] = takesPart;
            }
        }
    }
    room.selected.fill(1);
    return room;
}

// Long answer of a switch panel holding exactly what `room` says about `device`:
// F2 F3, type, number, operation, 68, parameter byte, 0 0 0, sub-byte 0, inputs, outputs,
// indicator bytes, six mask rows, checksum, F3 F4.
inline Bytes panelAnswer(const model::RoomTypeConfig& room, int device, std::uint8_t op) {
    const model::DeviceRecord& dev = room.devices[device];
    Bytes a{
        0xF2, 0xF3, dev.type, static_cast<std::uint8_t>(device), op, 68, room.functionOptionsA, 0,
        0,    0,    0};
    for (int v : dev.inputs) a.push_back(static_cast<std::uint8_t>(v));
    for (int v : dev.outputs) a.push_back(static_cast<std::uint8_t>(v));
    for (std::uint8_t v : room.modeFlagBits) a.push_back(v);
    for (const auto& row : room.outputMasks[device]) a.insert(a.end(), row.begin(), row.end());
    unsigned sum = 0;
    for (std::uint8_t b : a) sum += b;
    a.push_back(static_cast<std::uint8_t>(sum));
    a.push_back(0xF3);
    a.push_back(0xF4);
    return a;
}

// A long answer summed again after a test changed its data, so only the change is a difference.
inline Bytes& resummed(Bytes& a) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 3 < a.size(); ++i) sum += a[i];
    a[a.size() - 3] = static_cast<std::uint8_t>(sum);
    return a;
}

// Short answer: F0 ED number op block data(10) checksum 0F.
inline Bytes shortAnswer(int device, int block, const std::vector<int>& data) {
    Bytes a{0xF0, 0xED, static_cast<std::uint8_t>(device), 3, static_cast<std::uint8_t>(block)};
    for (int i = 0; i < 10; ++i) a.push_back(i < static_cast<int>(data.size()) ? data[i] : 0);
    unsigned sum = 0;
    for (std::uint8_t b : a) sum += b;
    a.push_back(static_cast<std::uint8_t>(sum));
    a.push_back(0x0F);
    return a;
}

struct Written {
    TimePoint at;
    OutFrame frame;
};

// Plays the engine against scripted devices in simulated time.
class Bus {
public:
    using Device = std::function<std::vector<Bytes>(const OutFrame&)>;

    explicit Bus(Engine& engine, TimePoint start = kT0) : m_engine(engine), now(start) {}

    void take(Effects fx) {
        for (const OutFrame& frame : fx.writes) {
            written.push_back(Written{now, frame});
            if (!device) continue;
            for (Bytes& answer : device(frame)) m_pending.emplace(now + delay, std::move(answer));
        }
        log.push_back(std::move(fx));
    }

    // Plays events up to and including `until` (or until nothing is left).
    void runUntil(TimePoint until) {
        for (;;) {
            std::optional<TimePoint> next = m_engine.nextDeadline();
            const bool busFirst =
                !m_pending.empty() && (!next || m_pending.begin()->first <= *next);
            if (busFirst) next = m_pending.begin()->first;
            if (!next || *next > until) break;
            now = *next;
            if (busFirst) {
                Bytes bytes = std::move(m_pending.begin()->second);
                m_pending.erase(m_pending.begin());
                take(m_engine.onBytes(bytes, now));
            } else {
                take(m_engine.onTimeout(now));
            }
        }
        if (until != TimePoint::max()) now = std::max(now, until);
    }
    void runToEnd() { runUntil(TimePoint::max()); }

    // Everything the engine returned, in order.
    Effects all() const {
        Effects merged;
        for (Effects fx : log) merged.merge(std::move(fx));
        return merged;
    }
    std::vector<int> devicesWritten() const {
        std::vector<int> devices;
        for (const Written& w : written) devices.push_back(w.frame.device);
        return devices;
    }
    std::optional<TimePoint> firstWriteTo(int device) const {
        for (const Written& w : written) {
            if (w.frame.device == device) return w.at;
        }
        return std::nullopt;
    }

    Device device;
    milliseconds delay{30};
    std::vector<Written> written;
    std::vector<Effects> log;

private:
    Engine& m_engine;
    std::multimap<TimePoint, Bytes> m_pending;

public:
    TimePoint now;
};

}  // namespace enginetest
