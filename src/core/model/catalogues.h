#pragma once
// Fixed vocabularies: system and device types, curtain commands, the default lamp-name table and
// the default category lists. Texts are UTF-8; the files convert them to GBK on the way out.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace room::model {

constexpr int kLampCount = 250;
constexpr std::uint8_t kListEnd = 255;

// Index 0 of every name table is a single blank so that a type number can index it directly.
extern const std::array<std::string_view, 5> systemTypeNames;
extern const std::array<std::string_view, 7> deviceTypeNames;
extern const std::array<std::string_view, 8> curtainCommandNames;
extern const std::array<std::string_view, kLampCount> defaultLampNames;

struct Capacity {
    int keySlots;
    int weakOutputs;
    int relayOutputs;
    int selectionLimit;
};
// Rows 0..6 by system-type selection; rows 5 and 6 exist although only four types are named.
extern const std::array<Capacity, 7> systemCapacity;

// Name for a system type, the blank entry for anything outside the table.
std::string_view systemTypeName(int systemType);
std::string_view deviceTypeName(int type);

// The number a consumer takes from a type text: its leading digits, like atoi.
int leadingNumber(std::string_view text);

// Default category lists, each without its terminator (the model stores them terminated).
const std::vector<std::uint8_t>& defaultOrdinaryLightKeys();
const std::vector<std::uint8_t>& defaultDimmerAndOtherKeys();
const std::vector<std::uint8_t>& defaultCurtainKeys();
const std::vector<std::uint8_t>& defaultSceneModeKeys();
const std::vector<std::uint8_t>& defaultAirConditionerKeys();

// Lamp-number classes used across the program.
bool isSceneModeCode(int lamp);
int sceneSlotForCode(int code);  // 1..24 for a scene-mode code, else 0
int sceneCodeForSlot(int slot);  // slot 1..24 -> 50..57, 168..175, 184..191
// Thermostat unit 0..3 from an air-conditioner lamp number, -1 when it is none.
int airConditionerUnit(int lamp);
bool isCurtainLamp(int lamp);

}  // namespace room::model
