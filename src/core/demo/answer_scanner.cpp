#include "core/demo/answer_scanner.h"

#include <algorithm>

#include "core/protocol/frames.h"

namespace room::demo {

int AnswerScanner::push(const std::vector<std::uint8_t>& bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    int accepted = 0;
    std::size_t start = 0;
    while (true) {
        const auto at = std::find(m_buffer.begin() + static_cast<std::ptrdiff_t>(start),
                                  m_buffer.end(), std::uint8_t{0xF0});
        start = static_cast<std::size_t>(at - m_buffer.begin());
        if (m_buffer.size() - start < protocol::kShortFrameSize) break;
        const auto first = m_buffer.begin() + static_cast<std::ptrdiff_t>(start);
        const protocol::Bytes frame(first, first + protocol::kShortFrameSize);
        if (protocol::isAcceptedMirrorAnswer(frame)) {
            ++accepted;
            start += protocol::kShortFrameSize;
        } else {
            ++start;
        }
    }
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(start));
    return accepted;
}

}  // namespace room::demo
