#pragma once
// A SerialLink to an RS-485 serial server in TCP-server mode: the port path "tcp://HOST:PORT"
// opens a TCP connection and raw bytes go both ways, as over the serial line itself.
//  - open() waits at most kConnectTimeoutMs for the connection, in a local event loop, so a
//    window keeps painting; a host that does not answer is refused with "连接超时".
//  - Nagle is off: a frame leaves in one segment at once, not after the last one's ACK.
//  - The connection dropping (remote closed, network error) closes the link and reports `lost`
//    once per open, as a pulled adapter does.

#include <QString>
#include <QTcpSocket>

#include "platform/serial_link.h"

namespace room::platform {

inline constexpr int kConnectTimeoutMs = 3000;

struct TcpPortPath {
    QString host;
    quint16 port = 0;
    QString error;  // why the path is refused; empty when it is good
};

// "tcp://" in any case opens a TcpLink.
bool isTcpPortPath(const QString& path);
// tcp://HOST:PORT (an IPv6 host in brackets), PORT 1..65535.
TcpPortPath parseTcpPortPath(const QString& path);

class TcpLink : public SerialLink {
    Q_OBJECT

public:
    explicit TcpLink(QObject* parent = nullptr);
    ~TcpLink() override;

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;
    QString errorString() const override { return m_error; }

private:
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void fail(const QString& reason);

    QTcpSocket m_socket{this};
    QString m_error;
    bool m_open = false;
    bool m_opening = false;
    bool m_failing = false;    // the loss is queued: reported once, outside Qt's notification
    quint64 m_generation = 0;  // counts opens, so a loss queued for an old open is dropped
};

}  // namespace room::platform
