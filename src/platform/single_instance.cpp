#include "platform/single_instance.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace room::platform {

namespace {

QString userName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        QString name = qEnvironmentVariable(variable);
        // The name goes into a file name: nothing that could leave the folder.
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
        if (!name.isEmpty()) return name;
    }
    return QStringLiteral("user");
}

// The user's own runtime folder where the session has one (XDG_RUNTIME_DIR); otherwise the
// temporary folder, which on Windows is the user's own and elsewhere is shared. Without the
// variable Qt would invent a runtime folder and warn about it.
QString lockFolder() {
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty()) return runtime;
    }
#endif
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation);
}

}  // namespace

// The user name is in the file name too, so that users who share a temporary folder each get
// their own lock.
QString singleInstanceLockPath(const QString& programName) {
    return QDir(lockFolder())
        .filePath(programName + QStringLiteral("-") + userName() + QStringLiteral(".lock"));
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
