#pragma once
// Frames and answers written out by hand for the protocol tests: the bytes as the tables lay
// them out, with the checksum summed here rather than taken from the code under test.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/protocol/receiver.h"

namespace room::testing {

using protocol::Answer;
using protocol::Bytes;
using Ints = std::vector<int>;

inline Bytes hex(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline void closeWithChecksum(Bytes& b) {
    unsigned sum = 0;
    for (std::uint8_t x : b) sum += x;
    b.push_back(static_cast<std::uint8_t>(sum));
}

// A 17-byte short frame from its bytes 1..14.
inline Bytes shortOf(std::initializer_list<int> command) {
    Bytes out{0xF0};
    for (int v : command) out.push_back(static_cast<std::uint8_t>(v));
    out.resize(15, 0);
    closeWithChecksum(out);
    out.push_back(0x0F);
    return out;
}

// Sums a long answer again after a test changed its bytes, so only the change is a difference.
inline Answer& resummed(Answer& answer) {
    Bytes& b = answer.bytes;
    unsigned sum = 0;
    for (std::size_t i = 0; i + 3 < b.size(); ++i) sum += b[i];
    if (b.size() >= 4) b[b.size() - 3] = static_cast<std::uint8_t>(sum);
    return answer;
}

// Long answer: F2 F3 type device op L param 0 0 0 sub payload checksum F3 F4.
inline Answer longAnswer(int type, int device, int param, int sub, const Ints& payload,
                         int op = protocol::kOpVerify) {
    Bytes b{0xF2,
            0xF3,
            static_cast<std::uint8_t>(type),
            static_cast<std::uint8_t>(device),
            static_cast<std::uint8_t>(op),
            0,
            static_cast<std::uint8_t>(param),
            0,
            0,
            0,
            static_cast<std::uint8_t>(sub)};
    for (int v : payload) b.push_back(static_cast<std::uint8_t>(v));
    b[5] = static_cast<std::uint8_t>(b.size() + 3);
    closeWithChecksum(b);
    b.push_back(0xF3);
    b.push_back(0xF4);
    return {Answer::Kind::Long, b};
}

// Short answer: F0 ED device 0 block data... checksum 0F.
inline Answer shortAnswer(int device, int block, const Ints& data) {
    Bytes b{0xF0, 0xED, static_cast<std::uint8_t>(device), 0, static_cast<std::uint8_t>(block)};
    for (int v : data) b.push_back(static_cast<std::uint8_t>(v));
    b.resize(15, 0);
    closeWithChecksum(b);
    b.push_back(0x0F);
    return {Answer::Kind::Short, b};
}

inline Ints concat(std::initializer_list<Ints> parts) {
    Ints out;
    for (const Ints& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace room::testing
