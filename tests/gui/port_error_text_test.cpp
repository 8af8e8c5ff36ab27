// What the installer reads when a serial port fails: the port's trouble in Chinese, and the
// system's words after it only when they belong to the call that failed.

#include <QTest>

#include "platform/port_error_text.h"

using room::platform::portErrorReport;

class PortErrorTextTest : public QObject {
    Q_OBJECT

private slots:
    void report_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, QSerialPort::SerialPortError error,
                            const char* system, const char* shown) {
            QTest::newRow(name) << int(error) << QString::fromUtf8(system)
                                << QString::fromUtf8(shown);
        };
        row("pulled out, stale words", QSerialPort::ResourceError,
            "Resource temporarily unavailable", "设备已拔出");
        row("pty closed, stale words", QSerialPort::ReadError, "Argument list too long",
            "读串口出错");
        row("missing", QSerialPort::DeviceNotFoundError, "No such file or directory",
            "串口不存在 (No such file or directory)");
        row("taken", QSerialPort::PermissionError, "Permission denied",
            "串口被占用 (Permission denied)");
        row("opened twice", QSerialPort::OpenError, "", "串口已被打开");
        row("write", QSerialPort::WriteError, "Input/output error",
            "写串口出错 (Input/output error)");
        row("setting", QSerialPort::UnsupportedOperationError, "Invalid argument",
            "串口不支持该设置 (Invalid argument)");
        row("timeout", QSerialPort::TimeoutError, "", "串口超时");
        row("not open", QSerialPort::NotOpenError, "", "串口未打开");
        row("unknown, Qt's fallback", QSerialPort::UnknownError, "Unknown error", "串口未知错误");
    }
    void report() {
        QFETCH(int, error);
        QFETCH(QString, system);
        QFETCH(QString, shown);
        QCOMPARE(portErrorReport(QSerialPort::SerialPortError(error), system), shown);
    }
};

QTEST_MAIN(PortErrorTextTest)
#include "port_error_text_test.moc"
