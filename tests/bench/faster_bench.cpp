// Faster rooms, measured with real byte timing and real timers:
//  1. a scan of 32 numbers with the example room's 7 devices on the simulated bus;
//  2. reading that room into an empty room type: scan-then-read against a read of 1 to 32;
//  3. send-verify of 32 switch panels over TCP on loopback through a proxy that delays each
//     direction by 20 ms, against the same over a pty (roombus-sim and tcp_delay_proxy).
// Each is printed beside its bound computed in the same run from the bytes on the wire at 9600
// baud and the engine's pacing (windows, periods, pauses, grace; over TCP also the delay each
// request and each answer took), with their ratio.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "bench_support.h"
#include "core/commissioning/engine.h"
#include "core/format/shd_file.h"
#include "platform/qserialport_link.h"
#include "platform/run_driver.h"
#include "platform/simulated_link.h"
#include "platform/tcp_link.h"

using namespace room;
using namespace room::commissioning;

namespace {

constexpr double kByteSeconds = 10.0 / 9600.0;
double seconds(Milliseconds ms) {
    return std::chrono::duration<double>(ms).count();
}

model::RoomTypeConfig exampleRoom() {
    std::ifstream in(std::string(ROOM_EXAMPLES) + "/grand-hotel-deluxe.shd", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    model::RoomTypeConfig room = model::makeStartupRoomType();
    format::readRoomTypeFile(bytes, room);
    return room;
}

// What went over the wire during the runs of one command, and how long they took.
struct Tally {
    double seconds = 0;
    long bytesOut = 0;
    long bytesIn = 0;
    int frames = 0;
    int requests = 0;     // devices served
    int answers = 0;      // whole answers taken
    int silent = 0;       // scanned numbers that gave no answer
    int pausedServes = 0;  // devices served after the 20 ms pause
    int runs = 0;
    int graceShared = 0;
    RunSummary last;
};

// Plays `plan` over `driver` to its end.
Tally play(platform::RunDriver& driver, const SequencePlan& plan) {
    Tally tally;
    RunSequence sequence(plan);
    QEventLoop loop;
    QElapsedTimer clock;
    auto written = QObject::connect(&driver, &platform::RunDriver::frameWritten,
                                    [&](const OutFrame& f) {
                                        tally.bytesOut += long(f.bytes.size());
                                        ++tally.frames;
                                    });
    auto arrived = QObject::connect(&driver, &platform::RunDriver::bytesArrived,
                                    [&](const QByteArray& b) { tally.bytesIn += b.size(); });
    auto applied = QObject::connect(&driver, &platform::RunDriver::effectsApplied, [&](const Effects& fx) {
        if (fx.progress) {
            ++tally.requests;
            if (fx.progress->visited > 1 && fx.progress->mode != RunMode::Scan) ++tally.pausedServes;
        }
        if (!fx.runFinished) return;
        ++tally.runs;
        tally.last = *fx.runFinished;
        tally.answers += fx.runFinished->answered;
        if (fx.runFinished->scan) {
            tally.silent += fx.runFinished->visited - int(fx.runFinished->scan->found.size());
        } else {
            tally.silent += int(fx.runFinished->unread.size());
            const auto& served = fx.runFinished->served;
            const auto& unread = fx.runFinished->unread;
            // The grace after a silent last device is the run's own.
            if (!served.empty() && !unread.empty() && unread.back() == served.back()) ++tally.graceShared;
        }
        const auto next = sequence.after(*fx.runFinished);
        if (!next) {
            loop.quit();
            return;
        }
        QTimer::singleShot(0, &driver, [&driver, run = *next] {
            driver.call([&](TimePoint now) { return driver.engine().start(run, now); });
        });
    });
    clock.start();
    driver.call([&](TimePoint now) { return driver.engine().start(sequence.first(), now); });
    loop.exec();
    tally.seconds = double(clock.nsecsElapsed()) / 1e9;
    QObject::disconnect(written);
    QObject::disconnect(arrived);
    QObject::disconnect(applied);
    return tally;
}

// The wire and the engine's pacing. An answered request: its bytes, the answer's, and 100 ms
// after it. A silent one: its wait (a scan's window; a run's period and grace), which begins as
// the request is handed to the port, so its bytes go out within it. Then 20 ms before each
// device served in a read or a send, the pause between the frames of one request, and each
// run's grace after its last device.
double bound(const Tally& t, Milliseconds wait, bool scan, double perRequest = 0) {
    const double answeredShare = t.requests ? double(t.requests - t.silent) / t.requests : 0;
    const double silentWait = seconds(wait) + (scan ? 0 : seconds(kGracePeriod));
    return (double(t.bytesIn) + double(t.bytesOut) * answeredShare) * kByteSeconds +
           t.silent * silentWait + t.answers * seconds(kAnswerPeriod) +
           t.pausedServes * seconds(kInUsePause) + (t.frames - t.requests) * seconds(kFramePause) +
           (t.runs - t.graceShared) * seconds(kGracePeriod) + t.requests * perRequest;
}

void line(const char* what, const Tally& t, double limit) {
    std::printf("%-44s %7.2f s  bound %7.2f s  ratio %.3f  (%d runs, %d served, %d answers)\n", what,
                t.seconds, limit, t.seconds / limit, t.runs, t.requests, t.answers);
}

// Plays `plan` on `room` over `link`, which is open.
Tally playOn(model::RoomTypeConfig room, platform::SerialLink& link, const SequencePlan& plan) {
    model::RoomTypeConfig edit = model::makeStartupRoomType();
    Engine engine(room, edit);
    platform::RunDriver driver(engine, link);
    driver.call([&](TimePoint now) { return engine.setPortOpen(true, now); });
    return play(driver, plan);
}

// The example room's seven devices on the simulated bus, the room type `room`.
Tally playOnExampleBus(const model::RoomTypeConfig& room, const SequencePlan& plan) {
    platform::SimulatedLink link(exampleRoom());
    link.open("SIM");
    return playOn(room, link, plan);
}

void inProcess() {
    SequencePlan scan;
    scan.scanOnly = true;
    const Tally t = playOnExampleBus(exampleRoom(), scan);
    line("scan of 32 numbers, 7 devices", t, bound(t, kDefaultScanWindow, true));
    std::printf("%-44s %zu found\n", "", t.last.scan ? t.last.scan->found.size() : 0);

    SequencePlan plan;
    plan.action = Action::ReadAll;
    plan.scanFirst = true;
    const Tally scanRead = playOnExampleBus(model::makeStartupRoomType(), plan);
    // Today's way into an unknown room: a read of every number, a full period each.
    model::RoomTypeConfig all32 = model::makeStartupRoomType();
    for (int v = 1; v <= 32; ++v) all32.selected[v] = 1;
    plan.scanFirst = false;
    const Tally readAll = playOnExampleBus(all32, plan);
    line("unknown room: scan, then read what answered", scanRead,
         bound(scanRead, kDefaultScanWindow, true));
    line("unknown room: read of 1 to 32", readAll, bound(readAll, kServePeriod, false));
    std::printf("%-44s %.1f times faster\n", "scan-then-read against a read of 1 to 32",
                readAll.seconds / scanRead.seconds);
}

// Starts `program` and returns the first `lines` lines it prints.
QStringList startAndRead(QProcess& process, const QString& program, const QStringList& args, int lines) {
    process.start(program, args);
    QStringList out;
    QElapsedTimer clock;
    clock.start();
    while (out.size() < lines && clock.elapsed() < 5000) {
        process.waitForReadyRead(100);
        while (process.canReadLine()) out << QString::fromUtf8(process.readLine()).trimmed();
    }
    return out;
}

Tally sendVerify(platform::SerialLink& link, const QString& port) {
    if (!link.open(port)) {
        std::printf("%s: %s\n", qPrintable(port), qPrintable(link.errorString()));
        return {};
    }
    SequencePlan plan;
    plan.action = Action::SendAll;
    plan.thenVerify = true;
    const Tally t = playOn(switchPanels32(), link, plan);
    link.close();
    return t;
}

void overTheNetwork() {
#if !defined(ROOMBUS_SIM) || !defined(TCP_DELAY_PROXY)
    std::printf("built without roombus-sim: no measure over the network\n");
}
#else
    QProcess sim;
    const QStringList simLines =
        startAndRead(sim, QStringLiteral(ROOMBUS_SIM), {"--tcp", "127.0.0.1:0"}, 2);
    if (simLines.size() < 2) {
        std::printf("roombus-sim did not start\n");
        return;
    }
    const QString hostPort = simLines[1].mid(QStringLiteral("tcp://").size());
    QProcess proxy;
    const QStringList proxyLines = startAndRead(
        proxy, QStringLiteral(TCP_DELAY_PROXY), {"--listen", "0", "--to", hostPort, "--delay", "20"}, 1);
    if (proxyLines.isEmpty()) {
        std::printf("tcp_delay_proxy did not start\n");
        return;
    }
    const QString proxied = QStringLiteral("tcp://127.0.0.1:") + proxyLines[0].section(' ', 1);

    platform::QSerialPortLink pty;
    const Tally overPty = sendVerify(pty, simLines[0]);
    platform::TcpLink tcp;
    const Tally overTcp = sendVerify(tcp, proxied);
    line("send-verify of 32 panels over a pty", overPty, bound(overPty, kServePeriod, false));
    // Each request reaches its device 20 ms late and each answer comes back 20 ms late.
    line("send-verify of 32 panels over TCP, 20 ms", overTcp,
         bound(overTcp, kServePeriod, false, 0.040));
    std::printf("%-44s %.3f\n", "TCP against pty", overTcp.seconds / overPty.seconds);
    proxy.kill();
    sim.kill();
    proxy.waitForFinished();
    sim.waitForFinished();
}
#endif

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    inProcess();
    overTheNetwork();
    return 0;
}
