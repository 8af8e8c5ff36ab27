#include "core/editing/scene_session.h"

#include <algorithm>
#include <cstdio>

#include "core/editing/edit_flow.h"

namespace room::editing {

using model::RoomTypeConfig;

namespace {

// What Modify (or the editor alone) takes from the room type before editing scenes.
void fillFromRoom(const RoomTypeConfig& room, RoomTypeConfig& edit) {
    edit.sceneTable = room.sceneTable;
    for (int v = 0; v <= model::kMaxDevices; ++v) {
        edit.devices[v].inputs = room.devices[v].inputs;
        edit.devices[v].outputs = room.devices[v].outputs;
        edit.devices[v].modes = room.devices[v].modes;
        edit.devices[v].name = room.devices[v].name;  // the rows' labels
    }
    edit.inputLamp = room.inputLamp;
    edit.outputLamp = room.outputLamp;
    edit.legacyLamp = room.legacyLamp;
    edit.deviceCount = room.deviceCount;
    edit.cycleModes = room.cycleModes;
    edit.systemType = room.systemType;
    edit.lowVoltageDoorbell = room.lowVoltageDoorbell;
    edit.modeFlagBits = room.modeFlagBits;
    edit.lampNames = room.lampNames;
    edit.lampInUse = room.lampInUse;
    edit.sendToSwitch = room.sendToSwitch;
    edit.outputCount = room.outputCount;
}

// The indicator bits of a scene code: byte pair and bit.
struct IndicatorBit {
    int onByte = -1;
    int bit = 0;
};
IndicatorBit indicatorBit(int code) {
    if (code >= 50 && code <= 57) return {0, code - 50};
    if (code >= 168 && code <= 175) return {2, code - 168};
    if (code >= 184 && code <= 191) return {4, code - 184};
    return {};
}

bool inRange(int v, int low, int high) {
    return v >= low && v <= high;
}

}  // namespace

SceneSession::SceneSession(RoomTypeConfig& room, RoomTypeConfig& edit, EditMode mode)
    : m_room(room), m_edit(edit), m_mode(mode) {
    if (mode == EditMode::Modify) fillFromRoom(room, edit);
    m_slotState.fill(kNotControlled);
    m_position.fill(3);
}

int SceneSession::deviceCount() const {
    return std::clamp(m_edit.deviceCount, 0, kSceneOutputs / 6);
}

int SceneSession::maxSlot() const {
    return std::clamp(std::max(m_edit.outputCount, m_room.outputCount), 0, kSceneOutputs);
}

bool SceneSession::keyShown(int key) const {
    const int code = sceneCodeOfKey(key);
    if (code == 0) return false;
    if (key == 7 || key == 8) return true;
    return m_edit.lampInUse[code] != 0;
}

std::string SceneSession::keyText(int key) const {
    const int code = sceneCodeOfKey(key);
    return code == 0 ? std::string() : m_edit.lampNames[code];
}

int SceneSession::lampOf(int slot) const {
    if (slot < 1 || slot > kSceneOutputs) return 0;
    return m_edit.outputLamp[slot];
}

bool SceneSession::outputShown(int slot) const {
    const int lamp = lampOf(slot);
    if (lamp == 0) return false;
    return !(lamp == 93 && m_edit.lowVoltageDoorbell);
}

std::string SceneSession::outputText(int slot) const {
    const int lamp = lampOf(slot);
    if (m_key == 0) {
        // Before a scene is chosen the buttons carry only their lamp's name.
        return lamp == 78 ? std::string("受控插座") : m_edit.lampNames[std::clamp(lamp, 0, 249)];
    }
    return actionText(m_edit, lamp, m_slotState[slot]);
}

Colours SceneSession::outputColours(int slot) const {
    return editing::outputColours(m_slotState[slot], m_loaded[slot]);
}

int SceneSession::groupsShown() const {
    const int count = std::max(m_room.deviceCount, m_edit.deviceCount);
    int groups = 0;
    for (int threshold : {0, 5, 10, 15, 20, 25}) groups += count > threshold ? 1 : 0;
    return groups;
}

std::string SceneSession::deviceRowLabel(int device) const {
    if (device < 1 || device > deviceCount()) return {};
    char number[8];
    std::snprintf(number, sizeof number, "%02d", device);
    const std::string& where = m_edit.devices[device].name;
    return where.empty() ? std::string(number) : std::string(number) + " " + where;
}

bool SceneSession::keyHoldsSettings(int key) const {
    const int code = sceneCodeOfKey(key);
    if (code == 0) return false;
    if (key == m_key) {
        for (int slot = 1; slot <= deviceCount() * 6; ++slot) {
            if (m_slotState[slot] != kNotControlled) return true;
        }
        return false;
    }
    const int entry = entryOf(code);
    for (int v = 1; v <= deviceCount(); ++v) {
        const model::ModeSlot& mode = m_edit.devices[v].modes[entry];
        if (mode.modeCode != code) continue;
        for (int state : mode.outputState) {
            if (state != kNotControlled) return true;
        }
    }
    return false;
}

std::string SceneSession::bulkDisabledReason() const {
    if (!m_portOpen) return {};
    return "已选择串口：逐个点击输出发送，全开、全关、全不受控不可用";
}

void SceneSession::portOpened() {
    m_portOpen = true;
    m_gate = true;
}

// Draws, texts and (with the gate open) sends one output's new state.
void SceneSession::applyState(int slot, int state, bool loaded, int pauseMs,
                              std::vector<TimedFrame>& out) {
    m_slotState[slot] = state;
    m_loaded[slot] = loaded;
    if (!m_gate) return;
    if (auto frame = liveFrame(currentCode(), lampOf(slot), state))
        out.push_back({std::move(*frame), pauseMs});
}

std::vector<TimedFrame> SceneSession::chooseKey(int key) {
    std::vector<TimedFrame> out;
    const int code = sceneCodeOfKey(key);
    if (code == 0 || !keyShown(key)) return out;
    if (m_key != 0) store();
    m_key = key;
    m_slotState.fill(kNotControlled);
    m_loaded.fill(false);
    // The load sends only when "切模式时发送" asks for it.
    m_gate = m_portOpen && m_sendOnSwitch;
    for (int slot = 0; slot <= 124; ++slot) {
        if (m_position[slot] != 0) m_position[slot] = 3;
    }
    const int entry = entryOf(code);
    for (int v = 1; v <= deviceCount(); ++v) {
        const model::ModeSlot& mode = m_edit.devices[v].modes[entry];
        if (mode.modeCode != code) continue;
        for (int o = 0; o < 6; ++o) {
            const int state = mode.outputState[o];
            if (state != kNotControlled) applyState(6 * (v - 1) + o + 1, state, true, 250, out);
        }
    }
    m_gate = m_portOpen;
    return out;
}

void SceneSession::choosePen(int button) {
    if (button < 0 || button >= static_cast<int>(kPenButtons.size())) return;
    const PenButton& pen = kPenButtons[static_cast<std::size_t>(button)];
    m_pen = pen.pen;
    m_penButton = button;
    const int last = pen.pen == kNotControlled ? 144 : model::kChannelTableSize - 1;
    for (int slot = 0; slot <= last; ++slot) m_position[slot] = pen.position;
}

std::vector<TimedFrame> SceneSession::clickOutput(int slot) {
    std::vector<TimedFrame> out;
    if (m_key == 0 || slot < 1 || slot > kSceneOutputs || !outputShown(slot)) return out;
    if (lampOf(slot) == 93) return out;  // the doorbell is not part of a scene
    int& position = m_position[slot];
    int state = kNotControlled;
    if (position == 3) {
        position = 1;
        state = m_pen == 0 || m_pen == kNotControlled ? 10 : m_pen;
    } else if (position == 1) {
        position = 2;
        state = 0;
    } else {
        position = 3;
        state = kNotControlled;
    }
    applyState(slot, state, false, 50, out);
    return out;
}

std::vector<TimedFrame> SceneSession::bulk(BulkAction action) {
    std::vector<TimedFrame> out;
    if (m_key == 0) return out;
    const int a = static_cast<int>(action);
    for (int slot = 1; slot <= maxSlot(); ++slot) {
        const int lamp = lampOf(slot);
        int& position = m_position[slot];
        if (inRange(lamp, 58, 69) || inRange(lamp, 80, 89)) {
            position = 3;  // air conditioners and curtains keep their state
            continue;
        }
        if (inRange(lamp, 70, 75) && action != BulkAction::AllOff) {
            position = 3;
            applyState(slot, kNotControlled, false, 50, out);
            continue;
        }
        if (lamp == 0) continue;
        if (lamp == 78 || lamp == 93 || inRange(lamp, 100, 119) || inRange(lamp, 128, 137)) {
            position = 3;
            applyState(slot, kNotControlled, false, 50, out);
            continue;
        }
        if (position != 0) position = a;
        const int state = action == BulkAction::AllOn    ? 10
                          : action == BulkAction::AllOff ? 0
                                                         : kNotControlled;
        applyState(slot, state, false, 50, out);
    }
    return out;
}

std::vector<TimedFrame> SceneSession::copyScene(int fromKey) {
    std::vector<TimedFrame> out;
    const int from = sceneCodeOfKey(fromKey);
    if (m_key == 0 || from == 0 || fromKey == m_key) return out;
    const int entry = entryOf(from);
    for (int v = 1; v <= deviceCount(); ++v) {
        const model::ModeSlot& mode = m_edit.devices[v].modes[entry];
        for (int o = 0; o < 6; ++o) {
            const int slot = 6 * (v - 1) + o + 1;
            if (!outputShown(slot) || lampOf(slot) == 93) continue;
            const int state = mode.modeCode == from ? mode.outputState[o] : kNotControlled;
            if (state == m_slotState[slot]) continue;
            // The position a click would have left, so the next click goes on from there.
            m_position[slot] = state == kNotControlled ? 3 : state == 0 ? 2 : 1;
            applyState(slot, state, false, 50, out);
        }
    }
    return out;
}

// The current scene into every device's entry for its code, with the indicator bits.
void SceneSession::store() {
    const int code = currentCode();
    const int entry = entryOf(code);
    if (entry < 0) return;
    const IndicatorBit bit = indicatorBit(code);
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << bit.bit);
    for (int v = 1; v <= deviceCount(); ++v) {
        model::DeviceRecord& device = m_edit.devices[v];
        std::array<int, 6> states{};
        for (int o = 0; o < 6; ++o) states[o] = m_slotState[6 * (v - 1) + o + 1];
        int indicator = -1;  // output 6 first, then the highest of 5..1 carrying lamp 2
        for (int o = 5; o >= 0 && indicator < 0; --o) {
            if (device.outputs[o] == 2) indicator = o;
        }
        std::uint8_t& on = m_edit.modeFlagBits[bit.onByte];
        std::uint8_t& controlled = m_edit.modeFlagBits[bit.onByte + 1];
        const bool none =
            std::all_of(states.begin(), states.end(), [](int s) { return s == kNotControlled; });
        model::ModeSlot& mode = device.modes[entry];
        if (none) {
            mode.modeCode = 0;
            mode.outputState.fill(kNotControlled);
            if (indicator >= 0) {
                on = static_cast<std::uint8_t>(on & ~mask);
                controlled = static_cast<std::uint8_t>(controlled & ~mask);
            }
            continue;
        }
        mode.modeCode = code;
        mode.outputState = states;
        if (indicator < 0) continue;
        const int state = states[indicator];
        on = static_cast<std::uint8_t>(on & ~mask);
        controlled = static_cast<std::uint8_t>(state != kNotControlled ? (controlled | mask)
                                                                       : (controlled & ~mask));
        if (state == 10) on = static_cast<std::uint8_t>(on | mask);
    }
}

void SceneSession::accept() {
    if (m_key != 0) store();
    if (m_mode == EditMode::New) {
        commitNewRoomType(m_edit, m_room);
        return;
    }
    m_room.sceneTable = m_edit.sceneTable;
    // The indicator bytes are what storing a scene changed besides the entries: keep them too.
    m_room.modeFlagBits = m_edit.modeFlagBits;
    for (int v = 0; v <= model::kMaxDevices; ++v) {
        m_room.devices[v].modes = m_edit.devices[v].modes;
        m_room.devices[v].inputs = m_edit.devices[v].inputs;
        m_room.devices[v].outputs = m_edit.devices[v].outputs;
    }
}

}  // namespace room::editing
