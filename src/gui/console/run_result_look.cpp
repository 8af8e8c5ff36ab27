#include "gui/console/run_result_look.h"

#include <QLabel>
#include <QProgressBar>

namespace room::gui {

namespace {
const char* const kWarningBar =
    "QProgressBar { border: 2px solid #c0392b; border-radius: 3px; background: #fdecea;"
    " color: #8b1a10; font-weight: bold; text-align: center; }"
    "QProgressBar::chunk { background: #f5b041; }";
const char* const kWarningStatus = "QLabel { color: #ffd24a; font-weight: bold; }";
}  // namespace

void setRunResultLook(QProgressBar* bar, QLabel* status, bool clean) {
    bar->setProperty("warning", !clean);
    bar->setStyleSheet(clean ? QString() : QString::fromLatin1(kWarningBar));
    bar->setAccessibleDescription(clean ? QString() : QStringLiteral("警告"));
    status->setStyleSheet(clean ? QString() : QString::fromLatin1(kWarningStatus));
}

}  // namespace room::gui
