#pragma once
// Frames the program sends to the devices on the room bus: the long configuration frames
// (0xF1 0xF4 ... 0xF3 0xF4) and the 17-byte short frames (0xF0 ... checksum 0x0F).

#include <chrono>
#include <array>
#include <cstdint>
#include <vector>

#include "core/model/room_type.h"

namespace room::protocol {

using Bytes = std::vector<std::uint8_t>;
using Command = std::array<std::uint8_t, 14>;  // bytes 1..14 of a short frame

// Operation byte of a configuration frame. Pages add kAnyKeyFlag for "按任意键执行".
enum Operation : std::uint8_t {
    kOpSendPage = 1,
    kOpRead = 2,
    kOpVerify = 3,
    kOpClear = 4,
    kOpSendAll = 5,
    kOpNumberOnly = 6,
};
constexpr std::uint8_t kAnyKeyFlag = 0x80;
constexpr int kShortFrameSize = 17;
constexpr int kShortFramePauseMs = 50;  // between the blocks of a short configuration
constexpr int kLongHeaderSize = 11;     // bytes 0..10 of a payload frame
constexpr int kCommandFrameSize = 9;    // long frame without payload

// Long frame markers.
constexpr std::uint8_t kLongStart0 = 0xF1;
constexpr std::uint8_t kLongStart1 = 0xF4;
constexpr std::uint8_t kAnswerStart0 = 0xF2;
constexpr std::uint8_t kAnswerStart1 = 0xF3;
constexpr std::uint8_t kLongEnd0 = 0xF3;
constexpr std::uint8_t kLongEnd1 = 0xF4;
// Short frame markers.
constexpr std::uint8_t kShortStart = 0xF0;
constexpr std::uint8_t kShortEnd = 0x0F;
constexpr std::uint8_t kShortConfigCommand = 0xEC;
constexpr std::uint8_t kShortConfigAnswer = 0xED;

// Short configuration blocks, in the order a send transmits them.
constexpr std::array<std::uint8_t, 6> kConfigBlocks{1, 5, 11, 12, 13, 14};

// Low 8 bits of the sum of the bytes.
std::uint8_t checksum(const std::uint8_t* data, std::size_t size);

// True for operations 1 and 5, with or without the 0x80 flag: those carry the configuration.
bool isSendOperation(std::uint8_t operation);

// 0xF0, the command bytes, checksum, 0x0F.
Bytes shortFrame(const Command& command);

// Long frame of device `device` with operation `operation`; a payload frame for operations 1 and 5
// (also with the 0x80 flag), a 9-byte frame otherwise. Empty for a device outside 1..36.
Bytes longFrame(const model::RoomTypeConfig& room, int device, std::uint8_t operation);

// Thermostat index 0..3 from an air-conditioner lamp number (60.., 100.., 160.., 164..); 0
// otherwise.
int thermostatIndex(int outputLamp);

// Sub-byte (byte 10): thermostat index, ordinal among devices of type 5 or 6, else 0.
std::uint8_t subByte(const model::RoomTypeConfig& room, int device);

// Payload (bytes 11..) by the device's type, and the two layouts it is made of: the used scene
// slots of a thermostat (seven bytes each), and the channels, indicator bytes and output masks
// of a key device.
Bytes thermostatPayload(const model::DeviceRecord& device);
Bytes panelPayload(const model::RoomTypeConfig& room, int device);
// F1 F4, type, device, operation, length, parameter, 0 0 0, sub-byte, payload, checksum, F3 F4.
Bytes assembleLongFrame(std::uint8_t type, std::uint8_t device, std::uint8_t operation,
                        std::uint8_t parameter, std::uint8_t subByte, const Bytes& payload);

// Payload (bytes 11..) by the device's type.
Bytes payload(const model::RoomTypeConfig& room, int device);

// One short configuration block of a device (block 1, 5 or 11..14); `withData` false leaves
// bytes 5..14 zero.
Bytes shortConfigurationFrame(const model::RoomTypeConfig& room, int device, std::uint8_t operation,
                              std::uint8_t block, bool withData);

// Short configuration frames (system types outside 1..4): blocks 1, 5, 11..14 for a send
// (operation 1 or 5, with or without the flag), block 1 without data otherwise.
std::vector<Bytes> shortConfigurationFrames(const model::RoomTypeConfig& room, int device,
                                            std::uint8_t operation);

// True when the room type's configuration travels in long frames (system types 1..4).
bool usesLongFrames(const model::RoomTypeConfig& room);

// How long `bytes` take on the line at 9600 baud, 8N1 (ten bits a byte): nothing can answer a
// frame before it has left.
constexpr std::chrono::microseconds lineTime(std::size_t bytes) {
    return std::chrono::microseconds(static_cast<std::int64_t>(bytes) * 10'000'000 / 9600);
}

// What device `device` is sent for `operation`: one long frame for system types 1..4, else the
// short frames (send pauses kShortFramePauseMs between them).
std::vector<Bytes> deviceFrames(const model::RoomTypeConfig& room, int device,
                                std::uint8_t operation);

// The 9-byte long frame without payload, for any type/device/operation.
Bytes commandFrame(std::uint8_t type, std::uint8_t device, std::uint8_t operation);

// Network-wide and fixed frames.
Bytes clearAllFrame();         // F1 F4 00 00 04 09 F2 F3 F4
Bytes leaveNetworkFrame();     // short: CB CC CD
Bytes checkDevicesFrame();     // short: C8 C9 CA
Bytes exitSendModeFrame();     // short: BB 00 02 00 00 00 00 00 00 01 01
Bytes portEditorCloseFrame();  // short: BB 00 ... (checksum AB)

// The main window's mirror of a demonstrated key press (0xDD).
Bytes mirrorFrame(int lamp, int result);

// True when a 17-byte frame is one the main window accepts as an answer: 0xF0 first, 0x0F last,
// byte 15 the checksum or 0x88.
bool isAcceptedMirrorAnswer(const Bytes& frame);

}  // namespace room::protocol
