#pragma once
// Start-up of the desktop program: single instance, dialog colours, settings, the room type and
// the main window. `roomcfg [--simulate] [FILE]`; --exit-when-shown (for the start-up benchmark)
// prints the time from the start of main to the first painted window and quits.

#include <QString>
#include <QStringList>

class QApplication;

namespace room::platform {
class Prompter;
class SingleInstance;
}  // namespace room::platform

namespace room::gui {

struct StartOptions {
    bool simulate = false;
    bool exitWhenShown = false;
    QString file;
    QString error;  // an unknown option
};

StartOptions parseStartOptions(const QStringList& arguments);

// The second-instance refusal: false (after the message) when another copy holds the lock.
bool claimSingleInstance(platform::SingleInstance& instance, platform::Prompter& prompter);
inline const QString kAlreadyRunningText =
    QStringLiteral("软件已经运行，如未显示，请打开任务管理器结束此进程!");

// Background RGB(0x55, 0x78, 0x78) and white text for every dialog and message box.
void applyDialogColours(QApplication& app);

int runApplication(int argc, char** argv);

}  // namespace room::gui
