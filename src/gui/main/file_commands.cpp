#include "gui/main/file_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "core/export/yaml_export.h"
#include "core/format/shd_file.h"
#include "gui/main/file_dialogs.h"
#include "platform/file_io.h"
#include "platform/prompter.h"

namespace room::gui {

namespace {
QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Windows names do not care about case, and an installer typing "ROOM.SHD" means a room file.
bool endsWith(const QString& path, const char* suffix) {
    return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}
}  // namespace

QString baseTitle() {
    return QStringLiteral("Tavrin-开关配置软件-标准版") + QStringLiteral("V1.6.2");
}

QString roomWindowTitle(const model::RoomTypeConfig& room, const QString& path) {
    QString title = baseTitle() + fromUtf8(model::titleText(room));
    if (!path.isEmpty()) title += QStringLiteral("   ") + QDir::toNativeSeparators(path);
    return title;
}

QString saveFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("文件保存失败!\n") + QDir::toNativeSeparators(path) +
           QStringLiteral("\n") + reason;
}

QString overwriteFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("覆盖文件时出错！\n") + QDir::toNativeSeparators(path) +
           QStringLiteral("\n") + reason;
}

QString replaceQuestionText(const QString& path) {
    return QDir::toNativeSeparators(path) + QStringLiteral("\n文件已存在，是否替换?");
}

QString openFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("文件打开失败!\n") + QDir::toNativeSeparators(path) +
           QStringLiteral("\n") + reason;
}

SaveOutcome FileCommands::save() {
    const model::RoomTypeConfig& room = m_document.room;
    // The file the room type came from (or last went to), folder and all; else a name from it.
    // After a cloud export the room file beside it is proposed: a second Save is meant to keep
    // the room type, not to export it again.
    const QString ownName = fromUtf8(room.hotelName) + QStringLiteral("-") + fromUtf8(room.roomTypeName);
    const QString last = fromUtf8(room.currentFileName);
    QString proposed = ownName;
    if (!last.isEmpty() && m_newRoomType) {
        proposed = QFileInfo(last).absoluteDir().filePath(ownName);
    } else if (!last.isEmpty()) {
        proposed = endsWith(last, ".yml") ? last.left(last.size() - 4) + QStringLiteral(".shd") : last;
    }
    const QString chosen = m_dialogs.saveFileName(m_parent, proposed);
    if (chosen.isEmpty()) return SaveOutcome::Cancelled;
    return saveAs(chosen);
}

SaveOutcome FileCommands::saveAs(const QString& chosenPath) {
    model::RoomTypeConfig& room = m_document.room;
    const bool cloudFile = endsWith(chosenPath, ".yml");
    const bool roomFile = !cloudFile;
    const bool known = cloudFile || endsWith(chosenPath, ".shd") || endsWith(chosenPath, ".hdq");
    // A name without a suffix the program writes becomes a room file with ".shd" added (it used
    // to write nothing and say nothing).
    const QString target =
        cloudFile ? chosenPath
                  : (known ? chosenPath.left(chosenPath.size() - 4) : chosenPath) +
                        QStringLiteral(".shd");
    // The save dialog asked before replacing the chosen name, not the one with ".shd" added.
    bool confirmed = target == chosenPath;
    if (!known && !confirmReplace(target, confirmed)) return SaveOutcome::Cancelled;

    QByteArray bytes;
    if (roomFile) {
        const std::string text = format::writeRoomTypeFile(room);
        bytes = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    } else {
        const exporting::YamlExport exported = exporting::exportYaml(room);
        for (const std::string& message : exported.messages) {
            m_prompter.information(fromUtf8(message), QString());
        }
        bytes = QByteArray(exported.bytes.data(), static_cast<qsizetype>(exported.bytes.size()));
    }
    if (!write(target, bytes, confirmed)) return SaveOutcome::Failed;

    room.currentFileName = target.toStdString();
    m_newRoomType = false;
    if (roomFile) room.modified = 0;
    m_prompter.information(QStringLiteral("文件保存成功!"), platform::defaultCaption());
    return roomFile ? SaveOutcome::SavedRoomFile : SaveOutcome::SavedExport;
}

// Asks before replacing a file the dialog did not name; false when the installer declined.
bool FileCommands::confirmReplace(const QString& target, bool& confirmed) {
    const QFileInfo info(target);
    if (!info.exists() || info.size() == 0) return true;
    const platform::Answer answer = m_prompter.question(
        replaceQuestionText(target), platform::kQuestionCaption, platform::QuestionButtons::OkCancel);
    confirmed = answer == platform::Answer::Ok;
    return confirmed;
}

// `confirmed`: the save dialog asked before replacing this very name. A ".hdq" choice writes the
// ".shd" beside it, which nobody agreed to replace, so an existing one is left alone.
bool FileCommands::write(const QString& target, const QByteArray& bytes, bool confirmed) {
    const QFileInfo info(target);
    if (!confirmed && info.exists() && info.size() > 0) {
        m_prompter.warning(saveFailedText(target, QStringLiteral("文件已存在")),
                           platform::defaultCaption());
        return false;
    }
    const bool replacing = info.exists();
    const platform::WriteResult written = platform::saveFileBytes(target, bytes);
    if (!written.ok) {
        const QString text = replacing ? overwriteFailedText(target, written.error)
                                       : saveFailedText(target, written.error);
        m_prompter.warning(text, platform::defaultCaption());
        return false;
    }
    return true;
}

OpenOutcome FileCommands::open(QString* openedPath) {
    const QString chosen = m_dialogs.openFileName(m_parent);
    if (chosen.isEmpty()) return OpenOutcome::Cancelled;
    // Whatever the dialog let through (a typed name, "All files"), a file that is not opened says
    // why.
    if (!format::isRoomTypeFileName(chosen.toStdString())) {
        m_prompter.warning(openFailedText(chosen, fromUtf8(format::notRoomTypeMessage())),
                           platform::defaultCaption());
        return OpenOutcome::Refused;
    }
    const OpenOutcome outcome = openPath(chosen);
    if (openedPath) *openedPath = chosen;
    return outcome;
}

OpenOutcome FileCommands::openPath(const QString& path) {
    m_pending.clear();
    const platform::ReadResult read =
        platform::readFileBytes(path, qint64(format::kMaxRoomTypeFileBytes));
    if (!read.ok) {
        m_prompter.warning(openFailedText(path, read.error), platform::defaultCaption());
        return OpenOutcome::Failed;
    }
    model::RoomTypeConfig copy = m_document.room;
    const format::LoadResult result = format::readRoomTypeFile(
        std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())),
        copy);
    if (result.status == format::LoadStatus::NotRoomType) {
        m_pending << openFailedText(path, fromUtf8(format::notRoomTypeMessage()));
    } else {
        for (const std::string& message : result.messages) m_pending << fromUtf8(message);
    }
    if (result.notGbk && !result.refused()) {
        m_pending << fromUtf8(format::notGbkMessage()) + QStringLiteral("\n") +
                         QDir::toNativeSeparators(path);
    }
    if (result.refused()) {
        showPendingMessages();
        return OpenOutcome::Refused;
    }
    // The file just read is what the room type now is: nothing of it is unsaved.
    copy.modified = 0;
    copy.currentFileName = QFileInfo(path).absoluteFilePath().toStdString();
    m_document.room = std::move(copy);
    m_newRoomType = false;
    return result.status == format::LoadStatus::Loaded ? OpenOutcome::Loaded
                                                       : OpenOutcome::LoadedTooOld;
}

void FileCommands::showPendingMessages() {
    const QStringList messages = std::exchange(m_pending, {});
    for (const QString& message : messages) m_prompter.warning(message, platform::defaultCaption());
}

}  // namespace room::gui
