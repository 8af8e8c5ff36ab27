#pragma once
// A SerialLink over QSerialPort. Opens by port name ("COM3", "ttyUSB0") or by path (a pty's
// "/dev/pts/5" too).

#include <QSerialPort>

#include "platform/serial_link.h"

namespace room::platform {

class QSerialPortLink : public SerialLink {
    Q_OBJECT

public:
    explicit QSerialPortLink(QObject* parent = nullptr);
    ~QSerialPortLink() override;

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    QString errorString() const override { return m_error; }
    QString portName() const { return m_port.portName(); }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void reportLoss();

    QSerialPort m_port{this};  // a child, so tests can watch its signals
    QString m_error;
    bool m_opening = false;
    bool m_failing = false;    // an error was seen; the port is being closed and reported once
    quint64 m_generation = 0;  // counts opens, so a loss queued for an old open is dropped
};

}  // namespace room::platform
