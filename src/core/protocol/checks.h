#pragma once
// What the program does with a device answer: compare it with the room type (verify) or
// store it into the room type (read back). Texts are the status and message texts the
// console shows.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/model/room_type.h"
#include "core/protocol/receiver.h"

namespace room::protocol {

// Verification state shared by the console run and the single-device sends of the pages.
struct VerifyState {
    int verifyDevice = 0;  // device being verified, 0 when none
    int blockCounter = 6;  // short blocks still expected
    int errorCount = 0;
    unsigned blocks = 0;   // short blocks received so far, one bit each (1, 5, 11..14)
};

// Bit of a short configuration block (1, 5, 11..14) in VerifyState::blocks; -1 for any other.
int shortBlockBit(int block);

// The device number an answer carries (byte 3 of a long answer, byte 2 of a short one); -1 when
// the answer is too short to carry one.
int answerDevice(const Answer& answer);

// Long answers end with the checksum of every byte before it, as the console's frames do.
// Short answers were already checked by the receiver and always pass here.
struct AnswerSum {
    bool ok = true;
    int expected = 0;  // what the bytes add up to
    int received = 0;  // what the answer says
};
AnswerSum checkAnswerSum(const Answer& answer);

// "第%02d个面板第%02d块重复": short block b of device d came twice.
std::string repeatedBlockText(int device, int block);

// "第%02d个面板校验和异常 %02X %02X ": the answer of device d did not add up.
std::string checksumText(int device, const AnswerSum& sum);

struct CheckOutcome {
    int device = 0;                   // device the answer concerned (0 when ignored)
    std::vector<std::string> status;  // every status-line text, in order; the last one stays shown
    std::vector<std::string>
        messages;               // texts to show in message boxes (only when no run is active)
    std::optional<int> result;  // 1 matched or read, 2 differences; set when the device is done
    bool wroteRoom = false;     // a read-back wrote into the room type
    bool refused = false;       // a read refused a broken answer (did not add up, wrong length,
                                // values it cannot hold): nothing stored, `status` says why
    // Key and relay differences once more in lamp names ("按键1: 应为010.廊灯, 实为013.夜灯"),
    // each with the index of its text in `status`.
    std::vector<std::pair<std::size_t, std::string>> lampTexts;

    // The lamp-name text of status entry `index`, empty when it has none.
    std::string lampText(std::size_t index) const;

    bool handled() const { return device != 0; }
};

// Verifies an answer against `room` for state.verifyDevice (nothing happens while it is 0, nor
// for an answer carrying another device number: it is never checked against the wrong device).
// A long answer that does not add up is still verified, but its checksum counts as a difference
// first, so it can never end with an OK. A broken length or another device type than the room
// gives the device is a difference and ends the check (nothing in it stands where it should);
// a value the answer cannot hold is a difference too.
// Long answers of types 1, 3, 4 (switch panels), 2 (thermostat) and 6 are checked, short answers
// 0xED by their block. The thermostat and type-6 checks write every matching mode-slot value into
// `edit.devices[d]` and then report each of the 168 values where `edit` and `room` differ, so the
// caller decides what the working copy holds. `runActive` suppresses messages. Missing bytes
// of a cut-off answer count as differences and show as "--".
CheckOutcome verifyAnswer(const Answer& answer, const model::RoomTypeConfig& room,
                          model::RoomTypeConfig& edit, VerifyState& state, bool runActive);

// A short-frame verify ends once each of the six blocks came once, in whatever order; a block
// that comes again is a difference. The check of a device whose blocks stopped coming ends here with
// "第%02d个面板异常(%02d)" (the blocks not received) and result 2. Nothing when no block came:
// the device did not answer at all.
CheckOutcome verifyIncomplete(VerifyState& state, bool runActive);

// Stores an answer of device `expected` into `room` (sets modified; the caller sets readBackDone
// on wroteRoom). Answers carrying another device number, naming a device outside 1..36, of
// another type, or too short for what they should carry are ignored. An answer that does not add
// up, is broken or holds what it cannot (answer_rules.h) is refused: nothing is stored, the
// outcome says why (refused, status).
CheckOutcome readBackAnswer(const Answer& answer, model::RoomTypeConfig& room, int expected);

// The working copy a thermostat or type-6 check fills, made clean before each device: slots the
// room does not use are taken as they are (there is nothing to receive), every value of a used
// slot is "not involved" until the device's answer has shown it. A copy left over from an earlier
// check would hide slots the device has since lost.
void prepareWorkingCopy(const model::DeviceRecord& room, model::DeviceRecord& edit);

// Curtain-like key device: its indicator bytes are neither verified nor read.
bool isCurtainLike(const model::DeviceRecord& device);

}  // namespace room::protocol
