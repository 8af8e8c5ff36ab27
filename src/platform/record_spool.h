#pragma once
// Entries on their way to the record. Every entry is kept here first (a small SQLite file in the
// user's data folder) under the record it is meant for, and leaves only once that record has
// taken it; a record that took it before (same uuid) keeps it once. So an entry survives a server
// out of reach, a locked file and the program's end, and is sent at the next chance.

#include <QString>
#include <optional>
#include <vector>

#include "core/records/run_record.h"

namespace room::platform {

class RecordStore;

class RecordSpool {
public:
    explicit RecordSpool(QString path = defaultPath());
    ~RecordSpool();
    RecordSpool(const RecordSpool&) = delete;
    RecordSpool& operator=(const RecordSpool&) = delete;

    // spool.sqlite beside the user's own record.
    static QString defaultPath();

    // Keeps `record` for the record at `target` (RecordLocation::shown()); gives it a uuid when
    // it has none. False, with errorString(), when even this local file cannot take it.
    bool keep(records::RunRecord& record, const QString& target);

    struct Sent {
        int sent = 0;
        int waiting = 0;  // still here afterwards
        QString error;    // why the first that stayed could not be sent
    };
    // Sends what waits for `store` (in the order kept), stopping at the first it cannot.
    Sent send(RecordStore& store);
    // The entries waiting for `target`, oldest first; nothing on failure.
    std::optional<std::vector<records::RunRecord>> waiting(const QString& target);
    int waitingCount(const QString& target);
    QString errorString() const { return m_error; }

private:
    bool open();

    QString m_path;
    QString m_connection;
    bool m_ready = false;
    QString m_error;
};

// "调试记录暂存本机, 共N条待上传".
QString spooledText(int waiting);

// An entry as the spool keeps it, and back.
QByteArray entryJson(const records::RunRecord& record);
std::optional<records::RunRecord> entryFromJson(const QByteArray& json);

}  // namespace room::platform
