// The console's bus log: one line per frame and per reassembled answer, its columns, the times
// of a run, the bound on its size, and copying and saving it as text.

#include "gui/console/bus_log_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFileInfo>
#include <QDir>
#include <QTemporaryDir>

#include "gui/console/console_context.h"
#include "support/editor_finders.h"
#include "test_page_fixture.h"

using namespace room::testing;
using room::commissioning::FrameKind;
using room::gui::BusLog;
using room::gui::BusLogPane;
using room::gui::formatLine;

namespace {

QByteArray bytesOf(const Frame& frame) {
    QByteArray bytes;
    for (int value : frame) bytes.append(static_cast<char>(value));
    return bytes;
}

QStringList lineTexts(const BusLog& log) {
    QStringList texts;
    for (const auto& line : log.lines()) texts << formatLine(line);
    return texts;
}

// A device's short answer: 0xF0 0xED, device, 0, block 1, data, checksum, 0x0F.
Frame shortAnswer(int device) {
    return shortFrame({{1, 0xED}, {2, device}, {4, 1}, {5, 0x0A}, {6, 0x4E}});
}

const QString kShortAnswer5 =
    QStringLiteral("F0 ED 05 00 01 0A 4E 00 00 00 00 00 00 00 00 3B 0F");  // sum 0x23B

}  // namespace

class BusLogTest : public QObject {
    Q_OBJECT

private slots:
    void sentFrames_data();
    void sentFrames();
    void answersAreOneLineEach();
    void noiseAndBrokenAnswers();
    void echoIsALineOfItsOwn();
    void runTimes();
    void boundedSize();
    void paneShowsAndCopies();
    void paneSaves();
    void paneFiltersByDeviceAndKind();
    void pauseHoldsTheView();
    void proposedNameNamesRoomTypeAndTime();
};

void BusLogTest::sentFrames_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("expected");
    QTest::newRow("send") << int(FrameKind::Send) << 3
                          << QStringLiteral("     120 ms  TX  03  下发  F1 F4 0A");
    QTest::newRow("read") << int(FrameKind::Read) << 12
                          << QStringLiteral("     120 ms  TX  12  读取  F1 F4 0A");
    QTest::newRow("verify") << int(FrameKind::Verify) << 32
                            << QStringLiteral("     120 ms  TX  32  校验  F1 F4 0A");
    QTest::newRow("clear") << int(FrameKind::Clear) << 0
                           << QStringLiteral("     120 ms  TX  --  清除  F1 F4 0A");
    QTest::newRow("command") << int(FrameKind::Command) << 0
                             << QStringLiteral("     120 ms  TX  --  命令  F1 F4 0A");
}

void BusLogTest::sentFrames() {
    QFETCH(int, kind);
    QFETCH(int, device);
    QFETCH(QString, expected);
    BusLog log;
    log.addSent(device, FrameKind(kind), {0xF1, 0xF4, 0x0A}, 120);
    QCOMPARE(lineTexts(log), QStringList{expected});
    QCOMPARE(log.text(), expected + QLatin1Char('\n'));
}

void BusLogTest::answersAreOneLineEach() {
    BusLog log;
    QCOMPARE(hex(kShortAnswer5.toLatin1().constData()), shortAnswer(5));  // the golden line's bytes
    const QByteArray answer = bytesOf(shortAnswer(5));
    log.addReceived(answer.left(5), 200);
    QVERIFY(log.lines().empty());  // still coming in
    log.addReceived(answer.mid(5), 215);
    // A long answer names its device in byte 3, and its bytes come one by one.
    const QByteArray longAnswer = QByteArray::fromHex("F2F301070103000000F3F4");
    for (qsizetype i = 0; i < longAnswer.size(); ++i)
        log.addReceived(longAnswer.mid(i, 1), 300 + i);
    // Another short frame (a switch's key report) carries no device number in byte 2.
    const Frame report = shortFrame({{1, 0xDD}, {2, 10}, {3, 1}});
    log.addReceived(bytesOf(report), 400);
    QCOMPARE(lineTexts(log),
             (QStringList{QStringLiteral("     215 ms  RX  05  应答  ") + kShortAnswer5,
                          QStringLiteral("     310 ms  RX  07  应答  F2 F3 01 07 01 03 00 00 00 "
                                         "F3 F4"),
                          QStringLiteral("     400 ms  RX  --  应答  ") +
                              room::gui::hexBytes(bytesOf(report))}));
}

void BusLogTest::noiseAndBrokenAnswers() {
    BusLog log;
    // Noise before an answer is kept, as the bytes that were thrown away.
    log.addReceived(QByteArray::fromHex("00FF55F211") + bytesOf(shortAnswer(5)), 400);
    // An answer with a wrong checksum is thrown away whole.
    QByteArray broken = bytesOf(shortAnswer(6));
    broken[15] = static_cast<char>(broken[15] + 1);
    log.addReceived(broken, 500);
    QCOMPARE(log.lines().size(), std::size_t{2});
    log.addSent(6, FrameKind::Verify, {0xF1, 0xF4}, 600);
    const QStringList texts = lineTexts(log);
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts[0], QStringLiteral("     400 ms  RX  --  丢弃  00 FF 55 F2 11"));
    QCOMPARE(texts[1], QStringLiteral("     400 ms  RX  05  应答  ") + kShortAnswer5);
    QCOMPARE(texts[2],
             QStringLiteral("     500 ms  RX  --  丢弃  ") + room::gui::hexBytes(broken));
    QCOMPARE(texts[3], QStringLiteral("     600 ms  TX  06  校验  F1 F4"));
}

// An echoing adapter hands the read request back while it goes out; its checksum 0xF2 and the
// end pair would otherwise start a "long answer" that swallows the device's.
void BusLogTest::echoIsALineOfItsOwn() {
    BusLog log;
    const QByteArray request = QByteArray::fromHex("F1F4010102 09F2F3F4");
    log.addSent(1, FrameKind::Read, {0xF1, 0xF4, 0x01, 0x01, 0x02, 0x09, 0xF2, 0xF3, 0xF4}, 100);
    log.addReceived(request.left(4), 104);
    log.addReceived(request.mid(4), 108);
    const QByteArray answer = QByteArray::fromHex("F2F301010209F2F3F4");
    log.addReceived(answer, 150);
    room::commissioning::AnswerNote note;
    note.device = 1;
    note.badLength = true;
    note.bytes.assign(answer.begin(), answer.end());
    log.noteAnswers({note});
    QCOMPARE(lineTexts(log),
             (QStringList{QStringLiteral("     100 ms  TX  01  读取  F1 F4 01 01 02 09 F2 F3 F4"),
                          QStringLiteral("     108 ms  RX  --  回显  F1 F4 01 01 02 09 F2 F3 F4"),
                          QStringLiteral("     150 ms  RX  01  应答  F2 F3 01 01 02 09 F2 F3 "
                                         "F4  长度错误")}));
}

void BusLogTest::runTimes() {
    BusLog log;
    log.addSent(0, FrameKind::Command, {0xF0}, 900);  // shown before the run starts
    const std::uint64_t shown = log.nextSequence();
    log.addSent(0, FrameKind::Command, {0xF0}, 990);  // before the button was pressed
    log.addSent(1, FrameKind::Send, {0xF1}, 1005);    // the run's first frame
    log.beginRun(1000, QStringLiteral("==== 下发所有 ===="), shown);
    log.addReceived(bytesOf(shortAnswer(5)), 1300);  // after the frames' echo would have come
    log.endRun(1500, QStringLiteral("==== end ===="));
    log.addSent(2, FrameKind::Send, {0xF1}, 1600);  // after the run: since the console opened
    QStringList expected{
        QStringLiteral("     900 ms  TX  --  命令  F0"),
        QStringLiteral("     990 ms  TX  --  命令  F0"),
        QStringLiteral("       0 ms  --  --  ==== 下发所有 ===="),
        QStringLiteral("       5 ms  TX  01  下发  F1"),
        QStringLiteral("     300 ms  RX  05  应答  ") + kShortAnswer5,
        QStringLiteral("     500 ms  --  --  ==== end ===="),
        QStringLiteral("    1600 ms  TX  02  下发  F1"),
    };
    QCOMPARE(lineTexts(log), expected);
    // Sequence numbers stay in line order, so a view takes each line once.
    std::uint64_t next = 0;
    for (const auto& line : log.lines()) QCOMPARE(line.sequence, next++);
    QCOMPARE(log.nextSequence(), next);
}

void BusLogTest::boundedSize() {
    BusLog small(10);
    for (int i = 0; i < 25; ++i) small.addSent(i, FrameKind::Send, {0xF1}, i);
    QCOMPARE(small.lines().size(), std::size_t{10});
    QCOMPARE(small.lines().front().sequence, std::uint64_t{15});
    QCOMPARE(small.lines().back().device, 24);
    QCOMPARE(small.text().count(QLatin1Char('\n')), 10);

    BusLog log;  // an afternoon of frames keeps only the last kMaxLines
    const room::protocol::Bytes frame(70, 0xAB);
    for (int i = 0; i < 12000; ++i) log.addSent(1, FrameKind::Verify, frame, i);
    QCOMPARE(log.lines().size(), BusLog::kMaxLines);
    QCOMPARE(log.lines().front().atMs, qint64(12000 - 5000));
}

void BusLogTest::paneShowsAndCopies() {
    Console console(false);
    BusLogPane pane(*console.context);
    emit console.context->frameWritten(
        room::commissioning::OutFrame{4, FrameKind::Read, {0xF1, 0xF4, 0x02}}, 42);
    emit console.context->bytesArrived(bytesOf(shortAnswer(5)), 77);
    const QString expected = QStringLiteral(
                                 "      42 ms  TX  04  读取  F1 F4 02\n"
                                 "      77 ms  RX  05  应答  ") +
                             kShortAnswer5;
    QTRY_COMPARE(pane.viewText(), expected);
    pane.copyToClipboard();
    QCOMPARE(QApplication::clipboard()->text(), expected + QLatin1Char('\n'));
}

void BusLogTest::paneSaves() {
    Console console(false);
    QTemporaryDir dir;
    QStringList answers{dir.filePath(QStringLiteral("bus.txt")), QString(),
                        dir.filePath(QStringLiteral("missing/bus.txt"))};
    BusLogPane pane(*console.context,
                    [&](QWidget*, const QString&) { return answers.takeFirst(); });
    emit console.context->frameWritten(
        room::commissioning::OutFrame{0, FrameKind::Command, {0xF0, 0xCB}}, 5);

    QVERIFY(pane.saveToFile());
    QFile saved(dir.filePath(QStringLiteral("bus.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("       5 ms  TX  --  命令  F0 CB\n"));

    QVERIFY(!pane.saveToFile());  // cancelled
    QCOMPARE(console.prompter.records().size(), 0);

    QVERIFY(!pane.saveToFile());  // the folder does not exist
    QCOMPARE(console.prompter.records().size(), 1);
    QVERIFY(console.prompter.texts().first().startsWith(
        QStringLiteral("文件保存失败!\n") +
        QDir::toNativeSeparators(dir.filePath(QStringLiteral("missing/bus.txt"))) +
        QLatin1Char('\n')));
}

namespace {
// Two frames and an answer, each of another device or kind.
void busTraffic(ConsoleContext& context) {
    emit context.frameWritten(room::commissioning::OutFrame{4, FrameKind::Read, {0xF1, 0x04}}, 10);
    emit context.frameWritten(room::commissioning::OutFrame{5, FrameKind::Send, {0xF1, 0x05}}, 20);
    emit context.bytesArrived(bytesOf(shortAnswer(5)), 30);
}

void chooseText(QComboBox* box, const QString& text) {
    QVERIFY(box);
    const int row = box->findText(text);
    QVERIFY2(row >= 0, qPrintable(text));
    box->setCurrentIndex(row);
}
}  // namespace

void BusLogTest::paneFiltersByDeviceAndKind() {
    Console console(false);
    BusLogPane pane(*console.context);
    busTraffic(*console.context);
    const QString read4 = QStringLiteral("      10 ms  TX  04  读取  F1 04");
    const QString send5 = QStringLiteral("      20 ms  TX  05  下发  F1 05");
    const QString answer5 = QStringLiteral("      30 ms  RX  05  应答  ") + kShortAnswer5;
    QTRY_COMPARE(pane.viewText(), QStringList({read4, send5, answer5}).join('\n'));

    auto* device = byName<QComboBox>(&pane, QStringLiteral("编号:"));
    auto* kind = byName<QComboBox>(&pane, QStringLiteral("类型:"));
    chooseText(device, QStringLiteral("05"));
    QCOMPARE(pane.viewText(), QStringList({send5, answer5}).join('\n'));
    chooseText(kind, QStringLiteral("应答"));
    QCOMPARE(pane.viewText(), answer5);
    // New lines follow the filter too.
    emit console.context->frameWritten(
        room::commissioning::OutFrame{5, FrameKind::Verify, {0xF1, 0x06}}, 40);
    emit console.context->bytesArrived(bytesOf(shortAnswer(5)), 50);
    QTRY_COMPARE(pane.viewText(),
                 answer5 + QStringLiteral("\n      50 ms  RX  05  应答  ") + kShortAnswer5);
    chooseText(device, QStringLiteral("全部"));
    chooseText(kind, QStringLiteral("读取"));
    QCOMPARE(pane.viewText(), read4);
    // Copy and save take the whole log, whatever is shown.
    pane.copyToClipboard();
    QCOMPARE(QApplication::clipboard()->text().count(QLatin1Char('\n')), 5);
}

void BusLogTest::pauseHoldsTheView() {
    Console console(false);
    BusLogPane pane(*console.context);
    auto* pause = byName<QPushButton>(&pane, QStringLiteral("暂停"));
    QVERIFY(pause);
    pause->click();
    QCOMPARE(pause->text(), QStringLiteral("继续"));
    busTraffic(*console.context);
    QTest::qWait(150);
    QCOMPARE(pane.viewText(), QString());
    QCOMPARE(pane.log().lines().size(), std::size_t{3});  // the log goes on recording
    pause->click();
    QCOMPARE(pane.viewText().count(QLatin1Char('\n')), 2);
}

void BusLogTest::proposedNameNamesRoomTypeAndTime() {
    Console console(false);
    QTemporaryDir dir;
    console.document.room.roomTypeName = "豪华/大床房";
    console.document.room.currentFileName = dir.filePath(QStringLiteral("room.shd")).toStdString();
    QString proposed;
    BusLogPane pane(
        *console.context,
        [&proposed](QWidget*, const QString& name) {
            proposed = name;
            return QString();
        },
        [] { return QDateTime(QDate(2026, 3, 1), QTime(9, 5, 30)); });
    pane.saveToFile();
    QCOMPARE(proposed, dir.filePath(QStringLiteral("总线记录-豪华_大床房-20260301-090530.txt")));
    console.document.room.currentFileName.clear();
    pane.saveToFile();
    QCOMPARE(QFileInfo(proposed).absolutePath(), QDir::homePath());
}

QTEST_MAIN(BusLogTest)
#include "bus_log_test.moc"
