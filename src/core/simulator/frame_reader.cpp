#include "core/simulator/frame_reader.h"

namespace room::simulator {

void FrameReader::reset() {
    m_state = State::Idle;
    m_frame.clear();
    m_rescan.clear();
}

void FrameReader::push(std::uint8_t byte, std::vector<ConsoleFrame>& out) {
    m_rescan.push_back(byte);
    while (!m_rescan.empty()) {
        const std::uint8_t next = m_rescan.front();
        m_rescan.pop_front();
        step(next, out);
    }
}

void FrameReader::step(std::uint8_t byte, std::vector<ConsoleFrame>& out) {
    switch (m_state) {
        case State::Idle:
            if (byte == kLongStart0) {
                m_frame.assign(1, byte);
                m_state = State::LongSecond;
            } else if (byte == kShortStart) {
                m_frame.assign(1, byte);
                m_state = State::Short;
            } else {
                ++m_dropped;
            }
            return;
        case State::LongSecond:
            m_frame.push_back(byte);
            if (byte == kLongStart1) {
                m_state = State::Long;
            } else {
                reject();
            }
            return;
        case State::Long:
            m_frame.push_back(byte);
            finishLong(out);
            return;
        case State::Short:
            m_frame.push_back(byte);
            if (m_frame.size() == kShortSize) finishShort(out);
            return;
    }
}

void FrameReader::finishLong(std::vector<ConsoleFrame>& out) {
    if (m_frame.size() < 6) return;
    const std::size_t length = m_frame[5];
    if (length < static_cast<std::size_t>(kLongCommandSize)) {
        reject();
        return;
    }
    if (m_frame.size() < length) return;
    const bool ends = m_frame[length - 2] == kLongEnd0 && m_frame[length - 1] == kLongEnd1;
    if (!ends || m_frame[length - 3] != sum8(m_frame.data(), length - 3)) {
        reject();
        return;
    }
    out.push_back({ConsoleFrame::Kind::Long, std::move(m_frame)});
    m_frame.clear();
    m_state = State::Idle;
}

void FrameReader::finishShort(std::vector<ConsoleFrame>& out) {
    if (m_frame[16] != kShortEnd || m_frame[15] != sum8(m_frame.data(), 15)) {
        reject();
        return;
    }
    out.push_back({ConsoleFrame::Kind::Short, std::move(m_frame)});
    m_frame.clear();
    m_state = State::Idle;
}

// Drops the frame's first byte and scans the rest again, ahead of any bytes still queued.
void FrameReader::reject() {
    ++m_dropped;
    m_rescan.insert(m_rescan.begin(), m_frame.begin() + 1, m_frame.end());
    m_frame.clear();
    m_state = State::Idle;
}

}  // namespace room::simulator
