#pragma once
// The About box behind "关于 Tavrin_dorodov(&A)...": the program's icon, name and version.

#include <QDialog>

namespace room::gui {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace room::gui
