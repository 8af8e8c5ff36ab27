#pragma once
// The scene editor's live frames on their way to the line: a queue that writes one frame, waits
// the pause that frame asks for on a timer, then writes the next. The window stays live, and a
// click while frames wait only adds to the end of the queue.

#include <QObject>
#include <QTimer>
#include <deque>

#include "core/editing/scene_session.h"

namespace room::platform {
class SerialLink;
}

namespace room::gui {

class FramePacer : public QObject {
    Q_OBJECT

public:
    explicit FramePacer(QObject* parent = nullptr);

    // Frames go to `link` from now on (null: they are dropped).
    void setLink(platform::SerialLink* link);
    void enqueue(std::vector<editing::TimedFrame> frames);
    int pending() const { return static_cast<int>(m_queue.size()); }
    // A frame was written and its pause still runs: its bytes may still be on their way.
    bool sending() const { return m_pause.isActive(); }
    void clear();

signals:
    void pendingChanged(int count);
    // The last frame's pause is over and nothing waits: its bytes are on the line.
    void idle();

private:
    void sendNext();

    platform::SerialLink* m_link = nullptr;
    std::deque<editing::TimedFrame> m_queue;
    QTimer m_pause;
};

}  // namespace room::gui
