#include "platform/port_error_text.h"

namespace room::platform {

QString portErrorText(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError: return {};
        case QSerialPort::DeviceNotFoundError: return QStringLiteral("串口不存在");
        case QSerialPort::PermissionError: return QStringLiteral("串口被占用");
        case QSerialPort::OpenError: return QStringLiteral("串口已被打开");
        case QSerialPort::WriteError: return QStringLiteral("写串口出错");
        case QSerialPort::ReadError: return QStringLiteral("读串口出错");
        case QSerialPort::ResourceError: return QStringLiteral("设备已拔出");
        case QSerialPort::UnsupportedOperationError: return QStringLiteral("串口不支持该设置");
        case QSerialPort::TimeoutError: return QStringLiteral("串口超时");
        case QSerialPort::NotOpenError: return QStringLiteral("串口未打开");
        case QSerialPort::UnknownError: break;
    }
    return QStringLiteral("串口未知错误");
}

namespace {
// Qt's own fallbacks say nothing the text does not.
bool says(const QString& systemText) {
    return !systemText.isEmpty() && systemText != QLatin1String("Unknown error") &&
           systemText != QLatin1String("No error");
}
}  // namespace

QString portErrorReport(QSerialPort::SerialPortError error, const QString& systemText) {
    const QString text = portErrorText(error);
    const bool staleAfterRead =
        error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
    if (staleAfterRead || !says(systemText)) return text;
    return text + QStringLiteral(" (") + systemText + QLatin1Char(')');
}

QString socketErrorText(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            return QStringLiteral("连接被拒绝");
        case QAbstractSocket::RemoteHostClosedError:
            return QStringLiteral("连接被对方关闭");
        case QAbstractSocket::HostNotFoundError:
            return QStringLiteral("找不到主机");
        case QAbstractSocket::SocketAccessError:
            return QStringLiteral("无权建立连接");
        case QAbstractSocket::SocketResourceError:
            return QStringLiteral("网络资源不足");
        case QAbstractSocket::SocketTimeoutError:
            return QStringLiteral("连接超时");
        case QAbstractSocket::NetworkError:
            return QStringLiteral("网络出错");
        case QAbstractSocket::AddressInUseError:
            return QStringLiteral("地址已被占用");
        case QAbstractSocket::SocketAddressNotAvailableError:
            return QStringLiteral("地址不可用");
        case QAbstractSocket::UnsupportedSocketOperationError:
            return QStringLiteral("不支持的网络操作");
        case QAbstractSocket::TemporaryError:
            return QStringLiteral("网络暂时不可用");
        default:
            break;
    }
    return QStringLiteral("网络未知错误");
}

QString socketErrorReport(QAbstractSocket::SocketError error, const QString& systemText) {
    const QString text = socketErrorText(error);
    // A closed connection or a timeout says all there is; Qt's words repeat it in English.
    const bool plain = error == QAbstractSocket::RemoteHostClosedError ||
                       error == QAbstractSocket::SocketTimeoutError;
    if (plain || !says(systemText)) return text;
    return text + QStringLiteral(" (") + systemText + QLatin1Char(')');
}

}  // namespace room::platform
