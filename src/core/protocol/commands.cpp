#include "core/protocol/commands.h"

namespace room::protocol {

namespace {

std::uint8_t low(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

// A short frame from (frame byte, value) pairs; bytes not named are 0.
Bytes frameOf(std::initializer_list<std::pair<int, int>> bytes) {
    Command command{};
    for (auto [at, value] : bytes) command[static_cast<std::size_t>(at - 1)] = low(value);
    return shortFrame(command);
}

// Quick-control and other-settings switching commands: 0xDD, number, action, 1, ... 10 = 1.
Bytes switchFrame(int number, int action, int byte5, int byte11) {
    return frameOf({{1, 0xDD}, {2, number}, {3, action}, {4, 1}, {5, byte5}, {10, 1}, {11, byte11}});
}

Bytes thermostatFrame(int flagAt, int value, int index) {
    return frameOf({{1, 0x55}, {flagAt, 1}, {flagAt + 1, value}, {11, 3}, {14, index}});
}

}  // namespace

// ---- Infrared page ----

Bytes irAirConditionerFrame(AcSetting setting, std::uint8_t value) {
    const int flagAt = 2 + 2 * static_cast<int>(setting);
    return frameOf({{1, 0x55}, {flagAt, 1}, {flagAt + 1, value}, {11, 3}});
}

const std::array<AcButton, 23> kIrAcButtons{{
    {"打开空调", AcSetting::Power, 1}, {"关闭空调", AcSetting::Power, 2},
    {"制热", AcSetting::Mode, 1},      {"制冷", AcSetting::Mode, 2},
    {"通风", AcSetting::Mode, 3},      {"低速", AcSetting::Fan, 1},
    {"中速", AcSetting::Fan, 2},       {"高速", AcSetting::Fan, 3},
    {"16度", AcSetting::Temperature, 16}, {"17度", AcSetting::Temperature, 17},
    {"18度", AcSetting::Temperature, 18}, {"19度", AcSetting::Temperature, 19},
    {"20度", AcSetting::Temperature, 20}, {"21度", AcSetting::Temperature, 21},
    {"22度", AcSetting::Temperature, 22}, {"23度", AcSetting::Temperature, 23},
    {"24度", AcSetting::Temperature, 24}, {"25度", AcSetting::Temperature, 25},
    {"26度", AcSetting::Temperature, 26}, {"27度", AcSetting::Temperature, 27},
    {"28度", AcSetting::Temperature, 28}, {"29度", AcSetting::Temperature, 29},
    {"30度", AcSetting::Temperature, 30},
}};

Bytes irTelevisionFrame(std::uint8_t keyCode) {
    return frameOf({{1, 0xDD}, {2, 0x41}, {3, keyCode}, {11, 0x0B}, {12, 0x12}, {13, 0x34}});
}

const std::array<TvButton, 23> kIrTvButtons{{
    {"开机", 0x01}, {"关机", 0x02}, {"频道+", 0x03}, {"频道-", 0x04}, {"音量+", 0x05},
    {"音量-", 0x06}, {"向上", 0x07}, {"向左", 0x08}, {"向右", 0x09}, {"向下", 0x0A},
    {"静音", 0x0B}, {"确认", 0x0C}, {"返回", 0x0D}, {"0", 0x10}, {"1", 0x11},
    {"2", 0x12}, {"3", 0x13}, {"4", 0x14}, {"5", 0x15}, {"6", 0x16},
    {"7", 0x17}, {"8", 0x18}, {"9", 0x19},
}};

// ---- Quick-control page ----

Bytes lightFrame(int lamp, bool on) { return switchFrame(lamp, on ? 1 : 2, 0, 1); }

std::optional<Bytes> curtainActionFrame(int curtain, int action) {
    switch (action) {
        case 1: return switchFrame(curtain, 1, 0, 6);
        case 2: return switchFrame(curtain + 1, 1, 0, 6);  // the pair's closing number
        case 3: return switchFrame(curtain, 3, 0, 6);
        case 4: return switchFrame(curtain, 5, 1, 6);
        case 5: return switchFrame(curtain, 5, 6, 6);
        case 6: return switchFrame(curtain, 5, 7, 6);
        case 7: return switchFrame(curtain, 5, 8, 6);
        default: return std::nullopt;
    }
}

Bytes sceneModeFrame(int code) { return switchFrame(code, 1, 0, 1); }

Bytes thermostatSelectFrame(int index) { return thermostatFrame(2, 1, index); }
Bytes thermostatOffFrame(int index) { return thermostatFrame(2, 0, index); }
Bytes thermostatModeFrame(int index, int mode) { return thermostatFrame(4, mode, index); }
Bytes thermostatFanFrame(int index, int fan) { return thermostatFrame(8, fan, index); }
Bytes thermostatTemperatureFrame(int index, int degrees) {
    return thermostatFrame(6, degrees, index);
}

// ---- Other-settings page ----

Bytes cardOutDelayFrame(int delay) {
    return frameOf({{1, 0xB3}, {2, 0}, {3, delay}, {10, 1}, {11, 1}});
}

std::optional<Bytes> irCodeLibraryFrame(int device, int libraryType, int code) {
    if (libraryType < 1 || libraryType > 3) return std::nullopt;
    return frameOf({{1, 0xAA}, {2, 0x55}, {3, 0xAA}, {4, 0x55}, {5, device}, {6, libraryType},
                    {7, code >> 8}, {8, code}});
}

const std::array<std::string_view, 4> kIrLibraryTypes{"", "1.空调码库", "2.机顶盒码库",
                                                      "3.电视码库"};

Bytes irNumberFrame(int number) {
    return frameOf({{1, 0x6A}, {2, 0xA6}, {3, 0x6A}, {4, 0xA6}, {5, number}});
}

Bytes matchAirConditionerFrame() { return frameOf({{1, 0xA5}, {2, 1}}); }
Bytes matchTelevisionFrame() { return frameOf({{1, 0xA5}, {2, 2}}); }
Bytes usbLeaveNetworkFrame() { return frameOf({{1, 0xFA}, {2, 0xFB}}); }

std::optional<Bytes> keyCountFrame(std::optional<std::uint8_t> value) {
    if (!value) return std::nullopt;
    return frameOf({{1, 0xFE}, {2, 0xEF}, {3, 0xEF}, {4, 0xFE}, {5, *value}});
}

const std::array<KeyCountItem, 8> kKeyCountItems{{
    {"配置按键数量", 0},   {"退出配置", 0xFF},    {"直接配置成1键", 1}, {"直接配置成2键", 2},
    {"直接配置成3键", 3}, {"直接配置成4键", 4}, {"直接配置成5键", 5}, {"直接配置成6键", 6},
}};

Bytes switchTestFrame(const std::array<bool, 4>& relays, const std::array<bool, 6>& backlights) {
    int relayBits = 0;
    int backlightBits = 0;
    for (std::size_t k = 0; k < relays.size(); ++k) relayBits |= relays[k] ? 1 << k : 0;
    for (std::size_t k = 0; k < backlights.size(); ++k) backlightBits |= backlights[k] ? 1 << k : 0;
    return frameOf({{1, 0xFE}, {2, 0xEF}, {3, 0xED}, {4, 0xDE}, {5, relayBits}, {6, backlightBits}});
}

Bytes airConditionerPowerFrame(bool on) {
    return frameOf({{1, 0x55}, {2, 1}, {3, on ? 1 : 2}, {11, 3}});
}

Bytes curtainFrame(bool open) { return switchFrame(open ? 0x50 : 0x51, 1, 0, 1); }

Bytes powerFrame(bool on) { return switchFrame(on ? 0x38 : 0x39, 1, 0, 1); }

// ---- Scene editor live preview ----

std::optional<std::uint8_t> sceneWireValue(int lamp, int state) {
    constexpr int kFree = model::kNotInvolved;
    if ((lamp >= 70 && lamp <= 75) || lamp == 64) {
        if (state == kFree) return 0;
        if (state >= 1 && state <= 10) return low(state);
        return std::nullopt;
    }
    if (lamp == 60 || lamp == 100) {
        if (state == kFree) return 0;
        if (state == 0) return 2;
        if (state == 10) return 1;
        return std::nullopt;
    }
    if (lamp == 61 || lamp == 101) {
        if (state == kFree) return 0;
        if (state >= 8 && state <= 10) return low(state - 7);
        return std::nullopt;
    }
    if (lamp == 62 || lamp == 102) return state == kFree ? 15 : low(state + 16);
    if (lamp == 63 || lamp == 103) {
        if (state == kFree) return 0;
        if (state >= 7 && state <= 10) return low(state - 6);
        return std::nullopt;
    }
    if (state == 0) return 2;
    if (state >= 1 && state <= 10) return 1;
    if (state == kFree) return 0;
    return std::nullopt;
}

std::optional<Bytes> sceneLiveFrame(int sceneCode, int lamp, int state) {
    const std::optional<std::uint8_t> wire = sceneWireValue(lamp, state);
    if (!wire) return std::nullopt;
    const bool secondUnit = lamp >= 100 && lamp <= 103;
    const int target = lamp == 2 ? 0 : secondUnit ? lamp - 40 : lamp;
    return frameOf({{1, 0x56}, {2, sceneCode}, {3, *wire}, {4, 1}, {5, target},
                    {6, secondUnit ? 1 : 0}});
}

}  // namespace room::protocol
