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
#include <cstdio>
#include <functional>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "core/records/room_number.h"
#include "platform/hand_over.h"
#include "platform/record_location.h"
#include "platform/record_spool.h"
#include "platform/record_store.h"
#include "tools/cli/args.h"
#include "tools/cli/file_io.h"
#include "tools/cli/record_keeping.h"

namespace room::cli {
namespace {

constexpr const char* kReportHelp =
    "usage: roomcfg-cli report [--records FILE] [--room-number N] [--installer NAME]\n"
    "                          -o OUT.pdf|OUT.csv [--force]\n"
    "Writes the hand-over report: a summary page with the hotel's totals, then per room its state\n"
    "and its latest send all or verify all (or else its latest run) with a row per device, its\n"
    "entries and a signature block. Without --room-number every room of the job (or, without a\n"
    "job, every room in the record). --installer names the installer of entries that have none.\n"
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
    // Kept here first, so neither a record out of reach nor the program's end loses it.
    platform::RecordSpool spool;
    platform::RecordStore store(path, 1000);
    if (!spool.keep(record, platform::shownLocation(path))) {
        if (!store.add(record)) {
            std::cerr << "record not kept: " << spool.errorString().toStdString() << "; "
                      << store.errorString().toStdString() << "\n";
        }
        return;
    }
    const platform::RecordSpool::Sent sent = spool.send(store);
    if (sent.waiting > 0) {
        std::cerr << platform::spooledText(sent.waiting).toStdString() << ": "
                  << sent.error.toStdString() << "\n";
    }
}

// "报告 120/10000" on a terminal, rewritten in place; nothing when the output goes elsewhere.
std::function<bool(int, int)> terminalProgress() {
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stderr)) != 0;
#else
    const bool terminal = isatty(fileno(stderr)) != 0;
#endif
    if (!terminal) return [](int, int) { return true; };
    return [](int done, int total) {
        if (done == total || done % 50 == 0) {
            std::cerr << "\r报告 " << done << "/" << total << (done == total ? "\n" : "") << std::flush;
        }
        return true;
    };
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
    std::vector<std::string> rooms;
    if (const auto number = args.value("--room-number")) rooms.push_back(records::checkRoomNumber(*number).number);
    auto job = platform::reportJob(store, rooms);
    if (!job) {
        std::cerr << store.errorString().toStdString() << "\n";
        return 1;
    }
    if (job->rooms.empty()) {
        std::cerr << "no room in the record" << (rooms.empty() ? "" : " with that number") << ": "
                  << *out << " not written\n";
        return 3;
    }
    // Entries from before the record kept the installer take the one given here.
    if (const auto installer = args.value("--installer")) {
        job->fetch = [fetch = job->fetch, name = *installer](const platform::RoomStatus& status) {
            auto room = fetch(status);
            if (room && room->run && room->run->installer.empty()) room->run->installer = name;
            return room;
        };
    }
    job->progress = terminalProgress();
    QString error;
    const QString path = QString::fromStdString(*out);
    const auto result = endsWith(*out, ".pdf") ? platform::writeHandOverPdf(path, *job, &error)
                                               : platform::writeHandOverCsv(path, *job, &error);
    if (result != platform::ReportResult::Written) {
        std::cerr << *out << ": cannot write: " << error.toStdString() << "\n";
        return 1;
    }
    std::cout << "wrote " << *out << " (" << job->rooms.size()
              << (job->rooms.size() == 1 ? " room)\n" : " rooms)\n");
    return 0;
}

}  // namespace room::cli

#endif
