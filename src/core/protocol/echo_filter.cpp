#include "core/protocol/echo_filter.h"

#include <algorithm>

namespace room::protocol {

void EchoFilter::wrote(const Bytes& frame, TimePoint at) {
    if (frame.empty() || m_adapter == Adapter::Silent) return;
    // A frame leaves the line after those written before it.
    m_lineFree = std::max(m_lineFree, at) + lineTime(frame.size());
    m_expected.push_back(Expected{frame, m_lineFree + kEchoSlack, {}});
}

void EchoFilter::expire(TimePoint now, Result& out) {
    while (!m_expected.empty() && now > m_expected.front().deadline) {
        // Bytes that began like the frame but never finished it were somebody's answer.
        std::vector<Byte>& held = m_expected.front().held;
        if (held.empty() && m_adapter == Adapter::Unknown) m_adapter = Adapter::Silent;
        if (m_adapter == Adapter::Echoes && !held.empty()) {
            Bytes part;  // an echo that lost its end
            for (const Byte& b : held) part.push_back(b.value);
            out.echoes.push_back(std::move(part));
        } else {
            out.pass.insert(out.pass.end(), held.begin(), held.end());
        }
        m_expected.pop_front();
    }
}

EchoFilter::Result EchoFilter::push(std::uint8_t byte, TimePoint now) {
    Result out;
    expire(now, out);
    take(byte, now, out);
    return out;
}

void EchoFilter::take(std::uint8_t byte, TimePoint now, Result& out) {
    if (m_expected.empty()) {
        out.pass.push_back({byte, now});
        return;
    }
    Expected& head = m_expected.front();
    if (head.frame[head.held.size()] == byte) {
        head.held.push_back({byte, now});
        if (head.held.size() == head.frame.size()) {
            out.echoes.push_back(std::move(head.frame));
            m_expected.pop_front();
            m_adapter = Adapter::Echoes;
        }
        return;
    }
    // The echo may still come, or go on: on an adapter known to echo, another talker's bytes
    // can come in between. This byte is someone else's.
    if (head.held.empty() || m_adapter == Adapter::Echoes) {
        out.pass.push_back({byte, now});
        return;
    }
    out.pass.insert(out.pass.end(), head.held.begin(), head.held.end());
    out.pass.push_back({byte, now});
    m_expected.pop_front();
}

}  // namespace room::protocol
