#include "gui/job/report_thread.h"

#include "platform/hand_over.h"

namespace room::gui {

ReportThread::ReportThread(QString recordPath, QString reportPath, std::vector<std::string> rooms,
                           QObject* parent)
    : QThread(parent),
      m_recordPath(std::move(recordPath)),
      m_reportPath(std::move(reportPath)),
      m_rooms(std::move(rooms)) {}

ReportThread::~ReportThread() {
    // A window closed mid-report stops it rather than leave the thread writing.
    cancel();
    wait();
}

void ReportThread::run() {
    platform::RecordStore store(m_recordPath);
    std::optional<platform::ReportJob> job = platform::reportJob(store, m_rooms);
    if (!job) {
        emit reported(static_cast<int>(platform::ReportResult::Failed), store.errorString());
        return;
    }
    job->progress = [this](int done, int total) {
        emit progressed(done, total);
        return !m_cancelled.load();
    };
    QString error;
    const bool csv = m_reportPath.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    const platform::ReportResult result =
        csv ? platform::writeHandOverCsv(m_reportPath, *job, &error)
            : platform::writeHandOverPdf(m_reportPath, *job, &error);
    emit reported(static_cast<int>(result), error);
}

}  // namespace room::gui
