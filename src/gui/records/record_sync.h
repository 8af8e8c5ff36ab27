#pragma once
// Sends the entries this computer keeps for the record, on a thread of its own: at start-up,
// every minute, and when asked (a run just ended over a shared record). A server out of reach
// costs its connection timeout there, never on the window's thread.

#include <QObject>
#include <QString>

class QThread;

namespace room::gui {

class RecordSync : public QObject {
    Q_OBJECT

public:
    static constexpr int kEveryMs = 60000;

    RecordSync();
    ~RecordSync() override;
    // The one the application runs; none in tests unless they make one.
    static RecordSync* instance();

    // Sends now (queued to the thread); `sent` says how it went.
    void sendNow();

signals:
    // After each attempt: the record's shown location, how many entries still wait, and why.
    void sent(const QString& target, int waiting, const QString& error);
    void sendRequested();

private:
    QThread* m_thread = nullptr;
};

}  // namespace room::gui
