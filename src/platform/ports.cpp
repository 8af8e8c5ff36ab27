#include "platform/ports.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

namespace room::platform {

namespace {

int comNumber(const QString& portName) {
    static const QRegularExpression com(QStringLiteral("^COM(\\d{1,9})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(portName);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace

PortRow formatPortRow(const QString& portName, const QString& description, PortRowStyle style) {
    const QString text = description.trimmed();
    if (style == PortRowStyle::Unix) {
        return {text.isEmpty() ? portName : portName + QLatin1Char(' ') + text, portName};
    }
    const QString friendlyName =
        text.isEmpty() ? portName : text + QStringLiteral(" (") + portName + QLatin1Char(')');
    return {QStringLiteral("COM%1 ").arg(comNumber(portName)) + friendlyName, portName};
}

PortRowStyle nativePortRowStyle() {
#ifdef Q_OS_WIN
    return PortRowStyle::Windows;
#else
    return PortRowStyle::Unix;
#endif
}

QList<PortRow> availablePorts() {
    QList<PortRow> rows;
    const PortRowStyle style = nativePortRowStyle();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        rows.append(formatPortRow(info.portName(), info.description(), style));
    }
    return rows;
}

bool portPathExists(const QString& port) {
#ifdef Q_OS_UNIX
    if (QFileInfo::exists(port)) return true;
    return !port.contains(QLatin1Char('/')) && QFileInfo::exists(QStringLiteral("/dev/") + port);
#else
    // A COM name is no file: it is there when the system lists it.
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(port, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
#endif
}

}  // namespace room::platform
