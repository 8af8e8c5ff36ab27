#pragma once
// Lists whose change sends a device command or switches the open port must not change under a
// mouse wheel that only meant to scroll the page past them. A guarded widget takes focus by click
// or Tab only, and a wheel over it while it has no focus goes on to the page around it.

class QObject;
class QWidget;

namespace room::gui {

void ignoreWheelUnlessFocused(QWidget* widget);
// For a page of many lists: one guard, owned by `owner`, serves them all.
QObject* makeWheelGuard(QObject* owner);
void ignoreWheelUnlessFocused(QWidget* widget, QObject* guard);

}  // namespace room::gui
