#include "gui/editors/frame_pacer.h"

#include "platform/serial_link.h"

namespace room::gui {

FramePacer::FramePacer(QObject* parent) : QObject(parent) {
    m_pause.setSingleShot(true);
    m_pause.setTimerType(Qt::PreciseTimer);
    connect(&m_pause, &QTimer::timeout, this, &FramePacer::sendNext);
}

void FramePacer::setLink(platform::SerialLink* link) {
    m_link = link;
}

void FramePacer::enqueue(std::vector<editing::TimedFrame> frames) {
    if (frames.empty()) return;
    for (editing::TimedFrame& frame : frames) m_queue.push_back(std::move(frame));
    emit pendingChanged(pending());
    if (!m_pause.isActive()) sendNext();
}

void FramePacer::clear() {
    m_queue.clear();
    m_pause.stop();
    emit pendingChanged(0);
}

void FramePacer::sendNext() {
    if (m_queue.empty()) {
        emit idle();
        return;
    }
    editing::TimedFrame frame = std::move(m_queue.front());
    m_queue.pop_front();
    if (m_link && m_link->isOpen()) {
        m_link->write(QByteArray(reinterpret_cast<const char*>(frame.bytes.data()),
                                 static_cast<qsizetype>(frame.bytes.size())));
    }
    emit pendingChanged(pending());
    m_pause.start(frame.pauseAfterMs);
}

}  // namespace room::gui
