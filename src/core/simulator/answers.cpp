#include "core/simulator/answers.h"

#include <algorithm>

namespace room::simulator {

namespace {

// Closes a long answer: length byte, checksum, F3 F4.
Answer finishLong(Bytes bytes) {
    const std::size_t length = bytes.size() + 3;
    bytes[5] = static_cast<std::uint8_t>(length);
    Answer answer;
    answer.checksumAt = static_cast<int>(bytes.size());
    bytes.push_back(sum8(bytes.data(), bytes.size()));
    bytes.push_back(kLongEnd0);
    bytes.push_back(kLongEnd1);
    answer.bytes = std::move(bytes);
    answer.numberAt = 3;
    return answer;
}

}  // namespace

Answer longAnswer(const DeviceMemory& memory, std::uint8_t device, std::uint8_t op) {
    Bytes bytes = {kAnswerStart0,
                   kAnswerStart1,
                   memory.type,
                   device,
                   op,
                   0,
                   memory.parameter,
                   memory.reserved[0],
                   memory.reserved[1],
                   memory.reserved[2],
                   memory.subByte};
    const Bytes payload = payloadOf(memory);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    Answer answer = finishLong(std::move(bytes));
    // Without a payload (a thermostat with no scene slots) the sub-byte is the data.
    answer.dataAt = payload.empty() ? 10 : kLongHeader;
    return answer;
}

Answer longAcknowledge(const DeviceMemory& memory, std::uint8_t device, std::uint8_t op) {
    return finishLong({kAnswerStart0, kAnswerStart1, memory.type, device, op, 0});
}

Answer shortAnswer(const DeviceMemory& memory, std::uint8_t device, std::uint8_t op, int block) {
    Bytes bytes = {kShortStart, kShortAnswer, device, op, static_cast<std::uint8_t>(block)};
    const auto data = blockData(memory, block);
    bytes.insert(bytes.end(), data.begin(), data.end());
    Answer answer;
    answer.checksumAt = 15;
    bytes.push_back(sum8(bytes.data(), bytes.size()));
    bytes.push_back(kShortEnd);
    answer.bytes = std::move(bytes);
    answer.numberAt = 2;
    answer.dataAt = 5;
    return answer;
}

Answer chatter(std::uint8_t device) {
    Bytes bytes(kShortSize, 0);
    bytes[0] = kShortStart;
    bytes[1] = kChatter;
    bytes[2] = device;
    bytes[15] = sum8(bytes.data(), 15);
    bytes[16] = kShortEnd;
    Answer answer;
    answer.bytes = std::move(bytes);
    answer.numberAt = 2;
    answer.checksumAt = 15;
    return answer;
}

Answer echo(const Bytes& frame) {
    Answer answer;
    answer.bytes = frame;
    answer.checksumAt = 15;
    answer.dataAt = 3;
    return answer;
}

Bytes applyFaults(const Answer& answer, const Faults& faults) {
    Bytes bytes = answer.bytes;
    const auto at = [&](int i) { return i >= 0 && static_cast<std::size_t>(i) < bytes.size(); };
    if (faults.wrongNumber != 0 && at(answer.numberAt)) {
        bytes[answer.numberAt] = static_cast<std::uint8_t>(faults.wrongNumber);
    }
    if (faults.corrupt && at(answer.dataAt)) bytes[answer.dataAt] ^= 0x01;
    if (at(answer.checksumAt)) {
        std::uint8_t sum = sum8(bytes.data(), answer.checksumAt);
        if (faults.badChecksum) ++sum;
        bytes[answer.checksumAt] = sum;
    }
    // A glitch adds a 0x00: the 8-bit sum stays right, only the length gives it away.
    if (faults.zeroAt >= 0 && static_cast<std::size_t>(faults.zeroAt) <= bytes.size()) {
        bytes.insert(bytes.begin() + faults.zeroAt, std::uint8_t{0});
    }
    if (faults.garbage) bytes.insert(bytes.begin(), kGarbage.begin(), kGarbage.end());
    return bytes;
}

Bytes collide(const Bytes& first, const Bytes& twin, int offset, bool interleave) {
    const std::size_t start =
        offset < 0 ? first.size() / 2 : std::min(first.size(), static_cast<std::size_t>(offset));
    Bytes heard(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(start));
    std::size_t a = start;
    std::size_t b = 0;
    while (a < first.size() || b < twin.size()) {
        if (interleave) {
            if (a < first.size()) heard.push_back(first[a++]);
            if (b < twin.size()) heard.push_back(twin[b++]);
            continue;
        }
        std::uint8_t both = 0;
        if (a < first.size()) both |= first[a++];
        if (b < twin.size()) both |= twin[b++];
        heard.push_back(both);
    }
    return heard;
}

}  // namespace room::simulator
