#pragma once
// What a serial port's failure tells the installer: one Chinese text per QSerialPort error,
// with the system's own words after it in parentheses where they come from the call that failed.
//
// Qt 6.4 takes errno after a read that found the end of the line (a pty whose other side closed,
// an adapter pulled out) as well, when the read set no errno: the words it then gives belong to
// some earlier call ("Argument list too long", "Resource temporarily unavailable"). A read or
// resource error therefore shows only its own text.

#include <QAbstractSocket>
#include <QSerialPort>
#include <QString>

namespace room::platform {

QString portErrorText(QSerialPort::SerialPortError error);
// The text and, where they say something, the system's words: "设备已拔出",
// "串口不存在 (No such file or directory)".
QString portErrorReport(QSerialPort::SerialPortError error, const QString& systemText);

// The same for a bus reached over the network (tcp://HOST:PORT): "连接被拒绝 (Connection refused)".
QString socketErrorText(QAbstractSocket::SocketError error);
QString socketErrorReport(QAbstractSocket::SocketError error, const QString& systemText);

}  // namespace room::platform
