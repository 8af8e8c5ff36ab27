#include "core/editing/port_session.h"

#include <algorithm>
#include <cstdio>

#include "core/editing/field_text.h"
#include "core/model/catalogues.h"

namespace room::editing {

using model::RoomTypeConfig;

namespace {

constexpr int kChannels = model::kChannels;

int deviceOf(int list) {
    return list / kChannels + 1;
}
int channelOf(int list) {
    return list % kChannels;
}

bool inUse(const RoomTypeConfig& edit, int lamp) {
    return lamp > 0 && lamp < model::kLampCount && edit.lampInUse[lamp] != 0;
}

template <std::size_t N>
void scan(const RoomTypeConfig& edit, const std::array<std::uint8_t, N>& list, std::size_t limit,
          std::vector<int>& out) {
    for (std::size_t i = 0; i < std::min(limit, N); ++i) {
        if (list[i] == model::kListEnd) break;
        if (inUse(edit, list[i])) out.push_back(list[i]);
    }
}

std::vector<int> offeredOn(const RoomTypeConfig& edit, PortPage page) {
    std::vector<int> lamps;
    scan(edit, edit.ordinaryLightKeys, model::kOrdinaryListSize, lamps);
    scan(edit, edit.dimmerAndOtherKeys, model::kCategoryListSize, lamps);
    scan(edit, edit.curtainKeys, model::kCategoryListSize, lamps);
    if (page == PortPage::Keys) {
        scan(edit, edit.sceneModeKeys, model::kCategoryListSize, lamps);
        scan(edit, edit.spareKeys, model::kCategoryListSize, lamps);
    } else {
        scan(edit, edit.otherKeys, model::kCategoryListSize, lamps);
        scan(edit, edit.airConditionerKeys, model::kCategoryListSize, lamps);
    }
    return lamps;
}

// Entries 1..count of a table whose lamp is no longer in use become 0. The count comes from the
// definition dialog and may exceed the table; a number beyond the lamp space is not in use.
template <std::size_t N>
void dropUnused(const RoomTypeConfig& edit, std::array<int, N>& table, int count) {
    const int last = std::min(count, static_cast<int>(N) - 1);
    for (int i = 1; i <= last; ++i) {
        if (table[i] != 0 && !inUse(edit, table[i])) table[i] = 0;
    }
}

}  // namespace

const MarkStyle* markStyle(KeyMark mark) {
    for (const MarkStyle& style : kMarkStyles) {
        if (style.mark == mark) return &style;
    }
    return nullptr;
}

std::string untypedDeviceMessage(int device) {
    char text[96];
    std::snprintf(text, sizeof text, "‘继电器端口配置’中第%d个‘设备类型’未选择!", device);
    return text;
}

bool isAirConditionerLamp(int lamp) {
    return model::airConditionerUnit(lamp) >= 0;
}

bool keysDisabled(int type) {
    return type >= 2 && type <= 4;
}

PortSession::PortSession(RoomTypeConfig& room, RoomTypeConfig& edit, EditMode mode)
    : m_room(room), m_edit(edit), m_mode(mode) {
    openTables();
    m_offered[0] = offeredOn(m_edit, PortPage::Keys);
    m_offered[1] = offeredOn(m_edit, PortPage::Outputs);
    fillForm();
}

void PortSession::openTables() {
    RoomTypeConfig& e = m_edit;
    if (m_mode == EditMode::Modify) {
        e.inputLamp = m_room.inputLamp;
        e.outputLamp = m_room.outputLamp;
        e.lowVoltageLamp = m_room.lowVoltageLamp;
        e.legacyLamp = m_room.legacyLamp;
        e.portSpareLampA = m_room.portSpareLampA;
        e.portSpareLampB = m_room.portSpareLampB;
        e.portSpareLowVoltageLamp = m_room.portSpareLowVoltageLamp;
        e.portCounters = m_room.portCounters;
        e.portBlock = m_room.portBlock;
        e.dim33With34 = m_room.dim33With34;
        e.dim41With42 = m_room.dim41With42;
        dropUnused(e, e.inputLamp, e.inputCount);
        dropUnused(e, e.lowVoltageLamp, e.lowVoltageOutputCount);
        dropUnused(e, e.outputLamp, e.outputCount);
        return;
    }
    model::clearChannelTables(e);
    e.dim33With34 = 0;
    e.dim41With42 = 0;
}

void PortSession::fillForm() {
    PortForm& f = m_form;
    // A room type may count up to 36 devices; the pages have columns for 24.
    f.shownDevices = std::clamp(m_edit.deviceCount, 0, kPortDevices);
    // New: the new room type's devices (none typed yet); Modify: the room type's, copied by the
    // definition dialog.
    for (int v = 1; v <= f.shownDevices; ++v) {
        const model::DeviceRecord& device = m_edit.devices[v];
        f.locations[v - 1] = device.name;
        // Modify offers a device that never had a type as a switch panel.
        f.types[v - 1] = device.type == 0 && m_mode == EditMode::Modify ? 1 : device.type;
    }
    for (int i = 0; i < f.shownDevices * kChannels; ++i) {
        f.outputs[i] = m_edit.outputLamp[i + 1];
        f.keyEnabled[i] = !keysDisabled(m_edit.devices[deviceOf(i)].type);
        if (!f.keyEnabled[i]) m_edit.inputLamp[i + 1] = 0;
        f.keys[i] = m_edit.inputLamp[i + 1];
    }
    m_openedKeys = f.keys;
    m_openedOutputs = f.outputs;
}

bool PortSession::choose(PortPage page, int list, int lamp) {
    if (list < 0 || list >= kPortLists || !choosable(page, list, lamp)) return false;
    if (page == PortPage::Keys && !m_form.keyEnabled[static_cast<std::size_t>(list)]) return false;
    (page == PortPage::Keys ? m_form.keys : m_form.outputs)[static_cast<std::size_t>(list)] = lamp;
    return true;
}

void PortSession::chooseType(int device, int type) {
    if (device < 1 || device > m_form.shownDevices) return;
    m_form.types[static_cast<std::size_t>(device - 1)] = type;
    const bool enabled = !keysDisabled(type);
    for (int c = 0; c < kChannels; ++c) {
        const auto list = static_cast<std::size_t>((device - 1) * kChannels + c);
        m_form.keyEnabled[list] = enabled;
        if (!enabled) m_form.keys[list] = 0;
    }
}

void PortSession::setLocation(int device, std::string_view text) {
    if (device < 1 || device > kPortDevices) return;
    m_form.locations[static_cast<std::size_t>(device - 1)] =
        withoutFieldBreakers(std::string(text));
}

const std::vector<int>& PortSession::offered(PortPage page) const {
    return m_offered[page == PortPage::Keys ? 0 : 1];
}

std::string PortSession::entryText(int lamp) const {
    return model::channelEntryText(m_edit, lamp);
}

std::vector<std::string> PortSession::entries(PortPage page) const {
    std::vector<std::string> texts{std::string()};
    for (int lamp : offered(page)) texts.push_back(entryText(lamp));
    return texts;
}

std::optional<int> PortSession::unofferedLamp(PortPage page, int list) const {
    const int lamp = (page == PortPage::Keys ? m_openedKeys : m_openedOutputs)[list];
    if (lamp == 0) return std::nullopt;
    const std::vector<int>& lamps = offered(page);
    if (std::find(lamps.begin(), lamps.end(), lamp) != lamps.end()) return std::nullopt;
    return lamp;
}

bool PortSession::choosable(PortPage page, int list, int lamp) const {
    const std::vector<int>& lamps = offered(page);
    return lamp == 0 || std::find(lamps.begin(), lamps.end(), lamp) != lamps.end() ||
           unofferedLamp(page, list) == lamp;
}

void PortSession::takeKeysAndLocations() {
    for (int j = 0; j < kPortLists; ++j) {
        const int v = deviceOf(j);
        if (channelOf(j) == 0 && v <= m_form.shownDevices) {
            m_edit.devices[v].name = withoutFieldBreakers(m_form.locations[v - 1]);
        }
        // A hidden list holds no entry, so it reads as empty.
        const int lamp = listShown(j) ? m_form.keys[j] : 0;
        m_edit.inputLamp[j + 1] = lamp;
        m_edit.devices[v].inputs[channelOf(j)] = lamp;
        if (lamp != 0) m_edit.devices[v].inUse = 1;
    }
}

void PortSession::syncRelays() {
    for (int j = 0; j < m_form.shownDevices * kChannels; ++j) {
        if (keysDisabled(m_form.types[static_cast<std::size_t>(deviceOf(j) - 1)])) continue;
        const int key = m_form.keys[j];
        int& output = m_form.outputs[j];
        if (key == 0) {
            if (!isAirConditionerLamp(output)) output = 0;
        } else if (choosable(PortPage::Outputs, j, key)) {
            output = key;
        }
    }
}

void PortSession::syncInputs() {
    // As hidden as it is, it keeps to what an output list can hold.
    for (int j = 0; j < m_form.shownDevices * kChannels; ++j) {
        if (choosable(PortPage::Outputs, j, m_form.keys[j])) m_form.outputs[j] = m_form.keys[j];
    }
}

KeyMark PortSession::keyMark(int list) const {
    const int lamp = m_form.keys[list];
    const std::vector<int>& outputs = offered(PortPage::Outputs);
    if (lamp == 0 || std::find(outputs.begin(), outputs.end(), lamp) == outputs.end()) {
        return KeyMark::NotMarked;
    }
    const int shown = m_form.shownDevices * kChannels;
    const auto carried = std::count(m_form.outputs.begin(), m_form.outputs.begin() + shown, lamp);
    switch (carried) {
        case 0:
            return KeyMark::NoOutput;
        case 1:
            return KeyMark::OneOutput;
        case 2:
            return KeyMark::TwoOutputs;
        default:
            return KeyMark::MoreOutputs;
    }
}

PortAcceptOutcome PortSession::accept() {
    for (int i = 0; i < kPortLists; ++i) {
        const int v = deviceOf(i);
        if (channelOf(i) == 0 && v <= m_form.shownDevices) {
            const auto type = static_cast<std::uint8_t>(m_form.types[v - 1]);
            m_edit.devices[v].type = type;
            if (type == 0) return {false, untypedDeviceMessage(v)};
        }
        const int lamp = listShown(i) ? m_form.outputs[i] : 0;
        m_edit.outputLamp[i + 1] = lamp;
        m_edit.devices[v].outputs[channelOf(i)] = lamp;
        if (lamp != 0) m_edit.devices[v].inUse = 1;
    }
    takeKeysAndLocations();
    // Entry 0 mirrors the count; set it before the write-back so the room type's agrees too.
    m_edit.inputLamp[0] = m_edit.inputCount;
    m_edit.outputLamp[0] = m_edit.outputCount;
    m_edit.lowVoltageLamp[0] = m_edit.lowVoltageOutputCount;
    if (m_mode == EditMode::Modify) writeBack();
    return {true, std::nullopt};
}

void PortSession::writeBack() {
    m_room.inputLamp = m_edit.inputLamp;
    m_room.outputLamp = m_edit.outputLamp;
    m_room.lowVoltageLamp = m_edit.lowVoltageLamp;
    m_room.legacyLamp = m_edit.legacyLamp;
    m_room.portSpareLampA = m_edit.portSpareLampA;
    m_room.portSpareLampB = m_edit.portSpareLampB;
    m_room.portSpareLowVoltageLamp = m_edit.portSpareLowVoltageLamp;
    for (int v = 1; v <= model::kMaxDevices; ++v) {
        model::DeviceRecord& to = m_room.devices[v];
        const model::DeviceRecord& from = m_edit.devices[v];
        to.inputs = from.inputs;
        to.outputs = from.outputs;
        to.modes = from.modes;
        to.inUse = from.inUse;
        to.type = from.type;
        to.name = from.name;
    }
    m_room.dim33With34 = m_edit.dim33With34;
    m_room.dim41With42 = m_edit.dim41With42;
}

}  // namespace room::editing
