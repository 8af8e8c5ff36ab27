#include "gui/console/run_result_look.h"

#include <QLabel>
#include <QProgressBar>

namespace room::gui {

namespace {
const char* const kWarningBar =
    "QProgressBar { border: 2px solid #c0392b; border-radius: 3px; background: #fdecea;"
    " color: #8b1a10; font-weight: bold; text-align: center; }"
    "QProgressBar::chunk { background: #f5b041; }";
// Colour only: a bold status line would change width from one run to the next.
const char* const kWarningStatus = "QLabel { color: #ffd24a; }";
}  // namespace

void setRunResultLook(QProgressBar* bar, QLabel* status, bool clean) {
    bar->setProperty("warning", !clean);
    bar->setStyleSheet(clean ? QString() : QString::fromLatin1(kWarningBar));
    bar->setAccessibleDescription(clean ? QString() : QStringLiteral("警告"));
    // Setting or dropping a style sheet gives the label the application's font again: it keeps
    // the console's, so the status line does not change size from one run to the next.
    const QFont font = status->font();
    status->setStyleSheet(clean ? QString() : QString::fromLatin1(kWarningStatus));
    status->setFont(font);
}

}  // namespace room::gui
