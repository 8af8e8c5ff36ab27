// run: commission the devices of a room type over a serial port (or the simulated bus).
#include <iostream>

#include "tools/cli/commands.h"

#ifndef ROOM_WITH_SERIAL

namespace room::cli {
int runBus(const Words&, int, char**) {
    std::cerr << "this build of roomcfg-cli has no serial support (built without Qt)\n";
    return 2;
}
int runScan(const Words& words, int argc, char** argv) {
    return runBus(words, argc, argv);
}
}  // namespace room::cli

#else

#include <QCoreApplication>
#include <QTimer>
#include <memory>

#include "core/commissioning/command_rules.h"
#include "core/commissioning/scan.h"
#include "core/format/shd_file.h"
#include "core/records/room_number.h"
#include "platform/qserialport_link.h"
#include "platform/record_store.h"
#include "platform/run_driver.h"
#include "platform/simulated_link.h"
#include "platform/tcp_link.h"
#include "tools/cli/args.h"
#include "tools/cli/bus_session.h"
#include "tools/cli/file_io.h"
#include "tools/cli/record_keeping.h"
#include "tools/cli/room_loading.h"
#include "tools/cli/stop_signals.h"

namespace room::cli {
namespace {

constexpr const char* kRunHelp =
    "usage: roomcfg-cli run ACTION --port PORT FILE [--devices LIST] [--retry N] [-o OUT] [--force]\n"
    "       roomcfg-cli run ACTION --port PORT --room N [--devices LIST] [-o OUT] [--force]\n"
    "Commissions the devices of the room type in FILE over the serial port PORT (a device name\n"
    "such as /dev/ttyUSB0 or COM3, tcp://HOST:PORT for a serial server on the network in TCP\n"
    "server mode, or SIM for the simulated bus holding FILE's devices).\n"
    "With --room N the room type is the one the job gives room N, and the run is recorded\n"
    "under that room.\n"
    "ACTION: send-all, verify-all, send-verify (a send-all, then a verify-all of the same\n"
    "devices, each recorded; the exit code is the verify's), read-all, clear-all,\n"
    "leave-network, check-devices.\n"
    "  --devices LIST  take part: e.g. 1-4,7 (default: the room type's devices, those whose\n"
    "                  record is in use; device 1 is always served). A read-all into a room type\n"
    "                  without devices in use and without --devices scans the bus first (see\n"
    "                  roomcfg-cli scan) and reads the numbers that answered.\n"
    "  --retry N       at the end of a run, serve each device that did not answer again, at\n"
    "                  most N more times; each retry is recorded as a run of its own and its\n"
    "                  verdict covers the whole room\n"
    "  --window MS     the scan window of a read-all that scans first (default 300)\n"
    "  -o OUT          read-all: where to write the room type read back (required; not written\n"
    "                  when no device was read)\n"
    "  --room-number N the room being commissioned, for the commissioning record (1 to 16\n"
    "                  letters, digits or '-')\n"
    "  --installer NAME who commissions, for the commissioning record\n"
    "  --records FILE  the record database (default: records.sqlite in the user's data folder);\n"
    "                  every send-all, verify-all and read-all adds an entry\n"
    "Prints the console's status texts and summaries. Exit 0 when every visited device answered\n"
    "(and matched), 3 when some did not answer or differ, 2 on a port error or a run cut short\n"
    "or a file that holds no room type, 1 on a bad file. Ctrl+C (SIGINT, SIGTERM, SIGHUP) ends\n"
    "a run as a lost port does; a second one ends the tool at once.\n";

constexpr const char* kScanHelp =
    "usage: roomcfg-cli scan --port PORT [ROOM.shd] [--devices LIST] [--window MS]\n"
    "PORT as for run: a serial port, tcp://HOST:PORT or SIM.\n"
    "Asks the numbers 1 to 32 (or LIST, e.g. 1-8,12) with a read request, which changes nothing\n"
    "on a device, giving each MS milliseconds (default 300, 50 to 3000) for its answer to begin;\n"
    "an answer that has begun gets its normal time. Prints every number that answered with its\n"
    "device type, and against ROOM.shd \"缺少:\" (in use there, silent) and \"多出:\" (answering,\n"
    "not in use there). A number whose answer began after its window is listed \"应答慢:\": run a\n"
    "normal read for it. Exit 0 when what answered is exactly what ROOM.shd has in use (without\n"
    "ROOM.shd: when anything answered), 3 otherwise, 2 on a port error.\n";

std::optional<commissioning::Action> actionFor(const std::string& word) {
    using commissioning::Action;
    if (word == "send-all" || word == "send-verify") return Action::SendAll;
    if (word == "verify-all") return Action::VerifyAll;
    if (word == "read-all") return Action::ReadAll;
    if (word == "clear-all") return Action::ClearAll;
    if (word == "leave-network") return Action::LeaveNetwork;
    if (word == "check-devices") return Action::CheckDevices;
    return std::nullopt;
}

struct RunRequest {
    commissioning::Action action{};
    std::string port;
    std::string file;
    std::optional<std::string> out;
    std::optional<std::vector<int> > devices;
    bool force = false;
    std::string roomNumber;
    bool fromJob = false;  // --room: the file is the job's for that room
    std::string installer;
    std::optional<std::string> records;
    bool thenVerify = false;  // send-verify
    int retries = 0;
    commissioning::Milliseconds window = commissioning::kDefaultScanWindow;
};

// --window MS, within what a scan takes; false (said on stderr) when it is off.
bool takeWindow(const Args& args, commissioning::Milliseconds& window) {
    const auto text = args.value("--window");
    if (!text) return true;
    const auto ms = parseList(*text, int(commissioning::kShortestScanWindow.count()),
                              int(commissioning::kLongestScanWindow.count()));
    if (!ms || ms->size() != 1 || text->find_first_not_of("0123456789") != std::string::npos) {
        std::cerr << "--window takes milliseconds, " << commissioning::kShortestScanWindow.count()
                  << " to " << commissioning::kLongestScanWindow.count() << "\n";
        return false;
    }
    window = commissioning::Milliseconds(ms->front());
    return true;
}

// The room's file from the job; false (said on stderr) when the room is not in it.
bool takeJobRoom(RunRequest& request) {
    platform::RecordStore store(recordsPath(request.records), 5000);
    const auto rooms = store.jobRooms();
    if (!rooms) {
        std::cerr << store.errorString().toStdString() << "\n";
        return false;
    }
    for (const records::JobRoom& room : *rooms) {
        if (room.roomNumber != request.roomNumber) continue;
        request.file = room.roomTypePath;
        return true;
    }
    std::cerr << "room " << request.roomNumber
              << (rooms->empty() ? ": the record has no job (roomcfg-cli job import ROOMS.csv)\n"
                                 : ": not in the job\n");
    return false;
}

// Reads the words into a request; prints the problem and returns nullopt when they are off.
std::optional<RunRequest> parseRequest(const Words& words) {
    Args args(words,
              {"--port", "--devices", "-o", "--room-number", "--room", "--records", "--installer",
               "--retry", "--window"},
              {"--force"});
    const bool fromJob = args.value("--room").has_value();
    const std::size_t expected = fromJob ? 1 : 2;
    if (!args.ok() || args.positional().size() != expected || !args.value("--port") ||
        (fromJob && args.value("--room-number"))) {
        std::cerr << (args.ok() ? "expected ACTION, --port PORT and FILE or --room N" : args.error())
                  << "\n" << kRunHelp;
        return std::nullopt;
    }
    RunRequest request;
    const auto action = actionFor(args.positional()[0]);
    if (!action) {
        std::cerr << "unknown action " << args.positional()[0] << "\n" << kRunHelp;
        return std::nullopt;
    }
    request.action = *action;
    request.thenVerify = args.positional()[0] == "send-verify";
    if (auto retries = args.value("--retry")) {
        const auto n = parseList(*retries, 0, 9);
        if (!n || n->size() != 1 || retries->find_first_not_of("0123456789") != std::string::npos) {
            std::cerr << "--retry takes a number of retries, 0 to 9\n";
            return std::nullopt;
        }
        request.retries = n->front();
    }
    if (!takeWindow(args, request.window)) return std::nullopt;
    request.port = *args.value("--port");
    request.out = args.value("-o");
    request.force = args.has("--force");
    request.records = args.value("--records");
    request.installer = args.value("--installer").value_or("");
    request.fromJob = fromJob;
    const auto number = args.value(fromJob ? "--room" : "--room-number");
    if (number) {
        const records::RoomNumberCheck check = records::checkRoomNumber(*number);
        if (!check.ok()) {
            std::cerr << (fromJob ? "--room: " : "--room-number: ") << check.reason << "\n";
            return std::nullopt;
        }
        request.roomNumber = check.number;
    }
    if (fromJob && !takeJobRoom(request)) return std::nullopt;
    if (!fromJob) request.file = args.positional()[1];
    if (auto list = args.value("--devices")) {
        request.devices = parseList(*list, 1, model::kBusDevices);
        if (!request.devices) {
            std::cerr << "--devices takes numbers 1-32, e.g. 1-4,7\n";
            return std::nullopt;
        }
    }
    if (request.action == commissioning::Action::ReadAll && !request.out) {
        std::cerr << "read-all needs -o OUT\n";
        return std::nullopt;
    }
    if (request.out && fileExists(*request.out) && !request.force) {
        std::cerr << *request.out << ": exists; use --force to replace it\n";
        return std::nullopt;
    }
    return request;
}

std::unique_ptr<platform::SerialLink> makeLink(const std::string& port,
                                               const model::RoomTypeConfig& room) {
    if (port == "SIM" || port == "sim") return std::make_unique<platform::SimulatedLink>(room);
    if (platform::isTcpPortPath(QString::fromStdString(port))) {
        return std::make_unique<platform::TcpLink>();
    }
    return std::make_unique<platform::QSerialPortLink>();
}

bool anyDeviceRead(const std::optional<commissioning::RunSummary>& summary,
                   const commissioning::Engine& engine) {
    if (!summary) return false;
    for (int device = 1; device <= model::kBusDevices; ++device) {
        if (engine.result(device) == 1) return true;
    }
    return false;
}

int saveReadBack(const RunRequest& request, model::RoomTypeConfig& room) {
    const std::string note = keepReadDevices(room);
    if (!note.empty()) std::cerr << note << "\n";
    const std::string error = writeFileAtomically(*request.out, format::writeRoomTypeFile(room));
    if (!error.empty()) {
        std::cerr << *request.out << ": cannot write: " << error << "\n";
        return 1;
    }
    std::cout << "wrote " << *request.out << "\n";
    return 0;
}

// What the record says of the run, added after the loop has ended.
void keepRunRecord(const RunRequest& request, const model::RoomTypeConfig& room,
                   const commissioning::Engine& engine, const commissioning::RunSummary& summary,
                   const records::RunRecord& stamped) {
    records::RunRecord record =
        records::recordOfRun(room, summary, records::differencesByDevice(engine));
    records::takeStamp(record, stamped);
    if (!record.operation.empty()) keepRecord(std::move(record), recordsPath(request.records));
}

// A read all's room type goes to -o only when the run ended and read something.
int finishReadAll(const RunRequest& request, model::RoomTypeConfig& room,
                  const commissioning::Engine& engine, const BusSession& session, int code) {
    if (code == 2) {
        // A cut-short read leaves the room type half read: nothing of it is written.
        std::cerr << "the read was cut short: " << *request.out << " not written\n";
        return code;
    }
    if (!anyDeviceRead(session.summary(), engine)) {
        std::cerr << "no device was read: " << *request.out << " not written\n";
        return 3;
    }
    const int saved = saveReadBack(request, room);
    return saved != 0 ? saved : code;
}

}  // namespace

int runScan(const Words& words, int argc, char** argv) {
    for (const auto& w : words) {
        if (w == "--help" || w == "-h") {
            std::cout << kScanHelp;
            return 0;
        }
    }
    QCoreApplication app(argc, argv);
    const Args args(words, {"--port", "--devices", "--window"}, {});
    if (!args.ok() || args.positional().size() > 1 || !args.value("--port")) {
        std::cerr << (args.ok() ? "expected --port PORT and at most one ROOM.shd" : args.error())
                  << "\n" << kScanHelp;
        return 2;
    }
    commissioning::SequencePlan plan;
    plan.scanOnly = true;
    if (!takeWindow(args, plan.window)) return 2;
    if (auto list = args.value("--devices")) {
        const auto numbers = parseList(*list, 1, model::kBusDevices);
        if (!numbers) {
            std::cerr << "--devices takes numbers 1-32, e.g. 1-4,7\n";
            return 2;
        }
        plan.scanNumbers = *numbers;
    }
    model::RoomTypeConfig room = model::makeStartupRoomType();
    const bool withRoom = !args.positional().empty();
    if (withRoom) {
        if (const int failed = loadRoomType(args.positional()[0], room)) return failed;
    }
    model::RoomTypeConfig edit = model::makeStartupRoomType();
    commissioning::Engine engine(room, edit);
    const std::string port = *args.value("--port");
    auto link = makeLink(port, room);
    if (!link->open(QString::fromStdString(port))) {
        std::cerr << port << ": cannot open: " << link->errorString().toStdString() << "\n";
        return 2;
    }
    platform::RunDriver driver(engine, *link);
    // Without a room type the scan holds what answered against nothing.
    plan.againstRoomType = withRoom;
    BusSession session(driver, plan);
    QObject::connect(&session, &BusSession::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::caught, &driver, [&driver](const QString& name) {
        driver.dropLink(QStringLiteral("closed on ") + name);
    });
    session.start();
    return app.exec();
}

int runBus(const Words& words, int argc, char** argv) {
    for (const auto& w : words) {
        if (w == "--help" || w == "-h") {
            std::cout << kRunHelp;
            return 0;
        }
    }
    QCoreApplication app(argc, argv);  // before the record is opened for the job's room
    const auto request = parseRequest(words);
    if (!request) return 2;
    model::RoomTypeConfig room = model::makeStartupRoomType();
    if (const int failed = loadRoomType(request->file, room)) return failed;
    model::RoomTypeConfig edit = model::makeStartupRoomType();
    commissioning::Engine engine(room, edit);
    // As the console's pages do when they open: devices whose record is not in use stay out.
    if (request->devices) {
        selectOnly(room, *request->devices);
    } else {
        engine.unselectUnused();
    }

    auto link = makeLink(request->port, room);
    if (!link->open(QString::fromStdString(request->port))) {
        std::cerr << request->port << ": cannot open: " << link->errorString().toStdString()
                  << "\n";
        return 2;
    }
    platform::RunDriver driver(engine, *link);
    const bool isRun = commissioning::runModeOf(request->action) != commissioning::RunMode::Idle;
    commissioning::SequencePlan plan;
    plan.action = request->action;
    plan.thenVerify = request->thenVerify;
    plan.retries = request->retries;
    plan.window = request->window;
    // A room type without devices: find them on the bus instead of a full period on each of 32.
    plan.scanFirst = request->action == commissioning::Action::ReadAll && !request->devices &&
                     !commissioning::hasDeviceInUse(room);
    auto session = isRun ? std::make_unique<BusSession>(driver, plan)
                         : std::make_unique<BusSession>(driver, request->action);
    QObject::connect(session.get(), &BusSession::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    // Ctrl+C ends the run as a pulled adapter would: cut short, recorded, exit 2.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::caught, &driver, [&driver](const QString& name) {
        driver.dropLink(QStringLiteral("closed on ") + name);
    });
    // Each run is recorded as it ends, stamped when it began, with the room type as it was
    // then (before a read all changes it).
    records::RunRecord stamped;
    QObject::connect(session.get(), &BusSession::runStarting, [&] {
        platform::stamp(stamped, room, QString::fromStdString(request->roomNumber),
                        QString::fromStdString(request->port));
        stamped.installer = request->installer;
    });
    QObject::connect(session.get(), &BusSession::runEnded,
                     [&](const commissioning::RunSummary& summary) {
                         keepRunRecord(*request, room, engine, summary, stamped);
                     });
    session->start();
    const int code = app.exec();
    if (request->action != commissioning::Action::ReadAll) return code;
    return finishReadAll(*request, room, engine, *session, code);
}

}  // namespace room::cli

#endif
