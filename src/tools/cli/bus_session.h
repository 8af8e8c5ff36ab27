#pragma once
// One command of the command-line tool on the bus: the runs it makes one after the other (a
// send then its verify, a scan then its read, retries), what the console would show of each, a
// progress line on a terminal, and the exit code.

#ifdef ROOM_WITH_SERIAL

#include <QObject>
#include <optional>

#include "core/commissioning/run_sequence.h"
#include "platform/run_driver.h"

namespace room::cli {

class BusSession : public QObject {
    Q_OBJECT

public:
    // A network-wide command (one frame, no run).
    BusSession(platform::RunDriver& driver, commissioning::Action action);
    // The runs `plan` makes.
    BusSession(platform::RunDriver& driver, const commissioning::SequencePlan& plan);
    void start();
    // How the last run ended; empty until one has (and for the single-frame commands).
    const std::optional<commissioning::RunSummary>& summary() const { return m_summary; }

signals:
    // A run is about to start, and one has just ended (before the next starts): for the record.
    void runStarting();
    void runEnded(const room::commissioning::RunSummary& summary);
    // 0 all visited devices answered (and matched), 3 some did not, 2 port error or cut short.
    // A scan alone: 0 when what answered is what the room type has in use, else 3.
    void finished(int exitCode);

private:
    void startRun(const commissioning::NextRun& run);
    void onEffects(const commissioning::Effects& effects);
    void onLost(const QString& reason);
    void finishRun(const commissioning::RunSummary& summary);
    void finish(int code);
    void printLine(std::ostream& stream, const std::string& text);
    void drawProgress(const commissioning::Progress& progress);

    platform::RunDriver& m_driver;
    commissioning::Action m_action;
    std::optional<commissioning::RunSequence> m_sequence;
    std::optional<commissioning::RunSummary> m_summary;
    bool m_progressShown = false;
    bool m_done = false;
    bool m_tty = false;
};

}  // namespace room::cli

#endif
