// "与读取前对比" in the console: after a read all over the simulated bus, with one device holding
// something else than the room type, the compare window lists exactly that device's difference.

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "gui/compare/compare_window.h"
#include "gui/console/console_context.h"
#include "gui/console/console_window.h"
#include "gui/ports/port_combo_box.h"
#include "platform/simulated_link.h"
#include "test_page_fixture.h"

using namespace room;
using namespace room::testing;

class BeforeReadTest : public QObject {
    Q_OBJECT

private slots:
    void aReadAllCanBeComparedWithTheRoomTypeBeforeIt() {
        gui::RoomDocument document;
        loadExample(document.room);
        model::refreshMasks(document.room);
        // Device 1 only: its scenes hold no levels, which panels give back as plain on.
        document.room.selected.fill(0);
        document.room.selected[1] = 1;
        model::RoomTypeConfig held = document.room;
        held.devices[1].inputs[0] = 11;
        model::refreshMasks(held);

        RecordingPrompter prompter;
        gui::PortComboBox::setLister([] { return QList<gui::PortChoice>{}; });
        gui::PortComboBox::setSimulationOffered(true);
        gui::ConsoleOptions options;
        options.linkFactory = [&held](const gui::PortChoice&, const model::RoomTypeConfig&) {
            return std::make_unique<platform::SimulatedLink>(held);
        };
        gui::ConsoleWindow console(document, prompter, options);
        QPushButton* compare = named(&console, QStringLiteral("btnCompareRead"));
        QCOMPARE(compare->text(), QStringLiteral("与读取前对比"));
        QVERIFY(!compare->isEnabled());

        choose(console.portList(), console.portList()->count() - 1);  // SIM, the last row
        prompter.answerNext(platform::Answer::Ok);
        console.runAction(commissioning::Action::ReadAll);
        QTRY_VERIFY_WITH_TIMEOUT(!console.context().engine().runActive(), 20000);
        QVERIFY(compare->isEnabled());
        QTest::mouseClick(compare, Qt::LeftButton);

        auto* window = console.findChild<gui::CompareWindow*>();
        QVERIFY(window);
        QTreeWidget* tree = window->tree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("设备01"));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0),
                 QStringLiteral("设备01 按键1: 010.廊灯 → 011.卫浴灯"));
        gui::PortComboBox::setSimulationOffered(false);
    }
};

QTEST_MAIN(BeforeReadTest)
#include "before_read_test.moc"
