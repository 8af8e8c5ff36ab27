#pragma once
// What the program holds for the whole run: the one room type, the editors' working copy and the
// send gate (a port has been chosen for mirroring; the port and scene editors share it).

#include <QString>

#include "core/model/room_type.h"

namespace room::gui {

struct RoomDocument {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;  // cancelling an editor drops this value
    bool sendGate = false;
    bool simulate = false;  // port lists offer the in-process simulated bus
    // A console read wrote into the room type and it has not been saved since: a send all asks
    // first, so a room's read does not quietly become the next room's room type.
    bool fromRead = false;
};

// "Tavrin-开关配置软件-标准版" + "V1.6.2", no separator.
QString baseTitle();
// baseTitle + the room's title text, and with a path three blanks and the path.
QString roomWindowTitle(const model::RoomTypeConfig& room, const QString& path = QString());

}  // namespace room::gui
