// job: the hotel's rooms in the record: import them from a rooms table, list their states.
#include <iostream>

#include "tools/cli/commands.h"

#ifndef ROOM_WITH_SERIAL

namespace room::cli {
int runJob(const Words&, int, char**) {
    std::cerr << "this build of roomcfg-cli has no record support (built without Qt)\n";
    return 2;
}
}  // namespace room::cli

#else

#include <QCoreApplication>

#include "core/records/room_number.h"
#include "platform/job_import.h"
#include "platform/job_status.h"
#include "platform/record_store.h"
#include "tools/cli/args.h"
#include "tools/cli/record_keeping.h"

namespace room::cli {
namespace {

constexpr const char* kJobHelp =
    "usage: roomcfg-cli job import ROOMS.csv [--records FILE]\n"
    "       roomcfg-cli job status [--json] [--records FILE]\n"
    "import: adds the rooms of ROOMS.csv to the job (header 房号,楼层,房型文件; UTF-8 or GBK; an\n"
    "        empty 楼层 is the room number without its last two digits; a relative room-type\n"
    "        path is taken from the table's folder). A room already in the job gets the new floor\n"
    "        and room type. Any bad line, and nothing is imported.\n"
    "status: one line per room (room number, floor, room type, state) and the totals; --json\n"
    "        prints {\"rooms\":[{\"room\",\"floor\",\"roomType\",\"state\",\"runs\"}],\n"
    "        \"totals\":{STATE: COUNT}}.\n"
    "  --records FILE  the record database (default: records.sqlite in the user's data folder)\n"
    "Exit 0 done, 1 refused or the record failed, 2 wrong arguments.\n";

int importRooms(const std::string& table, platform::RecordStore& store) {
    const platform::JobImport read = platform::readRoomsFile(QString::fromStdString(table));
    if (!read.errors.empty()) {
        for (const std::string& error : read.errors) std::cerr << table << ": " << error << "\n";
        std::cerr << "nothing imported\n";
        return 1;
    }
    if (!store.putJobRooms(read.rooms)) {
        std::cerr << store.errorString().toStdString() << "\nnothing imported\n";
        return 1;
    }
    const auto rooms = store.jobRooms();
    std::cout << "imported " << read.rooms.size() << " rooms; the job has "
              << (rooms ? rooms->size() : read.rooms.size()) << "\n";
    return 0;
}

std::string roomTypeText(const records::RoomTypeId& type) {
    return type.number.empty() ? type.name : type.name + " (" + type.number + ")";
}

void printJson(const platform::JobStatus& status) {
    std::cout << "{\"rooms\":[";
    for (std::size_t i = 0; i < status.rooms.size(); ++i) {
        const platform::RoomStatus& r = status.rooms[i];
        std::cout << (i ? ",\n" : "\n") << "{\"room\":" << jsonString(r.room.roomNumber)
                  << ",\"floor\":" << jsonString(r.room.floor)
                  << ",\"roomType\":" << jsonString(r.room.roomType.name)
                  << ",\"state\":" << jsonString(std::string(records::roomStateText(r.state)))
                  << ",\"runs\":" << r.runs << "}";
    }
    std::cout << "],\n\"totals\":{";
    for (std::size_t i = 0; i < records::kRoomStates.size(); ++i) {
        std::cout << (i ? "," : "") << jsonString(std::string(records::roomStateText(records::kRoomStates[i])))
                  << ":" << status.counts[i];
    }
    std::cout << "}}\n";
}

int printStatus(platform::RecordStore& store, bool json) {
    const auto status = platform::loadJobStatus(store);
    if (!status) {
        std::cerr << store.errorString().toStdString() << "\n";
        return 1;
    }
    if (json) {
        printJson(*status);
        return 0;
    }
    if (!status->hasJob) std::cout << "(no job: the rooms the record names)\n";
    for (const platform::RoomStatus& r : status->rooms) {
        std::cout << records::shownRoomNumber(r.room.roomNumber) << "\t" << r.room.floor << "\t"
                  << roomTypeText(r.room.roomType) << "\t" << records::roomStateText(r.state) << "\n";
    }
    std::cout << records::totalsText(status->counts) << "\n";
    return 0;
}

}  // namespace

int runJob(const Words& words, int argc, char** argv) {
    for (const auto& w : words) {
        if (w == "--help" || w == "-h") {
            std::cout << kJobHelp;
            return 0;
        }
    }
    Args args(words, {"--records"}, {"--json"});
    const auto& what = args.positional();
    const bool import = !what.empty() && what[0] == "import" && what.size() == 2;
    const bool status = !what.empty() && what[0] == "status" && what.size() == 1;
    if (!args.ok() || (!import && !status) || (import && args.has("--json"))) {
        std::cerr << (args.ok() ? "expected import ROOMS.csv or status" : args.error()) << "\n" << kJobHelp;
        return 2;
    }
    QCoreApplication app(argc, argv);
    platform::RecordStore store(recordsPath(args.value("--records")), 5000);
    return import ? importRooms(what[1], store) : printStatus(store, args.has("--json"));
}

}  // namespace room::cli

#endif
