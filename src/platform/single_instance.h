#pragma once
// One running copy per user: a lock file named after the program and the user, in the user's
// runtime folder (or the temporary folder when the session has none).
// A lock left behind by a crashed run is taken over (its process no longer exists).

#include <QLockFile>
#include <QString>

namespace room::platform {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programName);
    // True when this process now holds the lock; false while another running copy holds it.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};

QString singleInstanceLockPath(const QString& programName);

}  // namespace room::platform
