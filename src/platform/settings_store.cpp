#include "platform/settings_store.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "platform/file_io.h"

namespace room::platform {
namespace {

// A settings file is a few lines; anything far larger is not one, and is neither loaded whole
// nor overwritten.
constexpr qint64 kMaxFileSize = 1 << 20;

QString fileIn(const QString& folder) {
    return QDir(folder).filePath(QString::fromUtf8(format::kSettingsFileName.data(),
                                                   qsizetype(format::kSettingsFileName.size())));
}

}  // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QCoreApplication::applicationDirPath(),
                    QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)) {}

SettingsStore::SettingsStore(const QString& folder) : m_folder(folder) {}

SettingsStore::SettingsStore(const QString& programFolder, const QString& userFolder)
    : SettingsStore(programFolder, userFolder, isWritableFolder(programFolder)) {}

SettingsStore::SettingsStore(const QString& programFolder, const QString& userFolder,
                             bool programFolderWritable) {
    if (programFolderWritable || userFolder.isEmpty()) {
        m_folder = programFolder;
    } else {
        m_folder = userFolder;
        m_fallbackPath = fileIn(programFolder);
    }
}

bool SettingsStore::isWritableFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    // Permission bits do not tell the whole story (ACLs, read-only media, a root user), so try.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("setinfo-probe-XXXXXX")));
    return probe.open();
}

QString SettingsStore::filePath() const {
    return fileIn(m_folder);
}

SettingsStore::Load SettingsStore::load(QByteArray& bytes, QString* error) const {
    QString path = filePath();
    if (!QFileInfo::exists(path)) {
        if (m_fallbackPath.isEmpty() || !QFileInfo::exists(m_fallbackPath)) return Load::Missing;
        path = m_fallbackPath;
    }
    // Not a regular file (a FIFO would hold the start-up before any window shows) or too large:
    // the file is not taken and not overwritten.
    ReadResult read = readFileBytes(path, kMaxFileSize);
    if (!read.ok) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), read.error);
        return Load::Failed;
    }
    bytes = std::move(read.bytes);
    return Load::Read;
}

format::Settings SettingsStore::read() const {
    QByteArray bytes;
    if (load(bytes) != Load::Read) return {};
    return format::parseSettings(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

std::string SettingsStore::readSetting(std::string_view key) const {
    QByteArray bytes;
    if (load(bytes) != Load::Read) return {};
    return format::readSetting(std::string_view(bytes.constData(), std::size_t(bytes.size())), key);
}

bool SettingsStore::writeSystemType(int systemType) {
    return writeSetting(format::kLastSystemTypeKey, std::to_string(systemType));
}

bool SettingsStore::writeSetting(std::string_view key, std::string_view value) {
    return update([&](std::string_view bytes) { return format::writeSetting(bytes, key, value); });
}

QStringList SettingsStore::readList(std::string_view prefix, std::size_t count) const {
    QByteArray bytes;
    QStringList items;
    if (load(bytes) != Load::Read) return items;
    const auto values = format::readSettingList(
        std::string_view(bytes.constData(), std::size_t(bytes.size())), prefix, count);
    for (const std::string& value : values) items << QString::fromStdString(value);
    return items;
}

bool SettingsStore::writeList(std::string_view prefix, const QStringList& items,
                              std::size_t count) {
    std::vector<std::string> values;
    for (const QString& item : items) values.push_back(item.toStdString());
    return update([&](std::string_view bytes) {
        return format::writeSettingList(bytes, prefix, values, count);
    });
}

// Reads the file, changes it in memory and writes it whole, keeping every other line.
bool SettingsStore::update(const std::function<std::string(std::string_view)>& change) {
    m_error.clear();
    QByteArray bytes;
    if (load(bytes, &m_error) == Load::Failed) return false;
    const std::string updated = change(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("%1: 无法创建文件夹").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    const WriteResult written = saveFileBytes(filePath(), QByteArray::fromStdString(updated));
    if (!written.ok) {
        m_error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(filePath()), written.error);
        return false;
    }
    return true;
}

}  // namespace room::platform
