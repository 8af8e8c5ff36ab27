#pragma once
// Frames waiting to go on the bus: in order, kFramePause apart, each written when it is due.

#include <deque>
#include <optional>
#include <vector>

#include "core/commissioning/effects.h"

namespace room::commissioning {

class WriteQueue {
public:
    explicit WriteQueue(Milliseconds pause) : m_pause(pause) {}

    // Queues `frames`; those due at once go straight into `now` writes. Returns when the last
    // one is due (`now` for no frames).
    TimePoint push(int device, FrameKind kind, std::vector<protocol::Bytes> frames, TimePoint now,
                   std::vector<OutFrame>& writes);
    // The next frame when it has come due.
    std::optional<OutFrame> popDue(TimePoint now);
    // When the next frame pushed would go out.
    TimePoint nextSlot(TimePoint now) const;
    // When the last queued frame goes out (now when nothing waits).
    TimePoint busyUntil(TimePoint now) const;
    std::optional<TimePoint> nextDue() const;
    bool empty() const { return m_pending.empty(); }
    void clear() { m_pending.clear(); }

private:
    struct Pending {
        TimePoint due;
        OutFrame frame;
    };
    Milliseconds m_pause;
    std::deque<Pending> m_pending;
};

}  // namespace room::commissioning
