#include "core/simulator/bus.h"

#include <algorithm>

namespace room::simulator {

namespace {

std::uint8_t baseOp(std::uint8_t op) {
    return static_cast<std::uint8_t>(op & ~kAnyKey);
}

}  // namespace

Bus::Bus(Timing timing) : m_timing(timing) {
    setDeviceCount(kBusDeviceLimit);
}

Bus::Bus(const model::RoomTypeConfig& room, Timing timing) : m_timing(timing) {
    preload(room);
}

void Bus::setDeviceCount(int count) {
    for (int v = 1; v <= kBusDeviceLimit; ++v) m_present[v] = v <= count;
}

void Bus::setPresent(const std::vector<int>& devices) {
    m_present.fill(false);
    for (int v : devices) {
        if (v >= 1 && v <= kBusDeviceLimit) m_present[v] = true;
    }
}

void Bus::preload(const model::RoomTypeConfig& room) {
    for (int v = 1; v <= kBusDeviceLimit; ++v) {
        DeviceMemory& memory = m_devices[v].memory;
        m_present[v] = roomHoldsDevice(room, v);
        if (roomConfiguresDevice(room, v)) {
            memory = memoryFromRoom(room, v);
        } else {
            memory = DeviceMemory{};
            if (room.devices[v].type != 0) memory.type = room.devices[v].type;
        }
    }
}

// Out-of-range numbers land on the unused entry 0, so a caller's mistake cannot write elsewhere.
DeviceMemory& Bus::memory(int device) {
    return m_devices[device >= 1 && device <= kBusDeviceLimit ? device : 0].memory;
}

const DeviceMemory& Bus::memory(int device) const {
    return m_devices[device >= 1 && device <= kBusDeviceLimit ? device : 0].memory;
}

Faults& Bus::faults(int device) {
    return m_devices[device >= 1 && device <= kBusDeviceLimit ? device : 0].faults;
}

DeviceMemory& Bus::twinMemory(int device) {
    Device& d = m_devices[device >= 1 && device <= kBusDeviceLimit ? device : 0];
    if (!d.twin) d.twin = variantOf(d.memory);
    return *d.twin;
}

void Bus::feed(const std::uint8_t* data, std::size_t size, TimePoint now) {
    chatUntil(now);
    std::vector<ConsoleFrame> frames;
    for (std::size_t i = 0; i < size; ++i) {
        TimePoint arrival = now;
        if (m_timing.inboundWire) {
            arrival = std::max(now, m_inboundFree) + m_timing.byteTime();
            m_inboundFree = arrival;
        }
        // The adapter hears its own byte as it leaves.
        if (m_echo) m_echoed.push_back({arrival, data[i]});
        if (m_lastArrival && arrival - *m_lastArrival > m_timing.frameGap) m_reader.reset();
        m_lastArrival = arrival;
        m_reader.push(data[i], frames);
        for (const ConsoleFrame& frame : frames) handle(frame, arrival);
        frames.clear();
    }
}

void Bus::handle(const ConsoleFrame& frame, TimePoint at) {
    const Bytes& f = frame.bytes;
    if (frame.kind == ConsoleFrame::Kind::Long) {
        record({BusEvent::Kind::Received, at, f[3], f});
        handleLong(f, at);
        return;
    }
    if (f[1] == kShortConfiguration) {
        record({BusEvent::Kind::Received, at, f[2], f});
        handleShortConfiguration(f, at);
        return;
    }
    record({BusEvent::Kind::Received, at, -1, f});
    if (f[1] != kShortAnswer && isPresent(1)) respond(1, {echo(f)}, at);
}

void Bus::handleLong(const Bytes& f, TimePoint at) {
    const int device = f[3];
    if (device == 0) {
        if (baseOp(f[4]) == kClear) clearAll();
        return;
    }
    if (!isPresent(device) || missed(device)) return;
    Device& d = m_devices[device];
    const std::vector<Answer> answers = operateLong(d.memory, f, d.faults.kind);
    std::vector<Answer> twin;
    if (d.faults.twin) twin = operateLong(twinMemory(device), f, 0);
    respond(device, answers, at, twin);
}

std::vector<Answer> Bus::operateLong(DeviceMemory& memory, const Bytes& f, int kind) const {
    const auto number = static_cast<std::uint8_t>(f[3]);
    const std::uint8_t op = f[4];
    // A device of the wrong kind answers in that kind's layout, from what it holds.
    auto shown = [&memory, kind] {
        DeviceMemory as = memory;
        if (kind != 0) as.type = static_cast<std::uint8_t>(kind);
        return as;
    };
    switch (baseOp(op)) {
        case kSendPage:
        case kSendAll:
            if (f.size() < static_cast<std::size_t>(kLongHeader + 3)) return {};
            memory.type = f[2];
            memory.parameter = f[6];
            std::copy(f.begin() + 7, f.begin() + 10, memory.reserved.begin());
            memory.subByte = f[10];
            storePayload(memory, f.data() + kLongHeader, f.size() - kLongHeader - 3);
            return {longAnswer(shown(), number, op)};
        case kRead:
        case kVerify:
            return {longAnswer(shown(), number, op)};
        case kClear:
            clearMemory(memory);
            return {longAcknowledge(shown(), number, op)};
        case kNumberOnly:
            return {longAcknowledge(shown(), number, op)};
        default:
            return {};
    }
}

void Bus::handleShortConfiguration(const Bytes& f, TimePoint at) {
    const int device = f[2];
    if (device == 0) {
        if (baseOp(f[3]) == kClear) clearAll();
        return;
    }
    if (!isPresent(device) || missed(device)) return;
    Device& d = m_devices[device];
    const std::vector<Answer> answers = operateShort(d.memory, f);
    std::vector<Answer> twin;
    if (d.faults.twin) twin = operateShort(twinMemory(device), f);
    respond(device, answers, at, twin);
}

std::vector<Answer> Bus::operateShort(DeviceMemory& memory, const Bytes& f) const {
    const auto number = static_cast<std::uint8_t>(f[2]);
    const std::uint8_t op = f[3];
    const int block = f[4];
    switch (baseOp(op)) {
        case kSendPage:
        case kSendAll:
            if (!isConfigurationBlock(block)) return {};
            storeBlock(memory, block, f.data() + 5);
            return {shortAnswer(memory, number, op, block)};
        case kRead:
        case kVerify: {
            std::vector<Answer> blocks;
            for (int b : {1, 5, 11, 12, 13, 14}) {
                blocks.push_back(shortAnswer(memory, number, op, b));
            }
            return blocks;
        }
        case kClear:
            clearMemory(memory);
            return {shortAnswer(memory, number, op, 1)};
        case kNumberOnly:
            return {shortAnswer(memory, number, op, 1)};
        default:
            return {};
    }
}

bool Bus::missed(int device) {
    Faults& faults = m_devices[device].faults;
    if (faults.miss <= 0) return false;
    --faults.miss;
    return true;
}

void Bus::clearAll() {
    for (int v = 1; v <= kBusDeviceLimit; ++v) {
        if (!m_present[v]) continue;
        clearMemory(m_devices[v].memory);
        if (m_devices[v].twin) clearMemory(*m_devices[v].twin);
    }
}

void Bus::respond(int device, const std::vector<Answer>& answers, TimePoint at,
                  const std::vector<Answer>& twin) {
    const Faults& faults = m_devices[device].faults;
    if (faults.silent) return;
    Bytes bytes = spoken(answers, faults);
    const TimePoint ready = at + m_timing.reaction + std::chrono::milliseconds(faults.lateMs);
    Speaker speaker = Speaker::Device;
    if (!twin.empty() && faults.twinOffset >= static_cast<int>(bytes.size())) {
        // The twin begins after the first has finished: two whole answers, one after the other.
        schedule(device, spoken(twin, Faults{}), ready + wireTime(m_timing.baud, faults.twinOffset),
                 0, false, Speaker::Twin);
    } else if (!twin.empty()) {
        bytes = collide(bytes, spoken(twin, Faults{}), faults.twinOffset, faults.twinInterleave);
        speaker = Speaker::Both;
    }
    if (bytes.empty()) return;
    schedule(device, std::move(bytes), ready, faults.dribbleMs, false, speaker);
}

// The answer frames of one request as a device with `faults` puts them on the line.
Bytes Bus::spoken(const std::vector<Answer>& answers, const Faults& faults) const {
    std::vector<const Answer*> order;
    for (const Answer& answer : answers) order.push_back(&answer);
    if (faults.reorder) std::reverse(order.begin(), order.end());
    if (faults.repeat && !order.empty()) {
        if (order.size() > 1) {
            order[1] = order[0];
        } else {
            order.push_back(order[0]);
        }
    }
    Bytes bytes;
    for (const Answer* answer : order) {
        Bytes sent = applyFaults(*answer, faults);
        if (faults.cutAfter > 0 && sent.size() > static_cast<std::size_t>(faults.cutAfter)) {
            sent.resize(static_cast<std::size_t>(faults.cutAfter));
        }
        if (faults.stray) sent.push_back(kShortStart);
        bytes.insert(bytes.end(), sent.begin(), sent.end());
    }
    return bytes;
}

// Puts a device's bytes on the line from `ready` on, once the line is free.
void Bus::schedule(int device, Bytes bytes, TimePoint ready, int dribbleMs, bool unasked,
                   Speaker speaker) {
    const auto byteTime = m_timing.byteTime();
    const auto spacing = std::max<Duration>(byteTime, std::chrono::milliseconds(dribbleMs));
    const auto count = static_cast<std::int64_t>(bytes.size());
    // Byte i ends one byte time after the start plus i spacings; exact wire time when not dribbled.
    const auto offset = [&](std::int64_t i) -> Duration {
        if (dribbleMs > 0 && spacing > byteTime) return byteTime + i * spacing;
        return wireTime(m_timing.baud, i + 1);
    };
    const TimePoint start = firstFreeLine(ready, offset(count - 1));

    Scheduled scheduled;
    scheduled.device = device;
    scheduled.unasked = unasked;
    scheduled.speaker = speaker;
    scheduled.bytes = std::move(bytes);
    for (std::int64_t i = 0; i < count; ++i) scheduled.due.push_back(start + offset(i));
    const auto pos = std::find_if(m_scheduled.begin(), m_scheduled.end(), [&](const Scheduled& s) {
        return s.due.front() > scheduled.due.front();
    });
    m_scheduled.insert(pos, std::move(scheduled));
}

// The earliest start at or after `ready` at which an answer lasting `length` meets no other.
TimePoint Bus::firstFreeLine(TimePoint ready, Duration length) const {
    const Duration byteTime = m_timing.byteTime();
    TimePoint start = ready;  // the first byte goes on the line here and ends a byte time later
    bool moved = true;
    while (moved) {
        moved = false;
        for (const Scheduled& s : m_scheduled) {
            const TimePoint busyFrom = s.due.front() - byteTime;
            const TimePoint busyTo = s.due.back();
            if (start < busyTo && busyFrom < start + length) {
                start = busyTo;
                moved = true;
            }
        }
    }
    return start;
}

void Bus::chatUntil(TimePoint now) {
    for (int v = 1; v <= kBusDeviceLimit; ++v) {
        const Faults& faults = m_devices[v].faults;
        if (!m_present[v] || faults.chattyMs <= 0) continue;
        const auto period = std::chrono::milliseconds(faults.chattyMs);
        if (!m_nextChat[v]) m_nextChat[v] = now + period;
        while (*m_nextChat[v] <= now) {
            schedule(v, applyFaults(chatter(static_cast<std::uint8_t>(v)), faults), *m_nextChat[v],
                     faults.dribbleMs, true);
            *m_nextChat[v] += period;
        }
    }
}

std::optional<TimePoint> Bus::nextChat() const {
    std::optional<TimePoint> next;
    for (int v = 1; v <= kBusDeviceLimit; ++v) {
        if (!m_present[v] || m_devices[v].faults.chattyMs <= 0 || !m_nextChat[v]) continue;
        if (!next || *m_nextChat[v] < *next) next = m_nextChat[v];
    }
    return next;
}

std::vector<TimedByte> Bus::answerDue(TimePoint now) {
    chatUntil(now);
    std::vector<TimedByte> out;
    const auto echoed = std::find_if(m_echoed.begin(), m_echoed.end(),
                                     [now](const TimedByte& b) { return b.due > now; });
    out.insert(out.end(), m_echoed.begin(), echoed);
    m_echoed.erase(m_echoed.begin(), echoed);
    for (Scheduled& s : m_scheduled) {
        while (s.next < s.due.size() && s.due[s.next] <= now) {
            out.push_back({s.due[s.next], s.bytes[s.next]});
            ++s.next;
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const TimedByte& a, const TimedByte& b) { return a.due < b.due; });
    for (auto it = m_scheduled.begin(); it != m_scheduled.end();) {
        if (it->next < it->due.size()) {
            ++it;
            continue;
        }
        record({BusEvent::Kind::Answered, it->due.back(), it->device, it->bytes,
                it->due.front() - m_timing.byteTime(), it->unasked,
                it->speaker == Speaker::Both, it->speaker == Speaker::Twin});
        it = m_scheduled.erase(it);
    }
    return out;
}

std::optional<TimePoint> Bus::nextDue() const {
    std::optional<TimePoint> next = nextChat();
    if (!m_echoed.empty() && (!next || m_echoed.front().due < *next)) next = m_echoed.front().due;
    for (const Scheduled& s : m_scheduled) {
        if (s.next < s.due.size() && (!next || s.due[s.next] < *next)) next = s.due[s.next];
    }
    return next;
}

void Bus::record(BusEvent event) {
    if (m_events.size() >= kMaxEvents)
        m_events.erase(m_events.begin(), m_events.begin() + kMaxEvents / 2);
    m_events.push_back(std::move(event));
}

void Bus::discardPending() {
    m_scheduled.clear();
    m_echoed.clear();
}

std::vector<BusEvent> Bus::takeEvents() {
    std::vector<BusEvent> events;
    events.swap(m_events);
    return events;
}

}  // namespace room::simulator
