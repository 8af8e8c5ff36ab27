#pragma once
// Which values of a room type belong to the definition dialog: what its OK writes back in
// Modify mode. The device records and channel tables belong to the port editor, the scene slots
// and indicator bytes to the scene editor.

#include "core/model/room_type.h"

namespace room::editing {

// Lamp names, the table's name and the category lists.
void copyNameTables(const model::RoomTypeConfig& from, model::RoomTypeConfig& to);

// Every value the definition dialog stages.
void copyDefinitionValues(const model::RoomTypeConfig& from, model::RoomTypeConfig& to);

}  // namespace room::editing
