#pragma once
// The main window's New, Modify and Scene modes running the real editor dialogs, answered by the
// fixture's prompter and without a settings file.

#include "gui/editors/editor_flow.h"
#include "support/window_fixture.h"

namespace room::testing {

inline void runEditorsFromTheWindow(WindowFixture& fx) {
    auto flow = [&fx](editing::FlowKind kind) {
        return [&fx, kind](gui::RoomDocument& doc, QWidget* parent) {
            return gui::runEditorFlow(kind, doc, fx.prompter, nullptr, parent);
        };
    };
    gui::CommandHooks hooks;
    hooks.newRoomType = flow(editing::FlowKind::New);
    hooks.modifyRoomType = flow(editing::FlowKind::Modify);
    hooks.sceneModes = flow(editing::FlowKind::SceneModes);
    fx.window->setCommandHooks(hooks);
}

}  // namespace room::testing
