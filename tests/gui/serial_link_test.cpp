// The serial links: the simulated bus delivers answers at wire speed, the QSerialPort link works
// over a pseudo-terminal and reports a vanished port once without spinning.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "core/model/room_type.h"
#include "platform/qserialport_link.h"
#include "platform/simulated_link.h"
#include "support/pty.h"

using room::testing::Pty;

using room::platform::QSerialPortLink;
using room::platform::SimulatedLink;

namespace {

// Read of device 3: F1 F4 type 1, device 3, op 2, length 9, checksum, F3 F4.
const QByteArray kRead3 = QByteArray::fromHex("f1f4 01 03 02 09 f4 f3f4");

// What an empty switch panel 3 answers: F2 F3 01 03 02 44, 59 zeros, checksum 0x2F, F3 F4.
QByteArray emptyAnswer3() {
    QByteArray a = QByteArray::fromHex("f2f3010302 44");
    a.append(QByteArray(59, '\0'));
    a.append(QByteArray::fromHex("2ff3f4"));
    return a;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray joined(const QSignalSpy& spy) {
    QByteArray all;
    for (const QList<QVariant>& call : spy) all.append(call.at(0).toByteArray());
    return all;
}

}  // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT

private slots:
    void simulatedReadTakesWireTime();
    void simulatedAnswersComeTogetherWhenTheReceiverWasBusy();
    void simulatedLinkPreloadedFromARoomType();
    void simulatedCloseLosesPendingAnswersAndPullReportsLoss();
    void portLinkWritesAndReceivesOverAPty();
    void portLinkOpenDropsWaitingInput();
    void portLinkReportsAVanishedPortOnceWithoutSpinning();
    void portLinkRefusesAMissingPort();
};

void SerialLinkTest::simulatedReadTakesWireTime() {
    SimulatedLink link;
    QVERIFY(!link.write(kRead3));  // not open yet
    QVERIFY(link.open(QStringLiteral("sim")));
    QSignalSpy spy(&link, &SimulatedLink::bytesReceived);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(link.write(kRead3));
    qint64 firstAt = -1;
    while (joined(spy).size() < 68 && clock.elapsed() < 2000) {
        QTest::qWait(1);
        if (firstAt < 0 && spy.count() > 0) firstAt = clock.nsecsElapsed();
    }
    const double lastMs = clock.nsecsElapsed() / 1e6;
    QCOMPARE(joined(spy), emptyAnswer3());
    // 9 bytes out, 5 ms reaction, 68 bytes back: 77 byte times of 10/9600 s plus 5 ms = 85.2 ms.
    const double expectedMs = 77 * 10.0 / 9.6 + 5.0;
    QVERIFY2(lastMs >= expectedMs - 1.0, qPrintable(QString::number(lastMs)));
    QVERIFY2(lastMs <= expectedMs + 60.0, qPrintable(QString::number(lastMs)));
    // The first byte is not delivered with the last: the answer trickles in at line speed.
    QVERIFY(firstAt > 0 && firstAt / 1e6 < expectedMs - 30.0);
    QVERIFY(spy.count() > 10);
}

void SerialLinkTest::simulatedAnswersComeTogetherWhenTheReceiverWasBusy() {
    SimulatedLink link;
    QVERIFY(link.open(QStringLiteral("sim")));
    QSignalSpy spy(&link, &SimulatedLink::bytesReceived);
    link.write(kRead3);
    QThread::msleep(150);  // the window thread was busy; the whole answer is due by now
    QTest::qWait(20);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(joined(spy), emptyAnswer3());
}

void SerialLinkTest::simulatedLinkPreloadedFromARoomType() {
    room::model::RoomTypeConfig room = room::model::makeStartupRoomType();
    room.deviceCount = 3;
    room.devices[3].type = 1;
    room.devices[3].inUse = 1;
    room.devices[3].inputs = {7, 8, 9, 10, 11, 12};
    SimulatedLink link(room);
    QVERIFY(link.open(QStringLiteral("sim")));
    QSignalSpy spy(&link, &SimulatedLink::bytesReceived);
    link.write(kRead3);
    QTRY_COMPARE_WITH_TIMEOUT(joined(spy).size(), 68, 2000);
    QCOMPARE(joined(spy).mid(6, 11), QByteArray::fromHex("0100000000 070809 0a0b0c"));
}

void SerialLinkTest::simulatedCloseLosesPendingAnswersAndPullReportsLoss() {
    SimulatedLink link;
    QSignalSpy bytes(&link, &SimulatedLink::bytesReceived);
    QSignalSpy lost(&link, &SimulatedLink::lost);
    QVERIFY(link.open(QStringLiteral("sim")));
    link.write(kRead3);
    link.close();
    QVERIFY(link.open(QStringLiteral("sim")));
    QTest::qWait(150);
    QCOMPARE(bytes.count(), 0);

    link.bus().faults(3).lateMs = 50;
    link.write(kRead3);
    link.pullAdapter(QStringLiteral("unplugged"));
    link.pullAdapter(QStringLiteral("again"));  // already closed: nothing more
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.at(0).at(0).toString(), QStringLiteral("unplugged"));
    QVERIFY(!link.isOpen());
    QVERIFY(!link.write(kRead3));
    QTest::qWait(200);
    QCOMPARE(bytes.count(), 0);
}

void SerialLinkTest::portLinkWritesAndReceivesOverAPty() {
    Pty pty;
    QVERIFY(!pty.slavePath.isEmpty());
    QSerialPortLink link;
    QVERIFY2(link.open(pty.slavePath), qPrintable(link.errorString()));
    QVERIFY(link.isOpen());
    QVERIFY(link.write(kRead3));
    QCOMPARE(pty.receive(kRead3.size()), kRead3);

    QSignalSpy spy(&link, &QSerialPortLink::bytesReceived);
    QVERIFY(pty.send(emptyAnswer3()));
    QTRY_COMPARE_WITH_TIMEOUT(joined(spy), emptyAnswer3(), 2000);

    // Choosing the port again reopens it.
    QVERIFY(link.open(pty.slavePath));
    QVERIFY(link.write(QByteArray::fromHex("aa55")));
    QCOMPARE(pty.receive(2), QByteArray::fromHex("aa55"));
    link.close();
    QVERIFY(!link.isOpen());
    QVERIFY(!link.write(kRead3));
}

void SerialLinkTest::portLinkOpenDropsWaitingInput() {
    Pty pty;
    QSerialPortLink link;
    QVERIFY(link.open(pty.slavePath));
    QSignalSpy spy(&link, &QSerialPortLink::bytesReceived);
    // Bytes that reach a port nobody has chosen yet are never read.
    link.close();
    QVERIFY(pty.send(QByteArray("stale bytes")));
    QTest::qWait(50);
    QVERIFY(link.open(pty.slavePath));
    QVERIFY(pty.send(QByteArray::fromHex("f00f")));
    QTRY_COMPARE_WITH_TIMEOUT(joined(spy), QByteArray::fromHex("f00f"), 2000);
}

void SerialLinkTest::portLinkReportsAVanishedPortOnceWithoutSpinning() {
    Pty pty;
    QSerialPortLink link;
    QVERIFY(link.open(pty.slavePath));
    auto* port = link.findChild<QSerialPort*>();
    QVERIFY(port != nullptr);
    int errors = 0;
    connect(port, &QSerialPort::errorOccurred, this, [&errors](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError) ++errors;
    });
    QSignalSpy lost(&link, &QSerialPortLink::lost);

    pty.closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 2000);
    QVERIFY(!link.isOpen());
    QVERIFY(!lost.at(0).at(0).toString().isEmpty());

    const double cpuBefore = cpuSeconds();
    QTest::qWait(1000);
    const double cpuUsed = cpuSeconds() - cpuBefore;
    QCOMPARE(lost.count(), 1);
    QVERIFY2(errors <= 10, qPrintable(QString::number(errors)));
    QVERIFY2(cpuUsed < 0.3, qPrintable(QString::number(cpuUsed)));
    QVERIFY(!link.write(kRead3));

    // A new port opens normally afterwards.
    Pty another;
    QVERIFY(link.open(another.slavePath));
    QVERIFY(link.write(kRead3));
    QCOMPARE(another.receive(kRead3.size()), kRead3);
}

void SerialLinkTest::portLinkRefusesAMissingPort() {
    QSerialPortLink link;
    QSignalSpy lost(&link, &QSerialPortLink::lost);
    QVERIFY(!link.open(QStringLiteral("/dev/roombus-no-such-port")));
    QVERIFY(!link.isOpen());
    QVERIFY(!link.errorString().isEmpty());
    QTest::qWait(50);
    QCOMPARE(lost.count(), 0);
}

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "serial_link_test.moc"
