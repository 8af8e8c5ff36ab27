// A mouse wheel over a list that sends a device command or switches the port, while the list has
// no focus: nothing changes and nothing goes on the bus. With focus the wheel still works.

#include <QApplication>
#include <QSignalSpy>
#include <QWheelEvent>

#include "gui/console/console_window.h"
#include "gui/console/other_settings_page.h"
#include "gui/console/quick_control_page.h"
#include "gui/main/toolbar.h"
#include "gui/ports/port_combo_box.h"
#include "support/window_fixture.h"
#include "test_page_fixture.h"

using namespace room::testing;
using room::gui::PortChoice;
using room::gui::PortComboBox;

namespace {

// One notch; `down` moves to the next item.
void wheel(QWidget* widget, bool down = true) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

bool focus(QWidget* widget) {
    QWidget* window = widget->window();
    window->show();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window)) return false;
    widget->setFocus(Qt::OtherFocusReason);
    return widget->hasFocus();
}

QList<PortChoice> twoPorts() {
    return {PortChoice{QStringLiteral("ttyUSB0 adapter"), QStringLiteral("ttyUSB0"), false},
            PortChoice{QStringLiteral("ttyUSB1 adapter"), QStringLiteral("ttyUSB1"), false}};
}

}  // namespace

class WheelGuardTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { PortComboBox::setLister({}); }

    void testPageListsIgnoreAnUnfocusedWheel_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"curtainActions", "modes", "thermostats", "temperatures", "curtains", "lowLights"})
            QTest::newRow(name) << "quick" << name;
        // Every list of the other settings page, whatever it is named.
        QTest::newRow("other settings") << "other"
                                        << "";
    }
    void testPageListsIgnoreAnUnfocusedWheel() {
        QFETCH(QString, page);
        QFETCH(QString, name);
        Console console;
        loadExample(console.document.room);
        QWidget window;
        QWidget* shown =
            page == "quick"
                ? static_cast<QWidget*>(new room::gui::QuickControlPage(*console.context, &window))
                : new room::gui::OtherSettingsPage(*console.context, &window);
        QList<QComboBox*> lists = shown->findChildren<QComboBox*>();
        if (!name.isEmpty()) lists = {list(shown, name)};
        QVERIFY(!lists.isEmpty() && lists.first());
        for (QComboBox* box : lists) {
            const int before = box->currentIndex();
            QVERIFY(box->count() > 1);
            for (int notch = 0; notch < 3; ++notch) wheel(box);
            QCOMPARE(box->currentIndex(), before);
        }
        QCOMPARE(console.sent().size(), 0);

        // The installer who clicked into the list may still scroll through it.
        QComboBox* box = lists.first();
        if (!focus(box)) QSKIP("no window focus on this platform");
        wheel(box);
        QCOMPARE(box->currentIndex(), 1);
    }

    void consolePortListIgnoresAnUnfocusedWheel() {
        PortComboBox::setLister(twoPorts);
        Console console(false);
        room::gui::ConsoleWindow window(console.document, console.prompter);
        PortComboBox* ports = window.portList();
        ports->setCurrentIndex(0);
        QSignalSpy chosen(ports, &PortComboBox::portChosen);
        wheel(ports);
        QCOMPARE(ports->currentIndex(), 0);
        QCOMPARE(chosen.count(), 0);
        QVERIFY(!window.context().portOpen());
    }

    void mainWindowPortListIgnoresAnUnfocusedWheel() {
        PortComboBox::setLister(twoPorts);
        WindowFixture f;
        PortComboBox* ports = f.window->toolbar()->portCombo();
        ports->refill();
        ports->setCurrentIndex(0);
        QSignalSpy chosen(ports, &PortComboBox::portChosen);
        wheel(ports);
        wheel(ports);
        QCOMPARE(ports->currentIndex(), 0);
        QCOMPARE(chosen.count(), 0);
        QVERIFY(!f.document.sendGate);
    }

    // An editor leaves its port list empty until it is used; focus fills it for the arrow keys.
    void anEmptyPortListFillsWhenFocused() {
        PortComboBox::setLister(twoPorts);
        QWidget window;
        auto* ports = new PortComboBox(&window);
        QCOMPARE(ports->count(), 0);
        if (!focus(ports)) QSKIP("no window focus on this platform");
        QCOMPARE(ports->count(), 3);  // the two ports and "其它..."
        QCOMPARE(ports->currentIndex(), -1);  // nothing chosen by focusing
    }
};

QTEST_MAIN(WheelGuardTest)
#include "wheel_guard_test.moc"
