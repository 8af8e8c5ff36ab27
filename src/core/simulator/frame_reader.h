#pragma once
// The devices' receiver for what the console writes. Every device on the bus hears the same bytes
// and parses them the same way, so the bus runs one reader for all of them.
//
// Unlike the console's receiver, a device trusts a frame only when it is whole: a long frame must
// have the length its byte 5 announces, its checksum and the F3 F4 end; a short frame its checksum
// and the 0x0F end. A frame that fails is dropped and the bytes after its first byte are scanned
// again, so a start byte hidden in noise does not swallow the frame that follows.

#include <cstdint>
#include <deque>
#include <vector>

#include "core/simulator/wire.h"

namespace room::simulator {

struct ConsoleFrame {
    enum class Kind { Long, Short };
    Kind kind = Kind::Long;
    Bytes bytes;
};

class FrameReader {
public:
    // Takes one byte; frames it completes are appended to `out`.
    void push(std::uint8_t byte, std::vector<ConsoleFrame>& out);
    // Bytes dropped so far because they belonged to no valid frame.
    std::size_t droppedBytes() const { return m_dropped; }
    void reset();

private:
    enum class State { Idle, LongSecond, Long, Short };

    void step(std::uint8_t byte, std::vector<ConsoleFrame>& out);
    void finishLong(std::vector<ConsoleFrame>& out);
    void finishShort(std::vector<ConsoleFrame>& out);
    void reject();

    State m_state = State::Idle;
    Bytes m_frame;
    std::deque<std::uint8_t> m_rescan;
    std::size_t m_dropped = 0;
};

}  // namespace room::simulator
