#pragma once
// What one emulated device holds: the configuration it was last sent, in the layout of its type.
// The same memory serves both framings: the long frames carry it whole, the short configuration
// blocks carry pieces of it (block 1 inputs and outputs 1..4, block 5 the indicator bytes,
// blocks 11..14 the first four mask rows).

#include <array>
#include <cstdint>

#include "core/model/room_type.h"
#include "core/simulator/wire.h"

namespace room::simulator {

// How a device type lays out its payload (bytes 11 on of a long frame).
enum class Layout {
    Panel,       // inputs, outputs, indicator bytes, six mask rows (types 1, 3, 4 and unknown)
    Thermostat,  // scene slots only, seven bytes each (type 2)
    SlotPanel,   // inputs, outputs, indicator bytes, then scene slots (types 5, 6)
};
Layout layoutOf(std::uint8_t type);

constexpr int kIoBytes = 18;    // inputs, outputs, indicator bytes
constexpr int kMaskBytes = 36;  // six rows of six
constexpr int kSlotBytes = 7;
constexpr int kMaxSlotBytes = model::kModeSlots * kSlotBytes;
constexpr int kBlockBytes = 10;  // bytes 5..14 of a short configuration frame

using Six = std::array<std::uint8_t, 6>;

struct DeviceMemory {
    std::uint8_t type = 1;  // the device's kind; kept by a clear
    std::uint8_t parameter = 0;
    std::array<std::uint8_t, 3> reserved{};  // bytes 7..9, kept as sent
    std::uint8_t subByte = 0;
    Six inputs{};
    Six outputs{};
    Six indicators{};
    std::array<Six, 6> masks{};
    Bytes sceneSlots;  // thermostats and types 5, 6: seven bytes per used scene slot

    bool operator==(const DeviceMemory&) const = default;
};

// Payload bytes in the layout of the memory's type, as an answer carries them.
Bytes payloadOf(const DeviceMemory& memory);

// Takes a received payload in the layout of memory.type. A short payload leaves the missing
// fields zero; bytes beyond the layout are not kept.
void storePayload(DeviceMemory& memory, const std::uint8_t* data, std::size_t size);

// Other data of the same kind, as a second device set to the same number might hold: keys and
// outputs one place on (the mask rows and slot states go with their outputs), thermostat slots a
// degree warmer. Still a configuration a console could have sent.
DeviceMemory variantOf(const DeviceMemory& memory);

// Forgets the configuration; the device stays the kind it is.
void clearMemory(DeviceMemory& memory);

// Short configuration blocks: 1, 5, 11, 12, 13, 14.
bool isConfigurationBlock(int block);
std::array<std::uint8_t, kBlockBytes> blockData(const DeviceMemory& memory, int block);
void storeBlock(DeviceMemory& memory, int block, const std::uint8_t* data);

// What device `device` (1..32) holds after the console has sent it its part of `room`: its type,
// the panel parameter byte, sub-byte and payload; for a room of short frames (system type outside
// 1..4) only what the six blocks carry. Encoded here, not taken from the console's code.
DeviceMemory memoryFromRoom(const model::RoomTypeConfig& room, int device);

// True when `room` gives device `device` a configuration that a send would deliver.
bool roomConfiguresDevice(const model::RoomTypeConfig& room, int device);
// True when device `device` belongs to `room` (its record is in use, within deviceCount): the
// hardware a bus for that room has.
bool roomHoldsDevice(const model::RoomTypeConfig& room, int device);

}  // namespace room::simulator
