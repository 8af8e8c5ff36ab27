#include "platform/simulated_link.h"

#include <chrono>

namespace room::platform {

namespace {

simulator::TimePoint now() {
    return simulator::Clock::now();
}

}  // namespace

SimulatedLink::SimulatedLink(QObject* parent) : SerialLink(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedLink::deliver);
}

SimulatedLink::SimulatedLink(const model::RoomTypeConfig& room, QObject* parent)
    : SimulatedLink(parent) {
    m_bus.preload(room);
}

bool SimulatedLink::open(const QString& portName) {
    Q_UNUSED(portName);
    close();
    m_open = true;
    m_error.clear();
    return true;
}

// Answers still on the line when the port closes are lost, as on a real port.
void SimulatedLink::close() {
    m_open = false;
    m_timer.stop();
    m_bus.discardPending();
}

bool SimulatedLink::write(const QByteArray& bytes) {
    if (!m_open) {
        m_error = tr("Port not open");
        return false;
    }
    m_bus.feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
               static_cast<std::size_t>(bytes.size()), now());
    scheduleNext();
    return true;
}

void SimulatedLink::pullAdapter(const QString& reason) {
    if (!m_open) return;
    close();
    m_error = reason;
    emit lost(reason);
}

void SimulatedLink::deliver() {
    if (!m_open) return;
    const std::vector<simulator::TimedByte> due = m_bus.answerDue(now());
    if (!due.empty()) {
        QByteArray bytes;
        bytes.reserve(static_cast<qsizetype>(due.size()));
        for (const simulator::TimedByte& b : due) bytes.append(static_cast<char>(b.value));
        emit bytesReceived(bytes);
    }
    // A receiver may have closed the link or written again meanwhile.
    if (m_open) scheduleNext();
}

void SimulatedLink::scheduleNext() {
    const std::optional<simulator::TimePoint> next = m_bus.nextDue();
    if (!next) {
        m_timer.stop();
        return;
    }
    using namespace std::chrono;
    const auto wait = ceil<milliseconds>(*next - now());
    m_timer.start(static_cast<int>(std::max<milliseconds::rep>(0, wait.count())));
}

}  // namespace room::platform
