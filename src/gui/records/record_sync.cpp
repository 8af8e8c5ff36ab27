#include "gui/records/record_sync.h"

#include <QThread>
#include <QTimer>

#include "platform/record_location.h"
#include "platform/record_spool.h"
#include "platform/record_store.h"

namespace room::gui {

namespace {

RecordSync* g_instance = nullptr;

// Lives on the sync thread: its store and spool connections are that thread's own.
class SyncWorker : public QObject {
public:
    explicit SyncWorker(RecordSync* owner) : m_owner(owner) {}

    void send() {
        const QString location = platform::RecordStore::userRecord();
        platform::RecordSpool spool;
        platform::RecordStore store(location, 1000);
        const platform::RecordSpool::Sent sent = spool.send(store);
        emit m_owner->sent(platform::shownLocation(location), sent.waiting, sent.error);
    }

private:
    RecordSync* m_owner;
};

}  // namespace

RecordSync::RecordSync() : m_thread(new QThread(this)) {
    auto* worker = new SyncWorker(this);
    worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(this, &RecordSync::sendRequested, worker, [worker] { worker->send(); }, Qt::QueuedConnection);
    m_thread->start();
    auto* timer = new QTimer(this);
    timer->setInterval(kEveryMs);
    connect(timer, &QTimer::timeout, this, &RecordSync::sendNow);
    timer->start();
    g_instance = this;
    sendNow();
}

RecordSync::~RecordSync() {
    if (g_instance == this) g_instance = nullptr;
    m_thread->quit();
    m_thread->wait();
}

RecordSync* RecordSync::instance() {
    return g_instance;
}

void RecordSync::sendNow() {
    emit sendRequested();
}

}  // namespace room::gui
