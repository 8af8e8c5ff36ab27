#pragma once
// Why a file operation failed, in the words the installer reads: a Chinese phrase for the cause,
// followed by the system's own text when it adds something ("磁盘空间不足 (No space left on
// device)"). Qt's error strings alone are English and, after some failures, only "Unknown error".

#include <QFileDevice>
#include <QString>

namespace room::platform {

// `systemError` is errno right after the failing call (0 when unknown, as on Windows, where
// the category of `error` decides the phrase).
QString fileErrorReason(int systemError, QFileDevice::FileError error, const QString& systemText);

// Reasons that come from the program's own checks rather than from the system.
QString notARegularFileReason();
QString isAFolderReason();
QString tooLargeReason(qint64 limitBytes);

}  // namespace room::platform
