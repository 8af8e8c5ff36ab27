#pragma once
// The emulated bus behind a pseudo-terminal and, with listen(), a TCP port as a serial server
// gives one: one thread, one poll() loop whose timeout is the bus's next answer byte. Bytes from
// either side go to the bus, and its answers go to both as they come due. One TCP client at a
// time: a new one replaces the old, whose connection is closed. SIGINT and SIGTERM end the loop
// through a signalfd.

#include <chrono>
#include <cstdio>
#include <string>

#include "core/simulator/bus.h"

namespace room::sim {

class PtyBus {
public:
    PtyBus(simulator::Bus& bus, bool verbose, std::FILE* log);
    ~PtyBus();
    PtyBus(const PtyBus&) = delete;
    PtyBus& operator=(const PtyBus&) = delete;

    // Makes the terminal (raw, 9600 baud) and blocks the stop signals; false with error() set.
    bool open();
    // Listens on host:port (port 0: a free one, see tcpPort()); false with error() set.
    bool listen(const std::string& host, int port);
    int tcpPort() const { return m_tcpPort; }
    const std::string& slavePath() const { return m_slavePath; }
    const std::string& error() const { return m_error; }

    // Serves until SIGINT or SIGTERM; returns the process exit code.
    int run();

private:
    // False when the other side is gone (end of file or an error).
    bool readConsole(int fd);
    void accept();
    void dropClient();
    void sendDue();
    void report();
    double stamp(simulator::TimePoint at) const;

    simulator::Bus& m_bus;
    bool m_verbose;
    std::FILE* m_log;
    int m_master = -1;
    int m_slave = -1;  // kept open so that a client closing its end does not hang up the master
    int m_signals = -1;
    int m_listener = -1;
    int m_client = -1;
    int m_tcpPort = 0;
    std::string m_slavePath;
    std::string m_error;
    simulator::TimePoint m_start;
    std::size_t m_dropped = 0;
};

}  // namespace room::sim
