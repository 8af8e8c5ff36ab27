// Port list rows as the windows show them.

#include "platform/ports.h"

#include <QTest>

using room::platform::formatPortRow;
using room::platform::PortRow;
using room::platform::PortRowStyle;

class PortsTest : public QObject {
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
};

void PortsTest::rows_data() {
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("text");

    const int windows = int(PortRowStyle::Windows);
    const int unix = int(PortRowStyle::Unix);
    QTest::newRow("windows usb adapter")
        << "COM3"
        << "USB-SERIAL CH340" << windows << "COM3 USB-SERIAL CH340 (COM3)";
    QTest::newRow("windows two digits") << "COM12"
                                        << "Prolific USB-to-Serial Comm Port" << windows
                                        << "COM12 Prolific USB-to-Serial Comm Port (COM12)";
    QTest::newRow("windows no description") << "COM1"
                                            << "" << windows << "COM1 COM1";
    QTest::newRow("windows name without number") << "CNCA0"
                                                 << "com0com - serial port emulator" << windows
                                                 << "COM0 com0com - serial port emulator (CNCA0)";
    QTest::newRow("linux usb adapter")
        << "ttyUSB0"
        << "USB-Serial Controller" << unix << "ttyUSB0 USB-Serial Controller";
    QTest::newRow("linux no description") << "ttyS0"
                                          << "" << unix << "ttyS0";
    QTest::newRow("linux description with blanks") << "ttyACM1"
                                                   << "  CP2102 " << unix << "ttyACM1 CP2102";
    QTest::newRow("chinese description") << "COM4"
                                         << "USB 串行设备" << windows << "COM4 USB 串行设备 (COM4)";
}

void PortsTest::rows() {
    QFETCH(QString, portName);
    QFETCH(QString, description);
    QFETCH(int, style);
    QFETCH(QString, text);
    const PortRow row = formatPortRow(portName, description, PortRowStyle(style));
    QCOMPARE(row.displayText, text);
    QCOMPARE(row.portName, portName);
}

QTEST_GUILESS_MAIN(PortsTest)
#include "ports_test.moc"
