#pragma once
// "对比...": the room type in memory against a room-type file the installer chooses.

#include "core/model/room_type.h"

class QWidget;

namespace room::platform {
class Prompter;
}

namespace room::gui {

class CompareWindow;
class FileDialogs;

inline constexpr const char* kCompareEntryText = "对比...";
inline constexpr const char* kInMemoryText = "内存中的房型";

// Asks for a file and shows the comparison; a file that cannot be read or is refused is reported
// as Open reports it. Returns the window shown, none otherwise.
CompareWindow* compareWithFile(const model::RoomTypeConfig& room, FileDialogs& dialogs,
                               platform::Prompter& prompter, QWidget* parent);

}  // namespace room::gui
