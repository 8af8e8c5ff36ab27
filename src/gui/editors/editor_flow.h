#pragma once
// The editors the main window's New, Modify and Scene modes run, handed to the flow of
// core/editing, which decides what is written back when.

#include <QWidget>

#include "core/editing/edit_flow.h"
#include "gui/main/room_document.h"

namespace room::platform {
class Prompter;
class SettingsStore;
}  // namespace room::platform

namespace room::gui {

// Runs `kind` with the editor dialogs over `document`; true when the room type was written
// (the window then retitles, refreshes and sets `modified`).
bool runEditorFlow(editing::FlowKind kind, RoomDocument& document, platform::Prompter& prompter,
                   platform::SettingsStore* settings, QWidget* parent);

}  // namespace room::gui
