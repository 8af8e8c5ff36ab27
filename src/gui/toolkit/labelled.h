#pragma once
// A control is found by the text of the label beside it: screen readers and tests that drive a
// window by what a person reads. The label becomes the control's buddy (its mnemonic, clicks on
// it focus the control) and its text the control's accessible name.

#include <QString>

class QLabel;
class QWidget;

namespace room::gui {

// Returns `label`, now naming `control`.
QLabel* labelFor(QLabel* label, QWidget* control);

// For a control whose only caption is its group's title or its tooltip.
void nameControl(QWidget* control, const QString& name);

}  // namespace room::gui
