#include "gui/console/record_bar.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "gui/console/console_context.h"
#include "gui/toolkit/labelled.h"
#include "platform/report_pdf.h"

namespace room::gui {

namespace {

const QString kRoomNumberKey = QStringLiteral("房号");
const QString kInstallerKey = QStringLiteral("调试人员");

}  // namespace

QString askReportName(QWidget* parent, const QString& proposedName) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("保存调试报告"), proposedName,
                                        QStringLiteral("PDF文件(*.pdf)"));
}

RecordBar::RecordBar(ConsoleContext& context, std::function<QString()> portName,
                     RecordOptions options, QWidget* parent)
    : QWidget(parent),
      m_context(context),
      m_portName(std::move(portName)),
      m_options(std::move(options)),
      // A busy record is tried again on a timer, never waited for on the window's thread.
      m_store(std::make_unique<platform::RecordStore>(
          m_options.path.isEmpty() ? platform::RecordStore::defaultPath() : m_options.path,
          kBusyMs)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto* label = new QLabel(QStringLiteral("房号:"), this);
    m_roomNumber = new QLineEdit(m_store->remembered(kRoomNumberKey), this);
    m_roomNumber->setObjectName(QStringLiteral("roomNumber"));
    m_roomNumber->setMaximumWidth(110);
    m_roomNumber->setToolTip(QStringLiteral("正在调试的房间号, 记入调试记录"));
    labelFor(label, m_roomNumber);
    connect(m_roomNumber, &QLineEdit::editingFinished, this,
            [this] { m_store->remember(kRoomNumberKey, m_roomNumber->text().trimmed()); });
    m_report = new QPushButton(QStringLiteral("报告..."), this);
    m_report->setObjectName(QStringLiteral("btnReport"));
    m_report->setToolTip(QStringLiteral("本房间最近一次运行的调试报告 (PDF)"));
    connect(m_report, &QPushButton::clicked, this, &RecordBar::writeReport);
    // The window places the line where there is room for it (beside the status line).
    m_line = new QLabel;
    m_line->setObjectName(QStringLiteral("recordLine"));
    m_line->setMinimumWidth(120);
    m_line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(label);
    row->addWidget(m_roomNumber);
    row->addWidget(m_report);
    m_retry = new QTimer(this);
    m_retry->setInterval(kRetryMs);
    connect(m_retry, &QTimer::timeout, this, &RecordBar::retry);
    connect(&m_context, &ConsoleContext::effectsApplied, this, &RecordBar::onEffects);
}

RecordBar::~RecordBar() {
    if (!m_line->parent()) delete m_line;
}

QString RecordBar::recordLine() const {
    return m_line->text();
}

void RecordBar::onEffects(const commissioning::Effects& effects) {
    const model::RoomTypeConfig& room = m_context.room();
    if (effects.runStarted) {
        // The room type as the run begins: a read all changes it before the run ends.
        m_started = records::RunRecord{};
        platform::stamp(*m_started, room, m_roomNumber->text(), m_portName());
    }
    if (effects.runFinished && m_started) {
        records::RunRecord record =
            records::recordOfRun(room, *effects.runFinished, records::differencesByDevice(m_context.engine()));
        records::takeStamp(record, *m_started);
        m_started.reset();
        if (!record.operation.empty()) keep(std::move(record));
    }
    for (const commissioning::ResultChange& change : effects.results) {
        if (!change.single) continue;
        records::RunRecord record = records::recordOfCheck(
            room, change.device, change.result, change.read,
            m_context.engine().differencesOf(change.device));
        platform::stamp(record, room, m_roomNumber->text(), m_portName());
        keep(std::move(record));
    }
}

void RecordBar::keep(records::RunRecord record) {
    m_pending.push_back(std::move(record));
    m_retriesLeft = kRetries;
    retry();
}

void RecordBar::retry() {
    while (!m_pending.empty()) {
        if (!m_store->add(m_pending.front())) break;
        m_last = std::move(m_pending.front());
        m_pending.pop_front();
    }
    if (m_pending.empty()) {
        m_retry->stop();
        m_line->setText(QStringLiteral("调试记录已保存: %1 %2/%3台正常")
                            .arg(QString::fromStdString(m_last->operation))
                            .arg(records::okCount(*m_last))
                            .arg(m_last->devices.size()));
        m_line->setToolTip(QString::fromStdString(records::summaryLine(*m_last)) +
                           QStringLiteral("\n") + m_store->path());
        return;
    }
    const QString reason = m_store->errorString();
    if (m_retriesLeft-- > 0) {
        m_line->setText(reason + QStringLiteral(" (稍后重试)"));
        m_retry->start();
    } else {
        m_retry->stop();
        m_line->setText(reason + QStringLiteral(" (%1条记录未保存)").arg(m_pending.size()));
    }
    m_line->setToolTip(m_line->text() + QStringLiteral("\n") + m_store->path());
}

void RecordBar::writeReport() {
    std::optional<records::RunRecord> run = m_last;
    if (!run) {
        records::RoomRow room;
        room.roomNumber = m_roomNumber->text().trimmed().toStdString();
        room.roomType = platform::roomTypeId(m_context.room());
        run = m_store->latestOf(room);
    }
    platform::Prompter& prompter = m_context.prompter();
    if (!run) {
        prompter.information(QStringLiteral("本房间还没有调试记录"), platform::defaultCaption());
        return;
    }
    const QString proposed = QStringLiteral("调试报告_%1_%2.pdf")
                                 .arg(QString::fromStdString(run->roomType.name),
                                      QString::fromStdString(run->roomNumber));
    const QString path = m_options.askReportName ? m_options.askReportName(this, proposed) : QString();
    if (path.isEmpty()) return;
    QString error;
    if (!platform::writeReportPdf(path, {*run}, m_store->remembered(kInstallerKey), &error)) {
        prompter.warning(QStringLiteral("报告保存失败!\n") + path + QStringLiteral("\n") + error,
                         platform::defaultCaption());
        return;
    }
    m_line->setText(QStringLiteral("报告已保存: ") + QFileInfo(path).fileName());
}

}  // namespace room::gui
