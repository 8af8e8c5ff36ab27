#include "core/export/yaml_export.h"

#include <cstdio>
#include <string_view>

#include "core/format/gbk.h"

namespace room::exporting {
namespace {

using model::DeviceRecord;
using model::RoomTypeConfig;

constexpr int kThermostat = 2;
constexpr int kCurtainController = 3;
constexpr int kWirelessCurtainMotor = 4;
constexpr int kExcludedOutput = 2;  // a device whose first output is lamp 2 is not exported

// The text is assembled in UTF-8 and converted once at the end.
class Lines {
public:
    void add(std::string_view content) { m_text.append(content).append(" \r\n"); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

struct CountLine {
    std::string_view comment;
    std::string_view key;
    int RoomTypeConfig::*count;
};

// The offline-voice and background-music counts share the infrared key: the cloud reads them so.
constexpr CountLine kCountLines[] = {
    {" #温控数量", " airNumber: ", &RoomTypeConfig::thermostatCount},
    {" #窗帘控制器数量", " curtainNumber: ", &RoomTypeConfig::curtainControllerCount},
    {" #无线窗帘电机", " wirelesscurtain: ", &RoomTypeConfig::wirelessCurtainMotorCount},
    {" #取电数量", " powerNumber: ", &RoomTypeConfig::powerSwitchCount},
    {" #红外转发数量", " infraredNumber: ", &RoomTypeConfig::irForwarderCount},
    {" #离线语音数量", " infraredNumber: ", &RoomTypeConfig::offlineVoiceCount},
    {" #背景音乐数量", " infraredNumber: ", &RoomTypeConfig::backgroundMusicCount},
    {" #信号采集器数量", " signalNumber: ", &RoomTypeConfig::signalCollectorCount},
    {" #门牌数量", " dashbNumber: ", &RoomTypeConfig::doorPlateCount},
    {" #人体红外数量", " huInfNumber: ", &RoomTypeConfig::humanIrCount},
    {" #门磁数量", " doorMagNumber: ", &RoomTypeConfig::doorMagnetCount},
    {" #网关数量", " gatewayNumber: ", &RoomTypeConfig::gatewayCount},
};

struct RecordlessGroup {
    int RoomTypeConfig::*count;
    int firstId;
    std::string_view typeCode;
    bool sharedId;  // every unit carries firstId
};

constexpr RecordlessGroup kRecordlessGroups[] = {
    {&RoomTypeConfig::powerSwitchCount, 160, "05", false},
    {&RoomTypeConfig::irForwarderCount, 120, "62", false},
    {&RoomTypeConfig::signalCollectorCount, 190, "61", false},
    {&RoomTypeConfig::doorPlateCount, 196, "60", false},
    {&RoomTypeConfig::humanIrCount, 170, "65", false},
    {&RoomTypeConfig::doorMagnetCount, 180, "64", false},
    {&RoomTypeConfig::offlineVoiceCount, 75, "77", false},
    {&RoomTypeConfig::backgroundMusicCount, 80, "45", false},
    {&RoomTypeConfig::gatewayCount, 252, "", true},
};

int typeNumber(const DeviceRecord& device) {
    return model::leadingNumber(model::deviceTypeName(device.type));
}

std::string_view typeCode(int type) {
    switch (type) {
        case 1:
            return "01";
        case kThermostat:
            return "03";
        case kCurtainController:
        case kWirelessCurtainMotor:
            return "06";
        default:
            return "";
    }
}

std::string threeDigits(int id) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", id);
    return text;
}

std::string hexBytes(const protocol::Bytes& bytes) {
    std::string text;
    char hex[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X ", b);
        text.append(hex);
    }
    return text;
}

int curtainId(int lamp, int firstPairsId, int secondPairsId) {
    if (lamp >= 80 && lamp <= 89) return firstPairsId + (lamp - 80) / 2;
    if (lamp >= 192 && lamp <= 207) return secondPairsId + (lamp - 192) / 2;
    return -1;
}

std::string badDataMessage(int type, int device) {
    const char* format = type == kThermostat          ? "编号为%d的空调面板数据有误!"
                         : type == kCurtainController ? "编号为%d的窗帘控制面板数据有误!"
                                                      : "编号为%d的窗帘电机数据有误!";
    char text[96];
    std::snprintf(text, sizeof text, format, device);
    return text;
}

void header(Lines& out, const RoomTypeConfig& room) {
    out.add("#注意：请勿直接修改本文件内容，以免造成错乱！");
    out.add("#酒店基本信息");
    out.add("info:");
    out.add(" #酒店名称");
    out.add(" name: " + room.hotelName);
    out.add(" #开关数量");
    out.add(" switchNumber: " + std::to_string(room.switchPanelCount));
    for (const CountLine& line : kCountLines) {
        const int count = room.*line.count;
        if (count <= 0) continue;
        out.add(line.comment);
        out.add(std::string(line.key) + std::to_string(count));
    }
    out.add(" ");
    out.add("#配置数据");
    out.add("data: ");
}

void entry(Lines& out, int id, std::string_view name, std::string_view type,
           std::string_view conf) {
    out.add(" -");
    out.add("   #编号");
    out.add("   id: " + threeDigits(id));
    out.add("   #位置");
    out.add(std::string("   name: ").append(name));
    out.add("   #类型");
    out.add(std::string("   type: ").append(type));
    out.add("   #配置数据");
    out.add(std::string("   conf: ").append(conf));
}

}  // namespace

int exportIdentifier(const RoomTypeConfig& room, int device) {
    if (device < 1 || device > model::kMaxDevices) return -1;
    const DeviceRecord& record = room.devices[device];
    const int lamp = record.outputs[0];
    switch (typeNumber(record)) {
        case kThermostat: {
            const int unit = model::airConditionerUnit(lamp);
            return unit < 0 ? -1 : 100 + unit;
        }
        case kCurtainController:
            return curtainId(lamp, 140, 144);
        case kWirelessCurtainMotor:
            return curtainId(lamp, 150, 154);
        default:
            return device;
    }
}

protocol::Bytes exportFrame(const RoomTypeConfig& room, int device) {
    if (device < 1 || device > model::kMaxDevices) return {};
    const DeviceRecord& record = room.devices[device];
    // Send-all layout, except that every device but a thermostat carries the key-device payload
    // and a zero sub-byte (dimmers included).
    if (typeNumber(record) == kThermostat) {
        return protocol::assembleLongFrame(
            record.type, static_cast<std::uint8_t>(device), protocol::kOpSendAll,
            room.functionOptionsA,
            static_cast<std::uint8_t>(protocol::thermostatIndex(record.outputs[0])),
            protocol::thermostatPayload(record));
    }
    return protocol::assembleLongFrame(record.type, static_cast<std::uint8_t>(device),
                                       protocol::kOpSendAll, room.functionOptionsA, 0,
                                       protocol::panelPayload(room, device));
}

YamlExport exportYaml(const RoomTypeConfig& room) {
    YamlExport result;
    Lines out;
    header(out, room);

    const int last = room.deviceCount < model::kMaxDevices ? room.deviceCount : model::kMaxDevices;
    for (int v = 1; v <= last; ++v) {
        const DeviceRecord& record = room.devices[v];
        if (record.isEmpty() || record.outputs[0] == kExcludedOutput) continue;
        int id = exportIdentifier(room, v);
        if (id < 0) {
            // Reported, and written under the device number so the file stays usable.
            result.messages.push_back(badDataMessage(typeNumber(record), v));
            id = v;
        }
        entry(out, id, record.name, typeCode(typeNumber(record)), hexBytes(exportFrame(room, v)));
    }

    for (const RecordlessGroup& group : kRecordlessGroups) {
        const int count = room.*group.count;
        for (int k = 0; k < count && k < kMaxEntriesPerGroup; ++k) {
            entry(out, group.sharedId ? group.firstId : group.firstId + k, "", group.typeCode, "");
        }
    }
    result.bytes = format::utf8ToGbk(out.text());
    return result;
}

}  // namespace room::exporting
