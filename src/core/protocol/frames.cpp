#include "core/protocol/frames.h"

#include <algorithm>

namespace room::protocol {

namespace {

using model::DeviceRecord;
using model::RoomTypeConfig;

bool validDevice(int device) {
    return device >= 1 && device <= model::kMaxDevices;
}

std::uint8_t low(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

void appendChannels(Bytes& out, const std::array<int, model::kChannels>& values) {
    for (int v : values) out.push_back(low(v));
}

// Thermostat slot values as the device expects them (the air-conditioner command numbers).
std::uint8_t thermostatPower(int v) {
    return v == 0 ? 2 : v == 10 ? 1 : 0;
}
std::uint8_t thermostatMode(int v) {
    return v == 8 ? 1 : v == 9 ? 2 : v == 10 ? 3 : 0;
}
std::uint8_t thermostatTemperature(int v) {
    return v == model::kNotInvolved ? 15 : low(v + 16);
}
std::uint8_t thermostatFan(int v) {
    return v >= 7 && v <= 10 ? low(v - 6) : 0;
}

Bytes dimmerPayload(const RoomTypeConfig& room, const DeviceRecord& device) {
    Bytes out;
    appendChannels(out, device.inputs);
    appendChannels(out, device.outputs);
    out.insert(out.end(), room.modeFlagBits.begin(), room.modeFlagBits.end());
    for (const model::ModeSlot& slot : device.modes) {
        if (!slot.isUsed()) continue;
        for (int i = 0; i < 7; ++i) out.push_back(low(slot.value(i)));
    }
    return out;
}

void finishLong(Bytes& frame) {
    frame[5] = low(static_cast<int>(frame.size()) + 3);
    frame.push_back(checksum(frame.data(), frame.size()));
    frame.push_back(kLongEnd0);
    frame.push_back(kLongEnd1);
}

Bytes shortFrameOf(std::initializer_list<std::uint8_t> leading) {
    Command command{};
    std::size_t i = 0;
    for (std::uint8_t b : leading) command[i++] = b;
    return shortFrame(command);
}

}  // namespace

std::uint8_t checksum(const std::uint8_t* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

bool isSendOperation(std::uint8_t operation) {
    const std::uint8_t plain = operation & static_cast<std::uint8_t>(~kAnyKeyFlag);
    return plain == kOpSendPage || plain == kOpSendAll;
}

Bytes shortFrame(const Command& command) {
    Bytes frame;
    frame.reserve(kShortFrameSize);
    frame.push_back(kShortStart);
    frame.insert(frame.end(), command.begin(), command.end());
    frame.push_back(checksum(frame.data(), frame.size()));
    frame.push_back(kShortEnd);
    return frame;
}

int thermostatIndex(int outputLamp) {
    const int unit = model::airConditionerUnit(outputLamp);
    return unit < 0 ? 0 : unit;
}

std::uint8_t subByte(const RoomTypeConfig& room, int device) {
    if (!validDevice(device)) return 0;
    const int type = room.devices[device].type;
    if (type == 2) return low(thermostatIndex(room.devices[device].outputs[0]));
    if (type != 5 && type != 6) return 0;
    int ordinal = 0;
    for (int v = 1; v <= device; ++v) {
        if (room.devices[v].type == type) ++ordinal;
    }
    return low(ordinal);
}

Bytes payload(const RoomTypeConfig& room, int device) {
    if (!validDevice(device)) return {};
    const DeviceRecord& record = room.devices[device];
    switch (record.type) {
        case 2:
            return thermostatPayload(record);
        case 5:
        case 6:
            return dimmerPayload(room, record);
        default:
            return panelPayload(room, device);
    }
}

Bytes thermostatPayload(const DeviceRecord& device) {
    Bytes out;
    for (const model::ModeSlot& slot : device.modes) {
        if (!slot.isUsed()) continue;
        out.push_back(low(slot.modeCode));
        out.push_back(thermostatPower(slot.value(1)));
        out.push_back(thermostatMode(slot.value(2)));
        out.push_back(thermostatTemperature(slot.value(3)));
        out.push_back(thermostatFan(slot.value(4)));
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

Bytes panelPayload(const RoomTypeConfig& room, int device) {
    const DeviceRecord& record = room.devices[device];
    Bytes out;
    appendChannels(out, record.inputs);
    appendChannels(out, record.outputs);
    out.insert(out.end(), room.modeFlagBits.begin(), room.modeFlagBits.end());
    for (const model::OutputMask& row : room.outputMasks[device]) {
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes assembleLongFrame(std::uint8_t type, std::uint8_t device, std::uint8_t operation,
                        std::uint8_t parameter, std::uint8_t subByte, const Bytes& payload) {
    constexpr std::size_t kHeader = 11;
    Bytes frame(kHeader + payload.size(), 0);
    frame[0] = kLongStart0;
    frame[1] = kLongStart1;
    frame[2] = type;
    frame[3] = device;
    frame[4] = operation;
    frame[6] = parameter;
    frame[10] = subByte;
    std::copy(payload.begin(), payload.end(), frame.begin() + kHeader);
    finishLong(frame);
    return frame;
}

Bytes longFrame(const RoomTypeConfig& room, int device, std::uint8_t operation) {
    if (!validDevice(device)) return {};
    const std::uint8_t type = room.devices[device].type;
    if (!isSendOperation(operation)) return commandFrame(type, low(device), operation);
    return assembleLongFrame(type, low(device), operation, room.functionOptionsA,
                             subByte(room, device), payload(room, device));
}

Bytes shortConfigurationFrame(const RoomTypeConfig& room, int device, std::uint8_t operation,
                              std::uint8_t block, bool withData) {
    if (!validDevice(device)) return {};
    Command command{};
    command[0] = kShortConfigCommand;
    command[1] = low(device);
    command[2] = operation;
    command[3] = block;
    // Command index i is frame byte i + 1, so block data (frame bytes 5..14) starts at index 4.
    auto put = [&command](int at, std::uint8_t value) { command[at - 1] = value; };
    if (withData) {
        const DeviceRecord& record = room.devices[device];
        if (block == 1) {
            for (int k = 0; k < 6; ++k) put(5 + k, low(record.inputs[k]));
            for (int k = 0; k < 4; ++k) put(11 + k, low(record.outputs[k]));
        } else if (block == 5) {
            for (int k = 0; k < 6; ++k) put(5 + k, room.modeFlagBits[k]);
        } else if (block >= 11 && block <= 14) {
            const model::OutputMask& row = room.outputMasks[device][block - 11];
            for (int k = 0; k < 6; ++k) put(5 + k, row[k]);
        }
    }
    return shortFrame(command);
}

std::vector<Bytes> shortConfigurationFrames(const RoomTypeConfig& room, int device,
                                            std::uint8_t operation) {
    if (!validDevice(device)) return {};
    std::vector<Bytes> frames;
    if (isSendOperation(operation)) {
        for (std::uint8_t block : kConfigBlocks) {
            frames.push_back(shortConfigurationFrame(room, device, operation, block, true));
        }
    } else {
        frames.push_back(shortConfigurationFrame(room, device, operation, 1, false));
    }
    return frames;
}

bool usesLongFrames(const RoomTypeConfig& room) {
    return room.systemType >= 1 && room.systemType <= 4;
}

std::vector<Bytes> deviceFrames(const RoomTypeConfig& room, int device, std::uint8_t operation) {
    if (!validDevice(device)) return {};
    if (usesLongFrames(room)) return {longFrame(room, device, operation)};
    return shortConfigurationFrames(room, device, operation);
}

Bytes commandFrame(std::uint8_t type, std::uint8_t device, std::uint8_t operation) {
    Bytes frame{kLongStart0, kLongStart1, type, device, operation, 0};
    finishLong(frame);
    return frame;
}

Bytes clearAllFrame() {
    return commandFrame(0, 0, kOpClear);
}

Bytes leaveNetworkFrame() {
    return shortFrameOf({0xCB, 0xCC, 0xCD});
}

Bytes checkDevicesFrame() {
    return shortFrameOf({0xC8, 0xC9, 0xCA});
}

Bytes exitSendModeFrame() {
    return shortFrameOf({0xBB, 0, 2, 0, 0, 0, 0, 0, 0, 1, 1});
}

Bytes portEditorCloseFrame() {
    return shortFrameOf({0xBB, 0x00});
}

Bytes mirrorFrame(int lamp, int result) {
    return shortFrameOf({0xDD, low(lamp), low(result), 1, 1, 0, 0, 0, 0, 1, 1});
}

bool isAcceptedMirrorAnswer(const Bytes& frame) {
    if (frame.size() != kShortFrameSize) return false;
    if (frame[0] != kShortStart || frame[16] != kShortEnd) return false;
    return frame[15] == checksum(frame.data(), 15) || frame[15] == 0x88;
}

}  // namespace room::protocol
