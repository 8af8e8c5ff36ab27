#include "platform/settings_store.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

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

SettingsStore::Load SettingsStore::load(QByteArray& bytes) const {
    QString path = filePath();
    if (!QFileInfo::exists(path)) {
        if (m_fallbackPath.isEmpty() || !QFileInfo::exists(m_fallbackPath)) return Load::Missing;
        path = m_fallbackPath;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) return Load::Failed;
    bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize || file.error() != QFileDevice::NoError) return Load::Failed;
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
    m_error.clear();
    QByteArray bytes;
    if (load(bytes) == Load::Failed) {
        m_error = QStringLiteral("%1: the existing file cannot be read").arg(filePath());
        return false;
    }
    const std::string updated = format::writeSetting(
        std::string_view(bytes.constData(), std::size_t(bytes.size())), key, value);
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("%1: the folder cannot be created").arg(m_folder);
        return false;
    }
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    if (file.write(updated.data(), qint64(updated.size())) != qint64(updated.size())) {
        m_error = file.errorString();  // after a failed commit Qt only says "Unknown error"
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_error = QStringLiteral("%1: %2").arg(filePath(), file.errorString());
        return false;
    }
    return true;
}

}  // namespace room::platform
