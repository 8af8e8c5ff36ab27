#pragma once
// Reassembles device answers from the bytes of the bus, one byte at a time.
//
// Idle: 0xF0 starts a short answer, 0xF2 a long one, anything else is dropped. A long answer must
// go on with 0xF3 and ends at the first 0xF3 0xF4 pair after that header; it holds at most
// kMaxLongAnswer bytes, a longer one is lost. A short answer is 17 bytes whose last byte must be
// 0x0F and whose byte 15 must be the checksum of bytes 0..14; when they are not, the bytes after
// its 0xF0 are heard again, so a frame starts at the next start byte among them (a stray start
// byte costs no answer, short or long). A dropped
// answer leaves the receiver idle, ready for the next start byte. Frames that began (a whole
// 0xF2 0xF3 header, or a 0xF0) and were thrown away are counted: they are bytes the wire garbled,
// or two talkers at once. A lone 0xF2 before something else is line noise and not counted.

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

    // Which short answers count: the console wants the checksum; the main window's mirror also
    // takes 0x88 in its place.
    enum class ShortRule { Checksum, ChecksumOrMirror };

    Receiver() = default;
    explicit Receiver(ShortRule rule) : m_rule(rule) {}

    // Feeds one byte; returns an answer when this byte completes one.
    std::optional<Answer> push(std::uint8_t byte);
    void clear();
    bool idle() const { return m_state == State::Idle; }
    // Frames thrown away since the receiver was made.
    std::uint64_t brokenFrames() const { return m_broken; }

private:
    enum class State { Idle, LongStart, Long, Short };

    std::optional<Answer> pushIdle(std::uint8_t byte);
    std::optional<Answer> pushLong(std::uint8_t byte);
    std::optional<Answer> pushShort(std::uint8_t byte);

    ShortRule m_rule = ShortRule::Checksum;
    State m_state = State::Idle;
    Bytes m_buffer;
    std::uint64_t m_broken = 0;
};

}  // namespace room::protocol
