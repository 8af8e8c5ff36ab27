#include "tools/sim/pty_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace room::sim {

namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::string hex(const simulator::Bytes& bytes) {
    std::string text;
    char buffer[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", b);
        text += buffer;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

}  // namespace

PtyBus::PtyBus(simulator::Bus& bus, bool verbose, std::FILE* log)
    : m_bus(bus), m_verbose(verbose), m_log(log), m_start(simulator::Clock::now()) {}

PtyBus::~PtyBus() {
    for (int fd : {m_master, m_slave, m_signals}) {
        if (fd >= 0) ::close(fd);
    }
}

bool PtyBus::open() {
    termios raw{};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B9600);
    raw.c_cflag |= CLOCAL | CREAD;
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_error = systemError("openpty");
        return false;
    }
    m_slavePath = name;
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        m_error = systemError("fcntl");
        return false;
    }
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slave, F_SETFD, FD_CLOEXEC);

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &stop, nullptr) != 0) {
        m_error = systemError("sigprocmask");
        return false;
    }
    m_signals = signalfd(-1, &stop, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_signals < 0) {
        m_error = systemError("signalfd");
        return false;
    }
    signal(SIGPIPE, SIG_IGN);
    return true;
}

int PtyBus::run() {
    while (true) {
        int timeout = -1;
        if (const auto next = m_bus.nextDue()) {
            const auto wait =
                std::chrono::ceil<std::chrono::milliseconds>(*next - simulator::Clock::now());
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
        }
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_signals, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "roombus-sim: %s\n", systemError("poll").c_str());
            return 1;
        }
        if (ready > 0 && (fds[1].revents & POLLIN)) return 0;
        if (ready > 0 && (fds[0].revents & POLLIN)) readConsole();
        // A hang-up cannot last while we hold the slave open; never spin on one anyway.
        if (ready > 0 && (fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
            ::usleep(20'000);
        }
        sendDue();
        report();
    }
}

void PtyBus::readConsole() {
    std::uint8_t buffer[512];
    while (true) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) return;  // EAGAIN: all read; EIO: nobody on the other side
        const auto now = simulator::Clock::now();
        m_bus.feed(buffer, static_cast<std::size_t>(n), now);
        // The echo leaves with the answers and carries no event: log it here, so that it never
        // reads as a device talking.
        if (m_verbose && m_bus.echoes()) {
            std::fprintf(m_log, "%12.3f  echo      -> console %s\n", stamp(now),
                         hex(simulator::Bytes(buffer, buffer + n)).c_str());
        }
    }
}

// What the devices have put on the line by now goes to the console in one write. When nobody
// reads the terminal and its buffer is full, the bytes are lost, as on a line without a listener.
void PtyBus::sendDue() {
    const auto due = m_bus.answerDue(simulator::Clock::now());
    if (due.empty()) return;
    simulator::Bytes bytes;
    for (const auto& b : due) bytes.push_back(b.value);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
}

double PtyBus::stamp(simulator::TimePoint at) const {
    return std::chrono::duration<double, std::milli>(at - m_start).count();
}

void PtyBus::report() {
    const auto events = m_bus.takeEvents();
    if (!m_verbose) return;
    for (const simulator::BusEvent& e : events) {
        if (e.kind == simulator::BusEvent::Kind::Received) {
            std::fprintf(m_log, "%12.3f  console -> bus     %s\n", stamp(e.at),
                         hex(e.bytes).c_str());
        } else {
            std::fprintf(m_log, "%12.3f  device %02d -> console %s\n", stamp(e.at), e.device,
                         hex(e.bytes).c_str());
        }
    }
    if (m_bus.droppedBytes() != m_dropped) {
        std::fprintf(m_log, "%12.3f  %zu byte(s) from the console fitted no frame\n",
                     stamp(simulator::Clock::now()), m_bus.droppedBytes() - m_dropped);
        m_dropped = m_bus.droppedBytes();
    }
    std::fflush(m_log);
}

}  // namespace room::sim
