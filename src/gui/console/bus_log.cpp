#include "gui/console/bus_log.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/console/console_context.h"
#include "gui/main/file_commands.h"
#include "gui/toolkit/labelled.h"
#include "platform/file_io.h"

namespace room::gui {

namespace {

constexpr int kShowDelayMs = 50;  // lines arrive in bursts; show them together

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

}  // namespace

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
        return time + QStringLiteral(" ms  --  --  ") + line.kind;
    }
    return time + QStringLiteral(" ms  ") + directionText(line.direction) + QStringLiteral("  ") +
           deviceText(line.device) + QStringLiteral("  ") + line.kind.leftJustified(8) +
           hexBytes(line.bytes) +
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
    const auto name = commissioning::frameKindName(kind);
    append(BusLogLine{0,
                      atMs,
                      m_origin,
                      BusLogLine::Direction::Sent,
                      device,
                      QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                      toByteArray(bytes),
                      {}});
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
        const auto byte = static_cast<std::uint8_t>(c);
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
            append(BusLogLine{0,
                              atMs,
                              m_origin,
                              BusLogLine::Direction::Received,
                              answerDevice(*answer),
                              QStringLiteral("answer"),
                              toByteArray(answer->bytes),
                              {}});
            m_unjudged.push_back(m_lines.back().sequence);
            if (m_unjudged.size() > kMaxUnjudged) m_unjudged.pop_front();
        } else if (m_receiver.idle()) {
            if (m_dropped.isEmpty()) m_droppedAt = m_pendingAt;
            m_dropped.append(m_pending);
            m_pending.clear();
            if (m_dropped.size() >= kMaxDroppedRun) flushDropped();
        }
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
            const auto fate = commissioning::answerFateName(note.fate);
            line->kind = QString::fromLatin1(fate.data(), static_cast<qsizetype>(fate.size()));
            if (note.badChecksum) line->note = QStringLiteral("校验和错误");
            break;
        }
    }
}

void BusLog::flushDropped() {
    if (m_dropped.isEmpty()) return;
    append(BusLogLine{0,
                      m_droppedAt,
                      m_origin,
                      BusLogLine::Direction::Received,
                      0,
                      QStringLiteral("dropped"),
                      m_dropped,
                      {}});
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
    BusLogLine line{sequence, atMs, atMs, BusLogLine::Direction::Marker, 0, marker, {}, {}};
    m_lines.insert(first, std::move(line));
    ++m_nextSequence;
    while (m_lines.size() > m_maxLines) m_lines.pop_front();
}

void BusLog::endRun(qint64 atMs, const QString& marker) {
    flushDropped();
    append(BusLogLine{0, atMs, m_origin, BusLogLine::Direction::Marker, 0, marker, {}, {}});
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

// ---------------------------------------------------------------------------------------------
// BusLogPane

QString askSaveName(QWidget* parent, const QString& proposedName) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("保存总线记录"), proposedName,
                                        QStringLiteral("文本文件(*.txt)"));
}

BusLogPane::BusLogPane(ConsoleContext& context, SaveNameAsker askName, QWidget* parent)
    : QWidget(parent), m_context(context), m_askName(std::move(askName)) {
    setObjectName(QStringLiteral("busLog"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("总线记录 (毫秒  方向  编号  类型  数据)"), this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("busLogCount"));
    auto* copy = new QPushButton(QStringLiteral("复制"), this);
    copy->setObjectName(QStringLiteral("busLogCopy"));
    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("busLogSave"));
    for (QPushButton* button : {copy, save}) button->setAutoDefault(false);
    bar->addWidget(caption);
    bar->addStretch(1);
    bar->addWidget(m_count);
    bar->addWidget(copy);
    bar->addWidget(save);
    layout->addLayout(bar);

    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QStringLiteral("busLogView"));
    labelFor(caption, m_view);
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setMaximumBlockCount(static_cast<int>(BusLog::kMaxLines));
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPointSize(10);
    m_view->setFont(mono);
    m_view->setPalette(QApplication::palette(m_view));  // readable black on white
    layout->addWidget(m_view, 1);

    m_showTimer = new QTimer(this);
    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, &BusLogPane::showNewLines);
    connect(copy, &QPushButton::clicked, this, &BusLogPane::copyToClipboard);
    connect(save, &QPushButton::clicked, this, &BusLogPane::saveToFile);
    connect(&m_context, &ConsoleContext::frameWritten, this,
            [this](const commissioning::OutFrame& frame, qint64 ms) {
                m_log.addSent(frame.device, frame.kind, frame.bytes, ms);
                scheduleShow();
            });
    connect(&m_context, &ConsoleContext::bytesArrived, this,
            [this](const QByteArray& bytes, qint64 ms) {
                m_log.addReceived(bytes, ms);
                scheduleShow();
            });
    // The engine hears the same bytes right after the log: its notes label the answer lines
    // before they are shown.
    connect(&m_context, &ConsoleContext::effectsApplied, this,
            [this](const commissioning::Effects& effects) {
                if (!effects.answers.empty()) m_log.noteAnswers(effects.answers);
            });
    showNewLines();
}

void BusLogPane::scheduleShow() {
    if (!m_showTimer->isActive()) m_showTimer->start(kShowDelayMs);
}

void BusLogPane::showNewLines() {
    m_log.flushDropped();
    const auto& lines = m_log.lines();
    auto first = lines.end();
    while (first != lines.begin() && std::prev(first)->sequence >= m_shownUpTo) --first;
    QStringList fresh;
    for (auto it = first; it != lines.end(); ++it) fresh << formatLine(*it);
    m_shownUpTo = m_log.nextSequence();
    if (!fresh.isEmpty()) m_view->appendPlainText(fresh.join(QLatin1Char('\n')));
    m_count->setText(QStringLiteral("%1 行").arg(lines.size()));
}

QString BusLogPane::viewText() const {
    return m_view->toPlainText();
}

void BusLogPane::runStarted(qint64 pressedMs, const QString& marker) {
    m_log.beginRun(pressedMs, marker, m_shownUpTo);
    scheduleShow();
}

void BusLogPane::runFinished(const QString& marker) {
    m_log.endRun(m_context.elapsedMs(), marker);
    scheduleShow();
}

void BusLogPane::copyToClipboard() {
    QApplication::clipboard()->setText(m_log.text());
}

bool BusLogPane::saveToFile() {
    const QString proposed = QDir::home().filePath(QStringLiteral("总线记录.txt"));
    const QString path = m_askName(this, proposed);
    if (path.isEmpty()) return false;
    const platform::WriteResult written = platform::saveFileBytes(path, m_log.text().toUtf8());
    if (written.ok) return true;
    m_context.prompter().warning(saveFailedText(path, written.error), platform::defaultCaption());
    return false;
}

}  // namespace room::gui
