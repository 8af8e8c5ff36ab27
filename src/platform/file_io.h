#pragma once
// Whole-file reads and safe replacement writes. A save goes to a temporary file beside the target
// and replaces it only after every byte was written, so a failed save leaves the old file as it
// was; the reason of a failure is captured where it happens (after a failed commit Qt only says
// "Unknown error").

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

ReadResult readFileBytes(const QString& path);
WriteResult saveFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace room::platform
