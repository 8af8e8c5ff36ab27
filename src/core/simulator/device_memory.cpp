#include "core/simulator/device_memory.h"

#include <algorithm>

namespace room::simulator {

std::uint8_t sum8(const std::uint8_t* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

Layout layoutOf(std::uint8_t type) {
    if (type == 2) return Layout::Thermostat;
    if (type == 5 || type == 6) return Layout::SlotPanel;
    return Layout::Panel;
}

namespace {

void appendSix(Bytes& out, const Six& six) {
    out.insert(out.end(), six.begin(), six.end());
}

// Copies up to six bytes from data[at..size) into `six`, zero-filling what is missing.
void takeSix(Six& six, const std::uint8_t* data, std::size_t size, std::size_t at) {
    six.fill(0);
    for (std::size_t i = 0; i < 6 && at + i < size; ++i) six[i] = data[at + i];
}

void takeSlots(DeviceMemory& memory, const std::uint8_t* data, std::size_t size, std::size_t at) {
    memory.sceneSlots.clear();
    if (at < size) memory.sceneSlots.assign(data + at, data + size);
    if (memory.sceneSlots.size() > static_cast<std::size_t>(kMaxSlotBytes)) {
        memory.sceneSlots.resize(kMaxSlotBytes);
    }
}

}  // namespace

Bytes payloadOf(const DeviceMemory& memory) {
    Bytes out;
    const Layout layout = layoutOf(memory.type);
    if (layout != Layout::Thermostat) {
        appendSix(out, memory.inputs);
        appendSix(out, memory.outputs);
        appendSix(out, memory.indicators);
    }
    if (layout == Layout::Panel) {
        for (const Six& row : memory.masks) appendSix(out, row);
    } else {
        out.insert(out.end(), memory.sceneSlots.begin(), memory.sceneSlots.end());
    }
    return out;
}

void storePayload(DeviceMemory& memory, const std::uint8_t* data, std::size_t size) {
    const Layout layout = layoutOf(memory.type);
    if (layout == Layout::Thermostat) {
        takeSlots(memory, data, size, 0);
        return;
    }
    takeSix(memory.inputs, data, size, 0);
    takeSix(memory.outputs, data, size, 6);
    takeSix(memory.indicators, data, size, 12);
    if (layout == Layout::Panel) {
        for (std::size_t r = 0; r < 6; ++r) takeSix(memory.masks[r], data, size, kIoBytes + 6 * r);
    } else {
        takeSlots(memory, data, size, kIoBytes);
    }
}

DeviceMemory variantOf(const DeviceMemory& memory) {
    DeviceMemory other = memory;
    std::rotate(other.inputs.begin(), other.inputs.begin() + 5, other.inputs.end());
    std::rotate(other.outputs.begin(), other.outputs.begin() + 5, other.outputs.end());
    std::rotate(other.masks.begin(), other.masks.begin() + 5, other.masks.end());
    const bool thermostat = layoutOf(memory.type) == Layout::Thermostat;
    for (std::size_t at = 0; at + kSlotBytes <= other.sceneSlots.size(); at += kSlotBytes) {
        std::uint8_t* slot = other.sceneSlots.data() + at;
        if (thermostat) {
            slot[3] = slot[3] >= 16 && slot[3] < 30 ? slot[3] + 1 : 20;
        } else {
            std::rotate(slot + 1, slot + 6, slot + 7);
        }
    }
    return other;
}

void clearMemory(DeviceMemory& memory) {
    DeviceMemory empty;
    empty.type = memory.type;
    memory = empty;
}

bool isConfigurationBlock(int block) {
    return block == 1 || block == 5 || (block >= 11 && block <= 14);
}

std::array<std::uint8_t, kBlockBytes> blockData(const DeviceMemory& memory, int block) {
    std::array<std::uint8_t, kBlockBytes> data{};
    const Six* six = nullptr;
    if (block == 1) six = &memory.inputs;
    if (block == 5) six = &memory.indicators;
    if (block >= 11 && block <= 14) six = &memory.masks[block - 11];
    if (six != nullptr) std::copy(six->begin(), six->end(), data.begin());
    if (block == 1) std::copy(memory.outputs.begin(), memory.outputs.begin() + 4, data.begin() + 6);
    return data;
}

void storeBlock(DeviceMemory& memory, int block, const std::uint8_t* data) {
    if (block == 1) {
        std::copy(data, data + 6, memory.inputs.begin());
        std::copy(data + 6, data + 10, memory.outputs.begin());
    } else if (block == 5) {
        std::copy(data, data + 6, memory.indicators.begin());
    } else if (block >= 11 && block <= 14) {
        std::copy(data, data + 6, memory.masks[block - 11].begin());
    }
}

namespace {

std::uint8_t lowByte(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

// A thermostat's scene slot on the wire: code, power, mode, temperature, fan, 0, 0.
void appendThermostatSlot(Bytes& out, const model::ModeSlot& slot) {
    const int power = slot.outputState[0];
    const int mode = slot.outputState[1];
    const int temperature = slot.outputState[2];
    const int fan = slot.outputState[3];
    out.push_back(lowByte(slot.modeCode));
    out.push_back(power == 0 ? 2 : power == 10 ? 1 : 0);
    out.push_back(mode == 8 ? 1 : mode == 9 ? 2 : mode == 10 ? 3 : 0);
    out.push_back(temperature == model::kNotInvolved ? 15 : lowByte(temperature + 16));
    out.push_back(fan >= 7 && fan <= 10 ? lowByte(fan - 6) : 0);
    out.push_back(0);
    out.push_back(0);
}

std::uint8_t thermostatIndex(const model::DeviceRecord& record) {
    const int unit = model::airConditionerUnit(record.outputs[0]);
    return unit < 0 ? 0 : static_cast<std::uint8_t>(unit);
}

std::uint8_t ordinalOfType(const model::RoomTypeConfig& room, int device) {
    int count = 0;
    for (int v = 1; v <= device; ++v) {
        if (room.devices[v].type == room.devices[device].type) ++count;
    }
    return static_cast<std::uint8_t>(count);
}

Six sixOf(const std::array<int, model::kChannels>& values) {
    Six six{};
    for (int i = 0; i < 6; ++i) six[i] = lowByte(values[i]);
    return six;
}

// Blocks 1, 5 and 11..14: inputs, outputs 1..4, the indicator bytes, mask rows 1..4.
DeviceMemory memoryFromBlocks(const model::RoomTypeConfig& room, int device) {
    const model::DeviceRecord& record = room.devices[device];
    DeviceMemory memory;
    memory.type = record.type;
    memory.inputs = sixOf(record.inputs);
    for (int i = 0; i < 4; ++i) memory.outputs[i] = lowByte(record.outputs[i]);
    memory.indicators = room.modeFlagBits;
    for (int r = 0; r < 4; ++r) memory.masks[r] = room.outputMasks[device][r];
    return memory;
}

}  // namespace

DeviceMemory memoryFromRoom(const model::RoomTypeConfig& room, int device) {
    if (room.systemType < 1 || room.systemType > 4) return memoryFromBlocks(room, device);
    const model::DeviceRecord& record = room.devices[device];
    DeviceMemory memory;
    memory.type = record.type;
    const Layout layout = layoutOf(record.type);
    if (layout == Layout::Thermostat) {
        memory.subByte = thermostatIndex(record);
        for (const model::ModeSlot& slot : record.modes) {
            if (slot.isUsed()) appendThermostatSlot(memory.sceneSlots, slot);
        }
        memory.parameter = room.functionOptionsA;
        return memory;
    }
    memory.parameter = room.functionOptionsA;
    memory.inputs = sixOf(record.inputs);
    memory.outputs = sixOf(record.outputs);
    memory.indicators = room.modeFlagBits;
    if (layout == Layout::Panel) {
        memory.masks = room.outputMasks[device];
        return memory;
    }
    memory.subByte = ordinalOfType(room, device);
    for (const model::ModeSlot& slot : record.modes) {
        if (!slot.isUsed()) continue;
        for (int i = 0; i < kSlotBytes; ++i) memory.sceneSlots.push_back(lowByte(slot.value(i)));
    }
    return memory;
}

bool roomHoldsDevice(const model::RoomTypeConfig& room, int device) {
    if (device < 1 || device > kBusDeviceLimit || device > room.deviceCount) return false;
    return room.devices[device].inUse != 0;
}

bool roomConfiguresDevice(const model::RoomTypeConfig& room, int device) {
    if (device < 1 || device > kBusDeviceLimit || device > room.deviceCount) return false;
    return room.devices[device].inUse != 0 && room.devices[device].type != 0;
}

}  // namespace room::simulator
