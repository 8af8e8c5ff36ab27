#pragma once
// What the definition dialog "基本信息与选择输入信号" shows, as data: its tabs, the device-count
// lists, the maker lists, the flag check boxes, the list pages and the function options. The
// dialog builds its pages from these tables; the session keeps the rules.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/model/room_type.h"

namespace room::editing {

inline constexpr const char* kDefinitionCaption = "基本信息与选择输入信号";
inline constexpr const char* kOk = "确定";
inline constexpr const char* kCancel = "取消";

// Tab texts in order; each but "预留" ends in one blank.
extern const std::array<std::string_view, 8> kDefinitionTabs;

// Tabs of the list pages.
enum class ListPage : std::uint8_t {
    Ordinary = 1,
    Dimming = 2,
    Curtains = 3,
    SceneKeys = 4,
    OtherKeys = 5,
    Reserved = 6,
};
inline constexpr std::array<ListPage, 6> kListPages = {ListPage::Ordinary,  ListPage::Dimming,
                                                       ListPage::Curtains,  ListPage::SceneKeys,
                                                       ListPage::OtherKeys, ListPage::Reserved};

struct ListPageSpec {
    ListPage page;
    std::string_view note;
    bool noteShown;
    int perRow;
    int maxRows;
};
const ListPageSpec& listPageSpec(ListPage page);
// The page's category list from the room type (or edit copy), up to its terminator.
std::vector<std::uint8_t> listPageLamps(const model::RoomTypeConfig& room, ListPage page);

// The scene-key page's backlight modes and their hidden notes.
extern const std::array<std::string_view, 3> kBacklightTexts;  // "1#", "2#", "3#"
extern const std::array<std::string_view, 3> kBacklightNotes;

// Device-count lists of the basic page: label and highest entry.
struct CountSpec {
    std::string_view label;
    int maximum;
    int model::RoomTypeConfig::*field;
};
extern const std::array<CountSpec, 13> kCountLists;
// Entry texts of a count list: "0", "1", ...; the switch list reads "0", "01" ... "32".
std::vector<std::string> countEntries(const CountSpec& info);

// Maker and kind lists of the basic page (created hidden).
extern const std::vector<std::string_view> kThermostatMakers;
extern const std::vector<std::string_view> kAirConditionerKinds;
extern const std::vector<std::string_view> kPowerSwitchMakers;
extern const std::vector<std::string_view> kBackgroundMusicMakers;
extern const std::vector<std::string_view> kSwitchMakers485;
extern const std::vector<std::string_view> kCurtainMotorMakers;

// Output and input boards: the value each radio button sets, with its text ("无" for none).
struct BoardChoice {
    std::string_view text;
    int value;
};
extern const std::array<BoardChoice, 4> kOutputBoards;  // none, 8, 18, "6强+5弱"
extern const std::array<BoardChoice, 2> kInputBoards;   // none, 32

// One bit of a flag byte, or an own flag, shown as a check box.
enum class FlagField : std::uint8_t {
    DoorPower,
    BoardUse,
    DryContactFirstFive,
    LowVoltageDoorbell,
    DoorPlateActiveHigh,
    PowerSwitch485,
    CurtainOptions,
    WaitKeyBlink,
};
struct FlagSpec {
    std::string_view text;
    FlagField field;
    int bit;  // for the bytes; 0 for own flags
};
extern const std::array<FlagSpec, 15> kBasicFlags;
bool flagValue(const model::RoomTypeConfig& room, const FlagSpec& info);
void setFlagValue(model::RoomTypeConfig& room, const FlagSpec& info, bool on);

// Function options: texts of the 48 check boxes, byte A bit 0 first.
extern const std::array<std::array<std::string_view, 8>, 6> kFunctionOptionTexts;
std::uint8_t& optionByte(model::RoomTypeConfig& room, int byte);  // 0 A ... 5 F
std::uint8_t optionByte(const model::RoomTypeConfig& room, int byte);

// The 13 curtain pairs of the curtain page: their first lamp number (80, 82, ... 206).
extern const std::array<int, 13> kCurtainPairs;

}  // namespace room::editing
