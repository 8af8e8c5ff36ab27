#include "gui/toolkit/labelled.h"

#include <QLabel>

namespace room::gui {

QLabel* labelFor(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    nameControl(control, label->text());
    return label;
}

void nameControl(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
}

}  // namespace room::gui
