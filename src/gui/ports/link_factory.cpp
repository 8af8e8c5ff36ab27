#include "gui/ports/link_factory.h"

#include "platform/qserialport_link.h"
#include "platform/simulated_link.h"
#include "platform/tcp_link.h"

namespace room::gui {

std::unique_ptr<platform::SerialLink> makeLink(const PortChoice& choice,
                                               const model::RoomTypeConfig& room) {
    if (choice.simulated) return std::make_unique<platform::SimulatedLink>(room);
    if (platform::isTcpPortPath(choice.portName)) return std::make_unique<platform::TcpLink>();
    return std::make_unique<platform::QSerialPortLink>();
}

QString linkPortName(const PortChoice& choice) {
    return choice.simulated ? QStringLiteral("SIM") : choice.portName;
}

}  // namespace room::gui
