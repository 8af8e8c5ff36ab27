#include "platform/tcp_link.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include "platform/port_error_text.h"

namespace room::platform {

namespace {
const QString kScheme = QStringLiteral("tcp://");
const QString kForm = QStringLiteral("，应为 tcp://主机:端口");
}  // namespace

bool isTcpPortPath(const QString& path) {
    return path.startsWith(kScheme, Qt::CaseInsensitive);
}

TcpPortPath parseTcpPortPath(const QString& path) {
    TcpPortPath parsed;
    const QString rest = path.mid(kScheme.size());
    qsizetype colon = -1;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close > 0) {
            parsed.host = rest.mid(1, close - 1);
            if (rest.mid(close + 1).startsWith(QLatin1Char(':'))) colon = close + 1;
        }
    } else {
        colon = rest.lastIndexOf(QLatin1Char(':'));
        parsed.host = colon < 0 ? rest : rest.left(colon);
    }
    if (!isTcpPortPath(path) || parsed.host.isEmpty()) {
        parsed.error = QStringLiteral("网络地址缺少主机") + kForm;
        return parsed;
    }
    const QString port = colon < 0 ? QString() : rest.mid(colon + 1);
    if (port.isEmpty()) {
        parsed.error = QStringLiteral("网络地址缺少端口号") + kForm;
        return parsed;
    }
    bool ok = false;
    const uint value = port.toUInt(&ok);
    if (!ok || value < 1 || value > 65535 || !port.front().isDigit()) {
        parsed.error = QStringLiteral("端口号应为 1 到 65535: ") + port;
        return parsed;
    }
    parsed.port = static_cast<quint16>(value);
    return parsed;
}

TcpLink::TcpLink(QObject* parent) : SerialLink(parent) {
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpLink::onReadyRead);
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, &TcpLink::onError);
    connect(&m_socket, &QAbstractSocket::disconnected, this, &TcpLink::onDisconnected);
}

TcpLink::~TcpLink() {
    m_socket.disconnect(this);
    m_socket.abort();
}

bool TcpLink::open(const QString& portName) {
    close();
    m_error.clear();
    ++m_generation;
    const TcpPortPath address = parseTcpPortPath(portName);
    if (!address.error.isEmpty()) {
        m_error = address.error;
        return false;
    }
    // The wait runs the event loop but takes no clicks or keys: the window paints, and nothing
    // chooses another port while this one is still connecting.
    m_opening = true;
    QEventLoop loop;
    QTimer timer;
    // A coarse timer may fire up to 5 % early: the host gets its whole 3 s.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_socket, &QAbstractSocket::connected, &loop, &QEventLoop::quit);
    connect(&m_socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    m_socket.connectToHost(address.host, address.port);
    timer.start(kConnectTimeoutMs);
    if (m_socket.state() != QAbstractSocket::UnconnectedState &&
        m_socket.state() != QAbstractSocket::ConnectedState) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_opening = false;
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        m_error = timer.isActive() ? socketErrorReport(m_socket.error(), m_socket.errorString())
                                   : socketErrorText(QAbstractSocket::SocketTimeoutError);
        m_socket.abort();
        return false;
    }
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket.readAll();  // a serial server may hand on what the bus carried before we came
    m_open = true;
    return true;
}

void TcpLink::close() {
    m_open = false;
    m_failing = false;
    m_socket.abort();
}

bool TcpLink::write(const QByteArray& bytes) {
    if (!m_open || m_failing) {
        if (!m_failing) m_error = QStringLiteral("连接未打开");  // failing: the loss says why
        return false;
    }
    if (m_socket.write(bytes) != bytes.size()) {
        m_error = socketErrorReport(m_socket.error(), m_socket.errorString());
        return false;
    }
    m_socket.flush();  // on the wire now, not when the event loop next comes round
    return true;
}

void TcpLink::onReadyRead() {
    if (!m_open || m_failing) return;
    const QByteArray bytes = m_socket.readAll();
    if (!bytes.isEmpty()) emit bytesReceived(bytes);
}

void TcpLink::onError(QAbstractSocket::SocketError error) {
    if (m_opening || !m_open || m_failing) return;
    fail(socketErrorReport(error, m_socket.errorString()));
}

void TcpLink::onDisconnected() {
    if (m_opening || !m_open || m_failing) return;
    fail(socketErrorText(QAbstractSocket::RemoteHostClosedError));
}

// Queued, so that the close and the report happen neither inside the socket's own notification
// nor inside a caller's write().
void TcpLink::fail(const QString& reason) {
    m_failing = true;
    m_error = reason;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation != m_generation || !m_failing) return;
            m_open = false;
            m_failing = false;
            m_socket.abort();
            emit lost(m_error);
        },
        Qt::QueuedConnection);
}

}  // namespace room::platform
