#include "platform/qserialport_link.h"

#include <QFileInfo>
#include <QMetaObject>

#include "platform/port_error_text.h"

namespace room::platform {

namespace {

// QSerialPort takes a name that does not start with "/", "./" or "../" for a device under /dev,
// so a relative path to a port (a simulator's link, "bus/tty") was looked for there and reported
// missing. Such a name is opened as the path it names, unless /dev holds that device.
QString portLocation(const QString& portName) {
#ifdef Q_OS_UNIX
    if (portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1String("./")) ||
        portName.startsWith(QLatin1String("../"))) {
        return portName;
    }
    if (QFileInfo::exists(QStringLiteral("/dev/") + portName)) return portName;
    if (QFileInfo::exists(portName)) return QFileInfo(portName).absoluteFilePath();
#endif
    return portName;
}

}  // namespace

QSerialPortLink::QSerialPortLink(QObject* parent) : SerialLink(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &QSerialPortLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QSerialPortLink::onError);
}

QSerialPortLink::~QSerialPortLink() {
    m_port.disconnect(this);
    if (m_port.isOpen()) m_port.close();
}

bool QSerialPortLink::open(const QString& portName) {
    close();
    m_error.clear();
    m_failing = false;
    ++m_generation;
    m_port.clearError();
    m_port.setPortName(portLocation(portName));
    m_opening = true;
    bool ok = m_port.open(QIODevice::ReadWrite);
    if (ok) {
        ok = m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8) &&
             m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
             m_port.setFlowControl(QSerialPort::NoFlowControl);
        if (!ok) m_port.close();
    }
    m_opening = false;
    if (!ok) {
        m_error = portErrorReport(m_port.error(), m_port.errorString());
        m_port.clearError();
        return false;
    }
    // Whatever the line carried before the port was chosen is not an answer to anything.
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
    return true;
}

void QSerialPortLink::close() {
    if (m_port.isOpen()) m_port.close();
    m_failing = false;
}

bool QSerialPortLink::isOpen() const {
    return m_port.isOpen();
}

bool QSerialPortLink::write(const QByteArray& bytes) {
    if (!m_port.isOpen() || m_failing) {
        m_error = portErrorText(QSerialPort::NotOpenError);
        return false;
    }
    if (m_port.write(bytes) != bytes.size()) {
        m_error = portErrorReport(m_port.error(), m_port.errorString());
        return false;
    }
    return true;
}

void QSerialPortLink::onReadyRead() {
    if (m_failing) return;
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty()) emit bytesReceived(bytes);
}

// Qt 6.4 keeps raising errorOccurred (hundreds of thousands a second) once the device is gone,
// and burns a core doing so. The first error closes the port; the close and the report are queued
// so that neither happens inside QSerialPort's own notification nor inside a caller's write().
void QSerialPortLink::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || m_opening || m_failing || !m_port.isOpen()) return;
    m_failing = true;
    m_error = portErrorReport(error, m_port.errorString());
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation && m_failing) reportLoss();
        },
        Qt::QueuedConnection);
}

void QSerialPortLink::reportLoss() {
    if (m_port.isOpen()) m_port.close();
    m_port.clearError();
    m_failing = false;
    emit lost(m_error);
}

}  // namespace room::platform
