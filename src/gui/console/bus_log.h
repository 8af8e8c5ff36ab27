#pragma once
// The console's bus log: every frame written and every answer received, one line each, with the
// time in milliseconds since the run started (since the console opened outside a run).
//
// BusLog holds the lines (the last kMaxLines of them, so a long afternoon does not grow memory
// without end) and reassembles received bytes into answers; BusLogPane shows it with "复制" and
// "保存".

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>

#include "core/commissioning/effects.h"
#include "core/protocol/receiver.h"

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace room::gui {

class ConsoleContext;

struct BusLogLine {
    enum class Direction { Sent, Received, Marker };
    std::uint64_t sequence = 0;  // counts every line ever added, so a view knows what is new
    qint64 atMs = 0;             // since the console opened
    qint64 originMs = 0;         // the time the shown time counts from
    Direction direction = Direction::Sent;
    int device = 0;  // 0: addressed to every device (or unknown)
    QString kind;    // send, read, verify, clear, command, answer, late, foreign, ignored,
                     // dropped; the marker's text
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

    std::size_t m_maxLines;
    std::deque<BusLogLine> m_lines;
    std::uint64_t m_nextSequence = 0;
    qint64 m_origin = 0;
    protocol::Receiver m_receiver;
    QByteArray m_pending;  // bytes of an answer still coming in
    qint64 m_pendingAt = 0;
    QByteArray m_dropped;  // bytes the receiver threw away
    qint64 m_droppedAt = 0;
    std::deque<std::uint64_t> m_unjudged;  // answer lines the engine has not spoken of yet
};

// Where "保存" writes; an empty name means the user cancelled.
using SaveNameAsker = std::function<QString(QWidget* parent, const QString& proposedName)>;
QString askSaveName(QWidget* parent, const QString& proposedName);

class BusLogPane : public QWidget {
    Q_OBJECT

public:
    BusLogPane(ConsoleContext& context, SaveNameAsker askName = askSaveName,
               QWidget* parent = nullptr);

    BusLog& log() { return m_log; }
    // Shows what was added since the last call (also runs by itself shortly after each change).
    void showNewLines();
    // The text the view shows (tests and screenshots).
    QString viewText() const;

    void copyToClipboard();
    // Returns whether the file was written; failures are reported through the prompter.
    bool saveToFile();

    // The window tells the log when a run starts (time the button was pressed) and ends.
    void runStarted(qint64 pressedMs, const QString& marker);
    void runFinished(const QString& marker);

private:
    void scheduleShow();

    ConsoleContext& m_context;
    SaveNameAsker m_askName;
    BusLog m_log;
    std::uint64_t m_shownUpTo = 0;  // sequence of the first line the view has not shown
    QPlainTextEdit* m_view = nullptr;
    QLabel* m_count = nullptr;
    QTimer* m_showTimer = nullptr;
};

}  // namespace room::gui
