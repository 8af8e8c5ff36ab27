#pragma once
// The serial ports of the machine as the port lists show them. Pseudo-terminals are not listed;
// tests and the bus simulator pass a port path to the link directly.

#include <QList>
#include <QString>

namespace room::platform {

struct PortRow {
    QString displayText;
    QString portName;  // what SerialLink::open takes
    bool operator==(const PortRow&) const = default;
};

enum class PortRowStyle {
    Windows,  // "COM%d " + the friendly name, "Description (COMn)"
    Unix,     // the port name + " " + the description
};

// One list row. Windows style takes the number from a "COMn" port name (0 for any other name)
// and rebuilds the friendly name Windows shows, the description followed by " (COMn)"; without a
// description the friendly name is the port name.
PortRow formatPortRow(const QString& portName, const QString& description, PortRowStyle style);

// The style of the machine the program runs on.
PortRowStyle nativePortRowStyle();

// Every serial port found, in discovery order.
QList<PortRow> availablePorts();

}  // namespace room::platform
