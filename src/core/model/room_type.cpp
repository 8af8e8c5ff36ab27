#include "core/model/room_type.h"

#include <cstdio>

namespace room::model {

bool DeviceRecord::isEmpty() const {
    for (int v : inputs) {
        if (v != 0) return false;
    }
    for (int j = 0; j < 4; ++j) {
        if (outputs[j] != 0) return false;
    }
    return true;
}

void clearChannelTables(RoomTypeConfig& room) {
    room.legacyLamp.fill(0);
    room.inputLamp.fill(0);
    room.outputLamp.fill(0);
    room.lowVoltageLamp.fill(0);
    room.portSpareLampA.fill(0);
    room.portSpareLampB.fill(0);
    room.portSpareLowVoltageLamp.fill(0);
    room.portCounters.fill(0);
    room.portBlock.fill(0);
}

void reset(RoomTypeConfig& room) {
    clearChannelTables(room);
    room.demoOutputState.fill(0);
    room.demoCardState = 0;
    room.lampInUse.fill(0);
    for (auto& record : room.sceneTable) record.fill(0);
    room.cycleModes.fill(0);
    room.optionTable.fill(0);
    room.devices.fill(DeviceRecord{});
    for (auto& masks : room.outputMasks) masks = DeviceMasks{};
    room.curtainRunTimes.fill(0x0A0A0A0A);  // the block is filled byte-wise with 10
    room.selected.fill(1);
}

namespace {
template <std::size_t N>
void fillList(std::array<std::uint8_t, N>& list, const std::vector<std::uint8_t>& items) {
    list.fill(0);
    std::size_t i = 0;
    for (; i < items.size() && i + 1 < N; ++i) list[i] = items[i];
    list[i] = kListEnd;
}
}  // namespace

void initDefaults(RoomTypeConfig& room) {
    for (int i = 0; i < kLampCount; ++i) room.lampNames[i] = std::string(defaultLampNames[i]);
    fillList(room.ordinaryLightKeys, defaultOrdinaryLightKeys());
    fillList(room.dimmerAndOtherKeys, defaultDimmerAndOtherKeys());
    fillList(room.curtainKeys, defaultCurtainKeys());
    fillList(room.sceneModeKeys, defaultSceneModeKeys());
    fillList(room.otherKeys, {});
    fillList(room.airConditionerKeys, defaultAirConditionerKeys());
    fillList(room.spareKeys, {});
}

RoomTypeConfig makeStartupRoomType() {
    RoomTypeConfig room;
    reset(room);
    initDefaults(room);
    room.fileVersion = kProgramVersion;
    return room;
}

DeviceMasks computeMasks(const DeviceRecord& device) {
    DeviceMasks masks{};
    for (const ModeSlot& slot : device.modes) {
        const int code = slot.modeCode;
        int bit = 0;
        int pair = 0;
        if (code >= 50 && code <= 57) {
            bit = code - 50;
            pair = 0;
        } else if (code >= 168 && code <= 175) {
            bit = code - 168;
            pair = 2;
        } else if (code >= 184 && code <= 191) {
            bit = code - 184;
            pair = 4;
        } else {
            continue;  // empty (0 or 238) or not a scene code
        }
        for (int c = 0; c < kChannels; ++c) {
            const int s = device.outputs[c] == 0 ? kNotInvolved : slot.outputState[c];
            int action = 0;
            if (s == 0) {
                action = 2;
            } else if (s >= 1 && s <= 10) {
                action = 3;
            }
            const auto mask = static_cast<std::uint8_t>(1u << bit);
            if (action & 1) masks[c][pair] |= mask;
            if (action & 2) masks[c][pair + 1] |= mask;
        }
    }
    return masks;
}

void refreshMasks(RoomTypeConfig& room) {
    const int count = room.deviceCount < kMaxDevices ? room.deviceCount : kMaxDevices;
    for (int v = 1; v <= count; ++v) room.outputMasks[v] = computeMasks(room.devices[v]);
}

int deviceCountFromCounts(const RoomTypeConfig& room) {
    return room.thermostatCount + room.switchPanelCount + room.curtainControllerCount +
           room.wirelessCurtainMotorCount;
}

void markLampInUse(RoomTypeConfig& room, int lamp) {
    if (lamp >= 0 && lamp < kLampCount) room.lampInUse[lamp] = 1;
}

namespace {
// Devices 34..36 have records but no room left in the 201-entry mirrors.
void mirror(std::array<int, kChannelTableSize>& table, int device, int channel, int lamp) {
    const int index = (device - 1) * kChannels + channel + 1;
    if (index > 0 && index < kChannelTableSize) table[index] = lamp;
}
}  // namespace

void setInput(RoomTypeConfig& room, int device, int channel, int lamp) {
    room.devices[device].inputs[channel] = lamp;
    room.devices[device].inUse = 1;
    mirror(room.inputLamp, device, channel, lamp);
    markLampInUse(room, lamp);
}

void setOutput(RoomTypeConfig& room, int device, int channel, int lamp) {
    room.devices[device].outputs[channel] = lamp;
    room.devices[device].inUse = 1;
    mirror(room.outputLamp, device, channel, lamp);
    markLampInUse(room, lamp);
}

std::string titleText(const RoomTypeConfig& room) {
    return "   酒店名称:" + room.hotelName + "   房型:" + room.roomTypeName +
           "   房型编号:" + room.roomTypeNumberText +
           "   主机型号:" + std::string(systemTypeName(room.systemType));
}

std::string channelEntryText(const RoomTypeConfig& room, int lamp) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d.", lamp);
    const bool known = lamp >= 0 && lamp < kLampCount;
    return std::string(number) + (known ? room.lampNames[lamp] : std::string());
}

int channelEntryLamp(std::string_view entry) {
    return leadingNumber(entry);
}

}  // namespace room::model
