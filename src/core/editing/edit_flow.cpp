#include "core/editing/edit_flow.h"

namespace room::editing {

namespace {

bool runStep(const EditorStep& step, EditMode mode) {
    static const CancelCheck always = [] { return true; };
    return !step || step(mode, always);
}

// A later editor of a New: its Cancel asks before the new room type is thrown away. The editor
// asks while it is still open; one that did not ask is asked for here and run again.
bool runNewStep(const EditorStep& step, const EditorSteps& steps) {
    if (!step) return true;
    for (;;) {
        bool asked = false;
        const CancelCheck mayCancel = [&] {
            asked = true;
            return !steps.discardNew || steps.discardNew();
        };
        if (step(EditMode::New, mayCancel)) return true;
        if (asked || !steps.discardNew || steps.discardNew()) return false;
    }
}

}  // namespace

void commitNewRoomType(const model::RoomTypeConfig& edit, model::RoomTypeConfig& room) {
    model::RoomTypeConfig next = edit;
    next.fileVersion = model::kProgramVersion;
    next.currentFileName = room.currentFileName;
    next.selected = room.selected;
    next.demoOutputState = room.demoOutputState;
    next.demoCardState = room.demoCardState;
    next.modified = room.modified;
    next.newRoomType = false;
    room = std::move(next);
}

FlowResult runFlow(FlowKind kind, model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                   const EditorSteps& steps) {
    FlowResult result;
    switch (kind) {
        case FlowKind::New: {
            room.newRoomType = true;
            const bool confirmed =
                runStep(steps.definition, EditMode::New) && runNewStep(steps.ports, steps);
            // The scene editor's OK takes the whole edit copy; without one, the flow does.
            if (confirmed && runNewStep(steps.scenes, steps)) {
                if (!steps.scenes) commitNewRoomType(edit, room);
                result.completed = true;
                result.roomChanged = true;
            }
            room.newRoomType = false;
            edit.newRoomType = false;
            return result;
        }
        case FlowKind::Modify: {
            room.newRoomType = false;
            // Each editor writes its own part on its OK.
            if (!runStep(steps.definition, EditMode::Modify)) return result;
            result.roomChanged = true;
            result.completed =
                runStep(steps.ports, EditMode::Modify) && runStep(steps.scenes, EditMode::Modify);
            return result;
        }
        case FlowKind::SceneModes:
            if (!steps.scenes) return result;  // nothing to run yet
            edit.lampInUse = room.lampInUse;
            result.completed = runStep(steps.scenes, EditMode::Modify);
            result.roomChanged = result.completed;
            return result;
    }
    return result;
}

}  // namespace room::editing
