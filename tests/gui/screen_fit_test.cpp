// Laptop screens: the main window, the console and every page of the console fit 1366 x 768
// (less a taskbar and the title bar) with every control inside the window or inside a scroll
// area that brings it into view.
// With ROOM_SCREENSHOTS=dir set, each window is also written there as a PNG; run under Xvfb with
// QT_QPA_PLATFORM=xcb the whole screen is taken as well.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include "gui/console/console_window.h"
#include "gui/editors/definition_dialog.h"
#include "gui/editors/port_dialog.h"
#include "gui/editors/scene_dialog.h"
#include "gui/job/job_window.h"
#include "gui/main/application.h"
#include "gui/ports/port_combo_box.h"
#include "support/editor_finders.h"
#include "support/window_fixture.h"
#include "test_page_fixture.h"

using namespace room::testing;
using room::gui::PortChoice;
using room::gui::PortComboBox;

namespace {

// 1366 x 768 less a 40 px taskbar, the title bar and the frame of a Windows laptop at 100 %.
constexpr QSize kLaptopClient(1366 - 16, 768 - 40 - 31 - 8);

// Where `widget` cannot be seen or reached: empty when it can. A rectangle clipped by a parent is
// unreachable unless that parent is the viewport of a scroll area that scrolls that way and
// `scrolling` allows it.
QString unreachable(QWidget* widget, bool scrolling) {
    QWidget* window = widget->window();
    QRect area = widget->rect();
    for (QWidget* child = widget; child != window; child = child->parentWidget()) {
        QWidget* parent = child->parentWidget();
        area.translate(child->pos());
        auto* scroll =
            parent ? qobject_cast<QAbstractScrollArea*>(parent->parentWidget()) : nullptr;
        if (scroll && scroll->viewport() == parent) {
            const bool sideways =
                scrolling && scroll->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
            const bool upDown =
                scrolling && scroll->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
            QRect view = parent->rect();
            if (sideways) view.setWidth(std::max(view.width(), area.right() + 1));
            if (upDown) view.setHeight(std::max(view.height(), area.bottom() + 1));
            if (!view.adjusted(-1, -1, 1, 1).contains(area))
                return QStringLiteral("cut off by the scroll area %1").arg(scroll->objectName());
            area = area.intersected(parent->rect());
            if (area.isEmpty()) area = QRect(parent->rect().topLeft(), QSize(1, 1));
            continue;
        }
        if (!parent->rect().adjusted(-1, -1, 1, 1).contains(area)) {
            return QStringLiteral("cut off by %1 (%2 x %3) at %4,%5 %6 x %7")
                .arg(QString::fromLatin1(parent->metaObject()->className()) + ' ' +
                     parent->objectName())
                .arg(parent->width())
                .arg(parent->height())
                .arg(area.x())
                .arg(area.y())
                .arg(area.width())
                .arg(area.height());
        }
    }
    return {};
}

QString label(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        if (!button->text().isEmpty()) return button->text();
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// Every control the installer can use, visible in `window` as it stands (with `scrolling`,
// reachable by scrolling).
QStringList controlsOutOfReach(QWidget* window, bool scrolling = false) {
    QStringList faults;
    QList<QWidget*> controls;
    for (auto* w : window->findChildren<QAbstractButton*>()) controls << w;
    for (auto* w : window->findChildren<QComboBox*>()) controls << w;
    for (auto* w : window->findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(w->parentWidget())) controls << w;
    for (QWidget* control : controls) {
        if (!control->isVisibleTo(window)) continue;
        if (qobject_cast<QScrollBar*>(control->parentWidget())) continue;
        const QString why = unreachable(control, scrolling);
        if (!why.isEmpty()) faults << label(control) + QStringLiteral(": ") + why;
    }
    return faults;
}

void shoot(QWidget* window, const QString& name) {
    const QString dir = qEnvironmentVariable("ROOM_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QTest::qWait(100);
    QVERIFY(window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QString size =
            QStringLiteral("%1x%2").arg(screen->size().width()).arg(screen->size().height());
        QVERIFY(screen->grabWindow(0).save(
            QDir(dir).filePath(QStringLiteral("screen-%1-%2.png").arg(size, name))));
    }
}

// The size a window takes on the screen it opens on: laptop size offscreen.
QSize clientArea() {
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return QGuiApplication::primaryScreen()->availableSize();
    return kLaptopClient;
}

}  // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        room::gui::applyDialogColours(*qApp);
        PortComboBox::setLister([] {
            return QList<PortChoice>{{QStringLiteral("ttyUSB0 USB-Serial Controller"),
                                      QStringLiteral("ttyUSB0"), false}};
        });
    }
    void cleanupTestCase() { PortComboBox::setLister({}); }

    // All 18 devices of both sides shown, the mirror port row too.
    void mainWindowFits() {
        WindowFixture f;
        f.document.room = demoRoom();
        f.document.room.deviceCount = 18;
        f.document.room.sendToSwitch = 1;
        for (int v = 1; v <= 18; ++v) {
            for (int j = 0; j < 6; ++j) {
                room::model::setInput(f.document.room, v, j, 184 + j);
                room::model::setOutput(f.document.room, v, j, 184 + j);
            }
        }
        f.window->refresh();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        shoot(f.window.get(), QStringLiteral("main-window"));
        const QSize size = f.window->size();
        QVERIFY2(size.width() <= kLaptopClient.width() && size.height() <= kLaptopClient.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        const QStringList faults = controlsOutOfReach(f.window.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void consoleFitsOnEveryPage() {
        Console console(false);
        loadExample(console.document.room);
        room::model::refreshMasks(console.document.room);
        room::gui::ConsoleWindow window(console.document, console.prompter);
        if (QGuiApplication::platformName() != QLatin1String("xcb")) window.resize(kLaptopClient);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize size = window.size();
        const QSize room = clientArea();
        QVERIFY2(size.width() <= room.width() && size.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        // With the bus log open below, the pages may scroll; without it everything shows at once.
        for (bool log : {false, true}) {
            window.setBusLogShown(log);
            for (int tab = 0; tab < window.tabs()->count(); ++tab) {
                window.tabs()->setCurrentIndex(tab);
                QTest::qWait(20);
                if (!log) shoot(&window, QStringLiteral("console-tab%1").arg(tab));
                const QStringList faults = controlsOutOfReach(&window, log);
                QVERIFY2(faults.isEmpty(), qPrintable(window.tabs()->tabText(tab) +
                                                      QStringLiteral(":\n") + faults.join('\n')));
            }
        }
        shoot(&window, QStringLiteral("console-log"));
    }

    // The three room-type editors with a full room type: every page, every control in view.
    void editorsFitOnEveryPage() {
        room::model::RoomTypeConfig full = exampleRoomType();
        full.sendToSwitch = true;
        full.deviceCount = 24;
        full.switchPanelCount = 17;
        for (int v = 8; v <= 24; ++v) {
            full.devices[v].type = 1;
            for (int j = 0; j < 6; ++j) room::model::setOutput(full, v, j, 10 + j);
        }
        for (const room::editing::EditMode mode :
             {room::editing::EditMode::New, room::editing::EditMode::Modify}) {
            room::model::RoomTypeConfig roomType = full;
            room::model::RoomTypeConfig edit = full;
            RecordingPrompter prompter;
            room::gui::DefinitionDialog definition(roomType, edit, mode, prompter, nullptr);
            room::gui::PortDialog ports(roomType, edit, mode, prompter);
            room::gui::SceneDialog scenes(roomType, edit, mode, prompter);
            for (QDialog* dialog :
                 {static_cast<QDialog*>(&definition), static_cast<QDialog*>(&ports),
                  static_cast<QDialog*>(&scenes)}) {
                dialog->show();
                QVERIFY(QTest::qWaitForWindowExposed(dialog));
                const QSize size = dialog->size();
                QVERIFY2(
                    size.width() <= kLaptopClient.width() &&
                        size.height() <= kLaptopClient.height(),
                    qPrintable(dialog->windowTitle() +
                               QStringLiteral(" %1 x %2").arg(size.width()).arg(size.height())));
                auto* tabs = dialog->findChild<QTabWidget*>();
                for (int tab = 0; tab < (tabs ? tabs->count() : 1); ++tab) {
                    if (tabs) tabs->setCurrentIndex(tab);
                    QTest::qWait(10);
                    const QStringList faults = controlsOutOfReach(dialog);
                    QVERIFY2(faults.isEmpty(),
                             qPrintable(dialog->windowTitle() + QStringLiteral(" ") +
                                        QString::number(tab) + QStringLiteral(":\n") +
                                        faults.join('\n')));
                }
                dialog->hide();
            }
        }
    }

    // "工程进度": the board scrolls, everything else is in view.
    void jobWindowFits() {
        QTemporaryDir dir;
        RecordingPrompter prompter;
        room::gui::JobWindow window(prompter,
                                    {dir.filePath(QStringLiteral("records.sqlite")), {}, {}, {}});
        if (QGuiApplication::platformName() != QLatin1String("xcb")) window.resize(kLaptopClient);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        shoot(&window, QStringLiteral("job-window"));
        const QSize size = window.size();
        const QSize room = clientArea();
        QVERIFY2(size.width() <= room.width() && size.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        const QStringList faults = controlsOutOfReach(&window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"
