#pragma once
// "配置情景模式": the scene editor, a thin binding of its keys, outputs and value buttons to a
// SceneSession, with the live frames of each change paced out through a FramePacer.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "core/editing/close_gate.h"
#include "core/editing/edit_flow.h"
#include "core/editing/scene_session.h"
#include "gui/ports/link_factory.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;

namespace room::platform {
class Prompter;
class SerialLink;
}  // namespace room::platform

namespace room::gui {

class ColorButton;
class FramePacer;
class PortComboBox;

class SceneDialog : public QDialog {
    Q_OBJECT

public:
    // `modeChanged` hears the current scene code (0 when none) for the main window's relays.
    SceneDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, editing::EditMode mode,
                platform::Prompter& prompter, std::function<void(int)> modeChanged = {},
                QWidget* parent = nullptr);
    ~SceneDialog() override;

    editing::SceneSession& session() { return m_session; }
    ColorButton* keyButton(int key) const { return m_keys[static_cast<std::size_t>(key - 1)]; }
    ColorButton* outputButton(int slot) const {
        return m_outputs[static_cast<std::size_t>(slot - 1)];
    }
    PortComboBox* portList() const { return m_portList; }
    FramePacer& pacer() { return *m_pacer; }
    platform::SerialLink* link() const { return m_link.get(); }
    void setLinkFactory(LinkFactory factory) { m_factory = std::move(factory); }
    // Asked on Cancel (and Esc) before the dialog starts closing; false keeps it open as it is.
    void setCancelCheck(editing::CancelCheck check) { m_mayCancel = std::move(check); }

    // Both wait until the queued frames are on the line (see CloseGate).
    void accept() override;
    void reject() override;

private:
    QWidget* buildKeys();
    QWidget* buildOutputs();
    void addOutputRow(int device, QGridLayout* cells, int row);
    QWidget* buildValueRow();
    QWidget* buildBottomRow();
    void choosePort(const PortChoice& choice);
    void send(std::vector<editing::TimedFrame> frames);
    void redraw();
    void redrawPens();
    void showSpecialNotes();
    void requestClose(bool ok);
    void holdForFrames();
    void finish(const editing::CloseDecision& decision);

    editing::SceneSession m_session;
    platform::Prompter& m_prompter;
    std::function<void(int)> m_modeChanged;
    LinkFactory m_factory = makeLink;
    std::unique_ptr<platform::SerialLink> m_link;
    FramePacer* m_pacer = nullptr;
    model::RoomTypeConfig& m_room;
    bool m_portOffered = false;  // "配置时向开关发送" of the room type being edited
    std::array<ColorButton*, editing::kSceneKeys> m_keys{};
    std::array<ColorButton*, editing::kSceneOutputs> m_outputs{};
    std::array<QGroupBox*, 6> m_groups{};
    std::vector<ColorButton*> m_bulk;
    std::vector<ColorButton*> m_pens;
    ColorButton* m_cancel = nullptr;
    editing::CloseGate m_gate;
    editing::CancelCheck m_mayCancel;
    QLabel* m_portLabel = nullptr;
    PortComboBox* m_portList = nullptr;
    QCheckBox* m_sendOnSwitch = nullptr;
    QComboBox* m_copyFrom = nullptr;
    QLabel* m_queued = nullptr;
};

// Runs the dialog modally; true on OK.
bool runSceneDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                    editing::EditMode mode, platform::Prompter& prompter,
                    std::function<void(int)> modeChanged, QWidget* parent,
                    const editing::CancelCheck& mayCancel = {});

}  // namespace room::gui
