#pragma once
// The commissioning record on disk: an SQLite database (Qt SQL, QSQLITE) in the user's data
// folder. Every write is one transaction; a database that is locked, read-only, full or broken
// gives a message and never an exception, so a run's result is never held up by its record.

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/records/job.h"
#include "core/records/room_state.h"
#include "core/records/run_record.h"

namespace room::platform {

class RecordStore {
public:
    // `busyMs`: how long a write waits for another writer before it gives up.
    explicit RecordStore(QString path, int busyMs = 1000);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // `path` is an SQLite file or a postgresql:// URL (platform/record_location.h).
    // records.sqlite in the per-user data folder, the same for the window and the command line.
    static QString defaultPath();
    // The record the windows use when they are given none: the user's own file unless set.
    // Set from "调试记录位置..." (with a password typed there, kept in memory only).
    static QString userRecord();
    static void setUserRecord(const QString& location);
    const QString& path() const { return m_path; }
    // The location as shown and as the spool files entries under: never a password.
    QString shownPath() const;

    // Adds a run and its devices and updates the room's row; sets record.id. An entry whose
    // uuid is already there is not added again (and true). False, with errorString(), when
    // nothing was kept.
    bool add(records::RunRecord& record);
    // Every room, in the order of their room numbers; nothing (and errorString()) on failure.
    std::optional<std::vector<records::RoomRow>> rooms();
    // The runs of one room (all rooms when `room` is empty), newest first.
    std::optional<std::vector<records::RunRecord>> runs(const std::optional<records::RoomRow>& room);
    std::optional<records::RunRecord> run(long long id);
    // What a report shows of a room: its latest verify all, or else its latest run.
    std::optional<records::RunRecord> latestOf(const records::RoomRow& room);
    // Small values the windows remember with the record (the room number, the installer).
    QString remembered(const QString& key);
    bool remember(const QString& key, const QString& value);
    QString errorString() const { return m_error; }

    // False (with errorString()) when the record cannot be opened, or comes from a newer program:
    // such a record is read but never written.
    bool writable();

    // The job's rooms, by floor then room number; empty when the record holds no job.
    std::optional<std::vector<records::JobRoom>> jobRooms();
    // Adds the rooms, or gives rooms already in the job their new floor and room type: all in one
    // transaction, so a failure keeps none of them.
    bool putJobRooms(const std::vector<records::JobRoom>& rooms);
    bool removeJobRoom(const std::string& roomNumber);

    // Every room number the entries name, with its latest whole-room run and how many entries it
    // has; `latestType` is the room type of that run (or of its latest entry of any kind).
    struct RoomRuns {
        std::string roomNumber;
        std::optional<records::RunFacts> latest;
        records::RoomTypeId latestType;
        int runs = 0;
    };
    std::optional<std::vector<RoomRuns>> roomRuns();
    // The entries of one room number without their device rows, newest first.
    std::optional<std::vector<records::RunFacts>> factsOfRoom(const std::string& roomNumber);
    // The entries of one room number with their device rows, newest first.
    std::optional<std::vector<records::RunRecord>> runsOfRoom(const std::string& roomNumber);

private:
    bool open();
    std::optional<std::vector<records::RunRecord>> select(const QString& where,
                                                          const QVariantList& binds);
    bool fail(const QString& what, const QString& reason);
    bool existing(records::RunRecord& record);
    // A statement prepared once per store: a report reads thousands of rooms with the same few.
    QSqlQuery& prepared(const QString& sql);
    // Each row's latest send all or verify all.
    bool fillLatest(std::vector<records::RoomRow>& rows);

    QString m_path;
    QString m_connection;
    int m_busyMs;
    bool m_ready = false;
    int m_newerVersion = 0;
    bool m_shared = false;  // PostgreSQL  // the schema version of a record from a newer program
    QString m_error;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
};

// "+08:00" for an offset from UTC in seconds.
QString utcOffsetText(int seconds);

// The program version every record carries.
QString programVersion();

// Which room type: its names and number, and a hash of its file as a save would write it.
records::RoomTypeId roomTypeId(const model::RoomTypeConfig& room);
// Time (local, UTC and the offset), machine, room number, room type, port and program version of
// a record made now; the installer is the caller's to set.
void stamp(records::RunRecord& record, const model::RoomTypeConfig& room,
           const QString& roomNumber, const QString& port);

}  // namespace room::platform
