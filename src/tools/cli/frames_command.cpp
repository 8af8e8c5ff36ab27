// frames: the bytes a device gets for one operation, one frame per line.
#include <cstdio>
#include <iostream>

#include "core/protocol/frames.h"
#include "tools/cli/args.h"
#include "tools/cli/commands.h"
#include "tools/cli/room_loading.h"

namespace room::cli {
namespace {

constexpr const char* kFramesHelp =
    "usage: roomcfg-cli frames FILE --device N --op OP [--any-key]\n"
    "Prints the frame(s) device N (1-36) of the room type in FILE gets for operation OP, one frame\n"
    "per line in upper-case hex: 1 send configuration (page), 2 read, 3 verify, 4 clear,\n"
    "5 send configuration (send all), 6 send the number only. --any-key adds 0x80 (the device\n"
    "applies the data at its next key press).\n"
    "Exit 1 when the file cannot be loaded or is refused, 2 when it holds no room type or on a\n"
    "bad argument.\n";

std::string hexLine(const protocol::Bytes& frame) {
    std::string line;
    char byte[4];
    for (std::uint8_t b : frame) {
        std::snprintf(byte, sizeof byte, "%02X", b);
        if (!line.empty()) line += ' ';
        line += byte;
    }
    return line;
}

}  // namespace

int runFrames(const Words& words) {
    for (const auto& w : words) {
        if (w == "--help" || w == "-h") {
            std::cout << kFramesHelp;
            return 0;
        }
    }
    Args args(words, {"--device", "--op"}, {"--any-key"});
    if (!args.ok() || args.positional().size() != 1 || !args.value("--device") ||
        !args.value("--op")) {
        std::cerr << (args.ok() ? "expected FILE, --device N and --op OP" : args.error()) << "\n"
                  << kFramesHelp;
        return 2;
    }
    const auto device = parseInt(*args.value("--device"), 1, model::kMaxDevices);
    const auto op = parseInt(*args.value("--op"), 1, 6);
    if (!device || !op) {
        std::cerr << (device ? "--op must be 1 to 6" : "--device must be 1 to 36") << "\n";
        return 2;
    }
    model::RoomTypeConfig room = model::makeStartupRoomType();
    if (const int failed = loadRoomType(args.positional()[0], room)) return failed;
    const auto operation =
        static_cast<std::uint8_t>(*op | (args.has("--any-key") ? protocol::kAnyKeyFlag : 0));
    for (const protocol::Bytes& frame : protocol::deviceFrames(room, *device, operation)) {
        std::cout << hexLine(frame) << "\n";
    }
    return 0;
}

}  // namespace room::cli
