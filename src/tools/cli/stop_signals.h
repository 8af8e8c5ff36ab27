#pragma once
// Ctrl+C, SIGTERM and SIGHUP while `run` works:
// - the first one is handed to the Qt loop (caught), which ends the run as a pulled adapter
//   does: cut short, the devices never served listed, the entry recorded, exit 2;
// - a second one ends the process at once, as the signal always did (exit 130, 143, 129), for
//   a run that does not stop or an installer who will not wait;
// - a signal ignored when the tool started (nohup) stays ignored.
// On Windows the console's Ctrl+C, Ctrl+Break and close stand in for the signals.
// One instance at a time; the handlers are in place while it lives.

#ifdef ROOM_WITH_SERIAL

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace room::cli {

class StopSignals : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

signals:
    // On the loop's thread, once; `name` says which signal, e.g. "SIGINT".
    void caught(const QString& name);

#ifndef _WIN32
private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;  // the read end of the handler's pipe
#endif
};

}  // namespace room::cli

#endif
