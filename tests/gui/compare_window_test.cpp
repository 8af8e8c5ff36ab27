// "对比..." in the main window: the room type in memory against a chosen file, in a window of its
// own with a group per device, copyable and fitting 1366 x 768; files that cannot be compared are
// reported as Open reports them.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <iterator>

#include "core/format/shd_file.h"
#include "gui/compare/compare_window.h"
#include "support/window_fixture.h"

using namespace room;
using testing::WindowFixture;

namespace {

model::RoomTypeConfig exampleRoom() {
    std::ifstream in(std::string(ROOM_EXAMPLES) + "/grand-hotel-deluxe.shd", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    model::RoomTypeConfig room = model::makeStartupRoomType();
    format::readRoomTypeFile(bytes, room);
    return room;
}

QStringList treeLines(const QTreeWidget* tree, QStringList* groups = nullptr) {
    QStringList lines;
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = tree->topLevelItem(g);
        if (groups) *groups << group->text(0);
        for (int i = 0; i < group->childCount(); ++i) lines << group->child(i)->text(0);
    }
    return lines;
}

}  // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT

private slots:
    void comparesTheRoomTypeInMemoryWithAFile() {
        WindowFixture f;
        f.document.room = exampleRoom();
        model::RoomTypeConfig other = f.document.room;
        other.devices[3].inputs[1] = 21;
        other.devices[1].slot(2).outputState[0] = 0;
        other.lampNames[22] = "右阅读灯";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("other.shd"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(format::writeRoomTypeFile(other)));
        file.close();
        f.dialogs.openPaths << path;

        QAction* action = f.window->findChild<QAction*>(QStringLiteral("actionCompare"));
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("对比..."));
        action->trigger();
        auto* window = f.window->findChild<gui::CompareWindow*>();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QStringList groups;
        QCOMPARE(treeLines(window->tree(), &groups),
                 (QStringList{QStringLiteral("灯名 022: 右阅读 → 右阅读灯"),
                              QStringLiteral("情景 明亮模式 设备01 输出1: 廊灯:开 → 廊灯:关"),
                              QStringLiteral("设备03 按键2: 022.右阅读 → 021.左阅读")}));
        QCOMPARE(groups, (QStringList{QStringLiteral("灯名"), QStringLiteral("设备01"),
                                      QStringLiteral("设备03")}));
        QVERIFY(f.prompter.records().isEmpty());

        // Collapsible groups; copy takes the selection, or everything when nothing is selected.
        window->tree()->topLevelItem(0)->setExpanded(false);
        QVERIFY(!window->tree()->topLevelItem(0)->isExpanded());
        window->copy();
        QCOMPARE(QApplication::clipboard()->text().count(QLatin1Char('\n')), 3);
        window->tree()->topLevelItem(2)->child(0)->setSelected(true);
        QTest::keySequence(window->tree(), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("设备03 按键2: 022.右阅读 → 021.左阅读\n"));

        QVERIFY(window->frameGeometry().width() <= 1366);
        QVERIFY(window->frameGeometry().height() <= 768);
        QVERIFY(window->grab().save(QDir::currentPath() + QStringLiteral("/compare-window.png")));
    }

    void aFileThatCannotBeReadIsReportedAndNothingShows() {
        WindowFixture f;
        f.dialogs.openPaths << QStringLiteral("/nonexistent/room.shd");
        f.window->findChild<QAction*>(QStringLiteral("actionCompare"))->trigger();
        QVERIFY(!f.window->findChild<gui::CompareWindow*>());
        QCOMPARE(f.prompter.records().size(), 1);
        QVERIFY(f.prompter.records().front().text.startsWith(QStringLiteral("文件打开失败!")));
    }

    void equalRoomTypesSaySo() {
        const model::RoomTypeConfig room = exampleRoom();
        gui::CompareWindow* window =
            gui::showComparison(room, room, QStringLiteral("a"), QStringLiteral("b"), nullptr);
        QCOMPARE(window->tree()->topLevelItemCount(), 0);
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("compareSummary"))->text() ==
                QStringLiteral("没有不同"));
        window->close();
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
