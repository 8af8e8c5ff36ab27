// roombus-sim: the devices of a room bus behind a pseudo-terminal (and a TCP port, as a serial
// server), for trying the console and roomcfg-cli without hardware.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "core/format/shd_file.h"
#include "tools/cli/file_io.h"
#include "tools/sim/options.h"
#include "tools/sim/pty_bus.h"

namespace {

bool loadRoom(const std::string& path, room::model::RoomTypeConfig& room) {
    // Regular files of a bounded size only, as roomcfg-cli reads them.
    const room::cli::ReadResult file =
        room::cli::readFile(path, room::format::kMaxRoomTypeFileBytes);
    if (!file.bytes) {
        std::fprintf(stderr, "roombus-sim: cannot read %s: %s\n", path.c_str(), file.error.c_str());
        return false;
    }
    const std::string& bytes = *file.bytes;
    room = room::model::makeStartupRoomType();
    const room::format::LoadResult result = room::format::readRoomTypeFile(bytes, room);
    for (const std::string& message : result.messages) {
        std::fprintf(stderr, "roombus-sim: %s: %s\n", path.c_str(), message.c_str());
    }
    return !result.refused();
}

// The symlink is ours to replace only when it is a symlink; a file of that name is left alone.
bool makeLink(const std::string& link, const std::string& target) {
    char existing[512];
    if (::readlink(link.c_str(), existing, sizeof existing) >= 0) ::unlink(link.c_str());
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "roombus-sim: cannot link %s: %s\n", link.c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

void removeLink(const std::string& link, const std::string& target) {
    char existing[512] = {};
    const ssize_t n = ::readlink(link.c_str(), existing, sizeof existing - 1);
    if (n >= 0 && target == std::string(existing, static_cast<std::size_t>(n))) {
        ::unlink(link.c_str());
    }
}

void configure(room::simulator::Bus& bus, const room::sim::Options& options) {
    if (options.devices) bus.setPresent(*options.devices);
    room::simulator::Timing timing = bus.timing();
    timing.reaction = std::chrono::milliseconds(options.reactionMs);
    bus.setTiming(timing);
    bus.setEcho(options.echo);
    for (const auto& [device, type] : options.types) {
        bus.memory(device).type = static_cast<std::uint8_t>(type);
    }
    for (const auto& [device, faults] : options.faults) bus.faults(device) = faults;
}

}  // namespace

int main(int argc, char** argv) {
    const room::sim::ParseResult parsed =
        room::sim::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "roombus-sim: %s\n%s", parsed.error.c_str(), room::sim::kUsage);
        return 2;
    }
    const room::sim::Options& options = *parsed.options;
    if (options.help) {
        std::fputs(room::sim::kUsage, stdout);
        return 0;
    }

    room::simulator::Bus bus;
    if (!options.roomFile.empty()) {
        room::model::RoomTypeConfig room;
        if (!loadRoom(options.roomFile, room)) return 1;
        bus.preload(room);
    }
    configure(bus, options);

    room::sim::PtyBus pty(bus, options.verbose, stdout);
    if (!pty.open()) {
        std::fprintf(stderr, "roombus-sim: %s\n", pty.error().c_str());
        return 1;
    }
    if (options.tcpPort && !pty.listen(options.tcpHost, *options.tcpPort)) {
        std::fprintf(stderr, "roombus-sim: --tcp: %s\n", pty.error().c_str());
        return 1;
    }
    // The link exists once the path is printed, so a reader of the first line can use either.
    if (!options.linkPath.empty() && !makeLink(options.linkPath, pty.slavePath())) return 1;
    std::printf("%s\n", pty.slavePath().c_str());
    if (options.tcpPort) {
        const bool v6 = options.tcpHost.find(':') != std::string::npos;
        std::printf("tcp://%s%s%s:%d\n", v6 ? "[" : "", options.tcpHost.c_str(), v6 ? "]" : "",
                    pty.tcpPort());
    }
    std::fflush(stdout);

    const int code = pty.run();
    if (!options.linkPath.empty()) removeLink(options.linkPath, pty.slavePath());
    return code;
}
