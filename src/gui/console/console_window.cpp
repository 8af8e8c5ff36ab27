#include "gui/console/console_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/commissioning/engine.h"
#include "core/commissioning/run_rules.h"
#include "core/commissioning/scan.h"
#include "gui/console/before_read.h"
#include "gui/console/console_context.h"
#include "gui/console/console_frame.h"
#include "gui/console/console_texts.h"
#include "gui/console/help_dialog.h"
#include "gui/console/infrared_page.h"
#include "gui/console/other_settings_page.h"
#include "gui/console/quick_control_page.h"
#include "gui/console/run_result_look.h"
#include "gui/console/run_sequencer.h"
#include "gui/console/switch_panel_page.h"
#include "gui/ports/port_combo_box.h"
#include "gui/toolkit/labelled.h"
#include "platform/prompter.h"

namespace room::gui {

using commissioning::Action;
using commissioning::Effects;
using commissioning::Progress;
using commissioning::RunSummary;
using commissioning::TimePoint;

namespace {

QScrollArea* scrolling(QWidget* page) {
    auto* area = new QScrollArea;
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

// The body's height is the window's, whatever the title line's wrapping would prefer: asked for a
// height for its width, the body would take its preferred height and scroll without need.
class BodyLayout : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;
    bool hasHeightForWidth() const override { return false; }
};

constexpr int kElapsedTickMs = 200;
// Beyond this the drawing gets no better; on a laptop the console takes the whole screen.
constexpr QSize kLargestOpening(1800, 1000);
// What a Windows title bar and frame take around the client area.
constexpr QSize kFrameAllowance(16, 39);
constexpr int kFirstTestTab = 2;  // tabs from here on hide the run buttons

struct RunButton {
    const char* name;
    const char* text;
    Action action;
    void (RunSequencer::*play)() = nullptr;  // a command of more than one run
};
constexpr RunButton kRunButtons[] = {
    {"btn260", "下发所有", Action::SendAll},
    {"btn261", "校验所有", Action::VerifyAll},
    {"btnSendVerify", "下发并校验", Action::SendAll, &RunSequencer::sendThenVerify},
    {"btn262", "清除所有", Action::ClearAll},
    {"btn263", "读取所有", Action::ReadAll},
    {"btnScan", "扫描总线", Action::ReadAll, &RunSequencer::scanBus},
    {"btn264", "退出网络", Action::LeaveNetwork},
    {"btn267", "检查设备", Action::CheckDevices},
};

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ConsoleWindow::ConsoleWindow(RoomDocument& document, platform::Prompter& prompter,
                             ConsoleOptions options, QWidget* parent)
    : QDialog(parent),
      m_context(std::make_unique<ConsoleContext>(document, prompter, options.linkFactory)),
      m_options(std::move(options)),
      m_sequencer(new RunSequencer(*m_context, this)) {
    setObjectName(QStringLiteral("console"));
    setModal(true);
    setFont(consoleFont());
    setWindowTitle(consoleCaption(document.room));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    m_recordBar = new RecordBar(
        *m_context, [this] { return m_ports->currentText().trimmed(); }, m_options.records, this);
    connect(m_recordBar->roomList(), &QComboBox::activated, this, &ConsoleWindow::clearLastRun);
    connect(m_recordBar->roomNumberField(), &QLineEdit::textEdited, this,
            &ConsoleWindow::clearLastRun);
    connect(m_recordBar, &RecordBar::openRoomTypeRequested, this,
            [this](const QString& path, const QString& roomNumber) {
                if (!m_options.openRoomType) return;
                m_options.openRoomType(path, roomNumber);
                reject();
            });
    // Below the width the rows need (a small laptop, a window made narrow) the body scrolls
    // rather than squeezing buttons or pushing the window past the screen.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* body = new QWidget;
    auto* bodyArea = scrolling(body);
    outer->addWidget(bodyArea);
    auto* layout = new BodyLayout(body);
    layout->setContentsMargins(12, 4, 12, 8);
    layout->setSpacing(4);
    layout->addWidget(buildHeader());
    layout->addWidget(buildRunRow());
    layout->addWidget(buildProgressRow());

    m_frame = new ConsoleFrame(this);
    buildTabs();
    auto* upper = new QWidget(body);
    auto* row = new QHBoxLayout(upper);
    row->setContentsMargins(0, 0, 0, 0);
    // Extra width goes mostly to the pages and their drawing.
    row->addWidget(m_frame, 8);
    row->addWidget(buildDifferences(), 1);

    m_busLog = new BusLogPane(*m_context, m_options.askSaveName, m_options.clock, this);
    m_busLog->hide();
    m_splitter = new QSplitter(Qt::Vertical, body);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(upper);
    m_splitter->addWidget(m_busLog);
    layout->addWidget(m_splitter, 1);

    m_elapsedTimer = new QTimer(this);
    m_elapsedTimer->setInterval(kElapsedTickMs);
    connect(m_elapsedTimer, &QTimer::timeout, this, &ConsoleWindow::updateElapsed);
    connect(m_context.get(), &ConsoleContext::effectsApplied, this, &ConsoleWindow::applyEffects);
    connect(m_context.get(), &ConsoleContext::commandSent, this, &ConsoleWindow::showCommandSent);
    connect(m_context.get(), &ConsoleContext::portLost, this,
            [this] { m_ports->setCurrentIndex(-1); });
    connect(m_sequencer, &RunSequencer::changed, this, &ConsoleWindow::updateRunButtons);
    updateRunButtons();
    fitToScreen();
}

// Opens as large as the screen allows: the wiring view scales to what it gets.
void ConsoleWindow::fitToScreen() {
    const QScreen* shown = parentWidget() ? parentWidget()->screen() : screen();
    if (!shown) return;
    const QSize room = shown->availableSize() - kFrameAllowance;
    resize(room.boundedTo(kLargestOpening).expandedTo(minimumSizeHint()));
}

ConsoleWindow::~ConsoleWindow() {
    // The pages and the log hold the context by reference: they go before it does.
    m_context->disconnect(this);
    delete m_frame;
    m_frame = nullptr;
    delete m_busLog;
    m_busLog = nullptr;
}

QWidget* ConsoleWindow::buildHeader() {
    m_title = new QLabel(consoleTitleLine(m_context->room(), m_options.clock()), this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Laying the line out the first time loads its glyphs (tens of ms): here, not at a run's start
    // when the line comes back and the run's timers are waiting.
    m_title->sizeHint();
    // Long lists of numbers wrap to a second line instead of widening the window.
    m_title->setWordWrap(true);
    m_title->setMinimumWidth(240);
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_title, 1);
    row->addWidget(m_recordBar);
    row->addSpacing(12);
    row->addWidget(m_recordBar->installerBox());
    // Up here rather than in the run row, so that row fits a 1024 px screen.
    QPushButton* help = makeButton(QStringLiteral("说明"), QStringLiteral("btn328"), box);
    connect(help, &QPushButton::clicked, this, &ConsoleWindow::showHelp);
    row->addWidget(help);
    m_logToggle = makeButton(QStringLiteral("总线记录"), QStringLiteral("btnBusLog"), box);
    m_logToggle->setCheckable(true);
    connect(m_logToggle, &QPushButton::toggled, this, &ConsoleWindow::setBusLogShown);
    row->addWidget(m_logToggle);
    return box;
}

QWidget* ConsoleWindow::buildRunRow() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto* portLabel = new QLabel(QStringLiteral("串口选择:"), box);
    row->addWidget(portLabel);
    m_ports = new PortComboBox(box);
    m_ports->setObjectName(QStringLiteral("ports"));
    labelFor(portLabel, m_ports);
    m_ports->refill();
    connect(m_ports, &PortComboBox::portChosen, this, [this](const PortChoice& choice) {
        clearLastRun();
        if (!m_context->choosePort(choice)) m_ports->setCurrentIndex(-1);
    });
    row->addWidget(m_ports);
    row->addSpacing(6);
    for (const RunButton& run : kRunButtons) {
        QPushButton* button =
            makeButton(QString::fromUtf8(run.text), QString::fromUtf8(run.name), box);
        connect(button, &QPushButton::clicked, this, [this, run] {
            m_commandMs = m_context->elapsedMs();
            run.play ? (m_sequencer->*run.play)() : runAction(run.action);
        });
        row->addWidget(button);
        m_runButtons << button;
    }
    row->addStretch(1);
    return box;
}

QWidget* ConsoleWindow::buildProgressRow() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    m_status = new QLabel(box);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setMinimumWidth(220);
    row->addWidget(m_status, 1);
    row->addWidget(m_recordBar->recordLabel(), 1);
    m_progress = new QProgressBar(box);
    m_progress->setObjectName(QStringLiteral("runProgress"));
    m_progress->setMinimumWidth(400);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QString());
    nameControl(m_progress, QStringLiteral("运行结果"));
    m_progress->hide();
    row->addWidget(m_progress);
    m_retry = makeButton(QStringLiteral("重试未通过的设备"), QStringLiteral("btnRetry"), box);
    connect(m_retry, &QPushButton::clicked, m_sequencer, &RunSequencer::retry);
    row->addWidget(m_retry);
    m_stop = makeButton(QStringLiteral("停止"), QStringLiteral("btnStop"), box);
    connect(m_stop, &QPushButton::clicked, this, [this] { runAction(Action::Stop); });
    row->addWidget(m_stop);
    // One shows while the other hides: neither slides under the cursor.
    for (QPushButton* button : {m_retry, m_stop}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    return box;
}

QWidget* ConsoleWindow::buildDifferences() {
    auto* group = new QGroupBox(QStringLiteral("本次差异"), this);
    auto* layout = new QVBoxLayout(group);
    m_differences = new QListWidget(group);
    m_differences->setObjectName(QStringLiteral("differences"));
    nameControl(m_differences, group->title());
    m_differences->setPalette(QApplication::palette(m_differences));
    // Lines wrap rather than end in "…": the values that differ come last.
    m_differences->setWordWrap(true);
    m_differences->setTextElideMode(Qt::ElideNone);
    m_differences->setResizeMode(QListView::Adjust);
    m_differences->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A wrapped entry runs two or three lines: keep the entries apart.
    m_differences->setSpacing(3);
    m_differences->setAlternatingRowColors(true);
    layout->addWidget(m_differences);
    layout->addWidget((new BeforeRead(*m_context, this))->controls());
    // Narrow on a laptop, so the drawing keeps a readable scale.
    group->setMinimumWidth(200);
    group->setMaximumWidth(320);
    return group;
}

void ConsoleWindow::buildTabs() {
    QTabWidget* tabs = m_frame->tabs();
    ConsoleContext& context = *m_context;
    tabs->addTab(new SwitchPanelPage(context, 1, tabs), QStringLiteral("1-16号开关面板"));
    tabs->addTab(new SwitchPanelPage(context, 17, tabs), QStringLiteral("17-32号开关面板"));
    // The test pages scroll rather than widen the console past a laptop screen.
    tabs->addTab(scrolling(new InfraredPage(context)), QStringLiteral("测试红外发送"));
    tabs->addTab(scrolling(new QuickControlPage(context)), QStringLiteral("设备控制"));
    tabs->addTab(scrolling(new OtherSettingsPage(context)), QStringLiteral("其它配置"));
    // The pages sit on button face, as the tab area around them.
    for (int i = 0; i < tabs->count(); ++i) tabs->widget(i)->setAutoFillBackground(true);
    connect(tabs, &QTabWidget::currentChanged, this, &ConsoleWindow::updateRunButtons);
}

QTabWidget* ConsoleWindow::tabs() const {
    return m_frame->tabs();
}

QString ConsoleWindow::titleLine() const {
    return m_title->text();
}
QString ConsoleWindow::statusLine() const {
    return m_status->text();
}
QString ConsoleWindow::runSummary() const {
    return m_runSummary;
}

QStringList ConsoleWindow::differences() const {
    QStringList texts;
    for (int i = 0; i < m_differences->count(); ++i) texts << m_differences->item(i)->text();
    return texts;
}

void ConsoleWindow::setBusLogShown(bool shown) {
    if (m_busLog->isVisibleTo(this) == shown) return;
    m_busLog->setVisible(shown);
    if (m_logToggle->isChecked() != shown) m_logToggle->setChecked(shown);
    if (!shown) return;
    m_busLog->showNewLines();
    // A third of the height, so a run's lines can be read without dragging the splitter.
    const int total = m_splitter->height();
    m_splitter->setSizes({total - total / 3, total / 3});
}

void ConsoleWindow::runAction(Action action) {
    if (action == Action::SendAll && !BeforeRead::sendAllowed(*m_context)) return;
    m_commandMs = m_context->elapsedMs();
    if (action == Action::Stop) m_sequencer->cancel();
    if (action == Action::ReadAll && m_sequencer->readIntoEmptyRoom()) return;
    commissioning::Engine& engine = m_context->engine();
    m_context->run([&engine, action](TimePoint now, bool confirmed) {
        return engine.command(action, now, confirmed);
    });
}

// What a test page sent, for the installer who does not watch the bus log.
void ConsoleWindow::showCommandSent(const QString& what) {
    const QString time = m_options.clock().time().toString(QStringLiteral("HH:mm:ss"));
    m_status->setText(
        QStringLiteral("已发送: %1  %2").arg(what.isEmpty() ? QStringLiteral("指令") : what, time));
}

void ConsoleWindow::showHelp() {
    HelpDialog dialog(this);
    dialog.exec();
}

// ---------------------------------------------------------------------------------------------
// What the engine reports

void ConsoleWindow::applyEffects(const Effects& effects) {
    if (effects.runStarted) onRunStarted(*effects.runStarted);
    // A single-device send starts a fresh list, as the engine's own does.
    if (effects.pageSendsEnabled == false && !effects.runStarted) m_differences->clear();
    if (effects.progress) onProgress(*effects.progress);
    if (const std::string* status = effects.status()) m_status->setText(fromUtf8(*status));
    if (effects.title) m_title->setText(fromUtf8(*effects.title));
    const int device = m_context->engine().verifyState().verifyDevice;
    for (std::size_t i = 0; i < effects.differences.size(); ++i) {
        const QString prefix =
            device > 0 ? QStringLiteral("%1号: ").arg(device, 2, 10, QLatin1Char('0')) : QString();
        QString text = prefix + fromUtf8(effects.differences[i]);
        // The same difference in lamp names, below the device's own words.
        if (i < effects.differenceLamps.size() && !effects.differenceLamps[i].empty())
            text += QLatin1Char('\n') + fromUtf8(effects.differenceLamps[i]);
        auto* item = new QListWidgetItem(text, m_differences);
        item->setToolTip(text);  // every line in full, however narrow the list
    }
    if (!effects.differences.empty()) m_differences->scrollToBottom();
    if (effects.runFinished) onRunFinished(*effects.runFinished);
    if (effects.runButtonsShown) {
        m_runButtonsAllowed = *effects.runButtonsShown;
        updateRunButtons();
    }
}

// What the last run found belongs to that run and that room: a new run, another room or another
// port starts from nothing.
void ConsoleWindow::clearLastRun() {
    // Another room or port: nothing to retry. A run starting keeps what it retries.
    if (!m_context->engine().runActive()) m_sequencer->forgetLastRun();
    setRunResultLook(m_progress, m_status, true);
    m_title->setText(consoleTitleLine(m_context->room(), m_options.clock()));
    m_recordBar->recordLabel()->clear();
    m_differences->clear();
    m_runSummary.clear();
    m_progress->hide();
}

void ConsoleWindow::onRunStarted(const Progress& progress) {
    clearLastRun();
    m_busLog->runStarted(m_commandMs, QStringLiteral("==== %1 ====").arg(runName(progress.mode)));
    m_runClock.start();
    m_lastProgress = progress;
    m_progress->show();
    m_elapsedTimer->start();
    onProgress(progress);
}

void ConsoleWindow::onProgress(const Progress& progress) {
    m_lastProgress = progress;
    m_progress->setRange(0, std::max(1, progress.total));
    m_progress->setValue(std::min(progress.visited, std::max(1, progress.total)));
    updateElapsed();
}

void ConsoleWindow::updateElapsed() {
    const Progress& p = m_lastProgress;
    const double seconds = static_cast<double>(m_runClock.elapsed()) / 1000.0;
    m_progress->setFormat(QStringLiteral("第%1个  %2/%3  已应答%4  %5秒")
                              .arg(p.device, 2, 10, QLatin1Char('0'))
                              .arg(p.visited)
                              .arg(p.total)
                              .arg(p.answered)
                              .arg(seconds, 0, 'f', 1));
}

void ConsoleWindow::onRunFinished(const RunSummary& summary) {
    m_elapsedTimer->stop();
    const double seconds = static_cast<double>(m_runClock.elapsed()) / 1000.0;
    m_progress->setRange(0, std::max(1, summary.total));
    m_progress->setValue(std::min(summary.visited, std::max(1, summary.total)));
    const QString ended = runName(summary.mode) +
                          (summary.stopped ? QStringLiteral("已停止") : QStringLiteral("结束"));
    const bool clean = commissioning::cleanRun(summary);
    const QString outcome = fromUtf8(commissioning::runOutcomeText(summary));
    // A run that left a device silent or different says so first, never in the calm words of
    // a clean one; the status line keeps its text and adds the same few words.
    const QString text =
        clean ? QStringLiteral("%1: 处理%2/%3个, 应答%4个, 用时%5秒")
                    .arg(ended)
                    .arg(summary.visited)
                    .arg(summary.total)
                    .arg(summary.answered)
                    .arg(seconds, 0, 'f', 1)
              : QStringLiteral("%1: %2, 用时%3秒").arg(ended, outcome).arg(seconds, 0, 'f', 1);
    if (!clean && !summary.scan)
        m_status->setText(m_status->text() + QStringLiteral("   ") + outcome);
    setRunResultLook(m_progress, m_status, clean);
    m_progress->setFormat(text);
    m_runSummary = text;
    m_busLog->runFinished(QStringLiteral("==== %1 ====").arg(text));
}

void ConsoleWindow::updateRunButtons() {
    const bool onSwitchTab = tabs()->currentIndex() < kFirstTestTab;
    // Between two runs of one command the console stays busy.
    const bool idle = m_runButtonsAllowed && !m_sequencer->playing();
    for (QPushButton* button : m_runButtons) {
        // During a run the hidden buttons keep their place, so nothing moves under the cursor.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(onSwitchTab);
        button->setSizePolicy(policy);
        button->setVisible(onSwitchTab && idle);
    }
    m_ports->setEnabled(idle);
    m_stop->setVisible(!idle);
    m_retry->setVisible(idle);
    m_retry->setEnabled(m_sequencer->retryAllowed());
}

// ---------------------------------------------------------------------------------------------
// Closing

void ConsoleWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
            button->click();
        } else {
            accept();  // Enter ends the console with OK
        }
        return;
    }
    QDialog::keyPressEvent(event);  // Escape: reject
}

void ConsoleWindow::done(int result) {
    // Nothing of a run outlives the window: the installer agrees to cut it short, and it ends as
    // "停止" ends it, its entry written before the window goes.
    if (m_context->engine().runActive()) {
        const platform::Answer answer = m_context->prompter().question(
            QStringLiteral("正在调试, 确定中断?"), platform::defaultCaption(),
            platform::QuestionButtons::OkCancel);
        if (answer != platform::Answer::Ok) return;
        // The run may have ended on its own while the box was up.
        if (m_context->engine().runActive()) runAction(Action::Stop);
    }
    m_sequencer->cancel();  // no run of a command starts after the window has gone
    QDialog::done(result);
}

bool ConsoleWindow::runModal(RoomDocument& document, platform::Prompter& prompter, QWidget* parent,
                             ConsoleOptions options) {
    ConsoleWindow console(document, prompter, std::move(options), parent);
    const int result = console.exec();
    return result != QDialog::Accepted && console.context().engine().readBackDone();
}

}  // namespace room::gui
