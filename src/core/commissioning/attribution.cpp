#include "core/commissioning/attribution.h"

#include "core/protocol/checks.h"

namespace room::commissioning {

std::vector<Heard> Attribution::push(std::uint8_t byte, TimePoint now) {
    std::vector<Heard> out;
    for (const protocol::EchoFilter::Byte& b : m_echo.push(byte, now).pass) {
        heard(b.value, b.at, out);
    }
    return out;
}

void Attribution::heard(std::uint8_t byte, TimePoint now, std::vector<Heard>& out) {
    if (m_receiver.idle()) m_frameBegan = now;
    m_lastByte = now;
    const std::uint64_t broken = m_receiver.brokenFrames();
    std::optional<protocol::Answer> answer = m_receiver.push(byte);
    if (m_receiver.brokenFrames() != broken && m_turnOut) m_garbled = m_turn;
    // A byte that did not start a frame leaves the receiver idle; the next one may.
    if (answer) out.push_back(Heard{std::move(*answer), m_frameBegan});
}

void Attribution::dropPartial() {
    m_receiver.clear();
    m_echo.clear();
}

void Attribution::startRun() {
    m_asked.fill(false);
    m_doubt.fill(false);
    m_turn = 0;
    m_turnOut = false;
    m_garbled = 0;
    closeWindow();
}

void Attribution::startRetry(const DeviceFlags& again) {
    for (int n = 1; n <= kLastBusDevice; ++n) {
        if (again[n]) m_doubt[n] = false;
    }
    m_turn = 0;
    m_turnOut = false;
    m_garbled = 0;
    closeWindow();
}

void Attribution::await(int device) {
    m_awaited = device;
    m_done = false;
    m_requestOut = false;
    m_blocks.reset();
    m_turn = device;
    m_turnOut = false;
    if (isBusNumber(device)) m_asked[device] = true;
}

void Attribution::sent(int device, const protocol::Bytes& frame, TimePoint now) {
    m_echo.wrote(frame, now);
    if (device != m_awaited || m_requestOut) return;
    m_requestOut = true;
    m_turnOut = true;
    m_requestAt = now + protocol::lineTime(frame.size());
    if (now - m_lastByte >= kQuietLine) m_receiver.clear();
}

void Attribution::closeWindow() {
    m_awaited = 0;
    m_done = false;
    m_requestOut = false;
    m_blocks.reset();
}

AnswerFate Attribution::judge(const Heard& heard, int number, bool framing) const {
    if (!framing) return AnswerFate::Ignored;
    const int waiting = awaited();
    if (waiting != 0 && number == waiting && m_requestOut && heard.began >= m_requestAt) {
        return AnswerFate::Taken;
    }
    return asked(number) ? AnswerFate::Late : AnswerFate::Foreign;
}

int Attribution::vouched(const DeviceFlags& answered) const {
    int count = 0;
    for (int d = 1; d <= kLastBusDevice; ++d) count += answered[d] && !m_doubt[d];
    return count;
}

bool Attribution::doubt(int number) {
    if (!isBusNumber(number) || m_doubt[number]) return false;
    m_doubt[number] = true;
    return true;
}

BlockFate Attribution::addBlock(const protocol::Answer& answer) {
    const int block = answer.bytes.size() > 4 ? answer.bytes[4] : -1;
    const int bit = protocol::shortBlockBit(block);
    if (bit < 0) return BlockFate::NotABlock;
    const auto at = static_cast<std::size_t>(bit);
    if (m_blocks.test(at)) return BlockFate::Repeat;
    m_blocks.set(at);
    m_blockAnswers[at] = answer;
    return BlockFate::New;
}

std::vector<protocol::Answer> Attribution::takeBlocks() {
    std::vector<protocol::Answer> blocks;
    for (std::size_t at = 0; at < m_blocks.size(); ++at) {
        if (m_blocks.test(at)) blocks.push_back(std::move(m_blockAnswers[at]));
    }
    m_blocks.reset();
    return blocks;
}

}  // namespace room::commissioning
