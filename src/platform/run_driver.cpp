#include "platform/run_driver.h"

#include <algorithm>
#include <span>

namespace room::platform {

using commissioning::Clock;
using commissioning::Effects;
using commissioning::TimePoint;

RunDriver::RunDriver(commissioning::Engine& engine, SerialLink& link, QObject* parent)
    : QObject(parent), m_engine(engine), m_link(link) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_clock.start();
    connect(&m_timer, &QTimer::timeout, this,
            [this] { call([this](TimePoint now) { return m_engine.onTimeout(now); }); });
    connect(&m_link, &SerialLink::bytesReceived, this, &RunDriver::onBytes);
    connect(&m_link, &SerialLink::lost, this, &RunDriver::onLost);
}

void RunDriver::call(const std::function<Effects(TimePoint)>& step) {
    apply(step(Clock::now()));
}

void RunDriver::apply(Effects effects) {
    QString failure;
    for (const commissioning::OutFrame& frame : effects.writes) {
        const QByteArray bytes(reinterpret_cast<const char*>(frame.bytes.data()),
                               static_cast<qsizetype>(frame.bytes.size()));
        if (!m_link.write(bytes)) {
            failure = m_link.errorString();
            break;
        }
        emit frameWritten(frame);
    }
    emit effectsApplied(effects);
    if (m_lost) return;
    if (!failure.isEmpty()) {
        // A port that refuses bytes is as good as gone: end the run rather than wait on it.
        m_link.close();
        onLost(failure);
        return;
    }
    reschedule();
}

void RunDriver::dropLink(const QString& reason) {
    m_link.close();
    onLost(reason);
}

void RunDriver::reschedule() {
    const auto deadline = m_engine.nextDeadline();
    if (!deadline) {
        m_timer.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
    m_timer.start(static_cast<int>(std::max<std::int64_t>(0, wait.count())));
}

void RunDriver::onBytes(const QByteArray& bytes) {
    emit bytesArrived(bytes);
    const std::span<const std::uint8_t> view(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             static_cast<std::size_t>(bytes.size()));
    call([&](TimePoint now) { return m_engine.onBytes(view, now); });
}

// The engine hears of it first and ends the run; only then is anybody told (a message box
// waits for the installer, and the run must not go on serving devices on a dead port meanwhile).
void RunDriver::onLost(const QString& reason) {
    if (m_lost) return;
    m_lost = true;
    m_timer.stop();
    apply(m_engine.setPortOpen(false, Clock::now()));
    emit portLost(reason);
}

}  // namespace room::platform
