#include "gui/main/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace room::gui {

QString QtFileDialogs::saveFileName(QWidget* parent, const QString& proposedName) {
    QFileDialog dialog(parent, QStringLiteral("另存为"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kRoomFileFilter, kCloudFileFilter});
    dialog.setDefaultSuffix(QStringLiteral("shd"));
    // Choosing the cloud filter makes a typed base name a .yml name, as the filter promises.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f == kCloudFileFilter ? QStringLiteral("yml")
                                                      : QStringLiteral("shd"));
    });
    // A path starts the dialog in its folder; a bare name in the dialog's own.
    const QFileInfo proposed(proposedName);
    if (proposed.isAbsolute()) {
        dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    } else {
        dialog.selectFile(proposedName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString QtFileDialogs::openFileName(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("打开"), QString(), kRoomFileFilter);
}

}  // namespace room::gui
