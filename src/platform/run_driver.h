#pragma once
// Drives the commissioning engine over a serial link with real time: received bytes go in, frames
// go out, and one precise single-shot timer wakes the engine at its next deadline. The console
// window and the command-line tool both sit on top of it.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "core/commissioning/engine.h"
#include "platform/serial_link.h"

namespace room::platform {

class RunDriver : public QObject {
    Q_OBJECT

public:
    RunDriver(commissioning::Engine& engine, SerialLink& link, QObject* parent = nullptr);

    commissioning::Engine& engine() { return m_engine; }
    SerialLink& link() { return m_link; }

    // Calls into the engine with the current time and carries out what it returns, e.g.
    //   driver.call([&](auto now) { return engine.command(Action::SendAll, now); });
    void call(const std::function<commissioning::Effects(commissioning::TimePoint)>& step);

    // Closes the link and goes on as if it had been lost: the run ends cut short, then
    // portLost(reason). For a run that must end now (the command line's Ctrl+C).
    void dropLink(const QString& reason);

    // Milliseconds since the driver was made, for logs.
    qint64 elapsedMs() const { return m_clock.elapsed(); }

signals:
    // After the frames of a step were written: what the engine asked the window to show.
    void effectsApplied(const room::commissioning::Effects& effects);
    void frameWritten(const room::commissioning::OutFrame& frame);
    void bytesArrived(const QByteArray& bytes);
    // The port went away or refused a write; the engine has already been told.
    void portLost(const QString& reason);

private:
    void apply(commissioning::Effects effects);
    void reschedule();
    void onBytes(const QByteArray& bytes);
    void onLost(const QString& reason);

    commissioning::Engine& m_engine;
    SerialLink& m_link;
    QTimer m_timer;
    bool m_lost = false;  // the port went away; the driver is done
    QElapsedTimer m_clock;
};

}  // namespace room::platform
