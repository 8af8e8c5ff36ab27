#pragma once
// The bus wire format as a device sees it. The emulated devices keep their own parser and frame
// builder on purpose: they are the console's test partner and must not share its code.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace room::simulator {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Duration = Clock::duration;

// Console to device.
constexpr std::uint8_t kLongStart0 = 0xF1;
constexpr std::uint8_t kLongStart1 = 0xF4;
constexpr std::uint8_t kShortStart = 0xF0;
constexpr std::uint8_t kShortEnd = 0x0F;
constexpr std::uint8_t kShortConfiguration = 0xEC;
// Device to console.
constexpr std::uint8_t kAnswerStart0 = 0xF2;
constexpr std::uint8_t kAnswerStart1 = 0xF3;
constexpr std::uint8_t kShortAnswer = 0xED;
constexpr std::uint8_t kChatter = 0xEE;  // a chatty device's unasked status frame
// Both directions: a long frame ends with F3 F4.
constexpr std::uint8_t kLongEnd0 = 0xF3;
constexpr std::uint8_t kLongEnd1 = 0xF4;

constexpr int kShortSize = 17;
constexpr int kLongHeader = 11;      // bytes 0..10 of a payload frame
constexpr int kLongCommandSize = 9;  // a frame without payload
constexpr int kLongMaxSize = 255;    // the length byte bounds it
constexpr int kBusDeviceLimit = 32;

constexpr std::uint8_t kAnyKey = 0x80;  // "apply at the next key press" flag on the operation

enum Op : std::uint8_t {
    kSendPage = 1,
    kRead = 2,
    kVerify = 3,
    kClear = 4,
    kSendAll = 5,
    kNumberOnly = 6,
};

// Low 8 bits of the sum of `size` bytes.
std::uint8_t sum8(const std::uint8_t* data, std::size_t size);

// One byte on the line at 9600 baud 8N1: start bit, eight data bits, stop bit.
constexpr std::chrono::nanoseconds byteTimeAt(int baud) {
    return std::chrono::nanoseconds(10'000'000'000LL / baud);
}
// Time for `count` bytes back to back, without the rounding drift of count * byteTimeAt().
constexpr std::chrono::nanoseconds wireTime(int baud, std::int64_t count) {
    return std::chrono::nanoseconds(count * 10'000'000'000LL / baud);
}

}  // namespace room::simulator
