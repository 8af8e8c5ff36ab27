#pragma once
// The program's only top-level window: the toolbar (new, open, save, modify, scene modes,
// download), the logic demonstration of the room type and the optional mirror of key presses to
// a device bus. The editors and the device console are hooked in through CommandHooks; without a
// hook their buttons only emit the matching signal.

#include <QWidget>
#include <functional>
#include <memory>

#include "core/demo/demo_session.h"
#include "gui/main/room_document.h"

class QMenu;

namespace room::platform {
class Prompter;
class SettingsStore;
class Speech;
}  // namespace room::platform

namespace room::gui {

class DemoMirror;
class DemoPanel;
class FileCommands;
class FileDialogs;
class MainToolbar;
class RecentFiles;
struct PortChoice;

struct MainWindowServices {
    platform::Prompter* prompter = nullptr;
    FileDialogs* fileDialogs = nullptr;
    platform::Speech* speech = nullptr;
    platform::SettingsStore* settings = nullptr;  // keeps "最近打开"; none: for this run only
};

// Each hook runs its dialogs modally over the document and reports what the window must do next.
struct CommandHooks {
    // New / Modify: the definition, port and scene editors in turn over document.edit; true when
    // all three were confirmed (the window then sets the title, refreshes and sets `modified`).
    std::function<bool(RoomDocument&, QWidget*)> newRoomType;
    std::function<bool(RoomDocument&, QWidget*)> modifyRoomType;
    // The scene editor alone; true when confirmed (refresh and `modified`).
    std::function<bool(RoomDocument&, QWidget*)> sceneModes;
    // The device console; true when it was closed other than by OK with its change flag set
    // (the window refreshes). The window clears the send gate afterwards either way.
    std::function<bool(RoomDocument&, QWidget*)> download;
    // "调试记录": the commissioning record of every room.
    std::function<void(QWidget*)> records;
    // "工程进度": the board of the hotel's rooms; it stays open beside the main window.
    std::function<void(QWidget*)> jobBoard;
    // "调试记录位置...": where the record lives (a file, or a shared server).
    std::function<void(QWidget*)> recordLocation;
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(RoomDocument& document, MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setCommandHooks(CommandHooks hooks) { m_hooks = std::move(hooks); }

    // Recomputes the output masks and relabels the demonstration (after every change of the room).
    void refresh();
    // Title after New and Modify: baseTitle and the room's title text.
    void showRoomTitle();
    // The title shows "*" first while the room type has changes not saved.
    void syncTitle();
    // The scene editor's current mode code; relays 1..18 cycle by hand while it is 50..59.
    void setSceneEditorMode(int code) { m_sceneEditorMode = code; }
    int sceneEditorMode() const { return m_sceneEditorMode; }

    void openFromDialog();
    bool openFile(const QString& path);
    void save();
    // "是否保存文件?" when the room type is modified; false when the installer cancelled (or
    // chose to save and the room type is still not saved).
    bool askToSaveChanges();
    RecentFiles* recentFiles() const { return m_recent; }

    RoomDocument& document() { return m_document; }
    MainToolbar* toolbar() const { return m_toolbar; }
    DemoPanel* panel() const { return m_panel; }
    DemoMirror* mirror() const { return m_mirror.get(); }
    void showAbout();

signals:
    void newRequested();
    void modifyRequested();
    void sceneModesRequested();
    void downloadRequested();
    void aboutShown();
    // The window has been shown and painted once.
    void firstShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void runCommand(int id);
    void runEditor(const std::function<bool(RoomDocument&, QWidget*)>& hook, bool setsTitle);
    void runDownload();
    void onKey(int key);
    void onRelay(int relay);
    void onPortChosen(const PortChoice& choice);
    void applyOpened(int outcome, const QString& path);
    void setTitle(const QString& title);
    enum class SaveChoice { Proceed, Saved, Cancelled };
    SaveChoice askSaveChoice();

    RoomDocument& m_document;
    MainWindowServices m_services;
    CommandHooks m_hooks;
    demo::DemoSession m_session;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<DemoMirror> m_mirror;
    MainToolbar* m_toolbar = nullptr;
    DemoPanel* m_panel = nullptr;
    RecentFiles* m_recent = nullptr;
    QString m_title;  // without the "*" of unsaved changes
    int m_sceneEditorMode = 0;
    bool m_shownOnce = false;
};

}  // namespace room::gui
