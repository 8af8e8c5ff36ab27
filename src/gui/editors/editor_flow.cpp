#include "gui/editors/editor_flow.h"

#include "gui/editors/definition_dialog.h"
#include "gui/editors/port_dialog.h"
#include "gui/editors/scene_dialog.h"
#include "gui/main/main_window.h"
#include "platform/prompter.h"

namespace room::gui {

bool runEditorFlow(editing::FlowKind kind, RoomDocument& document, platform::Prompter& prompter,
                   platform::SettingsStore* settings, QWidget* parent) {
    editing::EditorSteps steps;
    steps.definition = [&](editing::EditMode mode, const editing::CancelCheck&) {
        return runDefinitionDialog(document.room, document.edit, mode, prompter, settings, parent);
    };
    steps.ports = [&](editing::EditMode mode, const editing::CancelCheck& mayCancel) {
        return runPortDialog(document.room, document.edit, mode, prompter, parent, mayCancel);
    };
    steps.scenes = [&](editing::EditMode mode, const editing::CancelCheck& mayCancel) {
        // The main window's relays 1-18 follow the scene being edited.
        auto* window = qobject_cast<MainWindow*>(parent);
        auto modeChanged = [window](int code) {
            if (window) window->setSceneEditorMode(code);
        };
        return runSceneDialog(document.room, document.edit, mode, prompter, modeChanged, parent,
                              mayCancel);
    };
    steps.discardNew = [&prompter] {
        return prompter.question(QString::fromUtf8(editing::kDiscardNewQuestion),
                                 platform::kQuestionCaption,
                                 platform::QuestionButtons::OkCancel) == platform::Answer::Ok;
    };
    return editing::runFlow(kind, document.room, document.edit, steps).roomChanged;
}

}  // namespace room::gui
