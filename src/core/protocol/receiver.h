#pragma once
// Reassembles device answers from the bytes of the bus, one byte at a time.

#include <cstdint>
#include <optional>

#include "core/protocol/frames.h"

namespace room::protocol {

struct Answer {
    enum class Kind { Long, Short };
    Kind kind = Kind::Long;
    // Long: 0xF2 0xF3 ... 0xF3 0xF4 as received. Short: the 17 bytes, already checked.
    Bytes bytes;
};

class Receiver {
public:
    static constexpr int kMaxLongAnswer = 255;

    // Feeds one byte; returns an answer when this byte completes one.
    std::optional<Answer> push(std::uint8_t byte);
    void clear();

private:
    enum class State { Idle, LongStart, Long, Short };
    State m_state = State::Idle;
    Bytes m_buffer;
};

}  // namespace room::protocol
