#pragma once
// Command line of roombus-sim.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/simulator/answers.h"

namespace room::sim {

struct Options {
    std::string linkPath;  // --link: a symlink to the pty, removed on exit
    std::string roomFile;  // --room: devices preloaded from a room-type file
    // --tcp HOST:PORT: the bus is served over TCP as well (PORT 0: any free port).
    std::string tcpHost;
    std::optional<int> tcpPort;
    // --devices: the devices on the bus (N: 1..N; or a list). Unset: the room's devices, or all 32
    // without a room.
    std::optional<std::vector<int>> devices;
    int reactionMs = 5;  // --reaction
    bool verbose = false;
    bool echo = false;  // --echo: the adapter hands back what the console writes
    bool help = false;
    std::map<int, int> types;  // --type DEV:TYPE, the kind of an empty device
    std::map<int, simulator::Faults> faults;
};

struct ParseResult {
    std::optional<Options> options;
    std::string error;  // set when options is empty
};

ParseResult parseOptions(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace room::sim
