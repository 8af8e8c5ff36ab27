#include "platform/single_instance.h"

#include <QDir>

namespace room::platform {

QString singleInstanceLockPath(const QString& programName) {
    return QDir(QDir::tempPath()).filePath(programName + QStringLiteral(".lock"));
}

SingleInstance::SingleInstance(const QString& programName)
    : m_path(singleInstanceLockPath(programName)), m_lock(m_path) {
    // The lock is held for the whole run; with the default 30 s a running copy's lock would count
    // as stale. A dead owner is still detected through the process id written in the file.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (m_lock.isLocked()) return true;
    return m_lock.tryLock(0);
}

}  // namespace room::platform
