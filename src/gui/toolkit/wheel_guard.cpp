#include "gui/toolkit/wheel_guard.h"

#include <QEvent>
#include <QWidget>

namespace room::gui {

namespace {

class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->hasFocus()) return false;
        // Eaten here but not accepted: the application hands it on to the parent, so a page in a
        // scroll area still scrolls.
        event->ignore();
        return true;
    }
};

}  // namespace

void ignoreWheelUnlessFocused(QWidget* widget) {
    ignoreWheelUnlessFocused(widget, new WheelGuard(widget));
}

QObject* makeWheelGuard(QObject* owner) {
    return new WheelGuard(owner);
}

void ignoreWheelUnlessFocused(QWidget* widget, QObject* guard) {
    // The default wheel focus would give the list focus on the first notch and then let it change.
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(guard);
}

}  // namespace room::gui
