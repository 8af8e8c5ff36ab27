// tcp_delay_proxy: a network with a fixed latency between roomcfg-cli and a serial server (or
// roombus-sim --tcp), for measuring runs over a slow link. Each byte is handed on a fixed delay
// after it arrived, in order, in both directions. One client at a time; a new one replaces the
// old. Prints "listening PORT" once it accepts connections.
//
//   tcp_delay_proxy --listen PORT --to HOST:PORT [--delay MS]
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <memory>

namespace {

constexpr const char* kUsage = "usage: tcp_delay_proxy --listen PORT --to HOST:PORT [--delay MS]\n";

// One direction: bytes read from `from` are written to `to` `delayMs` later, in arrival order.
class DelayedPipe : public QObject {
public:
    DelayedPipe(QTcpSocket* from, QTcpSocket* to, int delayMs, QObject* parent)
        : QObject(parent), m_from(from), m_to(to), m_delayMs(delayMs) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &DelayedPipe::sendDue);
        connect(from, &QTcpSocket::readyRead, this, &DelayedPipe::take);
    }

private:
    void take() {
        m_queue.push_back({QDeadlineTimer(m_delayMs, Qt::PreciseTimer), m_from->readAll()});
        if (!m_timer.isActive()) m_timer.start(m_delayMs);
    }
    void sendDue() {
        while (!m_queue.empty() && m_queue.front().due.hasExpired()) {
            if (m_to) {
                m_to->write(m_queue.front().bytes);
                m_to->flush();
            }
            m_queue.pop_front();
        }
        if (!m_queue.empty()) m_timer.start(int(m_queue.front().due.remainingTime()));
    }

    struct Chunk {
        QDeadlineTimer due;
        QByteArray bytes;
    };
    QPointer<QTcpSocket> m_from;
    QPointer<QTcpSocket> m_to;
    int m_delayMs;
    std::deque<Chunk> m_queue;
    QTimer m_timer;
};

// A client and its connection to the target; either side closing closes both.
class Session : public QObject {
public:
    Session(QTcpSocket* client, const QString& host, quint16 port, int delayMs, QObject* parent)
        : QObject(parent), m_client(client) {
        client->setParent(this);
        m_target.setParent(this);
        for (QTcpSocket* s : {client, &m_target}) {
            connect(s, &QTcpSocket::connected, s,
                    [s] { s->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
            connect(s, &QTcpSocket::disconnected, this, &Session::end);
            connect(s, &QTcpSocket::errorOccurred, this, &Session::end);
        }
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        new DelayedPipe(client, &m_target, delayMs, this);
        new DelayedPipe(&m_target, client, delayMs, this);
        m_target.connectToHost(host, port);
    }

private:
    void end() {
        m_client->disconnect(this);
        m_target.disconnect(this);
        m_client->abort();
        m_target.abort();
        deleteLater();
    }

    QTcpSocket* m_client;
    QTcpSocket m_target;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    quint16 listenPort = 0;
    QString host;
    quint16 port = 0;
    int delayMs = 20;
    bool ok = args.size() % 2 == 0;
    for (qsizetype i = 0; ok && i + 1 < args.size(); i += 2) {
        const QString& value = args[i + 1];
        bool number = false;
        if (args[i] == QLatin1String("--listen")) {
            listenPort = static_cast<quint16>(value.toUShort(&number));
        } else if (args[i] == QLatin1String("--delay")) {
            delayMs = value.toInt(&number);
            number = number && delayMs >= 0;
        } else if (args[i] == QLatin1String("--to")) {
            const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
            host = value.left(colon);
            port = static_cast<quint16>(value.mid(colon + 1).toUShort(&number));
            number = number && colon > 0 && port > 0;
        }
        ok = number;
    }
    if (!ok || host.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QTcpServer server;
    QPointer<QObject> current;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* client = server.nextPendingConnection()) {
            delete current.data();  // the old client goes
            current = new Session(client, host, port, delayMs, &app);
        }
    });
    if (!server.listen(QHostAddress::LocalHost, listenPort)) {
        std::fprintf(stderr, "tcp_delay_proxy: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    std::printf("listening %u\n", unsigned(server.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
