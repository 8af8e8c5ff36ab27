// Reads the room-type file line by line into a freshly reset model. Lines 0..4 are known by their
// position, later lines by the first character of their first field.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/format/gbk.h"
#include "core/format/shd_file.h"

namespace room::format {
namespace {

using model::RoomTypeConfig;
using Fields = std::vector<std::string_view>;

constexpr int kOldestReadableVersion = 130;
constexpr int kLargestVersion = 9999;  // 99.9.9
constexpr int kFirstModeField = 16;
constexpr int kModeGroupSize = 7;

int number(std::string_view field) {
    return model::leadingNumber(field);
}

// Byte fields keep the low eight bits of the number, as the file writes them back.
std::uint8_t byteOf(std::string_view field) {
    return static_cast<std::uint8_t>(number(field));
}
std::int8_t signedByteOf(std::string_view field) {
    return static_cast<std::int8_t>(byteOf(field));
}

bool isLamp(int value) {
    return value >= 0 && value < model::kLampCount;
}

// Fields longer than the reader's limit keep their first whole GBK characters.
std::string_view limitField(std::string_view field) {
    if (field.size() <= kMaxShdFieldBytes) return field;
    std::size_t end = 0;
    while (end < field.size()) {
        const bool doubleByte = static_cast<unsigned char>(field[end]) >= 0x81;
        const std::size_t next = end + (doubleByte ? 2 : 1);
        if (next > kMaxShdFieldBytes) break;
        end = next;
    }
    return field.substr(0, end);
}

// Every field is the text before a comma; what follows the last comma is not a field.
Fields splitFields(std::string_view line) {
    Fields fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != ',') continue;
        fields.push_back(limitField(line.substr(start, i - start)));
        start = i + 1;
    }
    return fields;
}

// The line's text without double quotes, up to a NUL byte if there is one.
std::string cleanLine(std::string_view raw) {
    std::string line;
    line.reserve(raw.size());
    for (char c : raw) {
        if (c == '\0') break;
        if (c != '"') line += c;
    }
    return line;
}

std::string formatVersion(const char* format, int version) {
    const long long v = std::llabs(static_cast<long long>(version));
    char text[128];
    // Hundreds, tens and units; a version past 999 keeps all its leading digits in the first.
    std::snprintf(text, sizeof text, format, static_cast<int>(v / 100),
                  static_cast<int>(v / 10 % 10), static_cast<int>(v % 10));
    return text;
}

class Reader {
public:
    Reader(RoomTypeConfig& room, LoadResult& result) : m_room(room), m_result(result) {}

    // False when the version check stops the reading.
    bool readLine(int r, const Fields& f) {
        switch (r) {
            case 0:
                return true;
            case 1:
                if (!hasLabel(r, f)) return false;
                readHotelName(f);
                return true;
            case 2:
                if (!hasLabel(r, f)) return false;
                if (f.size() > 1) m_room.roomTypeName = gbkToUtf8(f[1]);
                return true;
            case 3:
                if (!hasLabel(r, f)) return false;
                readRoomTypeNumber(f);
                return true;
            case 4:
                if (!hasLabel(r, f)) return false;
                m_headerComplete = true;
                return readSystemLine(f);
            default:
                readKindLine(f);
                return true;
        }
    }

    bool headerComplete() const { return m_headerComplete; }

private:
    // Header line r (1..4) opens with its label; anything else is no room-type file.
    bool hasLabel(int r, const Fields& f) {
        static const char* const kLabels[] = {"酒店名称:", "房型名称:", "房型编号:", "主机型号:"};
        static const std::vector<std::string> kGbkLabels = [] {
            std::vector<std::string> labels;
            for (const char* label : kLabels) labels.push_back(utf8ToGbk(label));
            return labels;
        }();
        const auto i = static_cast<std::size_t>(r - 1);
        if (!f.empty() && (f[0] == kGbkLabels[i] || f[0] == kLabels[i])) return true;
        m_result.status = LoadStatus::NotRoomType;
        return false;
    }

    void readHotelName(const Fields& f) {
        if (!f.empty()) m_room.fileVersion = 0;  // a file without a version field is old
        if (f.size() > 1) m_room.hotelName = gbkToUtf8(f[1]);
    }

    void readRoomTypeNumber(const Fields& f) {
        if (f.size() > 1) {
            m_room.roomTypeNumberText = gbkToUtf8(f[1]);
            m_room.roomTypeNumber = number(f[1]);
            m_room.roomTypeNumberAux = 0;
        }
        if (f.size() > 2) m_room.roomTypeNumberAux = number(f[2]);
    }

    bool readSystemLine(const Fields& f) {
        const std::size_t n = f.size();
        if (n > 1) {
            m_room.systemTypeText = gbkToUtf8(f[1]);
            m_room.systemType = number(f[1]);
        }
        if (n > 2) m_room.outputExpansion = signedByteOf(f[2]);
        if (n > 3) m_room.inputExpansion = signedByteOf(f[3]);
        if (n > 5) m_room.dryContactFirstFive = signedByteOf(f[5]);
        if (n > 6) m_room.boardOptionFlags = signedByteOf(f[6]);
        if (n > 7) m_room.boardOption7 = signedByteOf(f[7]);
        if (n <= 8) return true;
        m_room.fileVersion = number(f[8]);
        // A field no version could have (negative, or past x.y.z with two-digit x) names no
        // version to ask for; the message says the field is broken instead of inventing one.
        const bool plausible = m_room.fileVersion >= 0 && m_room.fileVersion <= kLargestVersion;
        if (m_room.fileVersion > model::kProgramVersion) {
            m_result.status = LoadStatus::RefusedNewer;
            m_result.messages.push_back(plausible ? newerVersionMessage(m_room.fileVersion)
                                                  : invalidVersionMessage());
            return false;
        }
        if (m_room.fileVersion < kOldestReadableVersion) {
            m_result.status = LoadStatus::RefusedOlder;
            m_result.messages.push_back(plausible ? olderVersionMessage(m_room.fileVersion)
                                                  : invalidVersionMessage());
            return false;
        }
        return true;
    }

    void readKindLine(const Fields& f) {
        if (m_lampSection) {
            readLampName(f);
            return;
        }
        if (f.empty() || f[0].empty()) return;
        switch (f[0][0]) {
            case '-':
                // Everything from the separator on is the lamp-name table.
                m_lampSection = true;
                readLampName(f);
                break;
            case 'S':
                readCounts(f);
                break;
            case 'P':
                readOptions(f);
                break;
            case 'L':
                for (std::size_t i = 1; i < f.size() && i <= m_room.modeFlagBits.size(); ++i) {
                    m_room.modeFlagBits[i - 1] = byteOf(f[i]);
                }
                break;
            case 'K':
                readDevice(f);
                break;
            case 'A':
                readLegacyLamps(f);
                break;
            default:
                break;  // unknown kinds are ignored
        }
    }

    void readCounts(const Fields& f) {
        int* const counts[] = {
            &m_room.inputCount,
            &m_room.outputCount,
            &m_room.deviceCount,
            &m_room.thermostatCount,
            &m_room.switchPanelCount,
            &m_room.curtainControllerCount,
            &m_room.powerSwitchCount,
            &m_room.irForwarderCount,
            &m_room.signalCollectorCount,
            &m_room.doorPlateCount,
            &m_room.humanIrCount,
            &m_room.doorMagnetCount,
            &m_room.wirelessCurtainMotorCount,
            &m_room.offlineVoiceCount,
            &m_room.backgroundMusicCount,
            &m_room.gatewayCount,
        };
        if (f.size() > 1) m_result.headerByte = number(f[1]) & 0xFF;
        constexpr std::size_t kFirst = 2;
        for (std::size_t i = kFirst; i < f.size() && i - kFirst < std::size(counts); ++i) {
            *counts[i - kFirst] = number(f[i]);
        }
        if (f.size() > 2) m_room.inputLamp[0] = m_room.inputCount;
        if (f.size() > 3) m_room.outputLamp[0] = m_room.outputCount;
        // Every loop over the devices runs to deviceCount; there are only 36 records.
        if (m_room.deviceCount < 0) m_room.deviceCount = 0;
        if (m_room.deviceCount > model::kMaxDevices) m_room.deviceCount = model::kMaxDevices;
    }

    void readOptions(const Fields& f) {
        const std::size_t n = f.size();
        if (n > 1) m_room.cardOutDelay = number(f[1]);
        if (n > 3) m_room.functionOptionsA = byteOf(f[3]);
        if (n > 4) m_room.functionOptionsB = byteOf(f[4]);
        if (n > 5) m_room.functionOptionsC = byteOf(f[5]);
        if (n > 6) m_room.functionOptionsD = byteOf(f[6]);
    }

    void readDevice(const Fields& f) {
        if (f.size() < 2) return;
        const int v = number(f[1]);
        if (v < 1 || v > model::kMaxDevices) return;  // no record to hold it
        model::DeviceRecord& device = m_room.devices[v];
        if (f.size() > 2) device.name = gbkToUtf8(f[2]);
        if (f.size() > 3) device.type = byteOf(f[3]);
        for (int j = 0; j < model::kChannels; ++j) {
            const std::size_t in = 4 + j;
            const std::size_t out = 4 + model::kChannels + j;
            if (in < f.size() && isLamp(number(f[in]))) {
                model::setInput(m_room, v, j, number(f[in]));
            }
            if (out < f.size() && isLamp(number(f[out]))) {
                model::setOutput(m_room, v, j, number(f[out]));
            }
        }
        for (std::size_t g = kFirstModeField; g < f.size(); g += kModeGroupSize) {
            readModeGroup(device, f, g);
        }
    }

    void readModeGroup(model::DeviceRecord& device, const Fields& f, std::size_t g) {
        const int code = number(f[g]);
        const int mapped = model::sceneSlotForCode(code);
        const int n = mapped != 0 ? mapped : code;  // a bare slot number is taken as it is
        if (n < 1 || n > model::kModeSlots) return;
        model::ModeSlot& slot = device.slot(n);
        slot.modeCode = code;
        model::markLampInUse(m_room, code);
        for (int k = 1; k <= model::kChannels && g + k < f.size(); ++k) {
            slot.outputState[k - 1] = number(f[g + k]);
        }
    }

    void readLegacyLamps(const Fields& f) {
        for (std::size_t i = 1; i < f.size() && i < m_room.legacyLamp.size(); ++i) {
            const int lamp = number(f[i]);
            if (!isLamp(lamp)) continue;
            m_room.legacyLamp[i] = lamp;
            if (lamp != 0) model::markLampInUse(m_room, lamp);
        }
    }

    // "N号,name": headings and the separator give N = 0 and carry no name, so they change nothing.
    void readLampName(const Fields& f) {
        if (f.size() < 2) return;
        const int lamp = number(f[0]);
        if (isLamp(lamp)) m_room.lampNames[lamp] = gbkToUtf8(f[1]);
    }

    RoomTypeConfig& m_room;
    LoadResult& m_result;
    bool m_lampSection = false;
    bool m_headerComplete = false;
};

// Calls `handle(r, line)` for each line; CR LF and a lone LF both end a line.
template <typename Handler>
void forEachLine(std::string_view bytes, Handler handle) {
    int r = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (end < bytes.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!handle(r++, line)) return;
        start = next;
    }
}

}  // namespace

std::string newerVersionMessage(int version) {
    return formatVersion("软件版本低,请用%1d.%1d.%1d及以上版本打开!", version);
}

std::string olderVersionMessage(int version) {
    return formatVersion("配置文件版本低,请用%1d.%1d.%1d版本打开!", version);
}

std::string notRoomTypeMessage() {
    return "不是房型配置文件";
}

bool isRoomTypeFileName(std::string_view name) {
    if (name.size() < 4 || name[name.size() - 4] != '.') return false;
    std::string suffix;
    for (char c : name.substr(name.size() - 3)) {
        suffix += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return suffix == "shd" || suffix == "hdq";
}

std::string invalidVersionMessage() {
    return "配置文件版本号无效,无法打开!";
}

std::string notGbkMessage() {
    return "文件中有不是GBK编码的文字(可能是UTF-8文件),这些文字显示为乱码";
}

std::string notGbkKeptMessage() {
    return "不是GBK编码的文字无法保留,保存为\"?\"";
}

LoadResult readRoomTypeFile(std::string_view bytes, RoomTypeConfig& room) {
    model::reset(room);
    LoadResult result;
    Reader reader(room, result);
    bool stopped = false;
    forEachLine(bytes, [&](int r, std::string_view raw) {
        const std::string line = cleanLine(raw);
        stopped = !reader.readLine(r, splitFields(line));
        return !stopped;
    });
    if (!reader.headerComplete()) {
        // Nothing of such bytes is a room type: the model stays as reset.
        model::reset(room);
        result.status = LoadStatus::NotRoomType;
        result.messages.push_back(notRoomTypeMessage());
        return result;
    }
    if (stopped) return result;
    result.bytesLost = !isValidGbk(bytes);
    result.notGbk = result.bytesLost || isUtf8Text(bytes);
    if (room.fileVersion >= kOldestReadableVersion) {
        model::refreshMasks(room);
        result.status = LoadStatus::Loaded;
    } else {
        result.status = LoadStatus::LoadedTooOld;
        result.messages.push_back(olderVersionMessage(room.fileVersion));
    }
    return result;
}

}  // namespace room::format
