#pragma once
// The console's bus log: every frame written and every answer received, one line each, with the
// time in milliseconds since the run started (since the console opened outside a run).
//
// BusLog holds the lines (the last kMaxLines of them, so a long afternoon does not grow memory
// without end) and reassembles received bytes into answers; BusLogPane (bus_log_pane.h) shows it.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <deque>

#include "core/commissioning/effects.h"
#include "core/protocol/echo_filter.h"
#include "core/protocol/receiver.h"

namespace room::gui {

// What a line of the log is; the log shows it in Chinese, like the rest of the program.
enum class BusLogKind {
    Send,
    Read,
    Verify,
    Clear,
    Command,
    Answer,   // the awaited device's answer (or nothing was awaited)
    Late,     // under the number of a device no longer awaited
    Foreign,  // under a number nobody was asked for
    Ignored,  // not an answer the run takes, such as a status frame
    Dropped,  // bytes that belong to no answer
    Echo,     // the adapter handing back what the program wrote
    Marker,   // start and end of a run
};
// Two characters each, so the columns stay aligned: "下发", "应答", "迟到" ...
QString kindText(BusLogKind kind);
// The kinds a log can be filtered by, in the order the filter offers them.
inline constexpr BusLogKind kFilterKinds[] = {
    BusLogKind::Send,   BusLogKind::Read,    BusLogKind::Verify,  BusLogKind::Clear,
    BusLogKind::Command, BusLogKind::Answer, BusLogKind::Late,    BusLogKind::Foreign,
    BusLogKind::Ignored, BusLogKind::Dropped, BusLogKind::Echo,
};

struct BusLogLine {
    enum class Direction { Sent, Received, Marker };
    std::uint64_t sequence = 0;  // counts every line ever added, so a view knows what is new
    qint64 atMs = 0;             // since the console opened
    qint64 originMs = 0;         // the time the shown time counts from
    Direction direction = Direction::Sent;
    int device = 0;  // 0: addressed to every device (or unknown)
    BusLogKind kind = BusLogKind::Send;
    QString marker;  // the text of a marker line
    QByteArray bytes;
    QString note;  // after the bytes: e.g. a checksum that does not add up

    qint64 shownMs() const { return atMs - originMs; }
};

// "F1 F4 00 2A": upper-case pairs separated by one blank.
QString hexBytes(const QByteArray& bytes);
// One line of the log as text: time, direction, device, kind and bytes in fixed columns.
QString formatLine(const BusLogLine& line);

class BusLog {
public:
    static constexpr std::size_t kMaxLines = 5000;
    // Bytes that belong to no answer are logged once this many have gathered, or before the
    // next answer or frame.
    static constexpr int kMaxDroppedRun = 64;
    static constexpr std::size_t kMaxUnjudged = 64;

    explicit BusLog(std::size_t maxLines = kMaxLines) : m_maxLines(maxLines) {}

    void addSent(int device, commissioning::FrameKind kind, const protocol::Bytes& bytes,
                 qint64 atMs);
    // Bytes as the port delivered them; each completed answer becomes one "answer" line with
    // the device number the answer carries.
    void addReceived(const QByteArray& bytes, qint64 atMs);
    // What the engine made of the answers received: the answer lines not yet judged take, in
    // order, the fate of the note with their bytes ("late", "foreign", "ignored") and a note when
    // their checksum does not add up.
    void noteAnswers(const std::vector<commissioning::AnswerNote>& notes);

    // A run started at `atMs` (when its button was pressed): from here times count from it.
    // Lines already added at or after `atMs` that no view has taken yet are counted from it
    // too, with the marker line put before them.
    void beginRun(qint64 atMs, const QString& marker, std::uint64_t shownUpTo);
    void endRun(qint64 atMs, const QString& marker);

    const std::deque<BusLogLine>& lines() const { return m_lines; }
    std::uint64_t nextSequence() const { return m_nextSequence; }
    // Every line as text, one per line, ending with a newline.
    QString text() const;
    void clear();
    // Logs the bytes thrown away so far as one "dropped" line.
    void flushDropped();

private:
    void append(BusLogLine line);
    static int answerDevice(const protocol::Answer& answer);
    void receive(std::uint8_t byte, qint64 atMs);

    std::size_t m_maxLines;
    std::deque<BusLogLine> m_lines;
    std::uint64_t m_nextSequence = 0;
    qint64 m_origin = 0;
    protocol::EchoFilter m_echo;  // the same rule the run engine drops echoes by
    protocol::Receiver m_receiver;
    QByteArray m_pending;  // bytes of an answer still coming in
    qint64 m_pendingAt = 0;
    QByteArray m_dropped;  // bytes the receiver threw away
    qint64 m_droppedAt = 0;
    std::deque<std::uint64_t> m_unjudged;  // answer lines the engine has not spoken of yet
};

}  // namespace room::gui
