#pragma once
// The record's tables and their versions. Version 0 is a record from before versions were kept
// (or a new file); each step upgrades in place and keeps every entry. A record of a newer version
// is left as it is: this program reads it but never writes to it.

#include <QSqlDatabase>
#include <QString>

namespace room::platform {

inline constexpr int kRecordSchemaVersion = 3;

// Brings `db` up to kRecordSchemaVersion; `version` is what the file had before. False, with
// `error`, when a step failed (nothing of it is kept). A newer file is not touched and is no error.
bool prepareRecordSchema(QSqlDatabase& db, int* version, QString* error);
// The same on a PostgreSQL server, whose version is kept in a table of its own.
bool preparePostgresSchema(QSqlDatabase& db, int* version, QString* error);

}  // namespace room::platform
