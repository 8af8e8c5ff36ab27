// The console's commands of more than one run, over the simulated bus with real timers: a bus
// scan, a send all followed by its verify all, and a retry of the devices a run left failed.

#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>

#include "gui/console/switch_panel_page.h"
#include "platform/record_store.h"
#include "support/editor_finders.h"
#include "support/sim_console.h"

using namespace room::testing;
using room::commissioning::Badge;

namespace {

constexpr int kRunTimeoutMs = 60000;

struct SequenceConsole : ConsoleFixture {
    explicit SequenceConsole(const QString& records) : ConsoleFixture(true, records) {
        choosePort();
    }
    QPushButton* captioned(const QString& caption) {
        return buttonCaptioned(window.get(), caption);
    }
    void click(const QString& caption) { QTest::mouseClick(captioned(caption), Qt::LeftButton); }
    Badge badge(int device) {
        return qobject_cast<room::gui::SwitchPanelPage*>(window->tabs()->widget(0))->badge(device);
    }
    std::vector<std::string> recorded() {
        room::platform::RecordStore store(recordsPath);
        std::vector<std::string> operations;
        if (const auto runs = store.runs(std::nullopt)) {
            for (const auto& run : *runs) operations.push_back(run.operation);
        }
        std::sort(operations.begin(), operations.end());
        return operations;
    }
};

QString recordPath(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("records.sqlite"));
}

}  // namespace

class ConsoleSequenceTest : public QObject {
    Q_OBJECT

private slots:
    void scanFindsMissingAndExtraDevices();
    void sendThenVerify();
    void retryServesOnlyTheFailedDevices();
    void readAllIntoAnEmptyRoomTypeScansFirst();
};

// Device 3 of the example is silent and a switch panel the room type does not use answers
// under 12: the scan says so, marks them in the drawing, and changes nothing else.
void ConsoleSequenceTest::scanFindsMissingAndExtraDevices() {
    QTemporaryDir dir;
    SequenceConsole console(recordPath(dir));
    console.link->bus().faults(3).silent = true;
    console.link->bus().setPresent({1, 2, 3, 4, 5, 6, 7, 12});
    console.link->bus().memory(12).type = 1;
    const room::model::RoomTypeConfig before = console.document.room;

    console.click(QStringLiteral("扫描总线"));
    QVERIFY(!console.idle());
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QCOMPARE(console.window->statusLine(), QStringLiteral("扫描完成: 32个编号中7个应答"));
    QCOMPARE(console.window->titleLine(),
             QStringLiteral("应答的编号:01 02 04 05 06 07 12  缺少:03  多出:12"));
    QCOMPARE(int(console.badge(1)), int(Badge::Found));
    QCOMPARE(int(console.badge(3)), int(Badge::Missing));
    QCOMPARE(int(console.badge(12)), int(Badge::Extra));
    for (int d = 1; d <= 32; ++d) QVERIFY(console.document.room.devices[d] == before.devices[d]);
    QCOMPARE(console.document.room.modified, before.modified);
    QTest::qWait(room::gui::RecordBar::kBusyMs * 2);
    QVERIFY(console.recorded().empty());
    QVERIFY(!console.captioned(QStringLiteral("重试未通过的设备"))->isEnabled());
}

// Two runs, each recorded; the window ends on the verify's verdict.
void ConsoleSequenceTest::sendThenVerify() {
    QTemporaryDir dir;
    SequenceConsole console(recordPath(dir));
    console.click(QStringLiteral("下发并校验"));
    QVERIFY(!console.idle());
    QTRY_VERIFY_WITH_TIMEOUT(
        console.window->runSummary().startsWith(QStringLiteral("校验所有结束")), 2 * kRunTimeoutMs);
    QCOMPARE(console.window->statusLine(), QStringLiteral("校验完成"));
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:数据异常的编号:"));
    QCOMPARE(console.recorded(), (std::vector<std::string>{"下发所有", "校验所有"}));
}

// Device 3 was silent in a verify all and answers now: the retry serves it alone, and the room
// ends verified.
void ConsoleSequenceTest::retryServesOnlyTheFailedDevices() {
    QTemporaryDir dir;
    SequenceConsole console(recordPath(dir));
    QPushButton* retry = console.captioned(QStringLiteral("重试未通过的设备"));
    QVERIFY(!retry->isEnabled());
    console.link->bus().faults(3).silent = true;
    console.press(261);
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:03 数据异常的编号:"));
    QVERIFY(retry->isEnabled());

    console.link->bus().faults(3).silent = false;
    const std::uint64_t before = console.window->busLog()->log().nextSequence();
    QTest::mouseClick(retry, Qt::LeftButton);
    QVERIFY(!console.idle());
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    for (const room::gui::BusLogLine& line : console.window->busLog()->log().lines()) {
        if (line.sequence >= before && line.direction == room::gui::BusLogLine::Direction::Sent)
            QCOMPARE(line.device, 3);
    }
    QCOMPARE(console.window->context().engine().result(3), 1);
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:数据异常的编号:"));
    QCOMPARE(console.recorded(), (std::vector<std::string>{"校验所有", "校验所有"}));
    QVERIFY(!retry->isEnabled());
}

// No device in use: 读取所有 asks as ever, finds the three devices on the bus and reads just those,
// one entry in the record.
void ConsoleSequenceTest::readAllIntoAnEmptyRoomTypeScansFirst() {
    QTemporaryDir dir;
    ConsoleFixture console(false, recordPath(dir));
    console.choosePort();
    console.link->bus().setPresent({2, 5, 9});
    for (int d : {2, 5, 9}) {
        console.link->bus().memory(d).type = 1;
        console.link->bus().memory(d).inputs[0] = static_cast<std::uint8_t>(10 + d);
    }
    console.prompter.answerNext(room::platform::Answer::Ok);
    console.press(263);
    QVERIFY(!console.idle());
    QTRY_VERIFY_WITH_TIMEOUT(console.window->runSummary().startsWith(QStringLiteral("读取所有结束")),
                             2 * kRunTimeoutMs);
    QCOMPARE(console.prompter.records().size(), 1);  // the read's own question, once
    for (int d = 1; d <= 32; ++d) {
        QCOMPARE(console.document.room.devices[d].inUse != 0, d == 2 || d == 5 || d == 9);
    }
    std::size_t reads = 0;
    for (const auto& line : console.window->busLog()->log().lines()) {
        if (line.direction == room::gui::BusLogLine::Direction::Sent) ++reads;
    }
    QCOMPARE(reads, std::size_t(32 + 3));  // a request per number scanned, then one per device read
    QTest::qWait(room::gui::RecordBar::kBusyMs * 2);
    room::platform::RecordStore store(console.recordsPath);
    const auto runs = store.runs(std::nullopt);
    QVERIFY(runs && runs->size() == 1 && runs->front().operation == "读取所有");
}

QTEST_MAIN(ConsoleSequenceTest)
#include "console_sequence_test.moc"
