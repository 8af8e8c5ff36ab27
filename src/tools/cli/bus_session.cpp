#ifdef ROOM_WITH_SERIAL

#include "tools/cli/bus_session.h"

#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <iostream>

namespace room::cli {

using commissioning::Action;
using commissioning::Effects;
using commissioning::TimePoint;

BusSession::BusSession(platform::RunDriver& driver, Action action)
    : m_driver(driver), m_action(action), m_tty(isatty(STDERR_FILENO) != 0) {
    connect(&m_driver, &platform::RunDriver::effectsApplied, this, &BusSession::onEffects);
    connect(&m_driver, &platform::RunDriver::portLost, this, &BusSession::onLost);
}

BusSession::BusSession(platform::RunDriver& driver, const commissioning::SequencePlan& plan)
    : BusSession(driver, plan.action) {
    m_sequence.emplace(plan);
}

void BusSession::start() {
    auto& engine = m_driver.engine();
    m_driver.call([&](TimePoint now) { return engine.setPortOpen(true, now); });
    if (m_sequence) {
        startRun(m_sequence->first());
        return;
    }
    // The command line is the installer's confirmation: no question is asked.
    m_driver.call([&](TimePoint now) { return engine.command(m_action, now, true); });
    // One short frame: give the port time to put it on the wire before the process ends.
    if (!m_done) QTimer::singleShot(300, this, [this] { finish(0); });
}

void BusSession::startRun(const commissioning::NextRun& run) {
    auto& engine = m_driver.engine();
    emit runStarting();
    m_driver.call([&](TimePoint now) { return engine.start(run, now); });
    if (!engine.runActive() && !m_done) {
        // Refused (the message is printed): nothing will end the run, as none started.
        QTimer::singleShot(0, this, [this] { finish(2); });
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

void BusSession::onLost(const QString& reason) {
    printLine(std::cerr, "port lost: " + reason.toStdString());
    finish(2);
}

void BusSession::finishRun(const commissioning::RunSummary& finished) {
    const commissioning::RunSummary& summary = finished;
    m_summary = summary;
    if (summary.scan) {
        for (const std::string& line : commissioning::scanLines(*summary.scan)) {
            printLine(std::cout, line);
        }
    }
    emit runEnded(summary);
    const auto numbers = [](const std::vector<int>& devices) {
        std::string text;
        for (int device : devices) {
            char number[8];
            std::snprintf(number, sizeof number, " %02d", device);
            text += number;
        }
        return text;
    };
    if (!summary.unread.empty()) printLine(std::cerr, "no answer from:" + numbers(summary.unread));
    if (summary.stopped) {
        printLine(std::cerr,
                  std::string(summary.portLost ? "port lost" : "stopped") +
                      ": the run was cut short" +
                      (summary.unreached.empty() ? std::string()
                                                 : "; never served:" + numbers(summary.unreached)));
        finish(2);
        return;
    }
    if (std::optional<commissioning::NextRun> next = m_sequence ? m_sequence->after(summary)
                                                                 : std::nullopt) {
        if (next->kind == commissioning::NextRun::Kind::Retry) {
            std::string line = "retry";
            line += numbers(next->devices);
            printLine(std::cerr, line);
        }
        // After the effects of this run's end are carried out.
        QTimer::singleShot(0, this, [this, run = *next] { startRun(run); });
        return;
    }
    // The engine's lists cover every device the run served, by the number it answered under.
    finish(commissioning::cleanRun(summary) ? 0 : 3);
}

void BusSession::finish(int code) {
    if (m_done) return;
    m_done = true;
    emit finished(code);
}

}  // namespace room::cli

#endif
