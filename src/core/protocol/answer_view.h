#pragma once
// Bounded reading of a device answer and the helpers both checks share. An answer can say
// anything, so every read goes through at() and every table index is checked before use.

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>

#include "core/model/room_type.h"
#include "core/protocol/receiver.h"

namespace room::protocol::detail {

constexpr int kIndicatorPos = 23;  // modeFlagBits in a long answer
constexpr int kInputsPos = 11;
constexpr int kOutputsPos = 17;
constexpr int kMasksPos = 29;
constexpr int kMasksEnd = 65;      // one past the last mask byte
constexpr int kDimmerSlotsPos = 29;
constexpr int kSlotSize = 7;
constexpr int kSlotValues = model::kModeSlots * kSlotSize;  // 168

// The data bytes of an answer: a long answer without its checksum and end pair, a short one
// without checksum and end byte.
class AnswerView {
public:
    explicit AnswerView(const Answer& answer) : m_bytes(answer.bytes) {
        const int size = static_cast<int>(m_bytes.size());
        m_dataEnd = size >= 3 ? size - 3 : 0;
        if (answer.kind == Answer::Kind::Short) m_dataEnd = size >= 2 ? size - 2 : 0;
    }

    std::optional<int> at(int pos) const {
        if (pos < 0 || pos >= m_dataEnd) return std::nullopt;
        return m_bytes[static_cast<std::size_t>(pos)];
    }
    int byte(int pos) const { return at(pos).value_or(-1); }
    bool has(int pos) const { return pos >= 0 && pos < m_dataEnd; }
    int dataEnd() const { return m_dataEnd; }

    // One past the last byte of the slot area: the length byte L says L-3, but never beyond
    // what actually arrived.
    int slotAreaEnd() const {
        const int length = byte(5);
        return length < 3 ? 0 : std::min(length - 3, m_dataEnd);
    }

private:
    const Bytes& m_bytes;
    int m_dataEnd = 0;
};

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string format(const char* pattern, ...) {
    char buffer[256];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    return buffer;
}

// A value as a device byte for "%02X".
inline unsigned hexByte(int value) { return static_cast<unsigned>(value) & 0xFFu; }

// "%02X " of a received byte, "-- " when the answer stopped before it.
inline std::string receivedText(std::optional<int> value) {
    return value ? format("%02X ", hexByte(*value)) : std::string("-- ");
}

inline bool validDevice(int device) { return device >= 1 && device <= model::kMaxDevices; }

// Slot index 0..23 of a scene-mode code, -1 for anything else.
inline int slotIndexOfCode(int code) { return model::sceneSlotForCode(code) - 1; }

// Thermostat slot values as the room keeps them, from the wire numbers.
inline int decodePower(int b) { return b == 2 ? 0 : b == 1 ? 10 : model::kNotInvolved; }
inline int decodeMode(int b) {
    return b == 1 ? 8 : b == 2 ? 9 : b == 3 ? 10 : model::kNotInvolved;
}
inline int decodeTemperature(int b) { return b == 15 ? model::kNotInvolved : b - 16; }
inline int decodeFan(int b) { return b == 0 ? model::kNotInvolved : (b >= 1 && b <= 4) ? b + 6 : 0; }

// Value i (0..6) of a slot as the room keeps it, from its wire byte.
inline int decodeThermostatValue(int i, int b) {
    switch (i) {
        case 1: return decodePower(b);
        case 2: return decodeMode(b);
        case 3: return decodeTemperature(b);
        case 4: return decodeFan(b);
        default: return b;
    }
}

}  // namespace room::protocol::detail
