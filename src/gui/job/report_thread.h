#pragma once
// Writes the hand-over report away from the window: the thread opens the record itself (one
// database connection per thread) and tells its progress through queued signals. Cancel sets a
// flag the report reads after each room; a cancelled report leaves no file behind.

#include <QThread>
#include <atomic>
#include <string>
#include <vector>

namespace room::gui {

class ReportThread : public QThread {
    Q_OBJECT

public:
    // `rooms` empty: every room of the job. A name ending in ".csv" writes CSV, anything else PDF.
    ReportThread(QString recordPath, QString reportPath, std::vector<std::string> rooms,
                 QObject* parent = nullptr);
    ~ReportThread() override;

    void cancel() { m_cancelled = true; }
    const QString& reportPath() const { return m_reportPath; }

signals:
    void progressed(int done, int total);
    // `result` is a platform::ReportResult; `error` says why it failed.
    void reported(int result, const QString& error);

protected:
    void run() override;

private:
    QString m_recordPath;
    QString m_reportPath;
    std::vector<std::string> m_rooms;
    std::atomic_bool m_cancelled{false};
};

}  // namespace room::gui
