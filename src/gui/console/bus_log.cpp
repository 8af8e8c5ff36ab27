#include "gui/console/bus_log.h"

#include <algorithm>

namespace room::gui {

namespace {

QString directionText(BusLogLine::Direction direction) {
    switch (direction) {
        case BusLogLine::Direction::Sent:
            return QStringLiteral("TX");
        case BusLogLine::Direction::Received:
            return QStringLiteral("RX");
        case BusLogLine::Direction::Marker:
            break;
    }
    return QStringLiteral("--");
}

QByteArray toByteArray(const protocol::Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

BusLogKind frameKind(commissioning::FrameKind kind) {
    switch (kind) {
        case commissioning::FrameKind::Send:
            return BusLogKind::Send;
        case commissioning::FrameKind::Read:
            return BusLogKind::Read;
        case commissioning::FrameKind::Verify:
            return BusLogKind::Verify;
        case commissioning::FrameKind::Clear:
            return BusLogKind::Clear;
        case commissioning::FrameKind::Command:
            break;
    }
    return BusLogKind::Command;
}

BusLogKind answerKind(commissioning::AnswerFate fate) {
    switch (fate) {
        case commissioning::AnswerFate::Late:
            return BusLogKind::Late;
        case commissioning::AnswerFate::Foreign:
            return BusLogKind::Foreign;
        case commissioning::AnswerFate::Ignored:
            return BusLogKind::Ignored;
        case commissioning::AnswerFate::Taken:
            break;
    }
    return BusLogKind::Answer;
}

protocol::EchoFilter::TimePoint echoTime(qint64 atMs) {
    return protocol::EchoFilter::TimePoint{} + std::chrono::milliseconds(atMs);
}

}  // namespace

QString kindText(BusLogKind kind) {
    switch (kind) {
        case BusLogKind::Send:
            return QStringLiteral("下发");
        case BusLogKind::Read:
            return QStringLiteral("读取");
        case BusLogKind::Verify:
            return QStringLiteral("校验");
        case BusLogKind::Clear:
            return QStringLiteral("清除");
        case BusLogKind::Command:
            return QStringLiteral("命令");
        case BusLogKind::Answer:
            return QStringLiteral("应答");
        case BusLogKind::Late:
            return QStringLiteral("迟到");
        case BusLogKind::Foreign:
            return QStringLiteral("陌生");
        case BusLogKind::Ignored:
            return QStringLiteral("忽略");
        case BusLogKind::Dropped:
            return QStringLiteral("丢弃");
        case BusLogKind::Echo:
            return QStringLiteral("回显");
        case BusLogKind::Marker:
            break;
    }
    return QStringLiteral("--");
}

// "--" for a frame that names no device (a command to the bus, noise): a "00" there read as
// device 0.
static QString deviceText(int device) {
    return device > 0 ? QStringLiteral("%1").arg(device, 2, 10, QLatin1Char('0'))
                      : QStringLiteral("--");
}

QString hexBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString formatLine(const BusLogLine& line) {
    const QString time = QStringLiteral("%1").arg(line.shownMs(), 8);
    if (line.direction == BusLogLine::Direction::Marker) {
        return time + QStringLiteral(" ms  --  --  ") + line.marker;
    }
    return time + QStringLiteral(" ms  ") + directionText(line.direction) + QStringLiteral("  ") +
           deviceText(line.device) + QStringLiteral("  ") + kindText(line.kind) +
           QStringLiteral("  ") + hexBytes(line.bytes) +
           (line.note.isEmpty() ? QString() : QStringLiteral("  ") + line.note);
}

// ---------------------------------------------------------------------------------------------
// BusLog

void BusLog::append(BusLogLine line) {
    line.sequence = m_nextSequence++;
    m_lines.push_back(std::move(line));
    while (m_lines.size() > m_maxLines) m_lines.pop_front();
}

void BusLog::addSent(int device, commissioning::FrameKind kind, const protocol::Bytes& bytes,
                     qint64 atMs) {
    flushDropped();
    m_echo.wrote(bytes, echoTime(atMs));
    append(BusLogLine{0, atMs, m_origin, BusLogLine::Direction::Sent, device, frameKind(kind), {},
                      toByteArray(bytes), {}});
}

int BusLog::answerDevice(const protocol::Answer& answer) {
    // Long answers carry the device number in byte 3; of the short ones only a configuration
    // answer (0xED) does, in byte 2. Other short frames put something else there.
    if (answer.kind == protocol::Answer::Kind::Long)
        return answer.bytes.size() > 3 ? answer.bytes[3] : 0;
    const bool configAnswer =
        answer.bytes.size() > 2 && answer.bytes[1] == protocol::kShortConfigAnswer;
    return configAnswer ? answer.bytes[2] : 0;
}

void BusLog::addReceived(const QByteArray& bytes, qint64 atMs) {
    for (char c : bytes) {
        const protocol::EchoFilter::Result heard =
            m_echo.push(static_cast<std::uint8_t>(c), echoTime(atMs));
        for (const protocol::Bytes& echo : heard.echoes) {
            flushDropped();
            append(BusLogLine{0, atMs, m_origin, BusLogLine::Direction::Received, 0,
                              BusLogKind::Echo, {}, toByteArray(echo), {}});
        }
        for (const protocol::EchoFilter::Byte& b : heard.pass) receive(b.value, atMs);
    }
}

void BusLog::receive(std::uint8_t byte, qint64 atMs) {
    const char c = static_cast<char>(byte);
    if (m_pending.isEmpty()) m_pendingAt = atMs;
    m_pending.append(c);
    const std::optional<protocol::Answer> answer = m_receiver.push(byte);
    if (answer) {
        // Bytes before the answer's start byte were noise the receiver skipped.
        const qsizetype surplus =
            m_pending.size() - static_cast<qsizetype>(answer->bytes.size());
        if (surplus > 0) {
            if (m_dropped.isEmpty()) m_droppedAt = m_pendingAt;
            m_dropped.append(m_pending.left(surplus));
        }
        m_pending.clear();
        flushDropped();
        append(BusLogLine{0, atMs, m_origin, BusLogLine::Direction::Received,
                          answerDevice(*answer), BusLogKind::Answer, {},
                          toByteArray(answer->bytes), {}});
        m_unjudged.push_back(m_lines.back().sequence);
        if (m_unjudged.size() > kMaxUnjudged) m_unjudged.pop_front();
    } else if (m_receiver.idle()) {
        if (m_dropped.isEmpty()) m_droppedAt = m_pendingAt;
        m_dropped.append(m_pending);
        m_pending.clear();
        if (m_dropped.size() >= kMaxDroppedRun) flushDropped();
    }
}

void BusLog::noteAnswers(const std::vector<commissioning::AnswerNote>& notes) {
    for (const commissioning::AnswerNote& note : notes) {
        const QByteArray bytes = toByteArray(note.bytes);
        while (!m_unjudged.empty()) {
            const std::uint64_t sequence = m_unjudged.front();
            m_unjudged.pop_front();
            const auto line =
                std::find_if(m_lines.rbegin(), m_lines.rend(),
                             [sequence](const BusLogLine& l) { return l.sequence == sequence; });
            if (line == m_lines.rend() || line->bytes != bytes) continue;
            line->kind = answerKind(note.fate);
            if (note.badChecksum) line->note = QStringLiteral("校验和错误");
            if (note.badLength) line->note = QStringLiteral("长度错误");
            break;
        }
    }
}

void BusLog::flushDropped() {
    if (m_dropped.isEmpty()) return;
    append(BusLogLine{0, m_droppedAt, m_origin, BusLogLine::Direction::Received, 0,
                      BusLogKind::Dropped, {}, m_dropped, {}});
    m_dropped.clear();
}

void BusLog::beginRun(qint64 atMs, const QString& marker, std::uint64_t shownUpTo) {
    flushDropped();
    m_origin = atMs;
    // The run's first frames went out before the window heard that the run had started.
    auto first = m_lines.end();
    while (first != m_lines.begin()) {
        auto previous = std::prev(first);
        if (previous->sequence < shownUpTo || previous->atMs < atMs) break;
        first = previous;
    }
    for (auto it = first; it != m_lines.end(); ++it) {
        it->originMs = atMs;
        ++it->sequence;
    }
    const std::uint64_t sequence = first == m_lines.end() ? m_nextSequence : first->sequence - 1;
    BusLogLine line{sequence, atMs, atMs, BusLogLine::Direction::Marker, 0, BusLogKind::Marker,
                    marker, {}, {}};
    m_lines.insert(first, std::move(line));
    ++m_nextSequence;
    while (m_lines.size() > m_maxLines) m_lines.pop_front();
}

void BusLog::endRun(qint64 atMs, const QString& marker) {
    flushDropped();
    append(BusLogLine{0, atMs, m_origin, BusLogLine::Direction::Marker, 0, BusLogKind::Marker,
                      marker, {}, {}});
    m_origin = 0;
}

QString BusLog::text() const {
    QString all;
    for (const BusLogLine& line : m_lines) all += formatLine(line) + QLatin1Char('\n');
    return all;
}

void BusLog::clear() {
    m_lines.clear();
    m_dropped.clear();
}

}  // namespace room::gui
