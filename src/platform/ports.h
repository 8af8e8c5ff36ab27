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

// Whether a typed port (a path, a name under /dev, a COM name) is there now. A path that was
// typed for a simulator's pty or a pulled adapter's by-id link goes away with it.
bool portPathExists(const QString& port);

}  // namespace room::platform
