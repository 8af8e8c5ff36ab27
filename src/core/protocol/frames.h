#pragma once
// Frames the program sends to the devices on the room bus: the long configuration frames
// (0xF1 0xF4 ... 0xF3 0xF4) and the 17-byte short frames (0xF0 ... checksum 0x0F).

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

// Low 8 bits of the sum of the bytes.
std::uint8_t checksum(const std::uint8_t* data, std::size_t size);

// 0xF0, the command bytes, checksum, 0x0F.
Bytes shortFrame(const Command& command);

// Long frame of device `device` with operation `operation`; a payload frame for operations 1 and 5
// (also with the 0x80 flag), a 9-byte frame otherwise.
Bytes longFrame(const model::RoomTypeConfig& room, int device, std::uint8_t operation);

// Sub-byte (byte 10): thermostat index, ordinal among devices of type 5 or 6, else 0.
std::uint8_t subByte(const model::RoomTypeConfig& room, int device);

// Payload (bytes 11..) by the device's type.
Bytes payload(const model::RoomTypeConfig& room, int device);

// Short configuration frames (system types outside 1..4): blocks 1, 5, 11..14 for a send
// (operation 1 or 5, with or without the flag), block 1 without data otherwise.
std::vector<Bytes> shortConfigurationFrames(const model::RoomTypeConfig& room, int device,
                                            std::uint8_t operation);

// What device `device` is sent for `operation`: one long frame for system types 1..4, else the
// short frames (send pauses kShortFramePauseMs between them).
std::vector<Bytes> deviceFrames(const model::RoomTypeConfig& room, int device,
                                std::uint8_t operation);

// The 9-byte long frame without payload, for any type/device/operation.
Bytes commandFrame(std::uint8_t type, std::uint8_t device, std::uint8_t operation);

// Network-wide and fixed frames.
Bytes clearAllFrame();        // F1 F4 00 00 04 09 F2 F3 F4
Bytes leaveNetworkFrame();    // short: CB CC CD
Bytes checkDevicesFrame();    // short: C8 C9 CA
Bytes exitSendModeFrame();    // short: BB 00 02 00 00 00 00 00 00 01 01
Bytes portEditorCloseFrame(); // short: BB 00 ...

// The main window's mirror of a demonstrated key press (0xDD).
Bytes mirrorFrame(int lamp, int result);

// True when a 17-byte frame is one the main window accepts as an answer.
bool isAcceptedMirrorAnswer(const Bytes& frame);

}  // namespace room::protocol
