#ifdef ROOM_WITH_SERIAL

#include "tools/cli/bus_session.h"

#include <QTimer>
#include <cstdio>
#include <iostream>

#include <unistd.h>

namespace room::cli {

using commissioning::Action;
using commissioning::Effects;
using commissioning::TimePoint;

BusSession::BusSession(platform::RunDriver& driver, Action action)
    : m_driver(driver), m_action(action), m_tty(isatty(STDERR_FILENO) != 0) {
    connect(&m_driver, &platform::RunDriver::effectsApplied, this, &BusSession::onEffects);
    connect(&m_driver, &platform::RunDriver::bytesArrived, this, &BusSession::onBytes);
    connect(&m_driver, &platform::RunDriver::portLost, this, &BusSession::onLost);
}

void BusSession::start() {
    auto& engine = m_driver.engine();
    m_driver.call([&](TimePoint now) { return engine.setPortOpen(true, now); });
    // The command line is the installer's confirmation: no question is asked.
    m_driver.call([&](TimePoint now) { return engine.command(m_action, now, true); });
    const bool isRun =
        m_action == Action::SendAll || m_action == Action::VerifyAll || m_action == Action::ReadAll;
    if (!isRun && !m_done) {
        // One short frame: give the port time to put it on the wire before the process ends.
        QTimer::singleShot(300, this, [this] { finish(0); });
    }
}

void BusSession::printLine(std::ostream& stream, const std::string& text) {
    if (m_progressShown) {
        std::fputs("\r\033[K", stderr);
        m_progressShown = false;
    }
    stream << text << std::endl;
}

void BusSession::drawProgress(const commissioning::Progress& progress) {
    m_visited.push_back(progress.device);
    if (!m_tty) return;
    std::fprintf(stderr, "\r\033[Kdevice %02d: %d of %d, %.1f s", progress.device, progress.visited,
                 progress.total, static_cast<double>(m_driver.elapsedMs()) / 1000.0);
    std::fflush(stderr);
    m_progressShown = true;
}

void BusSession::onEffects(const Effects& effects) {
    for (const std::string& text : effects.statusTexts) printLine(std::cout, text);
    if (effects.title) printLine(std::cout, *effects.title);
    for (const std::string& message : effects.messages) printLine(std::cerr, message);
    if (effects.progress) drawProgress(*effects.progress);
    if (effects.runFinished) finishRun(*effects.runFinished);
}

void BusSession::onBytes(const QByteArray& bytes) {
    for (char c : bytes) {
        auto answer = m_receiver.push(static_cast<std::uint8_t>(c));
        if (!answer) continue;
        const auto& b = answer->bytes;
        const std::size_t at = answer->kind == protocol::Answer::Kind::Long ? 3 : 2;
        if (b.size() > at) m_answered.insert(b[at]);
    }
}

void BusSession::onLost(const QString& reason) {
    printLine(std::cerr, "port lost: " + reason.toStdString());
    finish(2);
}

void BusSession::finishRun(const commissioning::RunSummary& summary) {
    if (summary.stopped) {
        finish(2);
        return;
    }
    std::string silent;
    for (int device : m_visited) {
        if (!m_answered.count(device)) {
            char number[8];
            std::snprintf(number, sizeof number, " %02d", device);
            silent += number;
        }
    }
    if (!silent.empty()) printLine(std::cerr, "no answer from:" + silent);
    const bool clean = silent.empty() && summary.unread.empty() && summary.abnormal.empty();
    finish(clean ? 0 : 3);
}

void BusSession::finish(int code) {
    if (m_done) return;
    m_done = true;
    emit finished(code);
}

}  // namespace room::cli

#endif
