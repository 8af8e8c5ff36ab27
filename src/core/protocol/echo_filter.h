#pragma once
// What an echoing adapter hands back of what the program wrote.
//
// Many USB RS-485 adapters hear their own transmitter. Rules:
//  - Every frame written is expected back byte for byte, in the order frames were written, from
//    the moment it is written until it has left the line and kEchoSlack more. The echo itself
//    comes within a few byte times, but it reaches the program later: an adapter passes on what
//    it heard in USB-sized pieces, and the window may be busy drawing when they arrive.
//  - Bytes that match the expected frame in order are held back. Once the whole frame has come
//    back they were its echo and go nowhere else, whatever their values. A byte that does not
//    match the next expected one is somebody else's. Until the adapter is known to echo, it also
//    means the held bytes were no echo after all (a device's answer can begin like a request):
//    they go on in order, with it, and that frame is expected no more. Once it is known to echo,
//    the frame is still expected: another talker's bytes came in between.
//  - When its time is up a frame is not expected any more: nothing came back (the adapter does
//    not echo), or what came began like it without finishing it: an answer's bytes, or, on an
//    adapter known to echo, an echo that lost its end.
//  - The first frame after a port opens tells which kind of adapter it is: one of which nothing
//    came back by its time does not echo, and nothing is expected back from it any more (a device
//    that acknowledges a command by repeating it is then heard as itself).
// An adapter without echo costs nothing but the rare byte held until the next one shows it is not
// an echo; no byte is ever lost.

#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/protocol/frames.h"

namespace room::protocol {

class EchoFilter {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::milliseconds kEchoSlack{200};

    struct Byte {
        std::uint8_t value = 0;
        TimePoint at{};
    };
    struct Result {
        std::vector<Byte> pass;     // bytes that are no echo, in the order they came
        std::vector<Bytes> echoes;  // each echoed frame, or the part of one that came back
    };

    // `frame` was handed to the port at `at`.
    void wrote(const Bytes& frame, TimePoint at);
    // One received byte.
    Result push(std::uint8_t byte, TimePoint now);
    // A port opened or closed: nothing is expected back any more, the adapter is not known yet.
    void clear() {
        m_expected.clear();
        m_adapter = Adapter::Unknown;
    }

private:
    struct Expected {
        Bytes frame;
        TimePoint deadline{};
        std::vector<Byte> held;  // the matching bytes that came so far
    };
    void expire(TimePoint now, Result& out);
    void take(std::uint8_t byte, TimePoint now, Result& out);

    enum class Adapter { Unknown, Echoes, Silent };

    std::deque<Expected> m_expected;
    Adapter m_adapter = Adapter::Unknown;
    TimePoint m_lineFree{};  // when the last frame written has left the line
};

}  // namespace room::protocol
