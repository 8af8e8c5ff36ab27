#ifdef ROOM_WITH_SERIAL

#include "tools/cli/stop_signals.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <iterator>
#endif

namespace room::cli {

#ifndef _WIN32

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kSignalCount = std::size(kSignals);

// Shared with the handler, which may only write to the pipe and touch the flag.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_caught = 0;
struct sigaction g_previous[kSignalCount];
bool g_installed[kSignalCount] = {};

void onSignal(int signal) {
    if (g_caught != 0) {
        // The second one: die of it, as without the handler.
        struct sigaction plain {};
        plain.sa_handler = SIG_DFL;
        sigemptyset(&plain.sa_mask);
        sigaction(signal, &plain, nullptr);
        raise(signal);  // blocked until this handler returns, then fatal
        return;
    }
    g_caught = 1;
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = saved;
}

bool ignored(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

QString nameOf(int signal) {
    switch (signal) {
        case SIGINT:
            return QStringLiteral("SIGINT");
        case SIGTERM:
            return QStringLiteral("SIGTERM");
        default:
            return QStringLiteral("SIGHUP");
    }
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    // Without the pipe the signals keep doing what they did.
    if (pipe(g_pipe) != 0) return;
    for (int fd : g_pipe) fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    g_caught = 0;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readPipe);

    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    // One handler at a time: a second signal always finds the first one counted.
    for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], nullptr, &g_previous[i]);
        g_installed[i] = !ignored(g_previous[i]);
        if (g_installed[i]) sigaction(kSignals[i], &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        if (g_installed[i]) sigaction(kSignals[i], &g_previous[i], nullptr);
        g_installed[i] = false;
    }
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void StopSignals::readPipe() {
    unsigned char byte = 0;
    if (read(g_pipe[0], &byte, 1) != 1) return;
    m_notifier->setEnabled(false);  // only the first one is the loop's
    emit caught(nameOf(byte));
}

#else

namespace {

std::atomic<StopSignals*> g_instance{nullptr};
std::atomic<bool> g_caught{false};
// Windows ends the process as soon as the handler returns from a close.
constexpr DWORD kCloseGraceMs = 4000;

// On a thread of its own: posts to the loop, never touches the run.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    StopSignals* instance = g_instance.load();
    // The second one goes to the default handler, which ends the process.
    if (!instance || g_caught.exchange(true)) return FALSE;
    const QString name = event == CTRL_C_EVENT       ? QStringLiteral("Ctrl+C")
                         : event == CTRL_BREAK_EVENT ? QStringLiteral("Ctrl+Break")
                                                     : QStringLiteral("the console's close");
    QMetaObject::invokeMethod(
        instance, [instance, name] { emit instance->caught(name); }, Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT) Sleep(kCloseGraceMs);  // time to end the run and record it
    return TRUE;
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    g_caught = false;
    g_instance = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_instance = nullptr;
}

#endif

}  // namespace room::cli

#endif
