#pragma once
// The room type held in memory: identity, host options, device counts, the device records with
// their scene-mode slots, the lamp-name table and the run-time state the windows share.
// Device numbers and scene slots are 1-based throughout the program, so every table indexed by them
// keeps an unused entry 0 and is read as devices[v], modes[n - 1] is avoided by slot().

#include <array>
#include <cstdint>
#include <string>

#include "core/model/catalogues.h"

namespace room::model {

constexpr int kMaxDevices = 36;
constexpr int kBusDevices = 32;  // devices a console run can address
constexpr int kModeSlots = 24;
constexpr int kChannels = 6;
constexpr int kChannelTableSize = 201;
constexpr int kLowVoltageTableSize = 21;
constexpr int kProgramVersion = 162;
constexpr int kSceneRecordSize = 244;
constexpr int kNotInvolved = 238;  // 0xEE: an output (or setting) that a scene leaves alone
constexpr int kCategoryListSize = 50;
constexpr int kOrdinaryListSize = 100;

// One scene mode of one device: seven values, [0] the mode code and [1..6] the states of
// outputs 1..6. value()/setValue() give the flat view that frames and checks use.
struct ModeSlot {
    int modeCode = 0;
    std::array<int, kChannels> outputState{};  // outputState[k] belongs to output k + 1

    int value(int i) const { return i == 0 ? modeCode : outputState[i - 1]; }
    void setValue(int i, int v) { (i == 0 ? modeCode : outputState[i - 1]) = v; }
    bool isUsed() const { return modeCode != 0 && modeCode != kNotInvolved; }
    bool operator==(const ModeSlot&) const = default;
};

struct DeviceRecord {
    std::uint8_t type = 0;  // 1..6, see deviceTypeNames
    std::string name;       // where the device is mounted
    int inUse = 0;
    std::array<int, kChannels> inputs{};
    std::array<int, kChannels> outputs{};
    std::array<ModeSlot, kModeSlots> modes{};  // modes[n - 1] is scene slot n

    ModeSlot& slot(int n) { return modes[n - 1]; }
    const ModeSlot& slot(int n) const { return modes[n - 1]; }
    // Empty when the first ten channel values (inputs 1..6, outputs 1..4) are all zero.
    bool isEmpty() const;
    bool operator==(const DeviceRecord&) const = default;
};

using OutputMask = std::array<std::uint8_t, 6>;         // byte pairs for modes 1-8, 9-16, 17-24
using DeviceMasks = std::array<OutputMask, kChannels>;  // one mask per output channel
using SceneRecord = std::array<std::uint8_t, kSceneRecordSize>;
using CategoryList = std::array<std::uint8_t, kCategoryListSize>;

struct RoomTypeConfig {
    // Identity
    std::string hotelName = "XX酒店";
    std::string roomTypeName = "标准房";
    int roomTypeNumber = 1;
    std::string roomTypeNumberText = "1";
    int roomTypeNumberAux = 0;
    int systemType = 1;
    std::string systemTypeText = "1";
    int systemTypeSelection = 1;
    int fileVersion = kProgramVersion;

    // Host board options; the file carries the first five as signed bytes.
    std::int8_t outputExpansion = 0;
    std::int8_t inputExpansion = 0;
    std::int8_t dryContactFirstFive = 0;
    std::int8_t boardOptionFlags = 0;
    std::int8_t boardOption7 = 0;
    bool lowVoltageDoorbell = false;  // "弱电门铃(不勾选为强电门铃)"
    bool sendToSwitch = false;        // "配置时向开关发送"

    // Capacities and device counts
    int headerByte = 1;
    int inputCount = 0;
    int outputCount = 0;
    int lowVoltageOutputCount = 0;
    int deviceCount = 0;
    int thermostatCount = 0;
    int switchPanelCount = 0;
    int curtainControllerCount = 0;
    int wirelessCurtainMotorCount = 0;
    int powerSwitchCount = 0;
    int irForwarderCount = 0;
    int signalCollectorCount = 0;
    int doorPlateCount = 0;
    int humanIrCount = 0;
    int doorMagnetCount = 0;
    int offlineVoiceCount = 0;
    int backgroundMusicCount = 0;
    int gatewayCount = 0;

    // Option bytes
    int cardOutDelay = 10;
    std::uint8_t functionOptionsA = 0x01;
    std::uint8_t functionOptionsB = 0;
    std::uint8_t functionOptionsC = 0;
    std::uint8_t functionOptionsD = 0;
    std::uint8_t functionOptionsE = 0;
    std::uint8_t functionOptionsF = 0;
    int dimMaxBrightness = 180;
    int dimMinBrightness = 40;
    std::array<std::uint8_t, 6> modeFlagBits{};

    // Devices; entry 0 is unused so that devices[v] is device v.
    std::array<DeviceRecord, kMaxDevices + 1> devices{};
    std::array<DeviceMasks, kMaxDevices + 1> outputMasks{};  // derived, see refreshMasks()

    // Flattened channel tables: entry 0 mirrors the count, entry (v-1)*6+j+1 is device v channel j.
    std::array<int, kChannelTableSize> inputLamp{};
    std::array<int, kChannelTableSize> outputLamp{};
    std::array<int, kChannelTableSize> legacyLamp{};
    std::array<int, kLampCount> lampInUse{};

    // Lamp names and category lists (terminated by 255)
    std::array<std::string, kLampCount> lampNames{};
    std::string lampTableName;
    std::array<std::uint8_t, kOrdinaryListSize> ordinaryLightKeys{};
    CategoryList dimmerAndOtherKeys{};
    CategoryList curtainKeys{};
    CategoryList sceneModeKeys{};
    CategoryList otherKeys{};
    CategoryList airConditionerKeys{};
    CategoryList spareKeys{};

    // Held in memory only (edited by the definition dialogs, never in the room-type file)
    std::array<SceneRecord, kModeSlots> sceneTable{};
    std::array<std::uint8_t, 100> cycleModes{};
    std::array<std::uint8_t, 25> optionTable{};
    std::array<std::int32_t, 14> curtainRunTimes{};  // 13 curtain pairs; the 14th word unused

    // Edited by the definition dialog, held in memory only: they keep their values across Open.
    int thermostatMaker = 0;
    int airConditionerKind = 0;
    bool powerSwitch485 = false;  // "使用485型取电开关(不勾选默认为干结点取电开关)"
    int powerSwitchMaker = 0;
    int backgroundMusicMaker = 0;
    int switchMaker485 = 1;
    std::uint8_t doorPowerFlags = 0;  // "开门取电" bit 0 ... "使用12继电器12调光模块" bit 5
    bool doorPlateActiveHigh = false;  // "门牌输出有效电平为高(不勾选输出低电平)"
    int vacantPowerOffMinutes = 0;     // "关门后未检测到人" ... "分钟后断电(1-99)"
    int socketDelay = 0;  // "拔卡后受控插座增加" ... "秒延时后断电(1-200秒)"
    int fanInterval = 0;  // "无人入住时换气扇每隔" ... minutes
    int fanRunTime = 0;
    std::array<std::uint8_t, 13> curtainOneKey{};  // "80与81号设为一键控制" ... one per pair
    std::uint8_t curtainOptions = 0;  // bit 7 "485窗帘电机", bit 6 "弱电控制", bits 0-3 maker
    int offDelay65 = 20;              // "65号信号有效变无效后" ... seconds
    int offDelay66 = 20;
    int doorLampTime = 20;  // "开门10号灯亮" ... seconds
    // "97号信号有效后11号灯亮", "98号…13号…", "92号…25号…", "99号…26号…" ... seconds
    std::array<int, 4> signalLampTimes{200, 200, 200, 200};
    int safeLampTime = 1;       // "94/120打开灯" ... seconds
    bool waitKeyBlink = false;  // "按稍候键闪烁几秒即灭"
    int lampsInUseCount = 0;    // lamp numbers the definition pages have switched on
    bool namesChanged = false;  // the last definition OK changed a lamp name
    bool newRoomType = false;   // New is running its three editors

    // Port editor: what it carries between the room type and the edit copy besides the key and
    // output tables. Only the weak-current table's count is set here; the rest no page edits.
    std::array<int, kLowVoltageTableSize> lowVoltageLamp{};  // entry 0 the weak-output count
    std::array<int, kChannelTableSize> portSpareLampA{};
    std::array<int, kChannelTableSize> portSpareLampB{};
    std::array<int, kLowVoltageTableSize> portSpareLowVoltageLamp{};
    std::uint8_t dim33With34 = 0;  // "33与34路同时调光"
    std::uint8_t dim41With42 = 0;  // "41与42路同时调光"
    std::array<std::int32_t, 5> portCounters{};
    std::array<std::uint8_t, 80> portBlock{};

    // Run-time state shared by the windows
    std::array<std::uint8_t, kMaxDevices + 1> selected{};  // console run selection, 1 = take part
    std::array<std::uint8_t, 145> demoOutputState{};
    std::uint8_t demoCardState = 0;
    int modified = 0;
    std::string currentFileName;
};

// Clears what a new load or a new room type must not inherit; texts, counts and options stay.
void reset(RoomTypeConfig& room);
// The flattened channel tables and the port editor's small tables and counters, all zero.
void clearChannelTables(RoomTypeConfig& room);
// Lamp names and category lists from the catalogues (start-up).
void initDefaults(RoomTypeConfig& room);
// A room type as the program holds it right after start-up.
RoomTypeConfig makeStartupRoomType();

// Recomputes the output masks of devices 1..deviceCount from their scene slots.
void refreshMasks(RoomTypeConfig& room);
DeviceMasks computeMasks(const DeviceRecord& device);

// Sum of the counts of devices that carry a record.
int deviceCountFromCounts(const RoomTypeConfig& room);

// Stores a channel value into a device and its flattened mirror, marking the lamp in use.
void setInput(RoomTypeConfig& room, int device, int channel, int lamp);
void setOutput(RoomTypeConfig& room, int device, int channel, int lamp);
void markLampInUse(RoomTypeConfig& room, int lamp);

// "   酒店名称:...   主机型号:<name>" (without baseTitle and without the file path).
std::string titleText(const RoomTypeConfig& room);

// "%03d." + name, as every channel list shows a lamp number, and its read-back.
std::string channelEntryText(const RoomTypeConfig& room, int lamp);
int channelEntryLamp(std::string_view entry);

// Category list contents up to the terminator.
template <std::size_t N>
std::vector<std::uint8_t> listItems(const std::array<std::uint8_t, N>& list) {
    std::vector<std::uint8_t> items;
    for (std::uint8_t v : list) {
        if (v == kListEnd) break;
        items.push_back(v);
    }
    return items;
}

}  // namespace room::model
