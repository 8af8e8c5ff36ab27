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

QString portErrorReport(QSerialPort::SerialPortError error, const QString& systemText) {
    const QString text = portErrorText(error);
    const bool staleAfterRead =
        error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
    // Qt's own fallbacks say nothing the text does not.
    const bool says = !systemText.isEmpty() && systemText != QLatin1String("Unknown error") &&
                      systemText != QLatin1String("No error");
    if (staleAfterRead || !says) return text;
    return text + QStringLiteral(" (") + systemText + QLatin1Char(')');
}

}  // namespace room::platform
