#pragma once
// The serial link behind a chosen port row: a real serial port, a serial server on the network
// (a typed tcp://HOST:PORT), or the simulated bus whose devices hold the room type the program
// has open.

#include <functional>
#include <memory>

#include "core/model/room_type.h"
#include "gui/ports/port_combo_box.h"
#include "platform/serial_link.h"

namespace room::gui {

using LinkFactory = std::function<std::unique_ptr<platform::SerialLink>(
    const PortChoice& choice, const model::RoomTypeConfig& room)>;

std::unique_ptr<platform::SerialLink> makeLink(const PortChoice& choice,
                                               const model::RoomTypeConfig& room);

// What SerialLink::open is given for a choice.
QString linkPortName(const PortChoice& choice);

}  // namespace room::gui
