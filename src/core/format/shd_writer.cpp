// Writes the room-type file. The text is assembled in UTF-8 and converted to GBK in one go.

#include <string>
#include <string_view>

#include "core/format/gbk.h"
#include "core/format/shd_file.h"

namespace room::format {
namespace {

using model::RoomTypeConfig;

constexpr int kMaxLampNameLines = 250;

// One line: every field is followed by a comma, the line by one blank and CR LF, so the
// reader (which only uses comma-terminated fields) gets every meaningful field back.
class Line {
public:
    explicit Line(std::string& out) : m_out(out) {}
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    ~Line() { m_out += " \r\n"; }

    Line& operator<<(std::string_view text) {
        m_out += text;
        m_out += ',';
        return *this;
    }
    Line& operator<<(int number) { return *this << std::string_view(std::to_string(number)); }

private:
    std::string& m_out;
};

void writeHeader(std::string& out, const RoomTypeConfig& room) {
    Line(out) << "注意：请勿直接修改本文件内容，以免造成错乱！";
    Line(out) << "酒店名称:" << room.hotelName;
    Line(out) << "房型名称:" << room.roomTypeName;
    Line(out) << "房型编号:" << room.roomTypeNumberText;
    Line line(out);
    line << "主机型号:" << room.systemTypeText << room.outputExpansion << room.inputExpansion
         << model::systemTypeName(room.systemType) << room.dryContactFirstFive
         << room.boardOptionFlags << room.boardOption7;
    if (room.fileVersion != 0) line << room.fileVersion;
}

void writeCountsAndOptions(std::string& out, const RoomTypeConfig& room) {
    Line(out) << "S" << (room.headerByte & 0xFF) << room.inputCount << room.outputCount
              << room.deviceCount << room.thermostatCount << room.switchPanelCount
              << room.curtainControllerCount << room.powerSwitchCount << room.irForwarderCount
              << room.signalCollectorCount << room.doorPlateCount << room.humanIrCount
              << room.doorMagnetCount << room.wirelessCurtainMotorCount << room.offlineVoiceCount
              << room.backgroundMusicCount << room.gatewayCount;
    Line(out) << "P" << room.cardOutDelay << "0" << room.functionOptionsA << room.functionOptionsB
              << room.functionOptionsC << room.functionOptionsD;
    Line line(out);
    line << "L";
    for (std::uint8_t bits : room.modeFlagBits) line << bits;
}

void writeDevice(std::string& out, const model::DeviceRecord& device, int number) {
    Line line(out);
    line << "K" << number << device.name << device.type;
    for (int lamp : device.inputs) line << lamp;
    for (int lamp : device.outputs) line << lamp;
    for (const model::ModeSlot& slot : device.modes) {
        if (!slot.isUsed()) continue;
        line << slot.modeCode;
        // A state of an absent output means nothing; the file says "not involved" instead.
        for (int j = 0; j < model::kChannels; ++j) {
            line << (device.outputs[j] != 0 ? slot.outputState[j] : model::kNotInvolved);
        }
    }
}

void writeDevices(std::string& out, const RoomTypeConfig& room) {
    const int count = room.deviceCount < model::kMaxDevices ? room.deviceCount : model::kMaxDevices;
    for (int v = 1; v <= count; ++v) {
        if (!room.devices[v].isEmpty()) writeDevice(out, room.devices[v], v);
    }
}

template <std::size_t N>
void writeLampNames(std::string& out, const RoomTypeConfig& room, std::string_view heading,
                    const std::array<std::uint8_t, N>& list) {
    Line(out) << heading;
    int lines = 0;
    for (std::uint8_t lamp : list) {
        if (lamp == model::kListEnd || lines == kMaxLampNameLines) break;
        if (lamp >= model::kLampCount) continue;  // no name to write for it
        // "%d号,%s": the number and the name end up as two fields.
        Line(out) << std::to_string(lamp) + "号" << room.lampNames[lamp];
        ++lines;
    }
}

void writeLampTable(std::string& out, const RoomTypeConfig& room) {
    Line(out) << std::string(45, '-');
    Line(out) << "以下为对应灯名表:";
    writeLampNames(out, room, "普通灯光按键:", room.ordinaryLightKeys);
    writeLampNames(out, room, "调光按键与其它:", room.dimmerAndOtherKeys);
    writeLampNames(out, room, "窗帘窗纱:", room.curtainKeys);
    writeLampNames(out, room, "情景模式按键:", room.sceneModeKeys);
    writeLampNames(out, room, "其它按键:", room.otherKeys);
}

}  // namespace

std::string writeRoomTypeFile(const RoomTypeConfig& room) {
    std::string text;
    writeHeader(text, room);
    writeCountsAndOptions(text, room);
    writeDevices(text, room);
    writeLampTable(text, room);
    return utf8ToGbk(text);
}

}  // namespace room::format
