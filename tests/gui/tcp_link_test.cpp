// A serial server on the network as a port: what a typed tcp:// address is taken as, why a bad
// one is refused, and that a host which does not answer is given up in time while the window
// keeps painting.

#include "platform/tcp_link.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

using room::platform::parseTcpPortPath;
using room::platform::TcpLink;

class TcpLinkTest : public QObject {
    Q_OBJECT

private slots:
    void portPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char* path, const char* host, int port, const char* refusal) {
            QTest::newRow(path) << QString::fromUtf8(path) << QString::fromUtf8(host) << port
                                << QString::fromUtf8(refusal);
        };
        row("tcp://192.168.1.200:4001", "192.168.1.200", 4001, "");
        row("TCP://gw-3f.local:502", "gw-3f.local", 502, "");
        row("tcp://[fe80::1]:65535", "fe80::1", 65535, "");
        row("tcp://host", "", 0, "网络地址缺少端口号，应为 tcp://主机:端口");
        row("tcp://host:", "", 0, "网络地址缺少端口号，应为 tcp://主机:端口");
        row("tcp://[::1]", "", 0, "网络地址缺少端口号，应为 tcp://主机:端口");
        row("tcp://:4001", "", 0, "网络地址缺少主机，应为 tcp://主机:端口");
        row("tcp://host:0", "", 0, "端口号应为 1 到 65535: 0");
        row("tcp://host:65536", "", 0, "端口号应为 1 到 65535: 65536");
        row("tcp://host:+80", "", 0, "端口号应为 1 到 65535: +80");
        row("tcp://host:http", "", 0, "端口号应为 1 到 65535: http");
    }
    void portPath() {
        QFETCH(QString, path);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, refusal);
        const auto parsed = parseTcpPortPath(path);
        QCOMPARE(parsed.error, refusal);
        if (refusal.isEmpty()) {
            QCOMPARE(parsed.host, host);
            QCOMPARE(int(parsed.port), port);
        }
        // A refused address is what open() says, and nothing is opened.
        TcpLink link;
        if (!refusal.isEmpty()) {
            QVERIFY(!link.open(path));
            QCOMPARE(link.errorString(), refusal);
        }
    }

    // A server whose backlog is full takes no more connections and sends nothing back, as a host
    // that is not there. The wait ends at 3 s with "连接超时", and timers run meanwhile.
    void aSilentHostIsGivenUpInTime() {
        QTcpServer server;
        server.setListenBacklogSize(0);
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.pauseAccepting();
        std::vector<std::unique_ptr<QTcpSocket>> fillers;
        for (int i = 0; i < 4; ++i) {
            fillers.push_back(std::make_unique<QTcpSocket>());
            fillers.back()->connectToHost(QHostAddress::LocalHost, server.serverPort());
            if (!fillers.back()->waitForConnected(300)) break;
        }
        int ticks = 0;
        QTimer paint;
        connect(&paint, &QTimer::timeout, [&ticks] { ++ticks; });
        paint.start(100);
        TcpLink link;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!link.open(QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort())));
        // Not before 3 s; after it, as soon as a busy machine gets round to it.
        QVERIFY2(clock.elapsed() >= 2950 && clock.elapsed() < 6000,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(link.errorString(), QStringLiteral("连接超时"));
        // The window's timers went on (30 ticks on an idle machine; fewer under load).
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(!link.isOpen());
    }
};

QTEST_MAIN(TcpLinkTest)
#include "tcp_link_test.moc"
