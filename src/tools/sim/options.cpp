#include "tools/sim/options.h"

#include <charconv>
#include <functional>
#include <set>

namespace room::sim {

const char* const kUsage =
    "usage: roombus-sim [OPTIONS]\n"
    "Emulates the devices of a room bus behind a pseudo-terminal. The first line printed is the\n"
    "terminal's path; open it as the serial port (9600 8N1).\n"
    "  --link PATH          also make a symlink PATH to the terminal (removed on exit)\n"
    "  --tcp HOST:PORT      also serve the bus over TCP, as a serial server does: listen on\n"
    "                       HOST:PORT (PORT 0: any free one) and print tcp://HOST:PORT as the\n"
    "                       second line; one client at a time, a new one replaces the old\n"
    "  --room FILE          the room's devices are on the bus, holding what FILE (.shd) "
    "configures;\n"
    "                       otherwise all 32 are, empty\n"
    "  --devices N|LIST     only devices 1..N (or the listed ones, e.g. 1-8,10) are on the bus\n"
    "  --type DEV:TYPE,...  the device type of an empty device (default 1, switch panel)\n"
    "  --reaction MS        time a device takes before it answers (default 5)\n"
    "  --echo               the adapter hands back every byte the console writes\n"
    "Faults (LIST is device numbers, e.g. 3,7 or 3-7):\n"
    "  --silent LIST        never answer\n"
    "  --late DEV:MS,...    answer MS milliseconds late\n"
    "  --dribble DEV:MS,... send the answer bytes MS milliseconds apart\n"
    "  --bad-checksum LIST  answer with a wrong checksum\n"
    "  --wrong-number LIST  answer under another device number (DEV:NUM picks it; else DEV+1)\n"
    "  --garbage LIST       send noise before each answer\n"
    "  --corrupt LIST       change one data byte of each answer (a verify difference)\n"
    "  --chatty DEV:MS,...  send a status frame of its own every MS milliseconds, asked or not\n"
    "  --cut DEV:N,...      break each answer off after N bytes\n"
    "  --stray LIST         put a stray 0xF0 on the line after each answer\n"
    "  --repeat LIST        send the first answer frame again in place of the second (a single\n"
    "                       answer twice)\n"
    "  --reorder LIST       send the frames of one answer in reverse order (short-frame blocks)\n"
    "  --zero DEV:POS,...   insert a 0x00 at byte POS (0..255) of each answer frame\n"
    "  --twin DEV[:OFFSET],...\n"
    "                       a second device under DEV's number, with other data, answers too,\n"
    "                       OFFSET byte times (0..5000, about 1.04 ms each) after the first;\n"
    "                       default half way through its answer. Where both talk the line\n"
    "                       carries their OR; an OFFSET of the answer's length or more gives a\n"
    "                       whole second answer after it\n"
    "  --kind DEV:TYPE,...  answer as a device of TYPE (1..255): its type byte and its layout\n"
    "  --miss DEV:N,...     ignore the first N requests to DEV (no answer, nothing kept), then\n"
    "                       answer normally\n"
    "  --verbose            print every frame with a timestamp (ms) and its direction\n"
    "  --help               this text\n";

namespace {

std::optional<int> number(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// Items "DEV" or "DEV-DEV" or "DEV:VALUE"; the value is nullopt when absent.
using Item = std::pair<int, std::optional<int>>;
std::optional<std::vector<Item>> items(const std::string& text, int valueHigh) {
    std::vector<Item> out;
    for (const std::string& part : split(text, ',')) {
        const auto colon = part.find(':');
        if (colon != std::string::npos) {
            const auto device = number(part.substr(0, colon), 1, 32);
            const auto value = number(part.substr(colon + 1), 0, valueHigh);
            if (!device || !value) return std::nullopt;
            out.emplace_back(*device, value);
            continue;
        }
        const auto dash = part.find('-');
        const auto first = number(part.substr(0, dash), 1, 32);
        const auto last = dash == std::string::npos ? first : number(part.substr(dash + 1), 1, 32);
        if (!first || !last || *last < *first) return std::nullopt;
        for (int v = *first; v <= *last; ++v) out.emplace_back(v, std::nullopt);
    }
    return out;
}

using FaultSetter = std::function<bool(simulator::Faults&, int device, std::optional<int> value)>;

const std::map<std::string, FaultSetter>& faultOptions() {
    static const std::map<std::string, FaultSetter> table = {
        {"--silent", [](auto& f, int, auto v) { return !v && (f.silent = true); }},
        {"--late", [](auto& f, int, auto v) { return v && (f.lateMs = *v, true); }},
        {"--dribble", [](auto& f, int, auto v) { return v && (f.dribbleMs = *v, true); }},
        {"--bad-checksum", [](auto& f, int, auto v) { return !v && (f.badChecksum = true); }},
        {"--wrong-number",
         [](auto& f, int device, auto v) {
             // Answering under number 0 is no fault at all: nobody would hear it as an answer.
             if (v && *v == 0) return false;
             f.wrongNumber = v ? *v : device % 32 + 1;
             return true;
         }},
        {"--garbage", [](auto& f, int, auto v) { return !v && (f.garbage = true); }},
        {"--corrupt", [](auto& f, int, auto v) { return !v && (f.corrupt = true); }},
        {"--chatty", [](auto& f, int, auto v) { return v && *v > 0 && (f.chattyMs = *v, true); }},
        {"--cut", [](auto& f, int, auto v) { return v && *v > 0 && (f.cutAfter = *v, true); }},
        {"--stray", [](auto& f, int, auto v) { return !v && (f.stray = true); }},
        {"--repeat", [](auto& f, int, auto v) { return !v && (f.repeat = true); }},
        {"--reorder", [](auto& f, int, auto v) { return !v && (f.reorder = true); }},
        {"--zero", [](auto& f, int, auto v) { return v && *v <= 255 && (f.zeroAt = *v, true); }},
        {"--miss", [](auto& f, int, auto v) { return v && *v > 0 && (f.miss = *v, true); }},
        {"--kind",
         [](auto& f, int, auto v) { return v && *v >= 1 && *v <= 255 && (f.kind = *v, true); }},
        {"--twin",
         [](auto& f, int, auto v) {
             if (v && *v > 5000) return false;
             f.twin = true;
             f.twinOffset = v ? *v : -1;
             return true;
         }},
    };
    return table;
}

std::string applyValue(Options& o, const std::string& name, const std::string& value) {
    const std::string bad = "bad value for " + name + ": " + value;
    if (name == "--link") {
        o.linkPath = value;
    } else if (name == "--tcp") {
        const auto colon = value.rfind(':');
        const auto port =
            colon == std::string::npos ? std::nullopt : number(value.substr(colon + 1), 0, 65535);
        if (!port || colon == 0) return bad;
        o.tcpHost = value.substr(0, colon);
        if (o.tcpHost.size() > 2 && o.tcpHost.front() == '[' && o.tcpHost.back() == ']') {
            o.tcpHost = o.tcpHost.substr(1, o.tcpHost.size() - 2);  // [::1]
        }
        o.tcpPort = *port;
    } else if (name == "--room") {
        o.roomFile = value;
    } else if (name == "--reaction") {
        const auto n = number(value, 0, 60000);
        if (!n) return bad;
        o.reactionMs = *n;
    } else if (name == "--devices") {
        // A plain number is a count (devices 1..N); anything else is a list of numbers.
        std::vector<int> devices;
        if (const auto n = number(value, 0, 32)) {
            for (int v = 1; v <= *n; ++v) devices.push_back(v);
        } else {
            const auto list = items(value, 0);
            if (!list) return bad;
            for (const auto& [device, v] : *list) {
                if (v) return bad;
                devices.push_back(device);
            }
        }
        o.devices = std::move(devices);
    } else if (name == "--type") {
        const auto list = items(value, 255);
        if (!list) return bad;
        for (const auto& [device, type] : *list) {
            if (!type) return bad;
            o.types[device] = *type;
        }
    } else {
        const auto list = items(value, name == "--wrong-number" ? 255 : 600000);
        if (!list) return bad;
        for (const auto& [device, v] : *list) {
            if (!faultOptions().at(name)(o.faults[device], device, v)) return bad;
        }
    }
    return {};
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    static const std::set<std::string> valued = {"--link", "--room",     "--devices",
                                                 "--type", "--reaction", "--tcp"};
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--verbose" || name == "-v") {
            o.verbose = true;
            continue;
        }
        if (name == "--echo") {
            o.echo = true;
            continue;
        }
        if (!valued.count(name) && !faultOptions().count(name)) {
            return {std::nullopt, "unknown option: " + args[i]};
        }
        if (!value) {
            if (i + 1 >= args.size()) return {std::nullopt, name + " needs a value"};
            value = args[++i];
        }
        if (std::string error = applyValue(o, name, *value); !error.empty()) {
            return {std::nullopt, error};
        }
    }
    return {o, {}};
}

}  // namespace room::sim
