#pragma once
// When an editor that paces live frames may close. OK and Cancel wait until the frames already
// queued are on the line, so the devices never show half a scene; the dialog counts them down.
// A Cancel while waiting closes at once and tells how many frames were dropped; the result stays
// the one chosen first.

#include <optional>
#include <string>

namespace room::editing {

struct CloseDecision {
    bool closeNow = false;
    bool accepted = false;               // OK was the first choice
    std::optional<std::string> message;  // frames dropped by an impatient Cancel
};

class CloseGate {
public:
    // OK (`ok`) or Cancel, Escape and the close box, with `pending` frames queued and, when
    // `sending`, the last one written still within its pause.
    CloseDecision press(bool ok, int pending, bool sending);
    // The queue ran empty and the last pause ended.
    CloseDecision drained();
    bool waiting() const { return m_waiting; }

private:
    bool m_waiting = false;
    bool m_ok = false;
};

// "待发送: n 帧"
std::string queuedFramesText(int pending);

}  // namespace room::editing
