#pragma once
// The Open and Save-as dialogs behind an interface, so that tests answer them.

#include <QString>

class QWidget;

namespace room::gui {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // "另存为" with the two filters, proposing `proposedName` (a full path starts in its folder);
    // empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& proposedName) = 0;
    // The open dialog with the filter "配置文件(*.shd)"; empty when cancelled.
    virtual QString openFileName(QWidget* parent) = 0;
};

class QtFileDialogs : public FileDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& proposedName) override;
    QString openFileName(QWidget* parent) override;
};

inline const QString kRoomFileFilter = QStringLiteral("配置文件(*.shd)");
inline const QString kCloudFileFilter = QStringLiteral("云端文件(*.yml)");

}  // namespace room::gui
