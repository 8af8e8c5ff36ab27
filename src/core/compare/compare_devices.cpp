// Devices: type, location, keys, outputs, then what each output does in each scene mode.

#include <cstdio>

#include "core/compare/compare_parts.h"
#include "core/editing/scene_rules.h"

namespace room::compare::detail {

using model::DeviceRecord;

namespace {

std::string lampEntry(const RoomTypeConfig& room, int lamp) {
    return lamp == 0 ? std::string("无") : model::channelEntryText(room, lamp);
}

std::string deviceSummary(const RoomTypeConfig& room, int v) {
    if (!deviceCarried(room, v)) return "无";
    const DeviceRecord& d = room.devices[v];
    return std::string(model::deviceTypeName(d.type)) + " " + d.name;
}

// What output j (0-based) does in slot n as the file records it: not involved when the slot is
// unused or the output absent.
int sceneState(const DeviceRecord& d, int n, int j) {
    const model::ModeSlot& slot = d.slot(n);
    if (!slot.isUsed() || d.outputs[j] == 0) return model::kNotInvolved;
    return slot.outputState[j];
}

}  // namespace

std::string stateText(const RoomTypeConfig& room, int lamp, int state) {
    if (lamp == 0) return "无";
    const std::string text = editing::actionText(room, lamp, state);
    if (state != model::kNotInvolved) return text;
    const std::string name =
        text.substr(0, text.size() - editing::actionSuffix(lamp, state).size());
    return name + ":不受控";
}

namespace {

void compareScenes(const RoomTypeConfig& a, const RoomTypeConfig& b, int v,
                   std::vector<Difference>& out) {
    const DeviceRecord& da = a.devices[v];
    const DeviceRecord& db = b.devices[v];
    const std::string group = deviceLabel(v);
    for (int n = 1; n <= model::kModeSlots; ++n) {
        for (int j = 0; j < model::kChannels; ++j) {
            const int sa = sceneState(da, n, j);
            const int sb = sceneState(db, n, j);
            // A changed lamp on the output is its own line; the state only when it differs too.
            if (sa == sb) continue;
            const std::string scene = "情景 " + a.lampNames[model::sceneCodeForSlot(n)];
            const std::string output = " 输出" + std::to_string(j + 1);
            out.push_back(makeDifference(group, v, scene + output, scene + " " + group + output,
                                         stateText(a, da.outputs[j], sa),
                                         stateText(b, db.outputs[j], sb)));
        }
    }
}

void compareDevice(const RoomTypeConfig& a, const RoomTypeConfig& b, int v,
                   std::vector<Difference>& out) {
    const DeviceRecord& da = a.devices[v];
    const DeviceRecord& db = b.devices[v];
    const std::string group = deviceLabel(v);
    auto add = [&](const std::string& label, const std::string& x, const std::string& y) {
        if (x != y) out.push_back(makeDifference(group, v, label, group + " " + label, x, y));
    };
    add("类型", std::string(model::deviceTypeName(da.type)), std::string(model::deviceTypeName(db.type)));
    add("位置", da.name, db.name);
    for (int j = 0; j < model::kChannels; ++j) {
        if (da.inputs[j] != db.inputs[j]) {
            add("按键" + std::to_string(j + 1), lampEntry(a, da.inputs[j]), lampEntry(b, db.inputs[j]));
        }
    }
    for (int j = 0; j < model::kChannels; ++j) {
        if (da.outputs[j] != db.outputs[j]) {
            add("输出" + std::to_string(j + 1), lampEntry(a, da.outputs[j]),
                lampEntry(b, db.outputs[j]));
        }
    }
    compareScenes(a, b, v, out);
}

}  // namespace

bool deviceCarried(const RoomTypeConfig& room, int device) {
    return device >= 1 && device <= room.deviceCount && !room.devices[device].isEmpty();
}

std::string deviceLabel(int device) {
    char label[16];
    std::snprintf(label, sizeof label, "设备%02d", device);
    return label;
}

void compareDevices(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out) {
    for (int v = 1; v <= model::kMaxDevices; ++v) {
        const bool inA = deviceCarried(a, v);
        const bool inB = deviceCarried(b, v);
        if (inA && inB) {
            compareDevice(a, b, v, out);
        } else if (inA != inB) {
            // One side has no such device: its whole record is one difference.
            out.push_back(makeDifference(deviceLabel(v), v, "设备", deviceLabel(v),
                                         deviceSummary(a, v), deviceSummary(b, v)));
        }
    }
}

}  // namespace room::compare::detail
