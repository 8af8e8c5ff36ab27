#pragma once
// The hand-over report: one page a room with the room type, room number, date, installer and
// program version, a summary line, and a row per device with its result and differences. Printed
// by QPdfWriter from a QTextDocument, with the Chinese font embedded.

#include <QString>
#include <vector>

#include "core/records/run_record.h"

namespace room::platform {

// The report's text as the document lays it out (one section a run).
QString reportHtml(const std::vector<records::RunRecord>& runs, const QString& installer);
// Writes the report to `path`; false, with `error`, when it could not be written.
bool writeReportPdf(const QString& path, const std::vector<records::RunRecord>& runs,
                    const QString& installer, QString* error);
// The CSV of the same rows, written as the report is.
bool writeReportCsv(const QString& path, const std::vector<records::RunRecord>& runs,
                    QString* error);

}  // namespace room::platform
