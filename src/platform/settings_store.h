#pragma once
// Where "setinfo.ini" lives and how it is read and written. The file belongs beside the program;
// when that folder takes no files (an installation under a protected folder) it moves to the
// per-user configuration folder, and the copy beside the program is still read until the user's
// own copy exists.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <string_view>

#include "core/format/settings.h"

namespace room::platform {

class SettingsStore {
public:
    // Beside the program when that folder is writable, else the per-user configuration folder.
    SettingsStore();
    // The file in `folder` only (tests, tools).
    explicit SettingsStore(const QString& folder);
    // The file in `programFolder` when a file can be created there, else in `userFolder`.
    SettingsStore(const QString& programFolder, const QString& userFolder);
    // The same choice with the program folder's writability already known.
    SettingsStore(const QString& programFolder, const QString& userFolder,
                  bool programFolderWritable);

    QString filePath() const;

    // A missing or unreadable file reads as defaults.
    format::Settings read() const;
    std::string readSetting(std::string_view key) const;

    // Writes "上次选择的主机型号" at once, keeping the rest of the file.
    bool writeSystemType(int systemType);
    // Sets one key of section "设置". False, with errorString(), when the file could not be
    // written; a file that exists but cannot be read is not replaced (its content would be lost).
    bool writeSetting(std::string_view key, std::string_view value);
    QString errorString() const { return m_error; }

    // A short list kept as keys prefix1..prefixN (recent files, typed port paths).
    QStringList readList(std::string_view prefix, std::size_t count) const;
    bool writeList(std::string_view prefix, const QStringList& items, std::size_t count);

    // True when a file can be created and removed in `folder`.
    static bool isWritableFolder(const QString& folder);

private:
    bool update(const std::function<std::string(std::string_view)>& change);
    enum class Load { Missing, Read, Failed };
    // On Failed, `error` (when given) says which file and why.
    Load load(QByteArray& bytes, QString* error = nullptr) const;

    QString m_folder;
    QString m_fallbackPath;  // the program folder's file, read until the user's copy exists
    QString m_error;
};

}  // namespace room::platform
