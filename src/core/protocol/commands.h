#pragma once
// The short command frames the console's test pages and the scene editor send, one builder per
// command, so a page only chooses the values. Builders that can decline (nothing is sent for that
// choice) return std::nullopt.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/protocol/frames.h"

namespace room::protocol {

// ---- Infrared page ("测试红外发送") ----

enum class AcSetting { Power, Mode, Temperature, Fan };

// 0x55 with one (flag, value) pair set: power at bytes 2/3, mode 4/5, temperature 6/7, fan 8/9.
Bytes irAirConditionerFrame(AcSetting setting, std::uint8_t value);

struct AcButton {
    std::string_view text;
    AcSetting setting;
    std::uint8_t value;
};
extern const std::array<AcButton, 23> kIrAcButtons;  // "打开空调" ... "30度"

// 0xDD 0x41 key ... 0x0B 0x12 0x34.
Bytes irTelevisionFrame(std::uint8_t keyCode);

struct TvButton {
    std::string_view text;
    std::uint8_t keyCode;
};
extern const std::array<TvButton, 23> kIrTvButtons;  // "开机" ... "9"

// ---- Quick-control page ("设备控制") ----

// "开"/"关" beside a light list.
Bytes lightFrame(int lamp, bool on);
// Curtain action 1..7 as in curtainCommandNames ("01.打开" ... "07.设置快速") on the curtain whose
// opening lamp number is `curtain`; nullopt for any other action.
std::optional<Bytes> curtainActionFrame(int curtain, int action);
// Choosing a scene mode.
Bytes sceneModeFrame(int code);
// Thermostat commands; `index` is the chosen thermostat 0..4 (item "1#" is 0).
Bytes thermostatSelectFrame(int index);            // choosing a thermostat: power on
Bytes thermostatOffFrame(int index);               // "关空调"
Bytes thermostatModeFrame(int index, int mode);    // 1 "制热", 2 "制冷", 3 "通风"
Bytes thermostatFanFrame(int index, int fan);      // 1 "低速" ... 4 "自动"
Bytes thermostatTemperatureFrame(int index, int degrees);

// ---- Other-settings page ("其它配置") ----

Bytes cardOutDelayFrame(int delay);  // "下发取电断电延时"
// "发送红外码库": library type 1..3; nullopt when none is chosen ("请选择码库类型!").
std::optional<Bytes> irCodeLibraryFrame(int device, int libraryType, int code);
extern const std::array<std::string_view, 4> kIrLibraryTypes;  // "", "1.空调码库", ...
Bytes irNumberFrame(int number);     // "设置红外编号"
Bytes matchAirConditionerFrame();    // "匹配空调"
Bytes matchTelevisionFrame();        // "匹配电视开关机"
Bytes usbLeaveNetworkFrame();        // "USB透传模块退网"

// "发送修改键数指令": the device reconfigures and restarts, so nothing is sent while no item of
// the key-count list is chosen.
std::optional<Bytes> keyCountFrame(std::optional<std::uint8_t> value);
struct KeyCountItem {
    std::string_view text;
    std::uint8_t value;
};
extern const std::array<KeyCountItem, 8> kKeyCountItems;

// "测试开关继电器和背光": relay k -> bit k-1, backlight k -> bit k-1.
Bytes switchTestFrame(const std::array<bool, 4>& relays, const std::array<bool, 6>& backlights);
Bytes airConditionerPowerFrame(bool on);  // "开空调" / "关空调"
Bytes curtainFrame(bool open);            // "开窗帘" / "关窗帘"
Bytes powerFrame(bool on);                // "通电" / "断电"

// ---- Scene editor live preview ----

// Wire value of output state `state` on lamp number `lamp`; nullopt when that state is not sent.
std::optional<std::uint8_t> sceneWireValue(int lamp, int state);
// 0x56 frame for one output of scene `sceneCode`; nullopt when the state is not sent.
std::optional<Bytes> sceneLiveFrame(int sceneCode, int lamp, int state);

}  // namespace room::protocol
