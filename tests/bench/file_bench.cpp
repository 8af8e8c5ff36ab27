// Load + save + export of a full room type (36 devices, every scene slot used), timed over many
// iterations, beside the time to merely decode the same file's bytes from GBK in the same run.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/export/yaml_export.h"
#include "core/format/gbk.h"
#include "core/format/shd_file.h"
#include "core/model/room_type.h"
#include "bench_support.h"

using namespace room;

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 2000;
    const std::string bytes = format::writeRoomTypeFile(fullRoomType());
    std::size_t sink = 0;

    const double decode = secondsFor(iterations, [&] { sink += format::gbkToUtf8(bytes).size(); });
    model::RoomTypeConfig room = model::makeStartupRoomType();
    const double full = secondsFor(iterations, [&] {
        const format::LoadResult loaded = format::readRoomTypeFile(bytes, room);
        sink += loaded.messages.size();
        sink += format::writeRoomTypeFile(room).size();
        sink += exporting::exportYaml(room).bytes.size();
    });

    std::printf("room-type file: %zu bytes, %d iterations\n", bytes.size(), iterations);
    std::printf("GBK decode only      : %8.1f us per file\n", decode / iterations * 1e6);
    std::printf("load + save + export : %8.1f us per file\n", full / iterations * 1e6);
    std::printf("ratio (load+save+export / decode): %.1f\n", full / decode);
    return sink == 0 ? 1 : 0;
}
