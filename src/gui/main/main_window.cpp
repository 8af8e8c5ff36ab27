#include "gui/main/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/compare/compare_file.h"
#include "gui/main/about_dialog.h"
#include "gui/main/demo_mirror.h"
#include "gui/main/demo_panel.h"
#include "gui/main/file_commands.h"
#include "gui/main/recent_files.h"
#include "gui/main/toolbar.h"
#include "gui/ports/port_combo_box.h"
#include "platform/prompter.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initRoomResources() {
    Q_INIT_RESOURCE(roomcfg);
}

namespace room::gui {

MainWindow::MainWindow(RoomDocument& document, MainWindowServices services, QWidget* parent)
    : QWidget(parent), m_document(document), m_services(services), m_session(document.room) {
    initRoomResources();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.xpm")));
    setTitle(baseTitle() + QStringLiteral("  "));
    m_files = std::make_unique<FileCommands>(m_document, *m_services.prompter,
                                             *m_services.fileDialogs, this);
    m_mirror = std::make_unique<DemoMirror>(m_document, *m_services.prompter, m_services.speech);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 6);
    m_toolbar = new MainToolbar(this);
    m_panel = new DemoPanel(this);
    column->addWidget(m_toolbar);
    column->addWidget(m_panel);
    column->setSizeConstraint(QLayout::SetFixedSize);

    for (int id : {kCmdSave, kCmdModify, kCmdSceneModes}) m_toolbar->button(id)->hide();
    connect(m_toolbar, &MainToolbar::commandTriggered, this, &MainWindow::runCommand);
    connect(m_toolbar, &MainToolbar::aboutRequested, this, &MainWindow::showAbout);
    connect(m_toolbar, &MainToolbar::recordLocationRequested, this, [this] {
        if (m_hooks.recordLocation) m_hooks.recordLocation(this);
    });
    connect(m_toolbar->portCombo(), &PortComboBox::portChosen, this, &MainWindow::onPortChosen);
    connect(m_panel, &DemoPanel::keyClicked, this, &MainWindow::onKey);
    connect(m_panel, &DemoPanel::relayClicked, this, &MainWindow::onRelay);
    m_recent = new RecentFiles(m_services.settings, m_toolbar->recentMenu(), this);
    connect(m_recent, &RecentFiles::chosen, this, [this](const QString& path) {
        if (askToSaveChanges()) openFile(path);
    });

    QMenu* menu = m_toolbar->menu();
    auto* compare = new QAction(QString::fromUtf8(kCompareEntryText), menu);
    compare->setObjectName(QStringLiteral("actionCompare"));
    menu->insertAction(menu->actions().value(0), compare);
    connect(compare, &QAction::triggered, this, [this] {
        compareWithFile(m_document.room, *m_services.fileDialogs, *m_services.prompter, this);
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::runCommand(int id) {
    switch (id) {
        case kCmdNew:
            if (!askToSaveChanges()) break;
            emit newRequested();
            runEditor(m_hooks.newRoomType, true);
            break;
        case kCmdOpen:
            if (askToSaveChanges()) openFromDialog();
            break;
        case kCmdSave:
            save();
            break;
        case kCmdModify:
            emit modifyRequested();
            runEditor(m_hooks.modifyRoomType, true);
            break;
        case kCmdSceneModes:
            emit sceneModesRequested();
            runEditor(m_hooks.sceneModes, false);
            break;
        case kCmdDownload:
            emit downloadRequested();
            runDownload();
            break;
        case kCmdRecords:
            if (m_hooks.records) m_hooks.records(this);
            break;
        case kCmdJob:
            if (m_hooks.jobBoard) m_hooks.jobBoard(this);
            break;
        default:
            break;
    }
}

void MainWindow::runEditor(const std::function<bool(RoomDocument&, QWidget*)>& hook,
                           bool setsTitle) {
    if (!hook || !hook(m_document, this)) return;
    refresh();
    m_document.room.modified = 1;
    if (setsTitle) {
        m_files->newRoomTypeMade();
        showRoomTitle();
    } else {
        syncTitle();
    }
}

void MainWindow::runDownload() {
    if (!m_hooks.download) return;
    if (m_hooks.download(m_document, this)) refresh();
    m_document.sendGate = false;
    syncTitle();  // a read-back changed the room type
}

void MainWindow::showRoomTitle() {
    setTitle(roomWindowTitle(m_document.room));
}

void MainWindow::setTitle(const QString& title) {
    m_title = title;
    syncTitle();
}

void MainWindow::syncTitle() {
    if (!m_document.room.modified) m_document.fromRead = false;  // saved (or opened) since
    setWindowTitle((m_document.room.modified ? QStringLiteral("*") : QString()) + m_title);
}

void MainWindow::refresh() {
    model::refreshMasks(m_document.room);
    m_session.restart();
    m_panel->relabel(m_session);
    m_panel->setGroupsShown(true);
    for (int id : {kCmdSave, kCmdModify, kCmdSceneModes, kCmdDownload}) {
        m_toolbar->button(id)->show();
        m_toolbar->button(id)->setEnabled(true);
    }
    const bool mirrorRow = m_document.room.sendToSwitch;
    if (mirrorRow && m_toolbar->portCombo()->isHidden()) m_toolbar->portCombo()->refill();
    m_toolbar->setPortRowVisible(mirrorRow);
}

void MainWindow::openFromDialog() {
    QString path;
    const OpenOutcome outcome = m_files->open(&path);
    applyOpened(static_cast<int>(outcome), path);
}

bool MainWindow::openFile(const QString& path) {
    // A name from the command line may be relative: the title shows where the file really is.
    const QString full = QFileInfo(path).absoluteFilePath();
    const OpenOutcome outcome = m_files->openPath(full);
    applyOpened(static_cast<int>(outcome), full);
    return outcome == OpenOutcome::Loaded || outcome == OpenOutcome::LoadedTooOld;
}

void MainWindow::applyOpened(int outcome, const QString& path) {
    const auto result = static_cast<OpenOutcome>(outcome);
    if (result != OpenOutcome::Loaded && result != OpenOutcome::LoadedTooOld) return;
    m_panel->hideButtons();
    setTitle(roomWindowTitle(m_document.room, path));
    if (result == OpenOutcome::Loaded) refresh();
    m_recent->add(path);
    m_files->showPendingMessages();
}

void MainWindow::save() {
    const SaveOutcome outcome = m_files->save();
    if (outcome != SaveOutcome::SavedRoomFile && outcome != SaveOutcome::SavedExport) return;
    const QString written = QString::fromStdString(m_document.room.currentFileName);
    setTitle(roomWindowTitle(m_document.room, written));
    if (outcome == SaveOutcome::SavedRoomFile) m_recent->add(written);
}

bool MainWindow::askToSaveChanges() {
    return askSaveChoice() != SaveChoice::Cancelled;
}

MainWindow::SaveChoice MainWindow::askSaveChoice() {
    if (!m_document.room.modified) return SaveChoice::Proceed;
    const platform::Answer answer =
        m_services.prompter->question(QStringLiteral("是否保存文件?"), platform::kQuestionCaption,
                                      platform::QuestionButtons::YesNoCancel);
    if (answer == platform::Answer::No) return SaveChoice::Proceed;
    if (answer != platform::Answer::Yes) return SaveChoice::Cancelled;
    save();
    return m_document.room.modified ? SaveChoice::Cancelled : SaveChoice::Saved;
}

void MainWindow::onKey(int key) {
    const demo::KeyPress press = m_session.pressKey(key);
    m_panel->showStates(m_session);
    m_mirror->sendPress(press);
}

void MainWindow::onRelay(int relay) {
    if (m_session.pressRelay(relay, m_sceneEditorMode)) m_panel->showStates(m_session);
}

void MainWindow::onPortChosen(const PortChoice& choice) {
    m_mirror->choosePort(choice);
}

void MainWindow::showAbout() {
    auto* about = new AboutDialog(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
    emit aboutShown();
}

// Yes saves and leaves the window open, so the installer sees that the file was written.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (askSaveChoice() == SaveChoice::Proceed) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_toolbar->menu()->popup(event->globalPos());
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    // Queued so that it follows the first paint of the window.
    QTimer::singleShot(0, this, &MainWindow::firstShown);
}

}  // namespace room::gui
