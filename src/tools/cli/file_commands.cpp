// info, export-yml and convert: work on room-type files without a window.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "core/export/yaml_export.h"
#include "core/format/shd_file.h"
#include "core/model/room_type.h"
#include "tools/cli/args.h"
#include "tools/cli/commands.h"
#include "tools/cli/file_io.h"
#include "tools/cli/native_text.h"
#include "tools/cli/room_loading.h"

namespace room::cli {
namespace {

constexpr const char* kInfoHelp =
    "usage: roomcfg-cli info FILE\n"
    "Loads a room-type file (.shd/.hdq) as the program's Open does and prints its title text and\n"
    "one line per device in use: number, type, name, inputs, outputs and the scene codes it uses.\n"
    "Exit 1 when the file cannot be loaded or is refused, 2 when it holds no room type.\n";

constexpr const char* kExportHelp =
    "usage: roomcfg-cli export-yml FILE [-o OUT] [--force]\n"
    "Writes the cloud description of the room type in FILE. OUT defaults to FILE with the\n"
    "extension .yml; an existing OUT is only replaced with --force.\n";

constexpr const char* kConvertHelp =
    "usage: roomcfg-cli convert FILE -o OUT [--force]\n"
    "Loads FILE and saves it again as a room-type file (an OUT ending in .hdq is written as .shd,\n"
    "as the program does). An existing OUT is only replaced with --force.\n";

bool wantsHelp(const Words& words) {
    for (const auto& w : words) {
        if (w == "--help" || w == "-h") return true;
    }
    return false;
}

// Appends "," and the number. Not `(sep) + std::to_string(n)`: GCC 12 at -O3 warns of an overlap
// (-Wrestrict) in the insert that makes of it, which cannot happen.
void appendNumber(std::string& out, int value) {
    if (!out.empty()) out += ',';
    out += std::to_string(value);
}

std::string joinNumbers(const std::array<int, model::kChannels>& values) {
    std::string out;
    for (int v : values) appendNumber(out, v);
    return out;
}

void printDevice(const model::RoomTypeConfig& room, int v) {
    const model::DeviceRecord& d = room.devices[v];
    std::string scenes;
    for (const model::ModeSlot& slot : d.modes) {
        if (slot.isUsed()) appendNumber(scenes, slot.modeCode);
    }
    char number[8];
    std::snprintf(number, sizeof number, "%02d", v);
    std::cout << number << "  " << model::deviceTypeName(d.type) << "  \"" << d.name << "\""
              << "  inputs " << joinNumbers(d.inputs) << "  outputs " << joinNumbers(d.outputs)
              << "  scenes " << (scenes.empty() ? "-" : scenes) << "\n";
}

// Shared start of the subcommands that take one FILE: arguments, help, loading.
bool prepare(const Words& words, const Args& args, const char* help, model::RoomTypeConfig& room,
             int& exitCode, bool* bytesLost = nullptr) {
    if (wantsHelp(words)) {
        std::cout << help;
        exitCode = 0;
        return false;
    }
    if (!args.ok() || args.positional().size() != 1) {
        std::cerr << (args.ok() ? std::string("expected exactly one FILE") : args.error()) << "\n"
                  << help;
        exitCode = 2;
        return false;
    }
    format::LoadResult details;
    exitCode = loadRoomType(args.positional()[0], room, &details);
    if (bytesLost) *bytesLost = details.bytesLost;
    return exitCode == 0;
}

// `bytesLost`: the input had bytes that are no GBK, which the output cannot carry.
int writeOutput(const std::string& out, const std::string& bytes, bool force, bool bytesLost) {
    if (fileExists(out) && !force) {
        std::cerr << out << ": exists; use --force to replace it\n";
        return 1;
    }
    const std::string error = writeFileAtomically(out, bytes);
    if (!error.empty()) {
        std::cerr << out << ": cannot write: " << error << "\n";
        return 1;
    }
    if (bytesLost) std::cerr << out << ": " << format::notGbkKeptMessage() << "\n";
    std::cout << "wrote " << out << "\n";
    return 0;
}

}  // namespace

int runInfo(const Words& words) {
    Args args(words, {}, {});
    model::RoomTypeConfig room = model::makeStartupRoomType();
    int code = 0;
    if (!prepare(words, args, kInfoHelp, room, code)) return code;
    std::cout << model::titleText(room) << "\n";
    for (int v = 1; v <= model::kMaxDevices; ++v) {
        if (room.devices[v].inUse) printDevice(room, v);
    }
    return 0;
}

int runExportYml(const Words& words) {
    Args args(words, {"-o"}, {"--force"});
    model::RoomTypeConfig room = model::makeStartupRoomType();
    int code = 0;
    bool bytesLost = false;
    if (!prepare(words, args, kExportHelp, room, code, &bytesLost)) return code;
    const std::string out = args.value("-o").value_or(withExtension(args.positional()[0], ".yml"));
    const exporting::YamlExport yaml = exporting::exportYaml(room);
    for (const std::string& message : yaml.messages) std::cerr << message << "\n";
    return writeOutput(out, yaml.bytes, args.has("--force"), bytesLost);
}

int runConvert(const Words& words) {
    Args args(words, {"-o"}, {"--force"});
    model::RoomTypeConfig room = model::makeStartupRoomType();
    int code = 0;
    bool bytesLost = false;
    if (!prepare(words, args, kConvertHelp, room, code, &bytesLost)) return code;
    auto out = args.value("-o");
    if (!out) {
        std::cerr << "convert needs -o OUT\n" << kConvertHelp;
        return 2;
    }
    std::string target = *out;
    if (pathFromUtf8(target).extension() == ".hdq") target = withExtension(target, ".shd");
    return writeOutput(target, format::writeRoomTypeFile(room), args.has("--force"), bytesLost);
}

}  // namespace room::cli
