#pragma once
// The rules of the scene editor "配置情景模式", without a widget: which keys and outputs show,
// what each output says and how it is coloured, the pen and the click cycle, loading and storing
// a scene (with the indicator bits), the bulk buttons, and the live frames to send. Every action
// returns the frames it wants on the line, each with the pause that must follow it; the dialog
// queues them and sends them in order.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/editing/definition_session.h"
#include "core/editing/scene_rules.h"
#include "core/model/room_type.h"

namespace room::editing {

struct TimedFrame {
    std::vector<std::uint8_t> bytes;
    int pauseAfterMs = 50;  // 250 while a whole scene is being sent
};

enum class BulkAction : std::uint8_t { AllOn = 1, AllOff = 2, AllNotControlled = 3 };

class SceneSession {
public:
    // In New mode the edit copy is used as the earlier editors left it; in Modify mode (and when
    // the editor runs alone) it is filled from the room type first.
    SceneSession(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, EditMode mode);

    // Scene keys 1..24.
    bool keyShown(int key) const;
    std::string keyText(int key) const;
    int currentKey() const { return m_key; }
    int currentCode() const { return sceneCodeOfKey(m_key); }
    Colours keyColours(int key) const { return sceneKeyColours(key == m_key); }
    // Whether a scene key already holds settings (the current one: as its outputs show now).
    bool keyHoldsSettings(int key) const;

    // Output slots 1..180.
    bool outputShown(int slot) const;
    bool outputsEnabled() const { return m_key != 0; }
    int lampOf(int slot) const;
    int state(int slot) const { return m_slotState[slot]; }
    std::string outputText(int slot) const;
    Colours outputColours(int slot) const;
    // How many of the six output groups show (five devices each).
    int groupsShown() const;
    // The label of a device's row of outputs: its number and location ("03 床头右").
    std::string deviceRowLabel(int device) const;

    // Port, send gate and "切模式时发送".
    void portOpened();
    bool portOpen() const { return m_portOpen; }
    void setSendOnModeSwitch(bool on) { m_sendOnSwitch = on; }
    bool bulkShown() const { return m_key != 0; }
    bool bulkEnabled() const { return m_key != 0 && !m_portOpen; }
    // Why "全开", "全关", "全不受控" are disabled; empty while they are not.
    std::string bulkDisabledReason() const;

    std::vector<TimedFrame> chooseKey(int key);
    void choosePen(int button);  // index into kPenButtons
    int pen() const { return m_pen; }
    int penButton() const { return m_penButton; }  // -1 before any value button
    std::vector<TimedFrame> clickOutput(int slot);
    std::vector<TimedFrame> bulk(BulkAction action);
    // Beyond the dialog's buttons: the stored states of another scene key applied to the current
    // scene as clicks would, drawn and sent alike.
    std::vector<TimedFrame> copyScene(int fromKey);

    // OK: stores the current scene and writes back (New: the whole edit copy).
    void accept();

private:
    void store();
    void applyState(int slot, int state, bool loaded, int pauseMs, std::vector<TimedFrame>& out);
    int entryOf(int code) const { return model::sceneSlotForCode(code) - 1; }
    int deviceCount() const;
    int maxSlot() const;

    model::RoomTypeConfig& m_room;
    model::RoomTypeConfig& m_edit;
    EditMode m_mode;
    int m_key = 0;
    int m_pen = 0;
    int m_penButton = -1;
    bool m_portOpen = false;
    bool m_gate = false;
    bool m_sendOnSwitch = false;
    std::array<int, model::kChannelTableSize> m_slotState{};
    std::array<bool, model::kChannelTableSize> m_loaded{};
    std::array<int, model::kChannelTableSize> m_position{};
};

}  // namespace room::editing
