// Comparing two full room types (36 devices, 24 scenes each) beside loading the two files they
// come from, in the same run: the comparison should cost no more than the loads (ratio <= 1).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/compare/compare.h"
#include "core/format/shd_file.h"
#include "bench_support.h"

using namespace room;

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 2000;
    const model::RoomTypeConfig a = fullRoomType();
    model::RoomTypeConfig b = a;
    // A changed key and scene state on every device: 72 lines to build.
    for (int v = 1; v <= model::kMaxDevices; ++v) {
        b.devices[v].inputs[0] = 11;
        b.devices[v].slot(3).outputState[1] ^= 10;
    }
    const std::string bytesA = format::writeRoomTypeFile(a);
    const std::string bytesB = format::writeRoomTypeFile(b);
    std::size_t sink = 0;

    model::RoomTypeConfig loadedA = model::makeStartupRoomType();
    model::RoomTypeConfig loadedB = model::makeStartupRoomType();
    const double load = secondsFor(iterations, [&] {
        sink += format::readRoomTypeFile(bytesA, loadedA).messages.size();
        sink += format::readRoomTypeFile(bytesB, loadedB).messages.size();
    });
    const double equal =
        secondsFor(iterations, [&] { sink += compare::compareRoomTypes(loadedA, loadedA).size(); });
    std::size_t lines = 0;
    const double differ = secondsFor(iterations, [&] {
        lines = compare::compareRoomTypes(loadedA, loadedB).size();
        sink += lines;
    });

    std::printf("two full room types (36 devices, 24 scenes), %d iterations\n", iterations);
    std::printf("load both files          : %8.1f us\n", load / iterations * 1e6);
    std::printf("compare, equal           : %8.1f us\n", equal / iterations * 1e6);
    std::printf("compare, %3zu differences : %8.1f us\n", lines, differ / iterations * 1e6);
    std::printf("ratio (compare / load): equal %.2f, differing %.2f\n", equal / load, differ / load);
    return sink == 0 ? 1 : 0;
}
