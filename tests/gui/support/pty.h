#pragma once
// A pseudo-terminal for tests that open a port by its path, as the bus simulator offers one.

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTest>

namespace room::testing {

// A pseudo-terminal in raw mode; the test plays the device side on the master.
struct Pty {
    int master = -1;
    QString slavePath;

    Pty() {
        termios raw{};
        cfmakeraw(&raw);
        cfsetspeed(&raw, B9600);
        int slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, &raw, nullptr) != 0) return;
        slavePath = QString::fromLocal8Bit(name);
        ::close(slave);  // the link opens its own
    }
    ~Pty() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    bool send(const QByteArray& bytes) const {
        return ::write(master, bytes.constData(), bytes.size()) == bytes.size();
    }
    // Reads until `count` bytes came or two seconds passed, keeping the Qt loop running.
    QByteArray receive(int count) const {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < 2000) {
            QTest::qWait(5);
            pollfd p{master, POLLIN, 0};
            while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
                char buffer[256];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n <= 0) break;
                got.append(buffer, n);
            }
        }
        return got;
    }
};

}  // namespace room::testing
