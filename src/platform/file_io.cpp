#include "platform/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "platform/file_reason.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace room::platform {
namespace {

int lastSystemError() {
#ifdef Q_OS_UNIX
    return errno;
#else
    return 0;  // Qt reports Windows errors through GetLastError, which its text already names
#endif
}

QString reasonOf(const QFileDevice& file, int systemError) {
    return fileErrorReason(systemError, file.error(), file.errorString());
}

// Opens `path` for reading without blocking on a FIFO and checks what it is through the open
// handle, so nothing can be swapped in between the check and the read.
bool openRegularFile(const QString& path, qint64 maxBytes, QFile& file, QString& error) {
    error.clear();
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = fileErrorReason(errno, QFileDevice::OpenError, QString());
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = fileErrorReason(errno, QFileDevice::ReadError, QString());
    } else if (S_ISDIR(st.st_mode)) {
        error = isAFolderReason();
    } else if (!S_ISREG(st.st_mode)) {
        error = notARegularFileReason();
    } else if (st.st_size > maxBytes) {
        error = tooLargeReason(maxBytes);
    }
    if (!error.isEmpty()) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        error = reasonOf(file, 0);
        ::close(fd);
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = info.isDir() ? isAFolderReason() : notARegularFileReason();
        return false;
    }
    if (info.size() > maxBytes) {
        error = tooLargeReason(maxBytes);
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = reasonOf(file, 0);
        return false;
    }
    return true;
#endif
}

}  // namespace

ReadResult readFileBytes(const QString& path, qint64 maxBytes) {
    ReadResult result;
    QFile file;
    if (!openRegularFile(path, maxBytes, file, result.error)) return result;
    // One byte past the limit tells a file that grew since it was checked.
    result.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = reasonOf(file, lastSystemError());
        result.bytes.clear();
        return result;
    }
    if (result.bytes.size() > maxBytes) {
        result.error = tooLargeReason(maxBytes);
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

WriteResult saveFileBytes(const QString& path, const QByteArray& bytes) {
    WriteResult result;
    const QFileInfo info(path);  // follows a symlink, as QSaveFile does
    if (info.exists() && !info.isFile()) {
        result.error = info.isDir() ? isAFolderReason() : notARegularFileReason();
        return result;
    }
    QSaveFile file(path);
    errno = 0;
    // Unbuffered: a buffered write always reports success, and when the disk fills part-way the
    // flush that follows fails without a reason (and commit() may even succeed, truncated).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = reasonOf(file, lastSystemError());
        return result;
    }
    // A short write carries no error of its own; writing the rest brings out the reason.
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) break;
        done += written;
    }
    if (done != bytes.size()) {
        result.error = reasonOf(file, lastSystemError());
        file.cancelWriting();
        return result;
    }
#ifdef Q_OS_UNIX
    // QSaveFile syncs before it renames but ignores the outcome; a disk that defers allocation
    // reports a full disk only here.
    if (::fsync(file.handle()) != 0) {
        result.error = fileErrorReason(errno, QFileDevice::WriteError, QString());
        file.cancelWriting();
        return result;
    }
#endif
    errno = 0;
    if (!file.commit()) {
        result.error = reasonOf(file, lastSystemError());
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace room::platform
