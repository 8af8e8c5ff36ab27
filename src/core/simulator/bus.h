#pragma once
// A room bus of up to 32 emulated devices, for tests, the simulated serial link and roombus-sim.
// It is sans-I/O: the caller feeds the bytes the console writes with the time they were written
// and takes the answer bytes when they are due. Time is always an argument; nothing here reads a
// clock or sleeps.
//
// How the devices behave where the console's side leaves it open (our devices' rules):
//  - Devices trust only whole frames: right length (byte 5), checksum and end bytes for long
//    frames, checksum and 0x0F for short ones. Anything else is ignored without an answer.
//  - A pause on the line longer than Timing::frameGap ends whatever frame was being received
//    (a console that stopped mid-frame must not hold the devices deaf).
//  - Only the addressed device answers; frames for device numbers that are not on the bus, or for
//    another device, get no answer.
//  - Long frames (0xF1 0xF4), by operation with the 0x80 flag ignored:
//      1 and 5  store type, parameter byte, bytes 7..9, sub-byte and the payload in the layout of
//               the sent type (a frame shorter than 14 bytes is ignored), then answer like a read
//               with what they now hold. Data sent with 0x80 ("apply at the next key press") is
//               applied at once: the emulated devices have no keys.
//      2 and 3  answer 0xF2 0xF3 + type, number, operation as received, L, parameter, bytes 7..9,
//               sub-byte, payload, checksum, F3 F4. The type is the device's own (what it was last
//               sent, else the kind it was created as), never the type byte of the request.
//      4        clears the configuration (the device keeps its kind) and acknowledges with the
//               9-byte answer 0xF2 0xF3 type number 4 9 checksum F3 F4.
//      6        acknowledges in the same 9-byte way and changes nothing.
//    Device number 0 with operation 4 clears every device on the bus and nobody answers (all at
//    once would collide); other operations to number 0 are ignored.
//  - Short configuration frames (0xF0 0xEC number op block ...): a send stores the block (blocks
//    1, 5, 11..14; other blocks are ignored) and answers that block; read and verify answer the
//    six blocks 1, 5, 11, 12, 13, 14 back to back; clear clears and answers block 1 (now empty);
//    number-only answers block 1. Number 0 with clear clears all devices without an answer.
//    The answer's op byte repeats the request's.
//  - Every other valid short frame (the main window's mirror 0xDD, the test-page commands, the
//    network-wide commands) is echoed unchanged by device 1 alone, as the one device that
//    acknowledges commands on this bus; 0xED frames (answers) are ignored.
//  - An empty device answers a read with zeros in the layout of its kind; devices start as switch
//    panels (type 1) unless a room type says otherwise.
//  - A bus made from a room type holds that room's devices only (records in use, 1..deviceCount);
//    every other number is silent, like hardware that is not there. A bus made without one holds
//    all 32. Rooms configured with short frames (system types outside 1..4) are preloaded as a
//    short-frame send leaves a device: inputs, outputs 1..4, indicator bytes and mask rows 1..4.
//  - A chatty device (Faults::chattyMs) puts a short status frame of its own (0xF0 0xEE number,
//    zeros, checksum, 0x0F) on the line every chattyMs, whether asked or not.
//  - Timing: the console's bytes reach the devices at the line rate (one byte time each, queued
//    behind each other) unless Timing::inboundWire is off; a device starts its answer a reaction
//    time after the last byte of the frame, and its bytes follow one byte time apart. Answers never
//    overlap on the line: a new one waits for the line to be free.
//  - Faults change only what the faulty device sends; see Faults. A twin (Faults::twin) is a
//    second device under the same number: it takes what the first is sent into its own memory
//    (twinMemory, other data until then) and answers the same requests, its bytes colliding with
//    the first device's (collide()). A device that misses requests (Faults::miss) lets them pass
//    as if it were not on the bus, twin and all, and keeps nothing of them.
//  - An echoing adapter (setEcho) hands back every byte the console writes as it leaves, before
//    any device can answer.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/room_type.h"
#include "core/simulator/answers.h"
#include "core/simulator/device_memory.h"
#include "core/simulator/frame_reader.h"
#include "core/simulator/wire.h"

namespace room::simulator {

struct Timing {
    std::chrono::nanoseconds reaction = std::chrono::milliseconds(5);
    int baud = 9600;
    bool inboundWire = true;
    std::chrono::nanoseconds frameGap = std::chrono::milliseconds(20);

    std::chrono::nanoseconds byteTime() const { return byteTimeAt(baud); }
};

struct TimedByte {
    TimePoint due;
    std::uint8_t value = 0;
};

struct BusEvent {
    enum class Kind {
        Received,  // a valid frame reached the devices (at: when its last byte arrived)
        Answered,  // a device's answer left the line completely (at: its last byte)
    };
    Kind kind = Kind::Received;
    TimePoint at;
    int device = -1;  // Received: the device addressed (0 all, -1 none); Answered: who answered
    Bytes bytes;
    TimePoint began{};      // Answered: when its first byte was on the line
    bool unasked = false;   // Answered: a chatty device's status frame
    bool collided = false;  // Answered: the device's and its twin's bytes at once
    bool twin = false;      // Answered: the twin alone, after the device's own answer
};

class Bus {
public:
    explicit Bus(Timing timing = {});
    // Devices preloaded with what a correctly configured room would hold.
    explicit Bus(const model::RoomTypeConfig& room, Timing timing = {});

    // Devices 1..count are on the bus (1..32); the others never answer.
    void setDeviceCount(int count);
    // Exactly these devices are on the bus.
    void setPresent(const std::vector<int>& devices);
    bool isPresent(int device) const {
        return device >= 1 && device <= kBusDeviceLimit && m_present[device];
    }

    // Every device 1..32 takes its part of `room`: the configuration a send would store, or an
    // empty memory of the room's device type when the room does not configure it. Only the
    // room's devices stay on the bus.
    void preload(const model::RoomTypeConfig& room);

    DeviceMemory& memory(int device);
    const DeviceMemory& memory(int device) const;
    Faults& faults(int device);
    // What the second device under `device`'s number holds (Faults::twin): other data of the
    // same kind until the console sends it something.
    DeviceMemory& twinMemory(int device);
    // The adapter echoes what the console writes.
    void setEcho(bool echo) { m_echo = echo; }
    bool echoes() const { return m_echo; }
    const Timing& timing() const { return m_timing; }
    void setTiming(const Timing& timing) { m_timing = timing; }

    // The console wrote these bytes at `now`.
    void feed(const std::uint8_t* data, std::size_t size, TimePoint now);
    void feed(const Bytes& bytes, TimePoint now) { feed(bytes.data(), bytes.size(), now); }

    // Answer bytes whose time has come (due <= now), in line order, removed from the queue.
    std::vector<TimedByte> answerDue(TimePoint now);
    // When the next answer byte is due; nothing when no answer is pending.
    std::optional<TimePoint> nextDue() const;
    // Forgets every answer not yet taken (a port closed or reopened).
    void discardPending();

    // Frames received and answers completed since the last call (the latest kMaxEvents of them:
    // a bus nobody asks keeps a bounded log).
    std::vector<BusEvent> takeEvents();
    static constexpr std::size_t kMaxEvents = 4096;
    std::size_t droppedBytes() const { return m_reader.droppedBytes(); }

private:
    // Who said it, for the events: the device, its twin alone, or both at once.
    enum class Speaker { Device, Twin, Both };
    struct Device {
        DeviceMemory memory;
        Faults faults;
        std::optional<DeviceMemory> twin;
    };
    struct Scheduled {
        int device = 0;
        Bytes bytes;
        std::vector<TimePoint> due;
        std::size_t next = 0;
        bool unasked = false;
        Speaker speaker = Speaker::Device;
    };

    void handle(const ConsoleFrame& frame, TimePoint at);
    void handleLong(const Bytes& frame, TimePoint at);
    void handleShortConfiguration(const Bytes& frame, TimePoint at);
    // What a device holding `memory` answers to a frame addressed to it (and does to its memory).
    std::vector<Answer> operateLong(DeviceMemory& memory, const Bytes& frame, int kind) const;
    std::vector<Answer> operateShort(DeviceMemory& memory, const Bytes& frame) const;
    void clearAll();
    // Whether the device lets this request pass unheard (Faults::miss), counting it.
    bool missed(int device);
    void record(BusEvent event);
    void respond(int device, const std::vector<Answer>& answers, TimePoint at,
                 const std::vector<Answer>& twin = {});
    Bytes spoken(const std::vector<Answer>& answers, const Faults& faults) const;
    void schedule(int device, Bytes bytes, TimePoint ready, int dribbleMs, bool unasked = false,
                  Speaker speaker = Speaker::Device);
    void chatUntil(TimePoint now);
    std::optional<TimePoint> nextChat() const;
    TimePoint firstFreeLine(TimePoint ready, Duration length) const;

    Timing m_timing;
    std::array<bool, kBusDeviceLimit + 1> m_present{};
    // When each chatty device speaks next; the first bytes or answers call starts the clock.
    std::array<std::optional<TimePoint>, kBusDeviceLimit + 1> m_nextChat{};
    std::array<Device, kBusDeviceLimit + 1> m_devices{};
    FrameReader m_reader;
    TimePoint m_inboundFree{};
    std::optional<TimePoint> m_lastArrival;
    std::vector<Scheduled> m_scheduled;  // kept in order of their first byte
    bool m_echo = false;
    std::vector<TimedByte> m_echoed;  // the console's own bytes on their way back
    std::vector<BusEvent> m_events;
};

}  // namespace room::simulator
