// roomcfg-cli: room-type files and device commissioning without a window.
#include <iostream>
#include <string>
#include <vector>

#include "tools/cli/commands.h"
#include "tools/cli/native_text.h"

namespace {

constexpr const char* kUsage =
    "usage: roomcfg-cli COMMAND [ARGS]\n"
    "Commands:\n"
    "  info FILE                          show a room-type file\n"
    "  export-yml FILE [-o OUT] [--force] write the cloud description (.yml)\n"
    "  convert FILE -o OUT [--force]      load and save again as a room-type file\n"
    "  diff A B [--json]                  list what differs between two room-type files\n"
    "  frames FILE --device N --op OP [--any-key]\n"
    "                                     print the frames device N gets for operation OP\n"
#ifdef ROOM_WITH_SERIAL
    "  run ACTION --port PORT FILE [--devices LIST] [--retry N] [-o OUT] [--room-number N]\n"
    "                                     [--records DB]\n"
    "  run ACTION --port PORT --room N [--records DB]\n"
    "                                     commission the devices over a serial port; ACTION is\n"
    "                                     send-all, verify-all, read-all, clear-all,\n"
    "                                     send-verify, leave-network or check-devices;\n"
    "                                     PORT is a serial port, tcp://HOST:PORT (a serial\n"
    "                                     server) or SIM\n"
    "  scan --port PORT [ROOM.shd] [--devices LIST] [--window MS]\n"
    "                                     list the devices that answer on the bus\n"
    "  job import ROOMS.csv | job status [--json] [--records DB]\n"
    "                                     the hotel's rooms and their states\n"
    "  report [--records DB] [--room-number N] -o OUT.pdf|OUT.csv\n"
    "                                     the hand-over report from the commissioning record\n"
    "  records sync [--records DB]        send the entries kept here while the record was out\n"
    "                                     of reach (DB: a file or postgresql://USER@HOST/DB)\n"
    "Each command takes --help.\n";
#else
    "Each command takes --help.\n"
    "This build has the file commands only: run (commissioning over a serial port) and report\n"
    "(the commissioning record) need Qt.\n";
#endif

int run(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    const room::cli::Words words(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "info") return room::cli::runInfo(words);
    if (command == "export-yml") return room::cli::runExportYml(words);
    if (command == "convert") return room::cli::runConvert(words);
    if (command == "diff") return room::cli::runDiff(words);
    if (command == "frames") return room::cli::runFrames(words);
    if (command == "run") return room::cli::runBus(words, argc, argv);
    if (command == "scan") return room::cli::runScan(words, argc, argv);
    if (command == "job") return room::cli::runJob(words, argc, argv);
    if (command == "records") return room::cli::runRecords(words, argc, argv);
    if (command == "report") return room::cli::runReport(words, argc, argv);
    std::cerr << "unknown command: " << command << "\n" << kUsage;
    return 2;
}

}  // namespace

#ifdef _WIN32
// Windows hands wmain the arguments in UTF-16; main would get them in the ANSI code page, which
// loses every character it lacks.
int wmain(int argc, wchar_t** argv) {
    room::cli::useUtf8Output();
    std::vector<std::string> words = room::cli::utf8Arguments(argc, argv);
    std::vector<char*> narrow;
    for (std::string& word : words) narrow.push_back(word.data());
    narrow.push_back(nullptr);
    return run(argc, narrow.data());
}
#else
int main(int argc, char** argv) {
    return run(argc, argv);
}
#endif
