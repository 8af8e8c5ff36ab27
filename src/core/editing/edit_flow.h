#pragma once
// New, Modify and Scene modes: which editors run, in which order, and when the edit copy goes
// into the room type. The windows only run the editors they are handed; they never decide what
// is written back.
//
// New: the definition, port and scene editors in turn, each only after the previous OK, over an
// edit copy of a new room type; the room type changes only when the last of them confirms, and
// the new-room-type flag is down again however the run ends. Modify: the same editors over a copy
// of the room type; each writes its own part on its OK, so a later Cancel keeps what earlier ones
// wrote. Scene modes: the scene editor alone, after lampInUse has been copied into the edit copy.

#include <functional>

#include "core/editing/definition_session.h"
#include "core/model/room_type.h"

namespace room::editing {

enum class FlowKind : std::uint8_t { New, Modify, SceneModes };

// Asked by an editor before it closes on Cancel: false keeps it open, as it is.
using CancelCheck = std::function<bool()>;

// Runs one editor dialog over the edit copy; true when it ended with OK. An editor that does not
// exist yet is left empty and counts as confirmed without changing anything. An editor that can
// stay open asks `mayCancel` on Cancel, so that going back to it keeps what the installer typed;
// one that closes without asking is run again from the edit copy.
using EditorStep = std::function<bool(EditMode mode, const CancelCheck& mayCancel)>;

struct EditorSteps {
    EditorStep definition;
    EditorStep ports;
    EditorStep scenes;
    // Asked when the port or scene editor of a New is cancelled, which would throw away what the
    // editors before it took: true discards the new room type, false opens that editor again.
    // Without it a Cancel discards at once.
    std::function<bool()> discardNew;
};

inline constexpr const char* kDiscardNewQuestion = "是否放弃新建的房型?";

struct FlowResult {
    bool completed = false;    // every editor of the flow confirmed
    bool roomChanged = false;  // the room type was written (the window retitles and refreshes)
};

FlowResult runFlow(FlowKind kind, model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                   const EditorSteps& steps);

// The whole edit copy becomes the room type (the last OK of New); what belongs to the program's
// run (the file name, the console's selection, the demonstration) stays.
void commitNewRoomType(const model::RoomTypeConfig& edit, model::RoomTypeConfig& room);

}  // namespace room::editing
