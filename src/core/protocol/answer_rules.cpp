#include "core/protocol/answer_rules.h"

#include "core/model/catalogues.h"
#include "core/protocol/answer_view.h"
#include "core/protocol/checks.h"

namespace room::protocol {

using namespace detail;

namespace {

constexpr int kAcknowledgementLength = 9;
constexpr int kPanelLength = 68;
constexpr int kThermostatBase = 14;  // header, checksum, end pair
constexpr int kSlotPanelBase = 32;   // and the 18 bytes of codes and indicator bytes

bool slotLength(int length, int base) {
    return length >= base && (length - base) % kSlotSize == 0 &&
           (length - base) / kSlotSize <= model::kModeSlots;
}

bool lengthOfType(int type, int length) {
    if (length == kAcknowledgementLength) return true;
    switch (type) {
        case 1:
        case 3:
        case 4:
            return length == kPanelLength;
        case 2:
            return slotLength(length, kThermostatBase);
        case 5:
        case 6:
            return slotLength(length, kSlotPanelBase);
        default:
            return true;  // a kind we do not know: only the count can be judged
    }
}

std::optional<std::string> invalid(int device, int value, int pos) {
    return format("第%02d个面板数据无效 %02X %02X ", device, hexByte(value), hexByte(pos));
}

template <std::size_t N>
bool listed(const std::array<std::uint8_t, N>& list, int lamp) {
    for (std::uint8_t entry : list) {
        if (entry == model::kListEnd) return false;
        if (entry == lamp) return true;
    }
    return false;
}

bool named(const std::string& name) {
    return name.find_first_not_of(' ') != std::string::npos;
}

// Codes from `pos` (`count` of them) are lamps the room could have put there.
std::optional<std::string> codesFault(const AnswerView& view, int pos, int count, int device,
                                      const model::RoomTypeConfig& room) {
    for (int at = pos; at < pos + count; ++at) {
        if (view.has(at) && !knownLamp(room, view.byte(at))) {
            return invalid(device, view.byte(at), at);
        }
    }
    return std::nullopt;
}

// One mask row from `pos` of an output whose code is `output`.
std::optional<std::string> rowFault(const AnswerView& view, int pos, int output, int device) {
    for (int pair = 0; pair < 3; ++pair) {
        const int on = view.byte(pos + 2 * pair);
        const int takesPart = view.byte(pos + 2 * pair + 1);
        if ((on & ~takesPart) != 0) return invalid(device, on, pos + 2 * pair);
        if (output == 0 && takesPart != 0) return invalid(device, takesPart, pos + 2 * pair + 1);
    }
    return std::nullopt;
}

bool thermostatValue(int i, int b) {
    switch (i) {
        case 1:
            return b <= 2;
        case 2:
            return b <= 3;
        case 3:
            return b >= 15 && b <= 31;
        case 4:
            return b <= 4;
        default:
            return b == 0;  // the two bytes after the fan
    }
}

// Scene slots from `pos` to the end of the slot area, seven bytes each.
std::optional<std::string> slotsFault(const AnswerView& view, int pos, bool thermostat,
                                      int device) {
    int lastSlot = -1;
    for (; pos + kSlotSize <= view.slotAreaEnd(); pos += kSlotSize) {
        const int slot = slotIndexOfCode(view.byte(pos));
        if (slot <= lastSlot) return invalid(device, view.byte(pos), pos);
        lastSlot = slot;
        for (int i = 1; i < kSlotSize; ++i) {
            const int b = view.byte(pos + i);
            const bool fits =
                thermostat ? thermostatValue(i, b) : (b <= 15 || b == model::kNotInvolved);
            if (!fits) return invalid(device, b, pos + i);
        }
    }
    return std::nullopt;
}

std::optional<std::string> longContentFault(const AnswerView& view, int device,
                                            const model::RoomTypeConfig& room) {
    const int type = view.byte(2);
    if (type == 2) {
        if (view.byte(10) > 3) return invalid(device, view.byte(10), 10);
        return slotsFault(view, kInputsPos, true, device);
    }
    if (type < 1 || type > 6) return std::nullopt;
    if (auto fault = codesFault(view, kInputsPos, 12, device, room)) return fault;
    if (type == 5 || type == 6) return slotsFault(view, kDimmerSlotsPos, false, device);
    for (int r = 0; r < 6 && view.has(kMasksPos + 6 * r + 5); ++r) {
        if (auto fault = rowFault(view, kMasksPos + 6 * r, view.byte(kOutputsPos + r), device)) {
            return fault;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> lengthFault(const Answer& answer, int device) {
    if (answer.kind != Answer::Kind::Long) return std::nullopt;
    const int came = static_cast<int>(answer.bytes.size());
    const int length = answer.bytes.size() > 5 ? answer.bytes[5] : -1;
    const int type = answer.bytes.size() > 2 ? answer.bytes[2] : -1;
    if (length == came && lengthOfType(type, length)) return std::nullopt;
    return format("第%02d个面板长度异常 %02X %02X ", device, hexByte(length), hexByte(came));
}

std::optional<std::string> contentFault(const Answer& answer, int device,
                                        const model::RoomTypeConfig& room) {
    const AnswerView view(answer);
    if (answer.kind == Answer::Kind::Long) return longContentFault(view, device, room);
    const int block = view.byte(4);
    if (block == 1) {
        if (auto fault = codesFault(view, 5, 10, device, room)) return fault;
    } else if (block >= 11 && block <= 14) {
        // The row alone: whether its output carries a lamp is block 1's to say.
        return rowFault(view, 5, -1, device);
    }
    return std::nullopt;
}

std::optional<std::string> blocksFault(const std::vector<Answer>& blocks, int device,
                                       const model::RoomTypeConfig& room) {
    const Answer* codes = nullptr;
    for (const Answer& block : blocks) {
        if (block.bytes.size() > 4 && block.bytes[4] == 1) codes = &block;
    }
    for (const Answer& block : blocks) {
        if (auto fault = contentFault(block, device, room)) return fault;
        const int number = block.bytes.size() > 4 ? block.bytes[4] : 0;
        if (codes == nullptr || number < 11 || number > 14) continue;
        const int output = AnswerView(*codes).byte(11 + (number - 11));  // outputs 1..4
        if (auto fault = rowFault(AnswerView(block), 5, output, device)) return fault;
    }
    return std::nullopt;
}

bool knownLamp(const model::RoomTypeConfig& room, int lamp) {
    if (lamp == 0) return true;
    if (lamp < 0 || lamp >= model::kLampCount) return false;
    const auto at = static_cast<std::size_t>(lamp);
    return named(room.lampNames[at]) || named(std::string(model::defaultLampNames[at])) ||
           listed(room.ordinaryLightKeys, lamp) || listed(room.dimmerAndOtherKeys, lamp) ||
           listed(room.curtainKeys, lamp) || listed(room.sceneModeKeys, lamp) ||
           listed(room.otherKeys, lamp) || listed(room.airConditionerKeys, lamp) ||
           listed(room.spareKeys, lamp);
}

bool intactAcknowledgement(const Answer& answer) {
    return checkAnswerSum(answer).ok && !lengthFault(answer, 0);
}

std::string typeMismatchText(int device) {
    return format("第%02d个面板类型不符", device);
}

}  // namespace room::protocol
