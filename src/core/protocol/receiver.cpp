#include "core/protocol/receiver.h"

#include <algorithm>

namespace room::protocol {

void Receiver::clear() {
    m_state = State::Idle;
    m_buffer.clear();
}

std::optional<Answer> Receiver::push(std::uint8_t byte) {
    switch (m_state) {
        case State::Idle:
            return pushIdle(byte);
        case State::LongStart:
            if (byte == kAnswerStart1) {
                m_buffer.push_back(byte);
                m_state = State::Long;
                return std::nullopt;
            }
            // Not a long answer after all; the byte may itself start the next answer.
            clear();
            return pushIdle(byte);
        case State::Long:
            return pushLong(byte);
        case State::Short:
            return pushShort(byte);
    }
    return std::nullopt;
}

std::optional<Answer> Receiver::pushIdle(std::uint8_t byte) {
    if (byte == kShortStart) {
        m_buffer.assign(1, byte);
        m_state = State::Short;
    } else if (byte == kAnswerStart0) {
        m_buffer.assign(1, byte);
        m_state = State::LongStart;
    }
    return std::nullopt;
}

std::optional<Answer> Receiver::pushLong(std::uint8_t byte) {
    if (m_buffer.size() >= static_cast<std::size_t>(kMaxLongAnswer)) {
        clear();  // too long to be an answer: lost
        ++m_broken;
        return std::nullopt;
    }
    // The end pair only counts after the 0xF2 0xF3 header.
    const bool ends = byte == kLongEnd1 && m_buffer.size() > 2 && m_buffer.back() == kLongEnd0;
    m_buffer.push_back(byte);
    if (!ends) return std::nullopt;
    Answer answer{Answer::Kind::Long, std::move(m_buffer)};
    clear();
    return answer;
}

std::optional<Answer> Receiver::pushShort(std::uint8_t byte) {
    m_buffer.push_back(byte);
    if (m_buffer.size() < static_cast<std::size_t>(kShortFrameSize)) return std::nullopt;
    const std::uint8_t sum = checksum(m_buffer.data(), 15);
    const bool sumOk = m_buffer[15] == sum ||
                       (m_rule == ShortRule::ChecksumOrMirror && m_buffer[15] == 0x88);
    if (m_buffer[16] == kShortEnd && sumOk) {
        Answer answer{Answer::Kind::Short, std::move(m_buffer)};
        clear();
        return answer;
    }
    // Not a frame after all; a stray 0xF0 may have stood before a real one, so what came after
    // it is heard again: a frame may start at its next 0xF0, or a long answer at its 0xF2 0xF3
    // (sixteen bytes can finish a long answer, but never two).
    ++m_broken;
    const Bytes rest(m_buffer.begin() + 1, m_buffer.end());
    clear();
    std::optional<Answer> answer;
    for (std::uint8_t b : rest) {
        if (auto heard = push(b)) answer = std::move(heard);
    }
    return answer;
}

}  // namespace room::protocol
