// run: commission the devices of a room type over a serial port (or the simulated bus).
#include <iostream>

#include "tools/cli/commands.h"

#ifndef ROOM_WITH_SERIAL

namespace room::cli {
int runBus(const Words&, int, char**) {
    std::cerr << "this build of roomcfg-cli has no serial support (built without Qt)\n";
    return 2;
}
}  // namespace room::cli

#else

#include <QCoreApplication>
#include <QTimer>
#include <memory>

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
    "usage: roomcfg-cli run ACTION --port PORT FILE [--devices LIST] [-o OUT] [--force]\n"
    "       roomcfg-cli run ACTION --port PORT --room N [--devices LIST] [-o OUT] [--force]\n"
    "Commissions the devices of the room type in FILE over the serial port PORT (a device name\n"
    "such as /dev/ttyUSB0 or COM3, tcp://HOST:PORT for a serial server on the network in TCP\n"
    "server mode, or SIM for the simulated bus holding FILE's devices).\n"
    "With --room N the room type is the one the job gives room N, and the run is recorded\n"
    "under that room.\n"
    "ACTION: send-all, verify-all, read-all, clear-all, leave-network, check-devices.\n"
    "  --devices LIST  take part: e.g. 1-4,7 (default: the room type's devices, those whose\n"
    "                  record is in use; device 1 is always served). A read-all into an empty\n"
    "                  room type needs the list, e.g. --devices 1-32.\n"
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

std::optional<commissioning::Action> actionFor(const std::string& word) {
    using commissioning::Action;
    if (word == "send-all") return Action::SendAll;
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
};

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
    Args args(words, {"--port", "--devices", "-o", "--room-number", "--room", "--records", "--installer"},
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
                   const commissioning::Engine& engine, const BusSession& session,
                   const records::RunRecord& stamped) {
    const auto& summary = session.summary();
    if (!summary) return;
    records::RunRecord record =
        records::recordOfRun(room, *summary, records::differencesByDevice(engine));
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
    BusSession session(driver, request->action);
    QObject::connect(&session, &BusSession::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    // Ctrl+C ends the run as a pulled adapter would: cut short, recorded, exit 2.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::caught, &driver, [&driver](const QString& name) {
        driver.dropLink(QStringLiteral("closed on ") + name);
    });
    // The record names the room type as it was given, before a read all changes it.
    records::RunRecord stamped;
    platform::stamp(stamped, room, QString::fromStdString(request->roomNumber),
                    QString::fromStdString(request->port));
    stamped.installer = request->installer;
    session.start();
    const int code = app.exec();
    keepRunRecord(*request, room, engine, session, stamped);
    if (request->action != commissioning::Action::ReadAll) return code;
    return finishReadAll(*request, room, engine, session, code);
}

}  // namespace room::cli

#endif
