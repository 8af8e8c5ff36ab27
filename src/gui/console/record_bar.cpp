#include "gui/console/record_bar.h"

#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "gui/console/console_context.h"
#include "gui/records/record_sync.h"
#include "core/records/room_number.h"
#include "gui/toolkit/labelled.h"
#include "gui/toolkit/wheel_guard.h"
#include "platform/hand_over.h"
#include "platform/job_status.h"
#include "platform/record_location.h"
#include "platform/record_spool.h"

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
          m_options.path.isEmpty() ? platform::RecordStore::userRecord() : m_options.path,
          kBusyMs)),
      m_spool(std::make_unique<platform::RecordSpool>()) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(buildRoomList());
    // The window places who works where there is room for it (beside the title line).
    m_installerBox = new QWidget;
    auto* whoRow = new QHBoxLayout(m_installerBox);
    whoRow->setContentsMargins(0, 0, 0, 0);
    whoRow->setSpacing(6);
    auto* who = new QLabel(QStringLiteral("调试人员:"), m_installerBox);
    m_installer = new QLineEdit(m_store->remembered(kInstallerKey), m_installerBox);
    m_installer->setObjectName(QStringLiteral("installer"));
    m_installer->setMaximumWidth(110);
    m_installer->setToolTip(QStringLiteral("调试人员的姓名, 记入调试记录和交接报告"));
    labelFor(who, m_installer);
    connect(m_installer, &QLineEdit::editingFinished, this,
            [this] { m_store->remember(kInstallerKey, m_installer->text().trimmed()); });
    whoRow->addWidget(who);
    whoRow->addWidget(m_installer);
    m_report = new QPushButton(QStringLiteral("报告..."), this);
    m_report->setObjectName(QStringLiteral("btnReport"));
    m_report->setToolTip(QStringLiteral("本房间的调试交接报告 (PDF)"));
    connect(m_report, &QPushButton::clicked, this, &RecordBar::writeReport);
    row->addWidget(m_report);
    // The window places the line where there is room for it (beside the status line).
    m_line = new QLabel;
    m_line->setObjectName(QStringLiteral("recordLine"));
    m_line->setMinimumWidth(120);
    m_line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_retry = new QTimer(this);
    connect(m_retry, &QTimer::timeout, this, &RecordBar::retry);
    connect(&m_context, &ConsoleContext::effectsApplied, this, &RecordBar::onEffects);
    if (RecordSync* sync = RecordSync::instance()) connect(sync, &RecordSync::sent, this, &RecordBar::onSent);
}

QWidget* RecordBar::buildRoomList() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto* label = new QLabel(QStringLiteral("房号:"), box);
    m_roomNumber = new QComboBox(box);
    m_roomNumber->setObjectName(QStringLiteral("roomNumber"));
    m_roomNumber->setEditable(true);
    m_roomNumber->setInsertPolicy(QComboBox::NoInsert);
    // Sixteen characters is the longest room number there is: all of it shows.
    m_roomNumber->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_roomNumber->setMinimumContentsLength(16);
    m_roomNumber->setMaxVisibleItems(20);
    m_roomNumber->setToolTip(QStringLiteral("正在调试的房间号, 记入调试记录"));
    // Choosing a room may offer to open another room type: not on a wheel that meant to scroll.
    ignoreWheelUnlessFocused(m_roomNumber);
    labelFor(label, m_roomNumber);
    loadJob();
    const QString first = m_options.roomNumber.isEmpty() ? m_store->remembered(kRoomNumberKey)
                                                         : m_options.roomNumber;
    // A number remembered from before the job, or no number at all, is not taken.
    const records::RoomNumberCheck check = records::checkRoomNumber(first.toStdString());
    const bool good = check.ok() && (m_jobRooms.empty() || jobRoom(check.number));
    m_acceptedNumber = good ? QString::fromStdString(check.number) : QString();
    m_roomNumber->setEditText(m_acceptedNumber);
    if (!m_options.roomNumber.isEmpty()) m_store->remember(kRoomNumberKey, m_acceptedNumber);
    connect(m_roomNumber->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { chooseRoom(m_roomNumber->currentText()); });
    connect(m_roomNumber, &QComboBox::activated, this,
            [this](int index) { chooseRoom(m_roomNumber->itemText(index)); });
    row->addWidget(label);
    row->addWidget(m_roomNumber);
    return box;
}

// With a job the list holds its rooms, and typing filters them wherever the text occurs.
void RecordBar::loadJob() {
    const auto rooms = m_store->jobRooms();
    m_jobRooms = rooms ? *rooms : std::vector<records::JobRoom>{};
    std::sort(m_jobRooms.begin(), m_jobRooms.end(), [](const auto& a, const auto& b) {
        if (a.floor != b.floor) return records::naturalLess(a.floor, b.floor);
        return records::naturalLess(a.roomNumber, b.roomNumber);
    });
    for (const records::JobRoom& room : m_jobRooms) {
        m_roomNumber->addItem(QString::fromStdString(room.roomNumber));
        m_roomNumber->setItemData(m_roomNumber->count() - 1,
                                  QString::fromStdString(room.roomType.name + " (" + room.roomType.number + ")"),
                                  Qt::ToolTipRole);
    }
    if (m_jobRooms.empty()) {
        m_roomNumber->setCompleter(nullptr);
        return;
    }
    m_roomNumber->completer()->setFilterMode(Qt::MatchContains);
    m_roomNumber->completer()->setCompletionMode(QCompleter::PopupCompletion);
}

QLineEdit* RecordBar::roomNumberField() const {
    return m_roomNumber->lineEdit();
}

const records::JobRoom* RecordBar::jobRoom(const std::string& number) const {
    for (const records::JobRoom& room : m_jobRooms) {
        if (room.roomNumber == number) return &room;
    }
    return nullptr;
}

// What a run is recorded under: the text in the field when it passes the check (it may not have
// been confirmed yet when a run starts from the keyboard), else the last number that did.
QString RecordBar::currentRoomNumber() {
    const records::RoomNumberCheck check = records::checkRoomNumber(m_roomNumber->currentText().toStdString());
    if (check.empty() || (check.ok() && (m_jobRooms.empty() || jobRoom(check.number)))) {
        m_acceptedNumber = QString::fromStdString(check.number);
    }
    return m_acceptedNumber;
}

bool RecordBar::chooseRoom(const QString& text) {
    const records::RoomNumberCheck check = records::checkRoomNumber(text.toStdString());
    QString refusal;
    if (!check.ok() && !check.empty()) refusal = QString::fromStdString(check.reason);
    const records::JobRoom* room = check.ok() ? jobRoom(check.number) : nullptr;
    if (refusal.isEmpty() && check.ok() && !m_jobRooms.empty() && !room) {
        refusal = QStringLiteral("房号%1不在酒店工程中").arg(QString::fromStdString(check.number));
    }
    if (!refusal.isEmpty()) {
        // The last good number stays: no entry is ever made under a number that was refused.
        m_roomNumber->setEditText(m_acceptedNumber);
        m_context.prompter().warning(refusal, platform::defaultCaption());
        return false;
    }
    const QString number = QString::fromStdString(check.number);
    m_roomNumber->setEditText(number);
    const bool changed = number != m_acceptedNumber;
    m_acceptedNumber = number;
    m_store->remember(kRoomNumberKey, number);
    if (!room || !changed || m_context.engine().runActive()) return true;
    const records::RoomTypeId open = platform::roomTypeId(m_context.room());
    const records::RoomTypeId& wanted = room->roomType;
    if (open.hotel == wanted.hotel && open.name == wanted.name && open.number == wanted.number) return true;
    const QString question = QStringLiteral("房间%1的房型是%2, 当前打开的是%3. 打开该房型?")
                                 .arg(number, QString::fromStdString(wanted.name),
                                      QString::fromStdString(open.name));
    if (m_context.prompter().question(question, platform::defaultCaption(), platform::QuestionButtons::YesNo) ==
        platform::Answer::Yes) {
        emit openRoomTypeRequested(QString::fromStdString(room->roomTypePath), number);
    }
    return true;
}

// After a verify all with every device OK the list moves on, so the installer walks the floor
// without typing: the next room of the same room type that is not yet verified, in job order.
QString RecordBar::advanceAfter(const records::RunRecord& record) {
    if (m_jobRooms.empty() || record.operation != "校验所有" || record.cutShort ||
        record.devices.empty() || records::okCount(record) != static_cast<int>(record.devices.size())) {
        return {};
    }
    const records::JobRoom* current = jobRoom(record.roomNumber);
    const auto status = current ? platform::loadJobStatus(*m_store) : std::nullopt;
    if (!status) return {};
    const auto& rooms = status->rooms;
    const auto at = std::find_if(rooms.begin(), rooms.end(), [&](const platform::RoomStatus& r) {
        return r.room.roomNumber == current->roomNumber;
    });
    if (at == rooms.end()) return {};
    const std::size_t start = static_cast<std::size_t>(at - rooms.begin());
    for (std::size_t step = 1; step < rooms.size(); ++step) {
        const platform::RoomStatus& next = rooms[(start + step) % rooms.size()];
        if (next.room.roomTypePath != current->roomTypePath ||
            next.state == records::RoomState::Verified) {
            continue;
        }
        const QString number = QString::fromStdString(next.room.roomNumber);
        m_roomNumber->setEditText(number);
        m_acceptedNumber = number;
        m_store->remember(kRoomNumberKey, number);
        return number;
    }
    return {};
}

RecordBar::~RecordBar() {
    if (m_line && !m_line->parent()) delete m_line;
    if (m_installerBox && !m_installerBox->parent()) delete m_installerBox;
}

QString RecordBar::recordLine() const {
    return m_line->text();
}

void RecordBar::onEffects(const commissioning::Effects& effects) {
    const model::RoomTypeConfig& room = m_context.room();
    if (effects.runStarted) {
        // The room type as the run begins: a read all changes it before the run ends.
        m_started = records::RunRecord{};
        platform::stamp(*m_started, room, currentRoomNumber(), m_portName());
        m_started->installer = m_installer->text().trimmed().toStdString();
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
        platform::stamp(record, room, currentRoomNumber(), m_portName());
        record.installer = m_installer->text().trimmed().toStdString();
        keep(std::move(record));
    }
}

void RecordBar::keep(records::RunRecord record) {
    // Kept on this computer first: a record out of reach, or the window closing, loses nothing.
    // Only when even that fails does the entry wait in memory.
    if (!m_spool->keep(record, m_store->shownPath())) m_pending.push_back(record);
    m_latest = std::move(record);
    RecordSync* sync = RecordSync::instance();
    if (sync && platform::isRecordUrl(m_store->path()) && m_pending.empty()) {
        // A server is sent to from the sync thread: the window never waits for one.
        m_line->setText(QStringLiteral("调试记录上传中..."));
        sync->sendNow();
        return;
    }
    m_retriesLeft = kRetries;
    retry();
}

void RecordBar::onSent(const QString& target, int waiting, const QString& error) {
    if (target != m_store->shownPath() || !m_latest) return;
    if (waiting == 0 && error.isEmpty()) {
        showKept();
        return;
    }
    m_line->setText(platform::spooledText(waiting) + QStringLiteral(", 稍后重试: ") + error);
    m_line->setToolTip(m_line->text() + QStringLiteral("\n") + m_store->shownPath());
}

void RecordBar::showKept() {
    m_retry->stop();
    if (!m_latest) return;
    m_last = std::move(m_latest);
    m_latest.reset();
    // Judged once the entry is in the record, so the room just verified counts as done.
    const QString next = advanceAfter(*m_last);
    m_line->setText(QStringLiteral("调试记录已保存: %1 %2/%3台正常")
                        .arg(QString::fromStdString(m_last->operation))
                        .arg(records::okCount(*m_last))
                        .arg(m_last->devices.size()) +
                    (next.isEmpty() ? QString() : QStringLiteral(", 下一个房间: ") + next));
    m_line->setToolTip(QString::fromStdString(records::summaryLine(*m_last)) + QStringLiteral("\n") +
                       m_store->shownPath());
}

void RecordBar::retry() {
    while (!m_pending.empty() && m_store->add(m_pending.front())) m_pending.pop_front();
    const platform::RecordSpool::Sent sent = m_spool->send(*m_store);
    const int waiting = sent.waiting + static_cast<int>(m_pending.size());
    if (waiting == 0 && sent.error.isEmpty()) {
        showKept();
        return;
    }
    const QString reason = sent.error.isEmpty() ? m_store->errorString() : sent.error;
    // A few quick tries for a file another program holds a moment, then once a minute.
    m_retry->start(m_retriesLeft-- > 0 ? kRetryMs : kSpoolRetryMs);
    m_line->setText(platform::spooledText(waiting) + QStringLiteral(", 稍后重试: ") + reason);
    m_line->setToolTip(m_line->text() + QStringLiteral("\n") + m_store->shownPath());
}

void RecordBar::writeReport() {
    platform::Prompter& prompter = m_context.prompter();
    auto job = platform::reportJob(*m_store, {m_acceptedNumber.toStdString()});
    if (!job) {
        prompter.warning(m_store->errorString(), platform::defaultCaption());
        return;
    }
    if (job->rooms.empty() || job->status.rooms[job->rooms.front()].runs == 0) {
        prompter.information(QStringLiteral("本房间还没有调试记录"), platform::defaultCaption());
        return;
    }
    const records::JobRoom& room = job->status.rooms[job->rooms.front()].room;
    const QString proposed = QStringLiteral("调试报告_%1_%2.pdf")
                                 .arg(QString::fromStdString(room.roomType.name),
                                      QString::fromStdString(records::shownRoomNumber(room.roomNumber)));
    const QString path = m_options.askReportName ? m_options.askReportName(this, proposed) : QString();
    if (path.isEmpty()) return;
    QString error;
    if (platform::writeHandOverPdf(path, *job, &error) != platform::ReportResult::Written) {
        prompter.warning(QStringLiteral("报告保存失败!\n") + path + QStringLiteral("\n") + error,
                         platform::defaultCaption());
        return;
    }
    m_line->setText(QStringLiteral("报告已保存: ") + QFileInfo(path).fileName());
}

}  // namespace room::gui
