// The commissioning record from the command line: every run adds an entry; "report" prints the
// hand-over report of one room or of every room as PDF or CSV.
#include <iostream>

#include "tools/cli/commands.h"

#ifndef ROOM_WITH_SERIAL

namespace room::cli {
int runReport(const Words&, int, char**) {
    std::cerr << "this build of roomcfg-cli has no record support (built without Qt)\n";
    return 2;
}
}  // namespace room::cli

#else

#include <QGuiApplication>

#include "platform/record_store.h"
#include "platform/report_pdf.h"
#include "tools/cli/args.h"
#include "tools/cli/file_io.h"
#include "tools/cli/record_keeping.h"

namespace room::cli {
namespace {

constexpr const char* kReportHelp =
    "usage: roomcfg-cli report [--records FILE] [--room-number N] [--installer NAME]\n"
    "                          -o OUT.pdf|OUT.csv [--force]\n"
    "Writes the hand-over report: per room its latest verify all (or else its latest run) with a\n"
    "row per device and its result. Without --room-number every room in the record.\n"
    "  --records FILE  the record database (default: records.sqlite in the user's data folder)\n";

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

QString recordsPath(const std::optional<std::string>& given) {
    return given ? QString::fromStdString(*given) : platform::RecordStore::defaultPath();
}

void keepRecord(records::RunRecord record, const QString& path) {
    platform::RecordStore store(path, 5000);
    // Concurrent runs of the tool share the file; a write that finds it busy tries again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (store.add(record)) return;
    }
    std::cerr << "record not kept: " << store.errorString().toStdString() << "\n";
}

std::optional<std::vector<records::RunRecord>> reportRuns(platform::RecordStore& store,
                                                          const std::optional<std::string>& room) {
    const auto rooms = store.rooms();
    if (!rooms) return std::nullopt;
    std::vector<records::RunRecord> runs;
    for (const records::RoomRow& row : *rooms) {
        if (room && row.roomNumber != *room) continue;
        if (auto run = store.latestOf(row)) runs.push_back(std::move(*run));
    }
    return runs;
}

int runReport(const Words& words, int argc, char** argv) {
    for (const auto& w : words) {
        if (w == "--help" || w == "-h") {
            std::cout << kReportHelp;
            return 0;
        }
    }
    Args args(words, {"--records", "--room-number", "--installer", "-o"}, {"--force"});
    const auto out = args.value("-o");
    if (!args.ok() || !args.positional().empty() || !out ||
        !(endsWith(*out, ".pdf") || endsWith(*out, ".csv"))) {
        std::cerr << (args.ok() ? "expected -o OUT.pdf or -o OUT.csv" : args.error()) << "\n"
                  << kReportHelp;
        return 2;
    }
    if (fileExists(*out) && !args.has("--force")) {
        std::cerr << *out << ": exists; use --force to replace it\n";
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // the report lays out text in the embedded font
    platform::RecordStore store(recordsPath(args.value("--records")));
    const auto runs = reportRuns(store, args.value("--room-number"));
    if (!runs) {
        std::cerr << store.errorString().toStdString() << "\n";
        return 1;
    }
    if (runs->empty()) {
        std::cerr << "no room in the record" << (args.value("--room-number") ? " with that number" : "")
                  << ": " << *out << " not written\n";
        return 3;
    }
    QString error;
    const QString path = QString::fromStdString(*out);
    const QString installer = QString::fromStdString(args.value("--installer").value_or(""));
    const bool written = endsWith(*out, ".pdf") ? platform::writeReportPdf(path, *runs, installer, &error)
                                                : platform::writeReportCsv(path, *runs, &error);
    if (!written) {
        std::cerr << *out << ": cannot write: " << error.toStdString() << "\n";
        return 1;
    }
    std::cout << "wrote " << *out << " (" << runs->size() << (runs->size() == 1 ? " room)\n" : " rooms)\n");
    return 0;
}

}  // namespace room::cli

#endif
