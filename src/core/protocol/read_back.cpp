// Read back: a device's answer written into the room type as it comes, without range checks on
// the values, but never outside the tables (device numbers, lamp numbers and lengths come from
// the bus and can say anything).

#include "core/protocol/answer_rules.h"
#include "core/protocol/answer_view.h"
#include "core/protocol/checks.h"

namespace room::protocol {

using namespace detail;
using model::DeviceRecord;
using model::RoomTypeConfig;

namespace {

constexpr int kThermostatBase[4] = {60, 100, 160, 164};

void clearSlots(DeviceRecord& device) {
    for (model::ModeSlot& slot : device.modes) {
        slot.modeCode = model::kNotInvolved;
        slot.outputState.fill(model::kNotInvolved);
    }
}

// What every long read does first: count, type, modified.
void takeDevice(RoomTypeConfig& room, int n, int type, CheckOutcome& out) {
    if (room.deviceCount < n) room.deviceCount = n;
    room.devices[n].type = static_cast<std::uint8_t>(type);
    room.modified = 1;
    out.device = n;
    out.wroteRoom = true;
}

void mirrorOutput(RoomTypeConfig& room, int n, int channel, int lamp) {
    room.devices[n].outputs[channel] = lamp;
    const int index = (n - 1) * model::kChannels + channel + 1;
    if (index < model::kChannelTableSize) room.outputLamp[index] = lamp;
}

// Row r of a device's masks into its slots: bit k of the involved bytes 1, 3, 5 puts slot k,
// 8 + k or 16 + k into the mode, the on bytes 0, 2, 4 tell on (10) or off (0).
void decodeMaskRow(RoomTypeConfig& room, int n, int r) {
    const model::OutputMask& row = room.outputMasks[n][r];
    static constexpr int kCodeBase[3] = {50, 168, 184};
    for (int group = 0; group < 3; ++group) {
        for (int k = 0; k < 8; ++k) {
            const unsigned bit = 1u << k;
            if ((row[2 * group + 1] & bit) == 0) continue;
            model::ModeSlot& slot = room.devices[n].modes[8 * group + k];
            slot.modeCode = kCodeBase[group] + k;
            model::markLampInUse(room, slot.modeCode);
            slot.outputState[r] = (row[2 * group] & bit) ? 10 : 0;
        }
    }
}

// Bytes 6 and 11..28 of a switch panel or type-6 answer (steps shared by both).
void readChannels(RoomTypeConfig& room, int n, const AnswerView& view) {
    room.functionOptionsA = static_cast<std::uint8_t>(view.byte(6));
    for (int k = 0; k < 6; ++k) model::setInput(room, n, k, view.byte(kInputsPos + k));
    for (int k = 0; k < 6; ++k) model::setOutput(room, n, k, view.byte(kOutputsPos + k));
    clearSlots(room.devices[n]);
    if (isCurtainLike(room.devices[n])) return;
    for (int k = 0; k < 6; ++k) {
        room.modeFlagBits[k] = static_cast<std::uint8_t>(view.byte(kIndicatorPos + k));
    }
}

// Slots of seven bytes from `pos`, each stored under its own mode code; an unknown code has no
// slot and is skipped, a cut-off slot is not read.
void readSlots(RoomTypeConfig& room, int n, const AnswerView& view, int pos, bool decode) {
    const int end = view.slotAreaEnd();
    for (; pos + kSlotSize <= end; pos += kSlotSize) {
        const int slot = slotIndexOfCode(view.byte(pos));
        if (slot < 0) continue;
        model::ModeSlot& target = room.devices[n].modes[slot];
        for (int i = 0; i < kSlotSize; ++i) {
            const int raw = view.byte(pos + i);
            target.setValue(i, decode ? decodeThermostatValue(i, raw) : raw);
        }
        model::markLampInUse(room, target.modeCode);
    }
}

void readPanel(RoomTypeConfig& room, int n, int type, const AnswerView& view, CheckOutcome& out) {
    if (!view.has(kMasksEnd - 1)) return;  // too short to carry the masks
    takeDevice(room, n, type, out);
    readChannels(room, n, view);
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) {
            room.outputMasks[n][r][c] = static_cast<std::uint8_t>(view.byte(kMasksPos + 6 * r + c));
        }
        decodeMaskRow(room, n, r);
    }
    out.status.push_back(format("第%02d个面板读取完成  ", n));
    out.result = 1;
}

void readThermostat(RoomTypeConfig& room, int n, const AnswerView& view, CheckOutcome& out) {
    if (!view.has(10)) return;
    takeDevice(room, n, 2, out);
    const int index = view.byte(10);
    if (index >= 0 && index < 4) {
        for (int k = 0; k < 4; ++k) mirrorOutput(room, n, k, kThermostatBase[index] + k);
    }
    room.devices[n].inUse = 1;
    model::markLampInUse(room, room.devices[n].outputs[0]);
    // The device reports every slot it holds, so slots it does not report are empty.
    clearSlots(room.devices[n]);
    readSlots(room, n, view, kInputsPos, true);
    out.status.push_back(format("第%02d个温控读取完成  ", index + 1));
    out.result = 1;
}

void readDimmer(RoomTypeConfig& room, int n, int type, const AnswerView& view, CheckOutcome& out) {
    if (!view.has(kDimmerSlotsPos - 1)) return;
    takeDevice(room, n, type, out);
    readChannels(room, n, view);
    readSlots(room, n, view, kDimmerSlotsPos, false);
    out.status.push_back(format("第%02d个面板读取完成  ", n));
    out.result = 1;
}

void readShort(RoomTypeConfig& room, const AnswerView& view, CheckOutcome& out) {
    const int n = view.byte(2);
    const int block = view.byte(4);
    const bool known = block == 1 || block == 5 || (block >= 11 && block <= 14);
    if (!validDevice(n) || !known) return;
    if (room.deviceCount < n) room.deviceCount = n;
    room.modified = 1;
    out.device = n;
    out.wroteRoom = true;
    if (block == 1) {
        for (int k = 0; k < 6; ++k) model::setInput(room, n, k, view.byte(5 + k));
        for (int k = 0; k < 4; ++k) model::setOutput(room, n, k, view.byte(11 + k));
        clearSlots(room.devices[n]);
    } else if (block == 5) {
        for (int k = 0; k < 6; ++k)
            room.modeFlagBits[k] = static_cast<std::uint8_t>(view.byte(5 + k));
    } else {
        const int r = block - 11;
        for (int c = 0; c < 6; ++c) {
            room.outputMasks[n][r][c] = static_cast<std::uint8_t>(view.byte(5 + c));
        }
        decodeMaskRow(room, n, r);
        if (block == 14) {
            out.status.push_back(format("第%02d个面板读取完成  ", n));
            out.result = 1;
        }
    }
}

}  // namespace

CheckOutcome readBackAnswer(const Answer& answer, RoomTypeConfig& room, int expected) {
    CheckOutcome out;
    if (!validDevice(expected) || answerDevice(answer) != expected) return out;
    const AnswerView view(answer);
    std::optional<std::string> fault = lengthFault(answer, expected);
    if (const AnswerSum sum = checkAnswerSum(answer); !sum.ok) fault = checksumText(expected, sum);
    if (!fault) fault = contentFault(answer, expected, room);
    if (fault) {
        out.device = expected;
        out.refused = true;
        out.status.push_back(std::move(*fault));
        return out;
    }
    if (answer.kind == Answer::Kind::Short) {
        if (view.byte(1) == kShortConfigAnswer) readShort(room, view, out);
        return out;
    }
    const int type = view.byte(2);
    const int n = view.byte(3);
    if (!validDevice(n)) return out;
    if (type == 1 || type == 3 || type == 4) {
        readPanel(room, n, type, view, out);
    } else if (type == 2) {
        readThermostat(room, n, view, out);
    } else if (type == 5 || type == 6) {  // same layout for both
        readDimmer(room, n, type, view, out);
    }
    return out;
}

}  // namespace room::protocol
