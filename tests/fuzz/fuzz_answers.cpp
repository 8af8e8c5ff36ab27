// Any bytes arriving from the bus: every answer the receiver puts together is verified and read
// back into a room type. Nothing may be written outside the model, read back may touch only the
// device the answer names, and verification must leave the room type as it was.
//
// The first byte chooses the device being verified (0 and numbers past 36 included), the rest is
// the bus. The same bytes also come back to an echo filter that expects the first few of them as
// the echo of a frame written: it may hold bytes back, but never lose or invent one.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/model/room_type.h"
#include "core/protocol/checks.h"
#include "core/protocol/echo_filter.h"
#include "core/protocol/frames.h"
#include "core/protocol/receiver.h"

namespace {

using namespace room::model;
using namespace room::protocol;

// A room with one device of every kind the checks know.
RoomTypeConfig makeRoom() {
    RoomTypeConfig room = makeStartupRoomType();
    room.deviceCount = 6;
    room.modeFlagBits = {0x03, 0x07, 0, 0x10, 0, 0x80};
    const std::uint8_t types[] = {1, 2, 6, 3, 5, 4};
    for (int v = 1; v <= 6; ++v) room.devices[v].type = types[v - 1];
    room.devices[1].inputs = {10, 11, 50, 51, 0, 0};
    room.devices[1].outputs = {10, 11, 2, 0, 0, 0};
    room.devices[1].slot(1) = ModeSlot{50, {10, 0, 10, 238, 238, 238}};
    room.devices[1].slot(20) = ModeSlot{187, {0, 10, 238, 238, 238, 238}};
    room.devices[2].outputs = {160, 161, 162, 163, 0, 0};
    room.devices[2].slot(9) = ModeSlot{168, {10, 9, 8, 7, 238, 238}};
    room.devices[3].inputs = {70, 0, 0, 0, 0, 0};
    room.devices[3].outputs = {70, 71, 0, 0, 0, 0};
    room.devices[3].slot(2) = ModeSlot{51, {5, 238, 238, 238, 238, 238}};
    room.devices[4].outputs = {80, 81, 0, 0, 0, 0};
    for (int v = 1; v <= 6; ++v) room.devices[v].inUse = 1;
    refreshMasks(room);
    return room;
}

void require(bool condition) {
    if (!condition) std::abort();
}

void checkOutcome(const CheckOutcome& out) {
    require(out.device >= 0 && out.device <= kMaxDevices);
    for (const std::string& text : out.status) require(!text.empty() && text.size() < 200);
    if (out.result) require(*out.result == 1 || *out.result == 2);
}

void handle(const Answer& answer, const RoomTypeConfig& base, RoomTypeConfig& room,
            RoomTypeConfig& edit, VerifyState& state, bool runActive) {
    const CheckOutcome verified = verifyAnswer(answer, base, edit, state, runActive);
    checkOutcome(verified);
    if (runActive) require(verified.messages.empty());

    const RoomTypeConfig before = room;
    const CheckOutcome read = readBackAnswer(
        answer, room, state.verifyDevice != 0 ? state.verifyDevice : answerDevice(answer));
    checkOutcome(read);
    require(room.deviceCount >= before.deviceCount && room.deviceCount <= kMaxDevices);
    for (int v = 0; v <= kMaxDevices; ++v) {
        if (v == read.device) continue;
        require(room.devices[v] == before.devices[v]);
        require(room.outputMasks[v] == before.outputMasks[v]);
    }
    if (!read.wroteRoom) require(room.modified == before.modified);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const RoomTypeConfig base = makeRoom();
    if (size == 0) return 0;
    RoomTypeConfig room = base;
    RoomTypeConfig edit = base;
    VerifyState state;
    state.verifyDevice = data[0] % 40;
    const bool runActive = (data[0] & 0x40) != 0;

    EchoFilter echo;
    const EchoFilter::TimePoint start{};
    echo.wrote(Bytes(data + 1, data + std::min<std::size_t>(size, 10)), start);
    echo.wrote(Bytes(data + 1, data + std::min<std::size_t>(size, 4)), start);
    std::size_t out = 0;
    auto count = [&out](const EchoFilter::Result& r) {
        out += r.pass.size();
        for (const Bytes& e : r.echoes) out += e.size();
    };
    for (std::size_t i = 1; i < size; ++i) {
        count(echo.push(data[i], start + std::chrono::milliseconds(data[0] % 8 * i)));
    }
    count(echo.push(0, start + std::chrono::hours(1)));  // everything held comes out
    require(out == size);

    Receiver receiver;
    Receiver mirror(Receiver::ShortRule::ChecksumOrMirror);
    for (std::size_t i = 1; i < size; ++i) {
        if (auto answer = mirror.push(data[i])) {
            if (answer->kind == Answer::Kind::Short) require(isAcceptedMirrorAnswer(answer->bytes));
        }
        if (auto answer = receiver.push(data[i])) {
            require(answer->bytes.size() <= static_cast<std::size_t>(Receiver::kMaxLongAnswer));
            handle(*answer, base, room, edit, state, runActive);
        }
    }
    return 0;
}
