#pragma once
// Who an answer on the bus belongs to.
//
// The run engine asks this unit before it does anything with an answer. Rules:
//  - The receiver starts afresh when the request of the device being served goes out, unless
//    bytes are still coming (a second talker of the device before): whatever was half received
//    belongs to the line's past, never to that device.
//  - An answer is the awaited device's only when it carries its number, began after its request
//    went out and came before the device's period ended. Everything else is late (its number was
//    asked before, or the period is over) or foreign (a number nobody asked).
//  - A configuration answer that comes out of turn, whole or broken, puts its number in doubt for
//    the rest of the run: two talkers claim it, and the bus alone cannot tell which was whose.
//  - Short-frame devices answer in six blocks; an answer is whole only when each came once.
//  - Garbled bytes in a device's turn (a frame the receiver began and threw away: a glitch, or
//    two devices set to one number talking at once) put that number in doubt as well. The turn
//    lasts from its request until the next device's request, through the grace.
//  - What an echoing adapter hands back of the program's own frames is dropped before anything
//    else sees it (protocol/echo_filter.h).

#include <array>
#include <bitset>
#include <optional>
#include <utility>
#include <vector>

#include "core/commissioning/effects.h"
#include "core/commissioning/run_rules.h"
#include "core/protocol/echo_filter.h"
#include "core/protocol/receiver.h"

namespace room::commissioning {

// An answer as reassembled, with the time its first byte arrived.
struct Heard {
    protocol::Answer answer;
    TimePoint began{};
};

// What one short block did to the awaited device's answer.
enum class BlockFate : std::uint8_t { New, Repeat, NotABlock };

class Attribution {
public:
    // A frame half received when a request goes out is left to finish only while its bytes are
    // still coming: a line quiet this long has given up on it (a slow device sends its bytes
    // tens of milliseconds apart; a cut answer was cut at least a period before).
    static constexpr Milliseconds kQuietLine{60};

    // Bytes of the bus, one at a time; answers come out with the time they began. (Bytes held
    // as a possible echo come out late, so one byte may let more than one answer out.)
    std::vector<Heard> push(std::uint8_t byte, TimePoint now);
    // A port opened or closed: nothing half received survives it, nothing is expected back.
    void dropPartial();
    // The number whose turn got garbled bytes since the last call, or 0.
    int takeGarbled() { return std::exchange(m_garbled, 0); }

    // A run starts: no number is in doubt, nobody was asked yet.
    void startRun();
    // A run serves `again` once more: their doubts are tried again, the others' stand.
    void startRetry(const DeviceFlags& again);
    // `device` is being served; its answer counts once its request has gone out.
    void await(int device);
    // A frame for `device` (0: the whole bus) was handed to the port at `now`. The first frame
    // of the awaited device's request is out once it has left the line.
    void sent(int device, const protocol::Bytes& frame, TimePoint now);
    // The awaited device's answer is whole, or its period is over: what comes now is late.
    void markComplete() { m_done = true; }
    void closeWindow();

    int awaited() const { return m_done ? 0 : m_awaited; }
    // A frame has begun on the line since the awaited device's request went out.
    bool answerBegun() const {
        return m_requestOut && !m_receiver.idle() && m_frameBegan >= m_requestAt;
    }
    bool isComplete() const { return m_done; }
    bool asked(int device) const { return isBusNumber(device) && m_asked[device]; }

    // `number` is what the answer carries; `framing` whether it is a configuration answer in the
    // room's framing (status frames and the other framing are let be).
    AnswerFate judge(const Heard& heard, int number, bool framing) const;

    // An answer that adds up came out of turn: `number` is in doubt from now on. Returns true
    // the first time.
    bool doubt(int number);
    bool inDoubt(int number) const { return isBusNumber(number) && m_doubt[number]; }
    // How many of `answered` are not in doubt.
    int vouched(const DeviceFlags& answered) const;

    // The awaited device's short blocks (1, 5, 11..14), each once, kept until it has all six.
    BlockFate addBlock(const protocol::Answer& answer);
    bool allBlocks() const { return m_blocks.all(); }
    // The blocks in block order; the collection starts again.
    std::vector<protocol::Answer> takeBlocks();
    int blocksMissing() const { return static_cast<int>(m_blocks.size() - m_blocks.count()); }

    static bool isBusNumber(int n) { return n >= 1 && n <= kLastBusDevice; }

private:
    void heard(std::uint8_t byte, TimePoint now, std::vector<Heard>& out);

    protocol::EchoFilter m_echo;
    protocol::Receiver m_receiver;
    TimePoint m_frameBegan{};
    TimePoint m_lastByte{};
    int m_awaited = 0;
    bool m_requestOut = false;
    TimePoint m_requestAt{};
    bool m_done = false;
    int m_turn = 0;          // the device served last, until the next one is
    bool m_turnOut = false;  // and its request has gone out
    int m_garbled = 0;
    std::bitset<6> m_blocks;
    std::array<protocol::Answer, 6> m_blockAnswers;
    DeviceFlags m_asked{};
    DeviceFlags m_doubt{};
};

}  // namespace room::commissioning
