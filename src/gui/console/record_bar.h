#pragma once
// The console's part in the commissioning record: the room being worked in ("房号:",
// remembered), an entry for every run and single-device check, "报告..." for the hand-over report,
// and a line that says whether the record was kept. A record that cannot be written is tried
// again a few times and never holds up a run: the run's result is on screen before it is written.

#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "core/records/run_record.h"
#include "platform/record_store.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace room::gui {

class ConsoleContext;

// Asks where to save a report (a PDF file dialog).
QString askReportName(QWidget* parent, const QString& proposedName);

// Where a console keeps its record, and how it asks where to save a report.
struct RecordOptions {
    QString path;  // empty: the user's own record
    std::function<QString(QWidget*, const QString& proposedName)> askReportName;
};

class RecordBar : public QWidget {
    Q_OBJECT

public:
    RecordBar(ConsoleContext& context, std::function<QString()> portName, RecordOptions options,
              QWidget* parent = nullptr);
    ~RecordBar() override;

    QLineEdit* roomNumberField() const { return m_roomNumber; }
    // Whether the record was kept; the window places it.
    QLabel* recordLabel() const { return m_line; }
    QString recordLine() const;
    // The latest record this console made, if any.
    const std::optional<records::RunRecord>& lastRecord() const { return m_last; }
    platform::RecordStore& store() { return *m_store; }

    static constexpr int kBusyMs = 100;
    static constexpr int kRetryMs = 5000;
    static constexpr int kRetries = 6;

private:
    void onEffects(const commissioning::Effects& effects);
    void keep(records::RunRecord record);
    void retry();
    void writeReport();

    ConsoleContext& m_context;
    std::function<QString()> m_portName;
    RecordOptions m_options;
    std::unique_ptr<platform::RecordStore> m_store;
    QLineEdit* m_roomNumber = nullptr;
    QPushButton* m_report = nullptr;
    QLabel* m_line = nullptr;
    QTimer* m_retry = nullptr;
    int m_retriesLeft = 0;
    std::deque<records::RunRecord> m_pending;
    std::optional<records::RunRecord> m_started;  // stamped when the running run began
    std::optional<records::RunRecord> m_last;
};

}  // namespace room::gui
