// The job window's commands that change the job or write from it: import, add, remove, another
// room type, open a room, the report.

#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>

#include "gui/job/job_board.h"
#include "gui/job/job_window.h"
#include "gui/job/report_thread.h"
#include "gui/main/file_dialogs.h"
#include "gui/records/rooms_model.h"
#include "platform/hand_over.h"
#include "platform/job_import.h"

namespace room::gui {

namespace {

// A warning taller than the screen hides its own OK button: the rest are counted instead.
constexpr int kErrorsListed = 25;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString errorList(const std::vector<std::string>& errors) {
    QStringList lines;
    for (std::size_t i = 0; i < errors.size() && i < kErrorsListed; ++i) lines << text(errors[i]);
    if (errors.size() > kErrorsListed) {
        lines << QStringLiteral("……另有%1处错误").arg(errors.size() - kErrorsListed);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

bool JobWindow::putRooms(const std::vector<records::JobRoom>& rooms) {
    if (m_store->putJobRooms(rooms)) return true;
    m_prompter.warning(QStringLiteral("房间保存失败!\n") + m_store->errorString(),
                       platform::defaultCaption());
    return false;
}

void JobWindow::importRooms() {
    const QString path =
        m_options.askOpenName(this, QStringLiteral("导入房间表"), QStringLiteral("房间表(*.csv)"));
    if (path.isEmpty()) return;
    const platform::JobImport imported = platform::readRoomsFile(path);
    if (!imported.errors.empty()) {
        setStatus(QStringLiteral("房间表没有导入: %1").arg(path));
        m_prompter.warning(
            QStringLiteral("房间表有错误, 没有导入任何房间:\n") + errorList(imported.errors),
            platform::defaultCaption());
        return;
    }
    if (imported.rooms.empty()) {
        m_prompter.information(QStringLiteral("房间表中没有房间"), platform::defaultCaption());
        return;
    }
    if (!putRooms(imported.rooms)) return;
    reload();
    setStatus(QStringLiteral("已导入%1个房间: %2").arg(imported.rooms.size()).arg(path));
}

void JobWindow::addRoom() {
    AddRoomDialog dialog(m_prompter, m_options.askOpenName, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.room()) return;
    const records::JobRoom& room = *dialog.room();
    const bool known = m_board->indexOf(text(room.roomNumber)) >= 0;
    if (!putRooms({room})) return;
    reload();
    m_board->select(m_board->indexOf(text(room.roomNumber)));
    setStatus((known ? QStringLiteral("房间 %1 已更新") : QStringLiteral("房间 %1 已添加"))
                  .arg(text(room.roomNumber)));
}

void JobWindow::removeRoom() {
    const platform::RoomStatus* room = selectedRoom();
    if (!room || !m_hasJob) return;
    const QString number = text(room->room.roomNumber);
    const platform::Answer answer = m_prompter.question(
        QStringLiteral("从工程中删除房间 %1?\n它的调试记录仍然保留。").arg(number),
        platform::kQuestionCaption, platform::QuestionButtons::YesNo);
    if (answer != platform::Answer::Yes) return;
    if (!m_store->removeJobRoom(number.toStdString())) {
        m_prompter.warning(QStringLiteral("房间删除失败!\n") + m_store->errorString(),
                           platform::defaultCaption());
        return;
    }
    reload();
    setStatus(QStringLiteral("房间 %1 已从工程中删除").arg(number));
}

void JobWindow::changeRoomType() {
    const platform::RoomStatus* room = selectedRoom();
    if (!room || !m_hasJob) return;
    const QString path =
        m_options.askOpenName(this, QStringLiteral("选择房型文件"), kRoomFileFilter);
    if (path.isEmpty()) return;
    QString error;
    const auto changed = platform::jobRoom(room->room.roomNumber, room->room.floor, path, &error);
    if (!changed) {
        m_prompter.warning(error, platform::defaultCaption());
        return;
    }
    if (!putRooms({*changed})) return;
    reload();
    setStatus(QStringLiteral("房间 %1 的房型已改为 %2")
                  .arg(text(changed->roomNumber), RoomsModel::roomTypeText(changed->roomType)));
}

void JobWindow::openRoom(int index) {
    if (index < 0 || index >= static_cast<int>(m_board->rooms().size())) return;
    const records::JobRoom room = m_board->rooms()[index].room;
    if (room.roomTypePath.empty()) {
        setStatus(QStringLiteral("房间 %1 没有房型文件: 请先更换房型").arg(text(room.roomNumber)));
        return;
    }
    if (!m_options.openRoom) return;
    m_options.openRoom(text(room.roomTypePath), text(room.roomNumber));
    reload();  // the console may have added runs
}

bool JobWindow::writeReport() {
    if (m_reportThread) return false;
    std::vector<std::string> rooms;
    if (m_board->filter().active()) rooms = m_board->shownRoomNumbers();
    if (m_board->rooms().empty() || (m_board->filter().active() && rooms.empty())) {
        m_prompter.information(QStringLiteral("没有可报告的房间"), platform::defaultCaption());
        return false;
    }
    const QString path =
        m_options.askSaveName(this, QStringLiteral("保存交接报告"), QStringLiteral("交接报告.pdf"),
                              QStringLiteral("PDF文件(*.pdf);;CSV文件(*.csv)"));
    if (path.isEmpty()) return false;
    startReport(path, std::move(rooms));
    return true;
}

void JobWindow::startReport(const QString& path, std::vector<std::string> rooms) {
    const int count =
        rooms.empty() ? static_cast<int>(m_board->rooms().size()) : static_cast<int>(rooms.size());
    m_reportThread = new ReportThread(m_store->path(), path, std::move(rooms), this);
    m_progress = new QProgressDialog(QStringLiteral("正在写交接报告..."), QStringLiteral("取消"), 0,
                                     count, this);
    m_progress->setObjectName(QStringLiteral("reportProgress"));
    m_progress->setWindowTitle(QStringLiteral("报告"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(300);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, m_reportThread, [this] {
        m_reportThread->cancel();
        m_progress->setLabelText(QStringLiteral("正在取消..."));
    });
    connect(m_reportThread, &ReportThread::progressed, m_progress, [this](int done, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    });
    connect(m_reportThread, &ReportThread::reported, this, &JobWindow::onReported);
    connect(m_reportThread, &QThread::finished, m_reportThread, &QObject::deleteLater);
    m_report->setEnabled(false);
    setStatus(QStringLiteral("正在写交接报告: %1").arg(path));
    m_reportThread->start();
}

void JobWindow::onReported(int result, const QString& error) {
    const QString path = m_reportThread ? m_reportThread->reportPath() : QString();
    const int rooms = m_progress ? m_progress->maximum() : 0;
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_reportThread = nullptr;  // it deletes itself once its thread has ended
    m_report->setEnabled(true);
    switch (static_cast<platform::ReportResult>(result)) {
        case platform::ReportResult::Written:
            setStatus(QStringLiteral("报告已保存: %1 (%2个房间)").arg(path).arg(rooms));
            break;
        case platform::ReportResult::Cancelled:
            setStatus(QStringLiteral("报告已取消, 没有保存"));
            break;
        case platform::ReportResult::Failed:
            setStatus(QStringLiteral("报告保存失败"));
            m_prompter.warning(
                QStringLiteral("报告保存失败!\n") + path + QStringLiteral("\n") + error,
                platform::defaultCaption());
            break;
    }
    emit reportFinished(static_cast<platform::ReportResult>(result) ==
                        platform::ReportResult::Written);
}

}  // namespace room::gui
