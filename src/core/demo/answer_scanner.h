#pragma once
// Finds the answers to the demonstration's mirror frames in the bytes a port delivers: a frame
// starts at 0xF0 and is 17 bytes long; a wrong end byte or checksum drops the start byte and the
// search resumes at the next 0xF0, so a stray 0xF0 in noise cannot hide a good answer behind it.

#include <cstdint>
#include <vector>

namespace room::demo {

class AnswerScanner {
public:
    // Feeds received bytes; returns how many accepted answers they completed.
    int push(const std::vector<std::uint8_t>& bytes);
    void clear() { m_buffer.clear(); }

private:
    std::vector<std::uint8_t> m_buffer;
};

}  // namespace room::demo
