#pragma once
// When the console's commands and the switch pages' sends are refused or must be confirmed, as
// pure functions of the console's state.

#include <optional>
#include <string>

#include "core/commissioning/effects.h"
#include "core/model/room_type.h"

namespace room::commissioning {

// Why a run button or network-wide command cannot go ahead now, if it cannot.
std::optional<std::string> commandRefusal(Action action, bool portOpen, bool runActive);
// Why a send all cannot go ahead on this room type: no device of it is in use.
std::optional<std::string> sendAllRefusal(const model::RoomTypeConfig& room);
// The run a run button starts (Idle for the other commands), and the button of a run (a scan
// asks as a read does).
RunMode runModeOf(Action action);
Action runActionOf(RunMode mode);
// Why a run of its own list of devices (a retry, the read after a scan) cannot go ahead now.
std::optional<std::string> listRunRefusal(RunMode mode, const model::RoomTypeConfig& room,
                                          bool portOpen, bool runActive);
// The confirmation a command asks first ("询问..." with OK/Cancel), if any.
std::optional<std::string> commandQuestion(Action action);

// Why a switch page cannot send to `device` now, if it cannot.
std::optional<std::string> pageRefusal(const model::RoomTypeConfig& room, int device,
                                       PageOperation operation, bool portOpen, bool runActive);
// Whether a switch page enables a device's send button (not while its last send is busy) and its
// check box; a read may go to any number.
bool pageSendEnabled(const model::RoomTypeConfig& room, int device, PageOperation operation,
                     bool busy);
bool pageCheckBoxEnabled(const model::RoomTypeConfig& room, int device, PageOperation operation);
// What the pages do when they open: devices whose record is not in use are unselected.
void unselectUnused(model::RoomTypeConfig& room);
// The frame label of a page's operation, and the execution choice that goes with it.
FrameKind pageFrameKind(PageOperation operation);
std::optional<Execution> executionFor(PageOperation operation);

// Effects that only show a message, or only ask.
Effects messageOnly(std::string text);
Effects questionOnly(const std::string& text);

}  // namespace room::commissioning
