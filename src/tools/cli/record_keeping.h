#pragma once
// How a command-line run keeps its commissioning record.

#include <QString>
#include <optional>
#include <string>

#include "core/records/run_record.h"

namespace room::cli {

// The record database a command uses: --records FILE, else the user's own.
QString recordsPath(const std::optional<std::string>& given);
// Adds the record; a record that cannot be kept is said on stderr and changes nothing else.
void keepRecord(records::RunRecord record, const QString& path);

}  // namespace room::cli
