#include "platform/save_stream.h"

#include <QFileInfo>
#include <cerrno>

#include "platform/file_reason.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace room::platform {

namespace {

constexpr qsizetype kBlockBytes = 256 * 1024;

int lastSystemError() {
#ifdef Q_OS_UNIX
    return errno;
#else
    return 0;  // Qt's own text names a Windows error
#endif
}

}  // namespace

SaveStream::SaveStream(const QString& path) : m_file(path) {}

SaveStream::~SaveStream() {
    if (m_file.isOpen()) m_file.cancelWriting();
}

bool SaveStream::begin() {
    const QFileInfo info(m_file.fileName());  // follows a symlink, as QSaveFile does
    if (info.exists() && !info.isFile()) {
        m_error = info.isDir() ? isAFolderReason() : notARegularFileReason();
        return false;
    }
    errno = 0;
    // Unbuffered underneath: a buffered QSaveFile reports every write as done.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail();
        return false;
    }
    m_pending.reserve(kBlockBytes);
    return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 SaveStream::readData(char*, qint64) {
    return -1;
}

qint64 SaveStream::writeData(const char* data, qint64 size) {
    if (failed()) return -1;
    m_pending.append(data, static_cast<qsizetype>(size));
    if (m_pending.size() >= kBlockBytes && !writeOut()) return -1;
    return size;
}

bool SaveStream::writeOut() {
    qsizetype done = 0;
    // A short write carries no error of its own; writing the rest brings out the reason.
    while (done < m_pending.size()) {
        errno = 0;
        const qint64 written = m_file.write(m_pending.constData() + done, m_pending.size() - done);
        if (written <= 0) {
            fail();
            return false;
        }
        done += static_cast<qsizetype>(written);
    }
    m_pending.clear();
    return true;
}

void SaveStream::fail() {
    if (m_error.isEmpty()) {
        m_error = fileErrorReason(lastSystemError(), m_file.error(), m_file.errorString());
    }
}

bool SaveStream::finish() {
    if (failed() || !m_file.isOpen()) return false;
    close();
    if (!writeOut()) {
        m_file.cancelWriting();
        return false;
    }
#ifdef Q_OS_UNIX
    // QSaveFile syncs before it renames but ignores the outcome; a full disk may show only here.
    if (::fsync(m_file.handle()) != 0) {
        m_error = fileErrorReason(errno, QFileDevice::WriteError, QString());
        m_file.cancelWriting();
        return false;
    }
#endif
    errno = 0;
    if (!m_file.commit()) {
        fail();
        return false;
    }
    return true;
}

void SaveStream::cancel() {
    close();
    if (m_file.isOpen()) m_file.cancelWriting();
}

}  // namespace room::platform
