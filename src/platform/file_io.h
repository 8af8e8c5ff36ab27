#pragma once
// Whole-file reads and safe replacement writes.
//
// A read takes regular files only (a FIFO or a device would block or never end) and refuses one
// larger than the caller's limit before reading it, so no file makes the program wait or fill its
// memory. A save goes to a uniquely named temporary file beside the target (QSaveFile), reaches
// the disk and replaces the target only after every byte was written, so a failed save leaves the
// old file as it was and touches nothing else. Every failure carries its reason in Chinese
// (platform/file_reason.h), captured where it happens: Qt loses it after a short write.

#include <QByteArray>
#include <QString>

namespace room::platform {

struct ReadResult {
    bool ok = false;
    QByteArray bytes;
    QString error;  // why the file could not be read
};

struct WriteResult {
    bool ok = false;
    QString error;  // why the file could not be written
};

ReadResult readFileBytes(const QString& path, qint64 maxBytes);
// A symlink is followed: the file it points to is replaced, as the user chose that name. A
// target that exists and is not a regular file (a folder, a FIFO, a device) is refused.
WriteResult saveFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace room::platform
