#pragma once
// The hand-over report (PDF and CSV) of a job's rooms. It streams: a room is fetched from the
// record when its pages are laid out and dropped after, so a hotel of ten thousand rooms is
// written in the memory of one. Progress is told per room; the caller may cancel.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "platform/job_status.h"

namespace room::platform {

struct ReportRoom {
    RoomStatus status;
    // What the room's pages show in detail: its latest whole-room run with a row per device, or
    // else its latest run of any kind; none for a room never commissioned.
    std::optional<records::RunRecord> run;
    std::vector<records::RunFacts> history;  // every entry of the room, newest first
};

struct ReportJob {
    JobStatus status;
    std::vector<std::size_t> rooms;  // indexes into status.rooms, in report order
    // Fetches a room's details when its pages are written; nothing when the record failed.
    std::function<std::optional<ReportRoom>(const RoomStatus&)> fetch;
    // Called after each room with (rooms done, rooms in all); false cancels.
    std::function<bool(int, int)> progress;
};

enum class ReportResult { Written, Cancelled, Failed };

// `error` says why on Failed. A cancelled or failed report leaves no file behind, nor changes one
// that was there.
ReportResult writeHandOverPdf(const QString& path, const ReportJob& job, QString* error);
ReportResult writeHandOverCsv(const QString& path, const ReportJob& job, QString* error);

// The report's job for the rooms of `store` (all when `roomNumbers` is empty).
std::optional<ReportJob> reportJob(RecordStore& store, const std::vector<std::string>& roomNumbers);

}  // namespace room::platform
