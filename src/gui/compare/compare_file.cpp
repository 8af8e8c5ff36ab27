#include "gui/compare/compare_file.h"

#include <QDir>

#include "core/format/shd_file.h"
#include "gui/compare/compare_window.h"
#include "gui/main/file_commands.h"
#include "gui/main/file_dialogs.h"
#include "platform/file_io.h"
#include "platform/prompter.h"

namespace room::gui {

CompareWindow* compareWithFile(const model::RoomTypeConfig& room, FileDialogs& dialogs,
                               platform::Prompter& prompter, QWidget* parent) {
    const QString path = dialogs.openFileName(parent);
    if (path.isEmpty()) return nullptr;
    const platform::ReadResult read =
        platform::readFileBytes(path, qint64(format::kMaxRoomTypeFileBytes));
    if (!read.ok) {
        prompter.warning(openFailedText(path, read.error), platform::defaultCaption());
        return nullptr;
    }
    // Read over a copy, as Open would: what the file does not carry stays as in memory.
    model::RoomTypeConfig other = room;
    const format::LoadResult result = format::readRoomTypeFile(
        std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())),
        other);
    if (result.refused()) {
        for (const std::string& message : result.messages) {
            prompter.warning(QString::fromStdString(message), platform::defaultCaption());
        }
        return nullptr;
    }
    // What a save of the room type in memory would change, the S line's first field included.
    if (result.headerByte >= 0) other.headerByte = result.headerByte;
    return showComparison(room, other, QString::fromUtf8(kInMemoryText),
                          QDir::toNativeSeparators(path), parent);
}

}  // namespace room::gui
