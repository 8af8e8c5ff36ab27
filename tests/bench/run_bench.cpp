// Send all, then verify all, of 32 switch panels over the simulated bus with real byte timing and
// real timers. Prints the measured time beside the protocol bound (every byte on the wire at 9600
// baud, 10 bit times each, plus the fixed pauses: 20 ms before each in-use device the timer
// serves, 100 ms after each answer, and the grace time each run listens after its last device
// for a second talker), their ratio, and how late a 10 ms heartbeat timer on the same thread ever
// was. Targets: ratio <= 1.05, heartbeat lateness <= 20 ms.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "bench_support.h"
#include "core/commissioning/engine.h"
#include "platform/run_driver.h"
#include "platform/simulated_link.h"

using namespace room;
using commissioning::Action;
using commissioning::TimePoint;

namespace {

struct Tally {
    long bytesOut = 0;
    long bytesIn = 0;
    int answers = 0;
    int timedServes = 0;  // devices served by the timer after the 20 ms pause
};

// Runs one action to its end; returns the elapsed seconds.
double runOnce(platform::RunDriver& driver, Action action, Tally& tally) {
    QEventLoop loop;
    QElapsedTimer clock;
    auto done = QObject::connect(&driver, &platform::RunDriver::effectsApplied,
                                 [&](const commissioning::Effects& fx) {
                                     if (fx.progress && fx.progress->visited > 1) ++tally.timedServes;
                                     if (fx.runFinished) loop.quit();
                                 });
    clock.start();
    driver.call([&](TimePoint now) { return driver.engine().command(action, now, true); });
    loop.exec();
    QObject::disconnect(done);
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    model::RoomTypeConfig room = switchPanels32();
    model::RoomTypeConfig edit = model::makeStartupRoomType();
    platform::SimulatedLink link;  // empty devices: the send all configures them
    link.open("SIM");
    commissioning::Engine engine(room, edit);
    platform::RunDriver driver(engine, link);

    Tally tally;
    protocol::Receiver receiver;
    QObject::connect(&driver, &platform::RunDriver::frameWritten,
                     [&](const commissioning::OutFrame& f) { tally.bytesOut += long(f.bytes.size()); });
    QObject::connect(&driver, &platform::RunDriver::bytesArrived, [&](const QByteArray& bytes) {
        tally.bytesIn += bytes.size();
        for (char c : bytes) {
            if (receiver.push(static_cast<std::uint8_t>(c))) ++tally.answers;
        }
    });

    // The heartbeat: how late does a 10 ms timer on the window thread fire during the runs?
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QElapsedTimer beatClock;
    qint64 lastBeat = 0;
    qint64 worstLateMs = 0;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = beatClock.elapsed();
        worstLateMs = std::max(worstLateMs, now - lastBeat - 10);
        lastBeat = now;
    });
    beatClock.start();
    heartbeat.start(10);

    driver.call([&](TimePoint now) { return engine.setPortOpen(true, now); });
    const double send = runOnce(driver, Action::SendAll, tally);
    const double verify = runOnce(driver, Action::VerifyAll, tally);
    heartbeat.stop();

    const double byteSeconds = 10.0 / 9600.0;
    const double bound = double(tally.bytesOut + tally.bytesIn) * byteSeconds +
                         0.020 * tally.timedServes + 0.100 * tally.answers +
                         2 * std::chrono::duration<double>(commissioning::kGracePeriod).count();
    const double measured = send + verify;
    int ok = 0;
    for (int v = 1; v <= 32; ++v) ok += engine.result(v) == 1;

    std::printf("32 switch panels, send all + verify all over the simulated bus\n");
    std::printf("bytes on the wire   : %ld out, %ld in; %d answers; %d timed serves\n",
                tally.bytesOut, tally.bytesIn, tally.answers, tally.timedServes);
    std::printf("measured            : %.3f s (send all %.3f s, verify all %.3f s)\n", measured,
                send, verify);
    std::printf("protocol bound      : %.3f s\n", bound);
    std::printf("ratio               : %.3f (target <= 1.05)\n", measured / bound);
    std::printf("heartbeat late by   : %lld ms at most (target <= 20 ms)\n",
                static_cast<long long>(worstLateMs));
    std::printf("devices verified OK : %d of 32\n", ok);
    return ok == 32 ? 0 : 1;
}
