// The device console over the simulated bus: caption and title line, the run buttons and their
// questions, send all and verify all of the example room type with real timers, silent and
// corrupt devices, the progress bar and "停止", the window's responsiveness during a run, and
// what the download hook reports when the console closes.

#include "gui/console/console_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "gui/console/console_context.h"
#include "gui/console/help_dialog.h"
#include "gui/main/application.h"
#include "gui/ports/port_combo_box.h"
#include "platform/record_store.h"
#include "platform/simulated_link.h"
#include "support/sim_console.h"
#include "test_page_fixture.h"

using namespace room::testing;
using room::gui::ConsoleOptions;
using room::gui::ConsoleWindow;
using room::gui::PortChoice;
using room::gui::PortComboBox;
using room::platform::Answer;
using room::platform::SimulatedLink;

namespace {

constexpr int kRunTimeoutMs = 60000;

const QString kAskReadAll = QStringLiteral("将覆盖现有数据，是否继续?");
const QString kAskClearAll = QStringLiteral("是否清除全部配置数据?");
const QString kAskLeave = QStringLiteral("将所有在网设备退网，是否继续?");
const QString kAsking = QStringLiteral("询问...");

// Counts how late a 10 ms timer fires while the window works.
struct Heartbeat {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worstGap = 0;
    Heartbeat() {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.elapsed();
            worstGap = std::max(worstGap, now - last);
            last = now;
        });
        clock.start();
        timer.start();
    }
};

}  // namespace

class ConsoleWindowTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndTitle();
    void weekday_data();
    void weekday();
    void tabsAndRunButtons();
    void withoutPortEveryButtonRefuses();
    void questionsCancelledSendNothing_data();
    void questionsCancelledSendNothing();
    void clearAllConfirmedSendsOneFrame();
    void sendAllThenVerifyAll();
    void silentAndCorruptDevices();
    void progressAndStop();
    void closingStopsTheRun();
    void closingMidRunAsksFirst();
    void pulledAdapterEndsTheRunBeforeItsBox();
    void helpDialog();
    void downloadHook_data();
    void downloadHook();
    void testPageCommandsShowInTheStatusLine_data();
    void testPageCommandsShowInTheStatusLine();
    void newRunStartsFromNothing();
    void runRowStaysPutDuringARun();
    void readThatChangedTheRoomType();
    void narrowLaptop();
    void snapshots();
};

void ConsoleWindowTest::captionAndTitle() {
    ConsoleFixture console;
    QCOMPARE(console.window->windowTitle(),
             QStringLiteral("接线图:   酒店名称:云栖湖畔大酒店   房型:豪华大床房   房型编号:8   "
                            "主机型号:3.联网485   版本号:V1.6.2"));
    QCOMPARE(console.window->titleLine(),
             QStringLiteral("接线图:   酒店名称:云栖湖畔大酒店   房型:豪华大床房   房型编号:8   "
                            "主机型号:3.联网485   2026-03-01  09:05 星期0"));
    QCOMPARE(console.window->statusLine(), QString());
    QVERIFY(!console.window->progressBar()->isVisibleTo(console.window.get()));
}

void ConsoleWindowTest::weekday_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("ending");
    QTest::newRow("sunday") << QDate(2026, 3, 1) << QStringLiteral("2026-03-01  23:59 星期0");
    QTest::newRow("monday") << QDate(2026, 3, 2) << QStringLiteral("2026-03-02  23:59 星期1");
    QTest::newRow("saturday") << QDate(2025, 12, 27) << QStringLiteral("2025-12-27  23:59 星期6");
}

void ConsoleWindowTest::weekday() {
    QFETCH(QDate, date);
    QFETCH(QString, ending);
    room::model::RoomTypeConfig room = room::model::makeStartupRoomType();
    const QString line = room::gui::consoleTitleLine(room, QDateTime(date, QTime(23, 59)));
    QCOMPARE(line, QStringLiteral("接线图:   酒店名称:XX酒店   房型:标准房   房型编号:1   主机型号:"
                                  "1.联网Mesh   ") +
                       ending);
}

void ConsoleWindowTest::tabsAndRunButtons() {
    ConsoleFixture console;
    QTabWidget* tabs = console.window->tabs();
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i) names << tabs->tabText(i);
    QCOMPARE(names, (QStringList{"1-16号开关面板", "17-32号开关面板", "测试红外发送", "设备控制",
                                 "其它配置"}));
    const QList<int> runIds{260, 261, 262, 263, 264, 267};
    const QStringList texts{"下发所有", "校验所有", "清除所有", "读取所有", "退出网络", "检查设备"};
    for (int i = 0; i < runIds.size(); ++i) QCOMPARE(console.button(runIds[i])->text(), texts[i]);
    QCOMPARE(console.button(328)->text(), QStringLiteral("说明"));

    auto shown = [&](int id) { return console.button(id)->isVisibleTo(console.window.get()); };
    for (int tab = 0; tab < 5; ++tab) {
        tabs->setCurrentIndex(tab);
        for (int id : runIds) QCOMPARE(shown(id), tab < 2);
        QVERIFY(shown(328));
        QVERIFY(console.window->portList()->isEnabled());
        QVERIFY(!named(console.window.get(), QStringLiteral("btnStop"))
                     ->isVisibleTo(console.window.get()));
    }
}

void ConsoleWindowTest::withoutPortEveryButtonRefuses() {
    ConsoleFixture console;
    for (int id : {260, 261, 262, 263, 264, 267}) {
        console.prompter.clear();
        console.press(id);
        QCOMPARE(console.prompter.texts(), QStringList{kChoosePort});
    }
    for (const char* name : {"btnSendVerify", "btnScan"}) {
        console.prompter.clear();
        QTest::mouseClick(named(console.window.get(), QString::fromUtf8(name)), Qt::LeftButton);
        QCOMPARE(console.prompter.texts(), QStringList{kChoosePort});
    }
    QVERIFY(console.link == nullptr);
    QCOMPARE(console.framesSent(), std::size_t{0});
    QVERIFY(console.idle());
}

void ConsoleWindowTest::questionsCancelledSendNothing_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("question");
    QTest::newRow("read all") << 263 << kAskReadAll;
    QTest::newRow("clear all") << 262 << kAskClearAll;
    QTest::newRow("leave network") << 264 << kAskLeave;
}

void ConsoleWindowTest::questionsCancelledSendNothing() {
    QFETCH(int, id);
    QFETCH(QString, question);
    ConsoleFixture console;
    console.choosePort();
    console.press(id);  // the recording prompter answers Cancel
    QCOMPARE(console.prompter.records().size(), 1);
    const PromptRecord& asked = console.prompter.records().first();
    QCOMPARE(asked.kind, PromptRecord::Kind::Question);
    QCOMPARE(asked.text, question);
    QCOMPARE(asked.caption, kAsking);
    QCOMPARE(asked.buttons, room::platform::QuestionButtons::OkCancel);
    QCOMPARE(console.framesSent(), std::size_t{0});
    QVERIFY(console.idle());
    QCOMPARE(console.window->statusLine(), QString());
    QVERIFY(!console.document.room.modified);
}

void ConsoleWindowTest::clearAllConfirmedSendsOneFrame() {
    ConsoleFixture console;
    console.choosePort();
    console.prompter.answerNext(Answer::Ok);
    console.press(262);
    QCOMPARE(console.framesSent(), std::size_t{1});
    const auto& line = console.window->busLog()->log().lines().back();
    QCOMPARE(line.kind, room::gui::BusLogKind::Clear);
    QCOMPARE(line.device, 0);
    QCOMPARE(console.window->statusLine(), QStringLiteral("发送完成"));

    const QByteArray clear = line.bytes;
    QCOMPARE(clear.left(2), QByteArray::fromHex("F1F4"));
    QCOMPARE(clear.right(2), QByteArray::fromHex("F3F4"));

    console.press(267);  // check devices: no question
    QCOMPARE(console.framesSent(), std::size_t{2});
    QCOMPARE(toFrame(console.window->busLog()->log().lines().back().bytes),
             shortFrame({{1, 0xC8}, {2, 0xC9}, {3, 0xCA}}));
    QCOMPARE(console.window->statusLine(), QStringLiteral("发送完成"));
}

void ConsoleWindowTest::sendAllThenVerifyAll() {
    ConsoleFixture console;
    console.choosePort();
    Heartbeat heartbeat;

    console.press(260);
    QVERIFY(!console.idle());
    QCOMPARE(console.window->statusLine().left(5), QStringLiteral("正在处理第"));
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QCOMPARE(console.window->statusLine(), QStringLiteral("发送完成"));

    console.press(261);
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QCOMPARE(console.window->statusLine(), QStringLiteral("校验完成"));
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:数据异常的编号:"));
    QCOMPARE(console.window->differences(), QStringList());
    QCOMPARE(console.prompter.records().size(), 0);
    for (int device = 1; device <= 7; ++device)
        QCOMPARE(console.window->context().engine().result(device), 1);
    QVERIFY2(heartbeat.worstGap <= 60,
             qPrintable(QStringLiteral("heartbeat late by %1 ms").arg(heartbeat.worstGap - 10)));
}

void ConsoleWindowTest::silentAndCorruptDevices() {
    ConsoleFixture console;
    console.choosePort();
    console.link->bus().faults(3).silent = true;
    console.link->bus().faults(2).corrupt = true;
    console.press(261);
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:03 数据异常的编号:02 "));
    const QStringList differences = console.window->differences();
    QVERIFY(!differences.isEmpty());
    for (const QString& difference : differences)
        QVERIFY2(difference.startsWith(QStringLiteral("02号: ")), qPrintable(difference));
    QVERIFY(console.window->runSummary().startsWith(
        QStringLiteral("校验所有结束: 7个中6个应答, 1个数据异常")));
}

void ConsoleWindowTest::progressAndStop() {
    ConsoleFixture console;
    console.choosePort();
    for (int device = 2; device <= 7; ++device) console.link->bus().faults(device).silent = true;
    QPushButton* stop = named(console.window.get(), QStringLiteral("btnStop"));
    QProgressBar* bar = console.window->progressBar();

    console.press(261);
    QVERIFY(stop->isVisibleTo(console.window.get()));
    QVERIFY(bar->isVisibleTo(console.window.get()));
    QVERIFY(!console.window->portList()->isEnabled());
    QVERIFY(!console.button(260)->isVisibleTo(console.window.get()));
    QCOMPARE(bar->maximum(), 7);
    QCOMPARE(bar->value(), 1);
    // Device 1 answers, device 2 is served and stays silent.
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 2, 10000);
    QVERIFY(bar->text().contains(QStringLiteral("2/7")));
    QVERIFY(bar->text().contains(QStringLiteral("已应答1")));

    QTest::mouseClick(stop, Qt::LeftButton);
    QVERIFY(console.idle());  // at once, no waiting for the timer
    // Cut short: it says so, and which devices it never served.
    QCOMPARE(console.window->statusLine(), QStringLiteral("校验已停止   2个中1个应答, 5个未处理"));
    QCOMPARE(console.window->titleLine(),
             QStringLiteral("未读到的编号:02 数据异常的编号:未处理的编号:03 04 05 06 07 "));
    QCOMPARE(console.window->runSummary(),
             QStringLiteral("校验所有已停止: 2个中1个应答, 5个未处理, 用时") +
                 console.window->runSummary().section(QStringLiteral("用时"), 1));
    QVERIFY(!stop->isVisibleTo(console.window.get()));
    QVERIFY(console.window->portList()->isEnabled());
    QVERIFY(console.button(260)->isVisibleTo(console.window.get()));
    const std::size_t sent = console.framesSent();
    QTest::qWait(400);
    QCOMPARE(console.framesSent(), sent);  // nothing more goes out
}

void ConsoleWindowTest::closingStopsTheRun() {
    ConsoleFixture console;
    console.choosePort();
    for (int device = 1; device <= 7; ++device) console.link->bus().faults(device).silent = true;
    console.press(260);
    QVERIFY(!console.idle());
    console.prompter.answerNext(Answer::Ok);
    console.window->reject();
    QVERIFY(console.idle());
    QVERIFY(console.window->runSummary().contains(QStringLiteral("已停止")));
}

// The close box mid-run asks first: 取消 keeps the console and its run; 确定 ends the run as
// "停止" does, and the record has it, cut short, once the window is gone.
void ConsoleWindowTest::closingMidRunAsksFirst() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    ConsoleFixture console(true, path);
    console.choosePort();
    for (int device = 2; device <= 7; ++device) console.link->bus().faults(device).silent = true;
    console.window->show();
    console.press(261);
    QVERIFY(!console.idle());

    console.prompter.clear();
    QVERIFY(!console.window->close());  // the queue is empty: 取消
    QCOMPARE(console.prompter.records().size(), 1);
    const PromptRecord& asked = console.prompter.records().front();
    QCOMPARE(int(asked.kind), int(PromptRecord::Kind::Question));
    QCOMPARE(asked.text, QStringLiteral("正在调试, 确定中断?"));
    QCOMPARE(asked.caption, room::platform::defaultCaption());
    QCOMPARE(int(asked.buttons), int(room::platform::QuestionButtons::OkCancel));
    QVERIFY(console.window->isVisible());
    QVERIFY(!console.idle());

    console.prompter.answerNext(Answer::Ok);
    QVERIFY(console.window->close());
    QVERIFY(console.idle());
    console.window.reset();
    const auto runs = room::platform::RecordStore(path).runs(std::nullopt);
    QVERIFY(runs);
    QCOMPARE(runs->size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(runs->front().operation), QStringLiteral("校验所有"));
    QVERIFY(runs->front().cutShort);
}

// The box about a pulled adapter waits for the installer; the run must be over before it shows,
// and nothing may be served on the dead port while it waits.
void ConsoleWindowTest::pulledAdapterEndsTheRunBeforeItsBox() {
    ConsoleFixture console;
    console.choosePort();
    for (int device = 2; device <= 7; ++device) console.link->bus().faults(device).silent = true;
    QProgressBar* bar = console.window->progressBar();
    console.press(261);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 2, 10000);  // device 2 is being served

    bool idleWhenShown = false;
    QString statusWhenShown;
    console.prompter.clear();
    console.prompter.whileWarning = [&] {
        idleWhenShown = console.idle();
        statusWhenShown = console.window->statusLine();
        QTest::qWait(3500);  // the installer reads the box longer than a device's period
    };
    console.link->pullAdapter(QStringLiteral("unplugged"));
    console.prompter.whileWarning = nullptr;

    QVERIFY(idleWhenShown);
    QCOMPARE(statusWhenShown, QStringLiteral("校验中断: 串口断开   2个中1个应答, 5个未处理"));
    QCOMPARE(console.prompter.records().size(), 1);  // one box, no "Port not open" after it
    QCOMPARE(console.prompter.records().first().text, QStringLiteral("串口已断开!\nunplugged"));
    QCOMPARE(console.window->titleLine(),
             QStringLiteral("未读到的编号:02 数据异常的编号:未处理的编号:03 04 05 06 07 "));
    QVERIFY(console.window->portList()->isEnabled());
}

void ConsoleWindowTest::helpDialog() {
    ConsoleFixture console;
    QString caption, text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        caption = dialog->windowTitle();
        text = dialog->findChild<QLabel*>(QStringLiteral("helpText"))->text();
        for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons())
            buttons << b->text();
        dialog->reject();
    });
    console.press(328);
    QCOMPARE(caption, QStringLiteral("下载说明"));
    QCOMPARE(text, QStringLiteral("1.批量对一种开关进行下载时，选择\"下发配置\"和\"收到即执行\"，"
                                  "下发时同时会修改编号。"));
    buttons.sort();
    QStringList expected{QStringLiteral("确定"), QStringLiteral("取消")};
    expected.sort();
    QCOMPARE(buttons, expected);
}

void ConsoleWindowTest::downloadHook_data() {
    QTest::addColumn<bool>("readBack");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("refresh");
    QTest::newRow("read back, Escape") << true << int(Qt::Key_Escape) << true;
    QTest::newRow("read back, Enter") << true << int(Qt::Key_Return) << false;
    QTest::newRow("no read back, Escape") << false << int(Qt::Key_Escape) << false;
}

void ConsoleWindowTest::downloadHook() {
    QFETCH(bool, readBack);
    QFETCH(int, key);
    QFETCH(bool, refresh);
    ConsoleFixture fixture;  // provides the document, prompter and simulated link factory
    fixture.window.reset();
    // Only device 1 is read: from device 2 on, unselected devices are skipped.
    for (int device = 2; device <= 32; ++device) fixture.document.room.selected[device] = 0;
    fixture.document.room.modified = 0;
    bool finished = false;
    QTimer::singleShot(0, [&] {
        auto* console = qobject_cast<ConsoleWindow*>(QApplication::activeModalWidget());
        QVERIFY(console);
        choose(console->portList(), console->portList()->count() - 1);  // SIM
        if (readBack) {
            fixture.prompter.answerNext(Answer::Ok);
            console->runAction(room::commissioning::Action::ReadAll);
            QTRY_VERIFY_WITH_TIMEOUT(!console->context().engine().runActive(), kRunTimeoutMs);
            QCOMPARE(console->statusLine(), QStringLiteral("读取完成"));
            QVERIFY(console->context().engine().readBackDone());
        }
        console->setFocus();
        QTest::keyClick(console, Qt::Key(key));
        finished = true;
    });
    const bool result =
        ConsoleWindow::runModal(fixture.document, fixture.prompter, nullptr, fixture.options());
    QVERIFY(finished);
    QCOMPARE(result, refresh);
    QCOMPARE(fixture.document.room.modified != 0, readBack);
}

// Pictures to look at (CONSOLE_SNAPSHOTS=/some/dir): the console during and after a verify all
// with the bus log shown, and a test tab.
void ConsoleWindowTest::testPageCommandsShowInTheStatusLine_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("item");  // for a list: the item chosen
    QTest::addColumn<QString>("status");
    QTest::newRow("light on") << "lowLightsOn" << -1 << "已发送: 开 010.廊灯  09:05:30";
    QTest::newRow("curtain reversed")
        << "curtainActions" << 3 << "已发送: 04.设置换向 080.窗帘开  09:05:30";
    QTest::newRow("scene mode") << "modes" << 0 << "已发送: 050.睡眠模式  09:05:30";
    QTest::newRow("temperature") << "temperatures" << 10 << "已发送: 温度 26 1#  09:05:30";
}

void ConsoleWindowTest::testPageCommandsShowInTheStatusLine() {
    QFETCH(QString, control);
    QFETCH(int, item);
    QFETCH(QString, status);
    ConsoleFixture console;
    console.choosePort();
    console.window->tabs()->setCurrentIndex(3);
    const std::size_t before = console.framesSent();
    if (item < 0) {
        QPushButton* button = named(console.window.get(), control);
        QVERIFY(button);
        button->click();
    } else {
        QComboBox* box = list(console.window.get(), control);
        QVERIFY(box);
        choose(box, item);
    }
    QCOMPARE(console.framesSent(), before + 1);
    QCOMPARE(console.window->statusLine(), status);
}

// What a run found belongs to that run and that room: the next run, another room or another port
// starts from an empty title line, list and result bar, and the status line keeps its font.
void ConsoleWindowTest::newRunStartsFromNothing() {
    QTemporaryDir dir;
    ConsoleFixture console(true, dir.filePath(QStringLiteral("records.sqlite")));
    ConsoleWindow& window = *console.window;
    console.choosePort();
    auto* status = window.findChild<QLabel*>(QStringLiteral("status"));
    const QFont font = status->font();
    const QString opening = room::gui::consoleTitleLine(console.document.room, fixedNow());
    auto startedAfresh = [&] {
        QCOMPARE(window.titleLine(), opening);
        QCOMPARE(window.differences(), QStringList());
        QCOMPARE(window.recordBar()->recordLabel()->text(), QString());
        QVERIFY(!window.progressBar()->property("warning").toBool());
        QCOMPARE(status->font(), font);
    };
    auto verifyAll = [&](bool faulty) {
        console.link->bus().faults(2).corrupt = faulty;
        console.link->bus().faults(3).silent = faulty;
        console.press(261);
        QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
        QVERIFY(window.titleLine().startsWith(QStringLiteral("未读到的编号:")));
    };

    verifyAll(true);
    QVERIFY(!window.differences().isEmpty());
    QTRY_VERIFY(!window.recordBar()->recordLabel()->text().isEmpty());
    QCOMPARE(status->font(), font);
    console.press(261);
    QVERIFY(!console.idle());
    startedAfresh();
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);

    verifyAll(true);
    QTest::keyClicks(window.recordBar()->roomNumberField(), QStringLiteral("1203"));
    startedAfresh();
    QVERIFY(!window.progressBar()->isVisible());

    verifyAll(true);
    console.choosePort();
    startedAfresh();
}

// A run hides its buttons but keeps their place: the second click of a double click on 下发所有
// lands on nothing, not on "说明" slid under the cursor.
void ConsoleWindowTest::runRowStaysPutDuringARun() {
    ConsoleFixture console;
    console.window->resize(1366, 768);
    console.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(console.window.get()));
    console.choosePort();
    for (int device = 1; device <= 7; ++device) console.link->bus().faults(device).silent = true;
    QPushButton* sendAll = console.button(260);
    QPushButton* help = console.button(328);
    const QPoint where = sendAll->mapTo(console.window.get(), sendAll->rect().center());
    const QRect helpAt = help->geometry();

    QTest::mouseClick(sendAll, Qt::LeftButton);
    QVERIFY(!console.idle());
    QTest::qWait(50);  // the run row lays itself out
    QCOMPARE(help->geometry(), helpAt);
    QVERIFY(!qobject_cast<QAbstractButton*>(console.window->childAt(where)));
    QTest::mouseClick(named(console.window.get(), QStringLiteral("btnStop")), Qt::LeftButton);
}

// A 1024 px screen: the window is no wider, every button shows without scrolling, and a room
// number of sixteen characters shows whole.
void ConsoleWindowTest::narrowLaptop() {
    ConsoleFixture console;
    console.window->resize(1024, 700);
    console.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(console.window.get()));
    QCOMPARE(console.window->width(), 1024);
    auto* number = console.window->findChild<QComboBox*>(QStringLiteral("roomNumber"));
    QVERIFY(number->lineEdit()->width() >=
            number->lineEdit()->fontMetrics().horizontalAdvance(QStringLiteral("1234567890ABCDEF")));
    QPushButton* last = console.button(267);
    auto* area = console.window->findChild<QScrollArea*>();
    area->ensureWidgetVisible(last);
    const QPoint at = last->mapTo(console.window.get(), last->rect().center());
    QVERIFY(console.window->rect().contains(at));
    QVERIFY(!area->horizontalScrollBar()->isVisible());
}

// A read that changed the room type says by which devices, can be undone, and the room type it
// left is not sent to the next room without asking.
void ConsoleWindowTest::readThatChangedTheRoomType() {
    ConsoleFixture console;
    console.choosePort();
    console.press(260);
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    // The room type drifted from what device 2 keeps; saved as it is. Device 3 gives its scene's
    // level back as plain on, so a read changes it too.
    room::model::RoomTypeConfig& room = console.document.room;
    room.devices[2].inputs[0] = 25;
    room.modified = 0;
    const room::model::RoomTypeConfig drifted = room;

    console.prompter.answerNext(Answer::Ok);
    console.press(263);
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QCOMPARE(console.window->findChild<QLabel*>(QStringLiteral("readChanged"))->text(),
             QStringLiteral("读取改变了房型: 设备02 设备03"));
    QVERIFY(room.modified != 0);
    QVERIFY(!(room.devices[2] == drifted.devices[2]));

    const std::size_t sent = console.framesSent();
    const qsizetype asked = console.prompter.records().size();
    console.prompter.answerNext(Answer::Cancel);
    console.press(260);
    QCOMPARE(console.prompter.records().size(), asked + 1);
    QCOMPARE(console.prompter.records().last().text,
             QStringLiteral("当前房型来自读取所有, 尚未保存. 仍然下发?"));
    QCOMPARE(console.prompter.records().last().caption, room::platform::defaultCaption());
    QVERIFY(console.idle());
    QCOMPARE(console.framesSent(), sent);

    QPushButton* restore = named(console.window.get(), QStringLiteral("btnRestoreRead"));
    QCOMPARE(restore->text(), QStringLiteral("恢复读取前"));
    restore->click();
    QVERIFY(room.devices[2] == drifted.devices[2] && room.devices[3] == drifted.devices[3]);
    QCOMPARE(room.modified, 0);
    console.press(260);  // sent without a question
    QCOMPARE(console.prompter.records().size(), asked + 1);
    QVERIFY(!console.idle());
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
}

void ConsoleWindowTest::snapshots() {
    const QString dir = qEnvironmentVariable("CONSOLE_SNAPSHOTS");
    if (dir.isEmpty()) QSKIP("set CONSOLE_SNAPSHOTS to a folder to write the pictures");
    room::gui::applyDialogColours(*qApp);
    ConsoleFixture console;
    console.window->resize(1366, 768);
    console.window->show();
    console.window->setBusLogShown(true);
    console.choosePort();
    console.link->bus().faults(2).corrupt = true;
    console.link->bus().faults(3).silent = true;
    console.link->bus().faults(4).lateMs = 3300;       // logged as late
    console.link->bus().faults(5).badChecksum = true;  // marked in the log, a difference
    console.link->bus().faults(6).zeroAt = 20;         // 长度错误, a difference
    console.link->bus().faults(7).kind = 2;            // 类型不符
    console.link->bus().setEcho(true);                 // 回显 after each request
    console.press(261);
    QTRY_COMPARE_WITH_TIMEOUT(console.window->progressBar()->value(), 3, 10000);
    QTest::qWait(500);
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-run.png")));
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QTest::qWait(100);
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-done.png")));
    console.window->resize(1024, 700);
    QTest::qWait(100);
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-1024.png")));
    console.window->resize(1366, 768);
    // A second verify all under way: the badges of the first are drawn as from an earlier run.
    console.link->bus().faults(1).silent = true;
    console.press(261);
    QTest::qWait(300);
    QTest::mouseClick(named(console.window.get(), QStringLiteral("btnStop")), Qt::LeftButton);
    QTest::qWait(100);
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-earlier.png")));
    console.window->tabs()->setCurrentIndex(3);
    QTest::qWait(50);  // the run row lays itself out again
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-tab3.png")));
    // A scan: device 3 silent, 4 slow, and a panel the room type does not use under 12.
    console.window->tabs()->setCurrentIndex(0);
    console.link->bus().faults(1).silent = false;
    console.link->bus().setPresent({1, 2, 3, 4, 5, 6, 7, 12});
    console.link->bus().memory(12).type = 1;
    QTest::mouseClick(named(console.window.get(), QStringLiteral("btnScan")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(console.idle(), kRunTimeoutMs);
    QTest::qWait(100);
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-scan.png")));
    console.window->resize(1024, 700);
    QTest::qWait(100);
    QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-scan-1024.png")));
    room::gui::HelpDialog help(console.window.get());
    help.show();
    QTest::qWait(50);
    QVERIFY(help.grab().save(dir + QStringLiteral("/console-help.png")));
}

QTEST_MAIN(ConsoleWindowTest)
#include "console_window_test.moc"
