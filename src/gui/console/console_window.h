#pragma once
// The device configuration console ("下载"): a modal dialog over the run engine. Caption and title
// line name the room type; the port list, the run buttons 260-264 and 267 with "下发并校验" and
// "扫描总线", "说明" (328), the status line, the five tabs in the painted frame, the run's progress
// with "停止" and "重试未通过的设备", the list of the run's differences and the bus log.
//
// Closing by Escape or the close box is "other than OK"; Enter ends it with OK, as it always did.
// Closing while a run goes asks "正在调试, 确定中断?" first: 取消 keeps the console and the run;
// 确定 stops the run as "停止" does (recorded as cut short), then closes.

#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "core/commissioning/effects.h"
#include "gui/console/bus_log_pane.h"
#include "gui/console/console_texts.h"
#include "gui/console/record_bar.h"
#include "gui/main/room_document.h"
#include "gui/ports/link_factory.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QSplitter;
class QPushButton;
class QTabWidget;
class QTimer;

namespace room::platform {
class Prompter;
}

namespace room::gui {

class ConsoleContext;
class ConsoleFrame;
class PortComboBox;
class RunSequencer;

struct ConsoleOptions {
    LinkFactory linkFactory = makeLink;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    SaveNameAsker askSaveName = gui::askSaveName;
    RecordOptions records{QString(), askReportName, QString()};
    // The installer chose to open the room type of a room of the job: the console closes and the
    // caller opens it (and may open the console again for that room).
    std::function<void(const QString& roomTypePath, const QString& roomNumber)> openRoomType;
};

class ConsoleWindow : public QDialog {
    Q_OBJECT

public:
    ConsoleWindow(RoomDocument& document, platform::Prompter& prompter, ConsoleOptions options = {},
                  QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    ConsoleContext& context() { return *m_context; }
    PortComboBox* portList() const { return m_ports; }
    QTabWidget* tabs() const;
    BusLogPane* busLog() const { return m_busLog; }
    RecordBar* recordBar() const { return m_recordBar; }
    QString titleLine() const;
    QString statusLine() const;
    QStringList differences() const;
    QProgressBar* progressBar() const { return m_progress; }
    QString runSummary() const;

    void setBusLogShown(bool shown);
    // Runs a console command (run buttons, "停止") as its button does.
    void runAction(commissioning::Action action);
    void showHelp();

    // The download hook: opens the console modally; true when it was closed other than by OK
    // after a read-back wrote into the room type.
    static bool runModal(RoomDocument& document, platform::Prompter& prompter, QWidget* parent,
                         ConsoleOptions options = {});

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildRunRow();
    QWidget* buildProgressRow();
    QWidget* buildDifferences();
    void buildTabs();
    void applyEffects(const commissioning::Effects& effects);
    void clearLastRun();
    void onRunStarted(const commissioning::Progress& progress);
    void onProgress(const commissioning::Progress& progress);
    void onRunFinished(const commissioning::RunSummary& summary);
    void updateElapsed();
    void updateRunButtons();
    void showCommandSent(const QString& what);
    void fitToScreen();

    std::unique_ptr<ConsoleContext> m_context;
    ConsoleOptions m_options;
    RunSequencer* m_sequencer = nullptr;
    RecordBar* m_recordBar = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_status = nullptr;
    PortComboBox* m_ports = nullptr;
    QList<QPushButton*> m_runButtons;
    QPushButton* m_stop = nullptr;
    QPushButton* m_retry = nullptr;
    QPushButton* m_logToggle = nullptr;
    QProgressBar* m_progress = nullptr;
    QListWidget* m_differences = nullptr;
    ConsoleFrame* m_frame = nullptr;
    BusLogPane* m_busLog = nullptr;
    QSplitter* m_splitter = nullptr;
    QTimer* m_elapsedTimer = nullptr;
    QString m_runSummary;
    QElapsedTimer m_runClock;
    commissioning::Progress m_lastProgress;
    qint64 m_commandMs = 0;           // when the last command button was pressed, for the bus log
    bool m_runButtonsAllowed = true;  // false during a run
};

}  // namespace room::gui
