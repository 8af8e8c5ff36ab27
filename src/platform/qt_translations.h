#pragma once
// Qt's own texts in Chinese: the standard buttons (确定, 取消, 是, 否), the file dialogs and their
// overwrite question, serial port errors. The catalogues come with Qt (Debian:
// qt6-translations-l10n; Windows: windeployqt copies them beside the program).

#include <QStringList>

namespace room::platform {

// Installs the Chinese catalogues for the application's lifetime. Returns the names of those
// that could not be loaded (empty when all did), so start-up can say what is missing.
QStringList installChineseQtTexts();

}  // namespace room::platform
