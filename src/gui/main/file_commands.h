#pragma once
// Open and Save of the main window: the dialogs, the extension dispatch, the room-type file and the
// cloud export, and the messages. The window applies the outcome (title, refresh).
//
// Open reads into a copy of the room type and takes it only when the file was not refused, so a
// file of another program version, or one that holds no room type, never costs the installer the
// room type in memory. Save never
// deletes the old file first: the new content replaces it only once completely written.

#include <QString>
#include <QStringList>

#include "gui/main/room_document.h"

class QWidget;

namespace room::platform {
class Prompter;
}

namespace room::gui {

class FileDialogs;

enum class SaveOutcome { Cancelled, SavedRoomFile, SavedExport, NotWritten, Failed };
enum class OpenOutcome { Cancelled, Loaded, LoadedTooOld, Refused, Failed };

class FileCommands {
public:
    FileCommands(RoomDocument& document, platform::Prompter& prompter, FileDialogs& dialogs,
                 QWidget* parent)
        : m_document(document), m_prompter(prompter), m_dialogs(dialogs), m_parent(parent) {}

    // Asks for a name and saves; on success the file written is in currentFileName.
    SaveOutcome save();
    SaveOutcome saveAs(const QString& chosenPath);

    // Asks for a file and opens it; `openedPath` receives the path on Loaded/LoadedTooOld.
    OpenOutcome open(QString* openedPath);
    // Opens a named file (the command line); the extension check is the dialog's.
    OpenOutcome openPath(const QString& path);
    // Messages of the last open, to be shown once the window shows the result.
    void showPendingMessages();
    // A room type made with New is not the file last saved: Save proposes its own name, in the
    // folder of that file, until it is saved or another file is opened.
    void newRoomTypeMade() { m_newRoomType = true; }

private:
    bool write(const QString& target, const QByteArray& bytes, bool confirmed);
    bool confirmReplace(const QString& target, bool& confirmed);

    RoomDocument& m_document;
    platform::Prompter& m_prompter;
    FileDialogs& m_dialogs;
    QWidget* m_parent;
    QStringList m_pending;
    bool m_newRoomType = false;
};

// The texts of the two failure messages; they name the file and the reason.
QString saveFailedText(const QString& path, const QString& reason);
// An existing file that could not be replaced (it is left as it was).
QString overwriteFailedText(const QString& path, const QString& reason);
// Asked before a name with ".shd" added replaces an existing file.
QString replaceQuestionText(const QString& path);
QString openFailedText(const QString& path, const QString& reason);

}  // namespace room::gui
