// diff: what differs between two room-type files, in the words the program's windows use.
#include <cstdio>
#include <iostream>

#include "core/compare/compare.h"
#include "tools/cli/args.h"
#include "tools/cli/commands.h"
#include "tools/cli/room_loading.h"

namespace room::cli {
namespace {

constexpr const char* kDiffHelp =
    "usage: roomcfg-cli diff A B [--json]\n"
    "Loads both room-type files as the program's Open does and prints one line per difference\n"
    "from A to B; only what the file carries is compared.\n"
    "--json prints {\"equal\": BOOL, \"differences\": [{\"group\", \"device\", \"field\",\n"
    "\"before\", \"after\", \"text\"}, ...]} instead (device 0 for the room type's own lines).\n"
    "Exit 0 when they are equal, 1 when they differ, 2 when a file cannot be read or holds no\n"
    "room type.\n";

void printJson(const std::vector<compare::Difference>& differences) {
    std::cout << "{\"equal\": " << (differences.empty() ? "true" : "false")
              << ", \"differences\": [";
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const compare::Difference& d = differences[i];
        std::cout << (i == 0 ? "\n  " : ",\n  ") << "{\"group\": " << jsonString(d.group)
                  << ", \"device\": " << d.device << ", \"field\": " << jsonString(d.field)
                  << ", \"before\": " << jsonString(d.before)
                  << ", \"after\": " << jsonString(d.after) << ", \"text\": " << jsonString(d.text)
                  << "}";
    }
    std::cout << (differences.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace

int runDiff(const Words& words) {
    const Args args(words, {}, {"--json", "--help", "-h"});
    if (args.has("--help") || args.has("-h")) {
        std::cout << kDiffHelp;
        return 0;
    }
    if (!args.ok() || args.positional().size() != 2) {
        std::cerr << (args.ok() ? std::string("expected two files A and B") : args.error())
                  << "\n"
                  << kDiffHelp;
        return 2;
    }
    model::RoomTypeConfig a = model::makeStartupRoomType();
    model::RoomTypeConfig b = model::makeStartupRoomType();
    // Each file that cannot be read says why (on stderr) before the command gives up.
    format::LoadResult fromA;
    format::LoadResult fromB;
    const bool loadedA = loadRoomType(args.positional()[0], a, &fromA) == 0;
    const bool loadedB = loadRoomType(args.positional()[1], b, &fromB) == 0;
    if (!loadedA || !loadedB) return 2;
    // Open does not keep the S line's first field; the files may still differ in it.
    if (fromA.headerByte >= 0) a.headerByte = fromA.headerByte;
    if (fromB.headerByte >= 0) b.headerByte = fromB.headerByte;
    const std::vector<compare::Difference> differences = compare::compareRoomTypes(a, b);
    if (args.has("--json")) {
        printJson(differences);
    } else {
        for (const compare::Difference& d : differences) std::cout << d.text << "\n";
    }
    return differences.empty() ? 0 : 1;
}

}  // namespace room::cli
