#pragma once
// What the program does with a device answer: compare it with the room type (verify) or
// store it into the room type (read back). Texts are the status and message texts the
// console shows.

#include <optional>
#include <string>
#include <vector>

#include "core/model/room_type.h"
#include "core/protocol/receiver.h"

namespace room::protocol {

// Verification state shared by the console run and the single-device sends of the pages.
struct VerifyState {
    int verifyDevice = 0;   // device being verified, 0 when none
    int blockCounter = 6;   // short answers still expected
    int errorCount = 0;
};

struct CheckOutcome {
    int device = 0;                    // device the answer concerned (0 when ignored)
    std::vector<std::string> status;   // every status-line text, in order; the last one stays shown
    std::vector<std::string> messages; // texts to show in message boxes (only when no run is active)
    std::optional<int> result;         // 1 matched or read, 2 differences; set when the device is done
    bool wroteRoom = false;            // a read-back wrote into the room type

    bool handled() const { return device != 0; }
};

// Verifies an answer against `room` for state.verifyDevice (nothing happens while it is 0).
// Long answers of types 1, 3, 4 (switch panels), 2 (thermostat) and 6 are checked, short answers
// 0xED by their block. The thermostat and type-6 checks write every matching mode-slot value into
// `edit.devices[d]` and then report each of the 168 values where `edit` and `room` differ, so the
// caller decides what the working copy holds. `runActive` suppresses messages. Missing bytes
// of a cut-off answer count as differences and show as "--".
CheckOutcome verifyAnswer(const Answer& answer, const model::RoomTypeConfig& room,
                          model::RoomTypeConfig& edit, VerifyState& state, bool runActive);

// Stores an answer into `room` (sets modified; the caller sets readBackDone on wroteRoom).
// Answers naming a device outside 1..36, of another type, or too short for what they should
// carry are ignored.
CheckOutcome readBackAnswer(const Answer& answer, model::RoomTypeConfig& room);

// Curtain-like key device: its indicator bytes are neither verified nor read.
bool isCurtainLike(const model::DeviceRecord& device);

}  // namespace room::protocol
