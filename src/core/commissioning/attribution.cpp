#include "core/commissioning/attribution.h"

#include "core/protocol/checks.h"

namespace room::commissioning {

std::optional<Heard> Attribution::push(std::uint8_t byte, TimePoint now) {
    if (m_receiver.idle()) m_frameBegan = now;
    std::optional<protocol::Answer> answer = m_receiver.push(byte);
    // A byte that did not start a frame leaves the receiver idle; the next one may.
    if (!answer) return std::nullopt;
    return Heard{std::move(*answer), m_frameBegan};
}

void Attribution::dropPartial() {
    m_receiver.clear();
}

void Attribution::startRun() {
    m_asked.fill(false);
    m_doubt.fill(false);
    closeWindow();
}

void Attribution::await(int device) {
    m_awaited = device;
    m_done = false;
    m_requestOut = false;
    m_blocks.reset();
    if (isBusNumber(device)) m_asked[device] = true;
}

void Attribution::requestSent(int device, TimePoint now) {
    if (device != m_awaited || m_requestOut) return;
    m_requestOut = true;
    m_requestAt = now;
    m_receiver.clear();
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
