// A port the system does not list (a /dev/serial/by-id link, roombus-sim's pseudo-terminal) is
// reached from every port list by typing its path under "其它...", and the paths typed before
// are offered again, also after a new start.

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "gui/console/console_context.h"
#include "gui/console/console_window.h"
#include "gui/main/toolbar.h"
#include "gui/ports/port_combo_box.h"
#include "platform/settings_store.h"
#include "support/editor_finders.h"
#include "support/pty.h"
#include "support/window_fixture.h"
#include "test_page_fixture.h"

using namespace room::testing;
using room::gui::PortChoice;
using room::gui::PortComboBox;

namespace {

// The check-devices command is one short frame.
constexpr int kCheckDevicesFrameSize = 17;

int otherRow(const QComboBox* ports) {
    return ports->findText(room::gui::kOtherPortText);
}

}  // namespace

class TypedPortTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        PortComboBox::setLister([] {
            return QList<PortChoice>{{QStringLiteral("ttyS0 板载串口"), QStringLiteral("ttyS0"), false}};
        });
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<room::platform::SettingsStore>(m_dir->path());
        PortComboBox::setPathMemory(m_settings.get());
    }
    void cleanup() {
        PortComboBox::setPathAsker({});
        PortComboBox::setPathMemory(nullptr);
        PortComboBox::setLister({});
    }

    void consoleOpensATypedPath() {
        Pty pty;
        QVERIFY(!pty.slavePath.isEmpty());
        QStringList asked;
        PortComboBox::setPathAsker([&](QWidget*, const QString& last) {
            asked << last;
            return pty.slavePath;
        });
        room::gui::RoomDocument document;
        RecordingPrompter prompter;
        room::gui::ConsoleWindow console(document, prompter);
        auto* ports = byName<PortComboBox>(&console, QStringLiteral("串口选择:"));
        QVERIFY(ports);
        QCOMPARE(items(ports).last(), QStringLiteral("其它..."));
        choose(ports, otherRow(ports));
        QCOMPARE(asked, QStringList{QString()});
        QVERIFY2(console.context().portOpen(), qPrintable(prompter.texts().join('\n')));
        QCOMPARE(ports->currentText(), pty.slavePath);
        QTest::mouseClick(buttonCaptioned(&console, QStringLiteral("检查设备")), Qt::LeftButton);
        QCOMPARE(pty.receive(kCheckDevicesFrameSize).size(), kCheckDevicesFrameSize);
    }

    void cancelledPathKeepsThePortInUse() {
        PortComboBox::setPathAsker([](QWidget*, const QString&) { return QString(); });
        PortComboBox ports;
        ports.refill();
        QSignalSpy chosen(&ports, &PortComboBox::portChosen);
        choose(&ports, 0);
        choose(&ports, otherRow(&ports));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(ports.currentIndex(), 0);
        QVERIFY(PortComboBox::typedPaths().isEmpty());
    }

    // Every list offers the typed paths, newest first, once each, also after a new start.
    void typedPathsAreOfferedAgain() {
        QStringList answers{QStringLiteral("/dev/serial/by-id/usb-A"), QStringLiteral("/dev/pts/7"),
                            QStringLiteral("/dev/serial/by-id/usb-A"),
                            QStringLiteral("tcp://192.168.1.200:4001")};
        PortComboBox::setPathAsker([&answers](QWidget*, const QString&) { return answers.takeFirst(); });
        PortComboBox first;
        first.refill();
        for (int i = 0; i < 4; ++i) choose(&first, otherRow(&first));
        // Neither path is there on this machine; a serial server's address is no file to look for.
        const QStringList expected{
            QStringLiteral("ttyS0 板载串口"), QStringLiteral("tcp://192.168.1.200:4001"),
            QStringLiteral("/dev/serial/by-id/usb-A (不存在)"),
            QStringLiteral("/dev/pts/7 (不存在)"), QStringLiteral("其它...")};
        QCOMPARE(items(&first), expected);

        room::platform::SettingsStore restarted(m_dir->path());
        PortComboBox::setPathMemory(&restarted);
        WindowFixture main;
        QComboBox* mirror = byName<QComboBox>(main.window.get(), QStringLiteral("串口:"));
        QVERIFY(mirror);
        qobject_cast<PortComboBox*>(mirror)->refill();
        QCOMPARE(items(mirror), expected);
    }

    // The port used last is shown first after a new start, and nothing is opened for it; a typed
    // path that went away is greyed and Delete forgets it, in setinfo.ini too.
    void lastPortIsShownAndGonePathsForgotten() {
        Pty pty;
        QVERIFY(!pty.slavePath.isEmpty());
        QStringList answers{QStringLiteral("/dev/serial/by-id/usb-gone"), pty.slavePath};
        PortComboBox::setPathAsker([&answers](QWidget*, const QString&) { return answers.takeFirst(); });
        {
            PortComboBox first;
            first.refill();
            choose(&first, otherRow(&first));
            choose(&first, otherRow(&first));
            choose(&first, 0);  // ttyS0, used last
        }
        room::platform::SettingsStore restarted(m_dir->path());
        PortComboBox::setPathMemory(&restarted);
        PortComboBox ports;
        QSignalSpy chosen(&ports, &PortComboBox::portChosen);
        ports.refill();
        QCOMPARE(ports.currentText(), QStringLiteral("ttyS0 板载串口"));
        QCOMPARE(chosen.size(), 0);
        QCOMPARE(items(&ports), (QStringList{QStringLiteral("ttyS0 板载串口"), pty.slavePath,
                                             QStringLiteral("/dev/serial/by-id/usb-gone (不存在)"),
                                             QStringLiteral("其它...")}));
        const QColor grey = ports.palette().color(QPalette::Disabled, QPalette::Text);
        QCOMPARE(ports.itemData(2, Qt::ForegroundRole).value<QColor>(), grey);
        QVERIFY(!ports.itemData(1, Qt::ForegroundRole).isValid());

        ports.view()->setCurrentIndex(ports.model()->index(2, 0));
        QTest::keyClick(ports.view(), Qt::Key_Delete);
        ports.view()->setCurrentIndex(ports.model()->index(0, 0));
        QTest::keyClick(ports.view(), Qt::Key_Delete);  // a system port stays
        QCOMPARE(items(&ports), (QStringList{QStringLiteral("ttyS0 板载串口"), pty.slavePath,
                                             QStringLiteral("其它...")}));
        QCOMPARE(room::platform::SettingsStore(m_dir->path())
                     .readList(room::format::kTypedPortKey, room::format::kTypedPortCount),
                 QStringList{pty.slavePath});
        QCOMPARE(chosen.size(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<room::platform::SettingsStore> m_settings;
};

QTEST_MAIN(TypedPortTest)
#include "typed_port_test.moc"
