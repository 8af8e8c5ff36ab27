#pragma once
// One `run` of the command-line tool: starts the engine's command, prints what the console would
// show, draws a progress line on a terminal and decides the exit code.

#ifdef ROOM_WITH_SERIAL

#include <QObject>
#include <chrono>
#include <set>

#include "core/protocol/receiver.h"
#include "platform/run_driver.h"

namespace room::cli {

class BusSession : public QObject {
    Q_OBJECT

public:
    BusSession(platform::RunDriver& driver, commissioning::Action action);
    void start();

signals:
    // 0 all visited devices answered (and matched), 3 some did not, 2 port error.
    void finished(int exitCode);

private:
    void onEffects(const commissioning::Effects& effects);
    void onBytes(const QByteArray& bytes);
    void onLost(const QString& reason);
    void finishRun(const commissioning::RunSummary& summary);
    void finish(int code);
    void printLine(std::ostream& stream, const std::string& text);
    void drawProgress(const commissioning::Progress& progress);

    platform::RunDriver& m_driver;
    commissioning::Action m_action;
    protocol::Receiver m_receiver;
    std::set<int> m_answered;
    std::vector<int> m_visited;
    bool m_progressShown = false;
    bool m_done = false;
    bool m_tty = false;
};

}  // namespace room::cli

#endif
