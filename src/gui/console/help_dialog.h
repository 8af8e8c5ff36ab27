#pragma once
// "说明" of the console: how to download to many switches of one kind at once.

#include <QDialog>

namespace room::gui {

class HelpDialog : public QDialog {
    Q_OBJECT

public:
    explicit HelpDialog(QWidget* parent = nullptr);
};

// The one line of the help text, with its ASCII double quotes.
inline const QString kDownloadHelpText = QStringLiteral(
    "1.批量对一种开关进行下载时，选择\"下发配置\"和\"收到即执行\"，下发时同时会修改编号。");

}  // namespace room::gui
