#pragma once
// The serial line a window talks to devices through: a real port (QSerialPortLink), a serial
// server on the network (TcpLink) or the emulated bus in process (SimulatedLink). Each window owns
// its own link.

#include <QByteArray>
#include <QObject>
#include <QString>

namespace room::platform {

class SerialLink : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~SerialLink() override = default;

    // Opens the port at 9600 baud 8N1 in binary mode, closing it first if it is open, and drops
    // whatever input was waiting (choosing a port starts clean). False with errorString() set
    // when the port cannot be opened.
    virtual bool open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Sends one frame; false (with errorString()) when the port is not open or refuses the bytes.
    virtual bool write(const QByteArray& bytes) = 0;
    virtual QString errorString() const = 0;

signals:
    // Bytes as they arrive, in order; several may come in one call.
    void bytesReceived(const QByteArray& bytes);
    // The port went away (adapter pulled, other end closed). The link is already closed when this
    // comes, and it comes once per open.
    void lost(const QString& reason);
};

}  // namespace room::platform
