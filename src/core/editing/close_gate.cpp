#include "core/editing/close_gate.h"

#include <cstdio>

namespace room::editing {

CloseDecision CloseGate::press(bool ok, int pending, bool sending) {
    if (!m_waiting) {
        if (pending <= 0 && !sending) return {true, ok, std::nullopt};
        m_waiting = true;
        m_ok = ok;
        return {};
    }
    if (ok) return {};  // already on the way out
    m_waiting = false;
    CloseDecision out{true, m_ok, std::nullopt};
    if (pending > 0) {
        char text[96];
        std::snprintf(text, sizeof text, "%d 帧未发送，设备上的情景可能不完整。", pending);
        out.message = text;
    }
    return out;
}

CloseDecision CloseGate::drained() {
    if (!m_waiting) return {};
    m_waiting = false;
    return {true, m_ok, std::nullopt};
}

std::string queuedFramesText(int pending) {
    char text[32];
    std::snprintf(text, sizeof text, "待发送: %d 帧", pending);
    return text;
}

}  // namespace room::editing
