#include "core/commissioning/write_queue.h"

#include <algorithm>

namespace room::commissioning {

TimePoint WriteQueue::nextSlot(TimePoint now) const {
    return m_pending.empty() ? now : std::max(now, m_pending.back().due + m_pause);
}

TimePoint WriteQueue::push(int device, FrameKind kind, std::vector<protocol::Bytes> frames,
                           TimePoint now, std::vector<OutFrame>& writes) {
    TimePoint due = nextSlot(now);
    TimePoint last = due;
    for (protocol::Bytes& bytes : frames) {
        OutFrame frame{device, kind, std::move(bytes)};
        if (m_pending.empty() && due <= now) {
            writes.push_back(std::move(frame));
        } else {
            m_pending.push_back(Pending{due, std::move(frame)});
        }
        last = due;
        due += m_pause;
    }
    return last;
}

std::optional<OutFrame> WriteQueue::popDue(TimePoint now) {
    if (m_pending.empty() || m_pending.front().due > now) return std::nullopt;
    OutFrame frame = std::move(m_pending.front().frame);
    m_pending.pop_front();
    return frame;
}

TimePoint WriteQueue::busyUntil(TimePoint now) const {
    return m_pending.empty() ? now : std::max(now, m_pending.back().due);
}

std::optional<TimePoint> WriteQueue::nextDue() const {
    if (m_pending.empty()) return std::nullopt;
    return m_pending.front().due;
}

}  // namespace room::commissioning
