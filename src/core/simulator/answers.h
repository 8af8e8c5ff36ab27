#pragma once
// The frames a device answers with, and the scripted faults that spoil them.

#include <array>
#include <cstdint>

#include "core/simulator/device_memory.h"
#include "core/simulator/wire.h"

namespace room::simulator {

// A device's answer before it goes on the wire, with the positions the faults work on.
struct Answer {
    Bytes bytes;
    int numberAt = -1;    // the device number, -1 when the frame carries none
    int dataAt = -1;      // the data byte a "corrupt" fault changes
    int checksumAt = -1;  // checksum of bytes 0 .. checksumAt - 1
};

// 0xF2 0xF3, type, device, op, L, parameter, bytes 7..9, sub-byte, payload, checksum, F3 F4.
Answer longAnswer(const DeviceMemory& memory, std::uint8_t device, std::uint8_t op);
// The 9-byte acknowledgement: 0xF2 0xF3, type, device, op, 9, checksum, F3 F4.
Answer longAcknowledge(const DeviceMemory& memory, std::uint8_t device, std::uint8_t op);
// 0xF0 0xED, device, op, block, ten data bytes (block 1: inputs and outputs 1..4; other blocks:
// six bytes then zeros), checksum, 0x0F.
Answer shortAnswer(const DeviceMemory& memory, std::uint8_t device, std::uint8_t op, int block);
// The status frame a chatty device sends unasked: 0xF0 0xEE, device, zeros, checksum, 0x0F.
Answer chatter(std::uint8_t device);
// A short command frame echoed back unchanged (the console accepts it by its checksum).
Answer echo(const Bytes& frame);

struct Faults {
    bool silent = false;       // never answers
    int lateMs = 0;            // answers this much later than its reaction time
    int dribbleMs = 0;         // its answer bytes come this far apart (at least one byte time)
    bool badChecksum = false;  // the checksum byte is off by one
    int wrongNumber = 0;       // answers under this device number instead of its own (0: no)
    bool garbage = false;      // noise bytes on the line before each answer
    bool corrupt = false;      // one data byte changed, checksum still right: a verify difference
    int chattyMs = 0;          // sends a status frame of its own this often, asked or not (0: no)
    int cutAfter = 0;          // each answer breaks off after this many bytes (0: whole answers)
    bool stray = false;        // a stray 0xF0 follows each answer
    bool repeat = false;       // the first answer frame again in place of the second (or twice)
    bool reorder = false;      // answer frames of one request in reverse order (short blocks)
    int zeroAt = -1;           // a 0x00 glitch inserted at this byte of each answer frame (-1: no)
    int kind = 0;              // answers in the layout and under the type of this kind (0: its own)
    // Does not hear this many more requests addressed to it (neither answers nor acts on them),
    // then answers normally: a device still booting, a noisy stretch of line. Counts down.
    int miss = 0;
    // A second device set to the same number answers each request too, from the bus's twin
    // memory. Its bytes start twinOffset byte times after the first device's (-1: half way
    // through its answer); where both are on the line the receiver gets their OR, or, with
    // twinInterleave, their bytes in turn. From the first answer's length on, the twin answers
    // whole after it, that many byte times after the first began.
    bool twin = false;
    int twinOffset = -1;
    bool twinInterleave = false;

    bool operator==(const Faults&) const = default;
};

// The noise a "garbage" device sends first. A receiver that follows the framing drops all of it:
// none of these bytes starts a frame, and 0xF2 is followed by something other than 0xF3.
inline constexpr std::array<std::uint8_t, 6> kGarbage = {0x00, 0xFF, 0x55, 0xF2, 0x11, 0xAA};

// The answer's bytes as the faulty device sends them (timing and silence are the bus's part).
Bytes applyFaults(const Answer& answer, const Faults& faults);

// What the receiver hears when `twin` starts `offset` bytes after `first` (a negative offset:
// half way through `first`): their OR where both are on the line, or their bytes in turn.
Bytes collide(const Bytes& first, const Bytes& twin, int offset, bool interleave);

}  // namespace room::simulator
