#pragma once
// Shared by the benchmarks: a full room type (36 devices, every channel set, every scene slot
// used) and a timer over many iterations.
#include <chrono>
#include <string>

#include "core/model/room_type.h"

inline room::model::RoomTypeConfig fullRoomType() {
    room::model::RoomTypeConfig room = room::model::makeStartupRoomType();
    room.hotelName = "云栖度假酒店";
    room.roomTypeName = "行政套房";
    room.switchPanelCount = 30;
    room.thermostatCount = 4;
    room.curtainControllerCount = 2;
    room.deviceCount = 36;
    for (int v = 1; v <= room::model::kMaxDevices; ++v) {
        room::model::DeviceRecord& d = room.devices[v];
        d.type = v <= 30 ? 1 : v <= 34 ? 2 : 3;
        d.name = "位置" + std::to_string(v);
        for (int c = 0; c < room::model::kChannels; ++c) {
            room::model::setInput(room, v, c, 10 + (v * 6 + c) % 40);
            room::model::setOutput(room, v, c, 10 + (v * 7 + c) % 40);
        }
        for (int n = 1; n <= room::model::kModeSlots; ++n) {
            room::model::ModeSlot& slot = d.slot(n);
            slot.modeCode = room::model::sceneCodeForSlot(n);
            for (int c = 0; c < room::model::kChannels; ++c) slot.outputState[c] = (n + c) % 3 ? 10 : 0;
        }
    }
    room::model::refreshMasks(room);
    return room;
}

// 32 switch panels, each with its own keys and outputs and eight scene slots.
inline room::model::RoomTypeConfig switchPanels32() {
    namespace model = room::model;
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.switchPanelCount = 32;
    room.deviceCount = 32;
    for (int v = 1; v <= 32; ++v) {
        room.devices[v].type = 1;
        for (int c = 0; c < model::kChannels; ++c) {
            model::setInput(room, v, c, 10 + (v + c) % 40);
            model::setOutput(room, v, c, 10 + (v * 3 + c) % 40);
        }
        for (int n = 1; n <= 8; ++n) {
            room.devices[v].slot(n) = {model::sceneCodeForSlot(n), {10, 0, 10, 0, 238, 10}};
        }
    }
    model::refreshMasks(room);
    return room;
}

template <typename F>
double secondsFor(int iterations, F&& work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < iterations; ++i) work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
