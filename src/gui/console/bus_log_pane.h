#pragma once
// The bus log as the console shows it: the lines of BusLog with "复制" and "保存", a filter by
// device number and by kind, and "暂停", which holds the view still while the log goes on
// recording, so a line can be read during a run.

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <optional>

#include "gui/console/bus_log.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace room::gui {

class ConsoleContext;

// Where "保存" writes; an empty name means the user cancelled.
using SaveNameAsker = std::function<QString(QWidget* parent, const QString& proposedName)>;
QString askSaveName(QWidget* parent, const QString& proposedName);

class BusLogPane : public QWidget {
    Q_OBJECT

public:
    BusLogPane(ConsoleContext& context, SaveNameAsker askName = askSaveName,
               std::function<QDateTime()> clock = {}, QWidget* parent = nullptr);

    BusLog& log() { return m_log; }
    // Shows what was added since the last call (also runs by itself shortly after each change).
    void showNewLines();
    // The text the view shows (tests and screenshots).
    QString viewText() const;
    // Whether the view shows `line` under the chosen filter; markers always show.
    bool shows(const BusLogLine& line) const;
    // "总线记录-<房型>-<time>.txt" in the folder of the room-type file (home without one).
    QString proposedFileName() const;

    void copyToClipboard();
    // Returns whether the file was written; failures are reported through the prompter.
    bool saveToFile();

    // The window tells the log when a run starts (time the button was pressed) and ends.
    void runStarted(qint64 pressedMs, const QString& marker);
    void runFinished(const QString& marker);

private:
    QWidget* buildFilterBar();
    void scheduleShow();
    // Shows every line of the log again under the current filter.
    void showAll();
    void setPaused(bool paused);

    ConsoleContext& m_context;
    SaveNameAsker m_askName;
    BusLog m_log;
    std::uint64_t m_shownUpTo = 0;  // sequence of the first line the view has not shown
    std::function<QDateTime()> m_clock;
    QPlainTextEdit* m_view = nullptr;
    QLabel* m_count = nullptr;
    QComboBox* m_deviceFilter = nullptr;
    QComboBox* m_kindFilter = nullptr;
    QPushButton* m_pause = nullptr;
    std::optional<int> m_device;         // shown device number; empty: every one
    std::optional<BusLogKind> m_kind;    // shown kind; empty: every one
    QTimer* m_showTimer = nullptr;
};

}  // namespace room::gui
