#pragma once
// Reading a job's rooms from files: the rooms table (its relative paths taken from the table's
// folder) and each room-type file it names, read once however many rooms share it.

#include <QString>
#include <optional>
#include <vector>

#include "core/records/job.h"

namespace room::platform {

struct JobImport {
    std::vector<records::JobRoom> rooms;
    std::vector<std::string> errors;  // "第N行: ..."; when there is one, `rooms` is empty
};

JobImport readRoomsFile(const QString& csvPath);

// One room for the job window: its number checked, its floor (empty: implied), its room-type file
// read. Nothing, and `error`, when any of it is wrong.
std::optional<records::JobRoom> jobRoom(const std::string& roomNumber, const std::string& floor,
                                        const QString& roomTypePath, QString* error);

// The hash of the room type in `path` as a save would write it; empty when it cannot be read.
std::string roomTypeHashOf(const QString& path);

}  // namespace room::platform
