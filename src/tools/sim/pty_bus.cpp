#include "tools/sim/pty_bus.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
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
    for (int fd : {m_master, m_slave, m_signals, m_listener, m_client}) {
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

bool PtyBus::listen(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int failed =
            getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found)) {
        m_error = host + ": " + gai_strerror(failed);
        return false;
    }
    m_error = "no address for " + host;
    for (addrinfo* a = found; a && m_listener < 0; a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) continue;
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 4) == 0) {
            m_listener = fd;
        } else {
            m_error = systemError("listen");
            ::close(fd);
        }
    }
    freeaddrinfo(found);
    if (m_listener < 0) return false;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&bound), &length);
    m_tcpPort =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                          : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    m_error.clear();
    return true;
}

void PtyBus::accept() {
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    dropClient();
    m_client = fd;
    // Each answer byte leaves when it is due, not batched behind the last one's ACK.
    const int on = 1;
    setsockopt(m_client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (m_verbose)
        std::fprintf(m_log, "%12.3f  tcp client connected\n", stamp(simulator::Clock::now()));
}

void PtyBus::dropClient() {
    if (m_client < 0) return;
    ::close(m_client);
    m_client = -1;
    if (m_verbose) std::fprintf(m_log, "%12.3f  tcp client gone\n", stamp(simulator::Clock::now()));
}

int PtyBus::run() {
    while (true) {
        int timeout = -1;
        if (const auto next = m_bus.nextDue()) {
            const auto wait =
                std::chrono::ceil<std::chrono::milliseconds>(*next - simulator::Clock::now());
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
        }
        // A closed listener or client is -1, which poll() passes over.
        pollfd fds[4] = {{m_master, POLLIN, 0},
                         {m_signals, POLLIN, 0},
                         {m_listener, POLLIN, 0},
                         {m_client, POLLIN, 0}};
        const int ready = ::poll(fds, 4, timeout);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "roombus-sim: %s\n", systemError("poll").c_str());
            return 1;
        }
        if (ready > 0 && (fds[1].revents & POLLIN)) return 0;
        if (ready > 0 && (fds[0].revents & POLLIN)) readConsole(m_master);
        if (ready > 0 && fds[3].revents && !readConsole(m_client)) dropClient();
        if (ready > 0 && (fds[2].revents & POLLIN)) accept();
        // A hang-up cannot last while we hold the slave open; never spin on one anyway.
        if (ready > 0 && (fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
            ::usleep(20'000);
        }
        sendDue();
        report();
    }
}

bool PtyBus::readConsole(int fd) {
    std::uint8_t buffer[512];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        // EAGAIN: all read. The pty's EIO (nobody on the other side) passes: we hold the slave.
        if (n < 0) return errno == EAGAIN || errno == EINTR || fd == m_master;
        if (n == 0) return false;
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
    for (int fd : {m_master, m_client}) {
        std::size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
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
