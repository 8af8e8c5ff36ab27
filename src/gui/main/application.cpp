#include "gui/main/application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPalette>
#include <QPointer>
#include <QStyleFactory>
#include <cstdio>

#include "gui/console/console_window.h"
#include "gui/console/scan_window_setting.h"
#include "gui/editors/editor_flow.h"
#include "gui/job/job_window.h"
#include "gui/main/file_dialogs.h"
#include "gui/main/main_window.h"
#include "gui/ports/port_combo_box.h"
#include "gui/records/record_location_dialog.h"
#include "gui/records/record_sync.h"
#include "gui/records/records_dialog.h"
#include "gui/toolkit/colors.h"
#include "platform/prompter.h"
#include "platform/qt_translations.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "platform/speech.h"

namespace room::gui {

StartOptions parseStartOptions(const QStringList& arguments) {
    StartOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (argument == QLatin1String("--exit-when-shown")) {
            options.exitWhenShown = true;
        } else if (argument.startsWith(QLatin1String("--")) || !options.file.isEmpty()) {
            options.error = argument;
        } else {
            options.file = argument;
        }
    }
    return options;
}

bool claimSingleInstance(platform::SingleInstance& instance, platform::Prompter& prompter) {
    if (instance.acquire()) return true;
    prompter.information(kAlreadyRunningText, platform::defaultCaption());
    return false;
}

void applyDialogColours(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = app.palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, dialogBackground());
        palette.setColor(group, QPalette::WindowText, dialogText());
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, dialogBackground());
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xB0, 0xC0, 0xC0));
    app.setPalette(palette);
}

namespace {
void readSettings(model::RoomTypeConfig& room) {
    const format::Settings settings = platform::SettingsStore().read();
    room.systemTypeSelection = settings.systemTypeSelection;
    room.lampTableName = settings.lampTableName;
}

// Qt's own texts (standard buttons, file dialogs) in Chinese, like the rest of the program.
// Without them the program still works, in part in English: say so where a packager looks.
void installQtTexts() {
    const QStringList missing = platform::installChineseQtTexts();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "roomcfg: Qt's Chinese translations not found (%s)\n",
                     missing.join(QStringLiteral(", ")).toLocal8Bit().constData());
    }
}

// Prints the time to the first painted window and ends the run (start-up benchmark).
void exitWhenShown(MainWindow& window, const QElapsedTimer& clock) {
    QObject::connect(&window, &MainWindow::firstShown, &window, [&window, &clock] {
        window.repaint();
        std::printf("shown-after-ms %.3f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}
// The console, opened again on the room type of a job's room when the installer chose to open it
// from the console's room list (after the window asked to save the one open).
bool runConsoleInJob(MainWindow& window, RoomDocument& doc, platform::Prompter& prompter,
                     QWidget* parent, const QString& roomNumber) {
    QString path;
    QString room = roomNumber;
    bool changed = false;
    for (;;) {
        ConsoleOptions options;
        options.records.roomNumber = room;
        options.openRoomType = [&path, &room](const QString& chosen, const QString& number) {
            path = chosen;
            room = number;
        };
        changed = ConsoleWindow::runModal(doc, prompter, parent, std::move(options)) || changed;
        if (path.isEmpty()) return changed;
        path.clear();
        // What a read all brought in is the window's before it may be saved or let go.
        if (changed) window.refresh();
        window.syncTitle();
        if (!window.askToSaveChanges() || !window.openFile(path)) return false;
        changed = false;
    }
}

// A room of the board in the main window, then the console for it: the installer is asked
// first about unsaved changes of the room type that is open.
void openJobRoom(MainWindow& window, platform::Prompter& prompter, const QString& path,
                 const QString& roomNumber) {
    if (!window.askToSaveChanges() || !window.openFile(path)) return;
    if (runConsoleInJob(window, window.document(), prompter, &window, roomNumber)) window.refresh();
    window.document().sendGate = false;
    window.syncTitle();
}

// One board at a time, beside the main window; the command brings it forward when it is open.
void showJobWindow(QPointer<JobWindow>& board, platform::Prompter& prompter, MainWindow& window,
                   QWidget* parent) {
    if (!board) {
        JobWindowOptions options;
        options.openRoom = [&window, &prompter](const QString& path, const QString& roomNumber) {
            openJobRoom(window, prompter, path, roomNumber);
        };
        board = new JobWindow(prompter, std::move(options), parent);
        board->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        board->reload();
    }
    board->show();
    board->raise();
    board->activateWindow();
}

}  // namespace

int runApplication(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const StartOptions options = parseStartOptions(QCoreApplication::arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "usage: roomcfg [--simulate] [FILE]\nunknown argument: %s\n",
                     options.error.toLocal8Bit().constData());
        return 2;
    }
    installQtTexts();
    platform::QtPrompter prompter;
    platform::SingleInstance instance(QCoreApplication::applicationName());
    if (!claimSingleInstance(instance, prompter)) return 1;
    applyDialogColours(app);

    RoomDocument document;
    document.simulate = options.simulate;
    readSettings(document.room);
    PortComboBox::setSimulationOffered(options.simulate);

    QtFileDialogs dialogs;
    platform::QtSpeech speech;
    platform::SettingsStore settings;
    PortComboBox::setPathMemory(&settings);
    setScanWindowStore(&settings);
    RecordLocationDialog::useSavedLocation(settings);
    // Entries kept on this computer while the record was out of reach go now, and then every
    // minute, on a thread of their own so a server out of reach never holds up the window.
    RecordSync sync;
    MainWindow window(document, MainWindowServices{&prompter, &dialogs, &speech, &settings});
    prompter.setParent(&window);
    CommandHooks hooks;
    hooks.download = [&prompter, &window](RoomDocument& doc, QWidget* parent) {
        return runConsoleInJob(window, doc, prompter, parent, {});
    };
    hooks.newRoomType = [&prompter, &settings](RoomDocument& doc, QWidget* parent) {
        return runEditorFlow(editing::FlowKind::New, doc, prompter, &settings, parent);
    };
    hooks.modifyRoomType = [&prompter, &settings](RoomDocument& doc, QWidget* parent) {
        return runEditorFlow(editing::FlowKind::Modify, doc, prompter, &settings, parent);
    };
    hooks.sceneModes = [&prompter, &settings](RoomDocument& doc, QWidget* parent) {
        return runEditorFlow(editing::FlowKind::SceneModes, doc, prompter, &settings, parent);
    };
    hooks.records = [&prompter](QWidget* parent) {
        RecordsDialog dialog(prompter, {}, parent);
        dialog.exec();
    };
    QPointer<JobWindow> jobWindow;
    hooks.jobBoard = [&prompter, &window, &jobWindow](QWidget* parent) {
        showJobWindow(jobWindow, prompter, window, parent);
    };
    hooks.recordLocation = [&settings, &jobWindow](QWidget* parent) {
        RecordLocationDialog dialog(&settings, [](QWidget* owner, const QString& current) {
            return QFileDialog::getSaveFileName(owner, QStringLiteral("调试记录文件"), current,
                                                QStringLiteral("调试记录(*.sqlite)"), nullptr,
                                                QFileDialog::DontConfirmOverwrite);
        }, parent);
        // The board shows the record it opened with: it closes for the new one.
        if (dialog.exec() == QDialog::Accepted && jobWindow) jobWindow->close();
    };
    window.setCommandHooks(hooks);
    if (options.exitWhenShown) exitWhenShown(window, clock);
    window.show();
    if (!options.file.isEmpty()) window.openFile(options.file);
    return app.exec();
}

}  // namespace room::gui
