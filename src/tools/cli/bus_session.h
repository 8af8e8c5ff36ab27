#pragma once
// One `run` of the command-line tool: starts the engine's command, prints what the console would
// show, draws a progress line on a terminal and decides the exit code.

#ifdef ROOM_WITH_SERIAL

#include <QObject>
#include <optional>

#include "platform/run_driver.h"

namespace room::cli {

class BusSession : public QObject {
    Q_OBJECT

public:
    BusSession(platform::RunDriver& driver, commissioning::Action action);
    void start();
    // How the run ended; empty until it has (and for the single-frame commands).
    const std::optional<commissioning::RunSummary>& summary() const { return m_summary; }

signals:
    // 0 all visited devices answered (and matched), 3 some did not, 2 port error.
    void finished(int exitCode);

private:
    void onEffects(const commissioning::Effects& effects);
    void onLost(const QString& reason);
    void finishRun(const commissioning::RunSummary& summary);
    void finish(int code);
    void printLine(std::ostream& stream, const std::string& text);
    void drawProgress(const commissioning::Progress& progress);

    platform::RunDriver& m_driver;
    commissioning::Action m_action;
    std::optional<commissioning::RunSummary> m_summary;
    bool m_progressShown = false;
    bool m_done = false;
    bool m_tty = false;
};

}  // namespace room::cli

#endif
