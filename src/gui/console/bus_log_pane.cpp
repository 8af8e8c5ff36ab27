#include "gui/console/bus_log_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/console/console_context.h"
#include "gui/main/file_commands.h"
#include "gui/toolkit/labelled.h"
#include "platform/file_io.h"

namespace room::gui {

namespace {

constexpr int kShowDelayMs = 50;  // lines arrive in bursts; show them together
constexpr int kAnyDevice = -1;
constexpr int kNoNumber = 0;  // frames to every device, noise: "--" in the number column

// Characters no file system takes in a name; a room-type name may hold any of them.
QString fileNamePart(QString text) {
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]+"));
    return text.replace(unsafe, QStringLiteral("_"));
}

QComboBox* filterList(QWidget* parent, const QString& name) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

}  // namespace

QString askSaveName(QWidget* parent, const QString& proposedName) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("保存总线记录"), proposedName,
                                        QStringLiteral("文本文件(*.txt)"));
}

BusLogPane::BusLogPane(ConsoleContext& context, SaveNameAsker askName,
                       std::function<QDateTime()> clock, QWidget* parent)
    : QWidget(parent),
      m_context(context),
      m_askName(std::move(askName)),
      m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); }) {
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
    bar->addWidget(buildFilterBar());
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

QWidget* BusLogPane::buildFilterBar() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* deviceLabel = new QLabel(QStringLiteral("编号:"), box);
    m_deviceFilter = filterList(box, QStringLiteral("busLogDevice"));
    m_deviceFilter->addItem(QStringLiteral("全部"), kAnyDevice);
    m_deviceFilter->addItem(QStringLiteral("--"), kNoNumber);
    for (int device = 1; device <= model::kBusDevices; ++device)
        m_deviceFilter->addItem(QStringLiteral("%1").arg(device, 2, 10, QLatin1Char('0')), device);
    labelFor(deviceLabel, m_deviceFilter);
    auto* kindLabel = new QLabel(QStringLiteral("类型:"), box);
    m_kindFilter = filterList(box, QStringLiteral("busLogKind"));
    m_kindFilter->addItem(QStringLiteral("全部"), -1);
    for (BusLogKind kind : kFilterKinds) m_kindFilter->addItem(kindText(kind), int(kind));
    labelFor(kindLabel, m_kindFilter);
    m_pause = new QPushButton(QStringLiteral("暂停"), box);
    m_pause->setObjectName(QStringLiteral("busLogPause"));
    m_pause->setCheckable(true);
    m_pause->setAutoDefault(false);
    nameControl(m_pause, QStringLiteral("暂停"));  // found by it also while it says "继续"
    for (QWidget* widget : std::initializer_list<QWidget*>{deviceLabel, m_deviceFilter, kindLabel,
                                                           m_kindFilter, m_pause})
        row->addWidget(widget);

    connect(m_deviceFilter, &QComboBox::currentIndexChanged, this, [this] {
        const int device = m_deviceFilter->currentData().toInt();
        m_device = device == kAnyDevice ? std::nullopt : std::optional<int>(device);
        showAll();
    });
    connect(m_kindFilter, &QComboBox::currentIndexChanged, this, [this] {
        const int kind = m_kindFilter->currentData().toInt();
        m_kind = kind < 0 ? std::nullopt : std::optional<BusLogKind>(BusLogKind(kind));
        showAll();
    });
    connect(m_pause, &QPushButton::toggled, this, &BusLogPane::setPaused);
    return box;
}

bool BusLogPane::shows(const BusLogLine& line) const {
    if (line.direction == BusLogLine::Direction::Marker) return true;
    if (m_device && line.device != *m_device) return false;
    return !m_kind || line.kind == *m_kind;
}

void BusLogPane::scheduleShow() {
    if (!m_showTimer->isActive()) m_showTimer->start(kShowDelayMs);
}

void BusLogPane::showNewLines() {
    m_log.flushDropped();
    const auto& lines = m_log.lines();
    m_count->setText(QStringLiteral("%1 行").arg(lines.size()));
    // Paused: the log goes on recording; the view takes the lines when it is resumed.
    if (m_pause->isChecked()) return;
    auto first = lines.end();
    while (first != lines.begin() && std::prev(first)->sequence >= m_shownUpTo) --first;
    QStringList fresh;
    for (auto it = first; it != lines.end(); ++it) {
        if (shows(*it)) fresh << formatLine(*it);
    }
    m_shownUpTo = m_log.nextSequence();
    if (!fresh.isEmpty()) m_view->appendPlainText(fresh.join(QLatin1Char('\n')));
}

void BusLogPane::showAll() {
    m_view->clear();
    m_shownUpTo = 0;
    if (!m_pause->isChecked()) showNewLines();
}

void BusLogPane::setPaused(bool paused) {
    m_pause->setText(paused ? QStringLiteral("继续") : QStringLiteral("暂停"));
    if (!paused) showNewLines();
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

QString BusLogPane::proposedFileName() const {
    const model::RoomTypeConfig& room = m_context.room();
    const QString file = QString::fromStdString(room.currentFileName);
    const QDir folder = file.isEmpty() ? QDir::home() : QFileInfo(file).absoluteDir();
    QString name = QStringLiteral("总线记录");
    if (!room.roomTypeName.empty())
        name += QLatin1Char('-') + fileNamePart(QString::fromStdString(room.roomTypeName));
    name += QLatin1Char('-') + m_clock().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return folder.filePath(name + QStringLiteral(".txt"));
}

bool BusLogPane::saveToFile() {
    const QString path = m_askName(this, proposedFileName());
    if (path.isEmpty()) return false;
    const platform::WriteResult written = platform::saveFileBytes(path, m_log.text().toUtf8());
    if (written.ok) return true;
    m_context.prompter().warning(saveFailedText(path, written.error), platform::defaultCaption());
    return false;
}

}  // namespace room::gui
