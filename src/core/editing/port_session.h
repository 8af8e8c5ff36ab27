#pragma once
// The rules of the port editor "编辑输入输出端口", without a widget.
//
// Built over the room type and its edit copy in New or Modify mode, after the definition dialog
// has set the lamps in use and the counts. Opening fills the edit copy's channel tables (cleared;
// Modify: the room type's, less the lamps no longer in use) and a form of what the two pages show.
// The dialog binds its lists to the form and calls accept() on OK; Cancel drops the session.
//
// Device types and locations live in the edit copy like every other binding: Modify writes them
// back on OK, New with the scene editor's OK, so a cancelled New leaves the room type untouched.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/editing/definition_session.h"
#include "core/model/room_type.h"

namespace room::editing {

constexpr int kPortDevices = 24;  // devices with columns on the pages
constexpr int kPortLists = kPortDevices * model::kChannels;
constexpr int kBandDevices = 8;
constexpr int kPortBands = kPortDevices / kBandDevices;

enum class PortPage : std::uint8_t { Keys, Outputs };

inline constexpr std::string_view kPortCaption = "编辑输入输出端口";
inline constexpr std::array<std::string_view, 2> kPortTabs = {"开关面板按键名称配置  ",
                                                              "设备输出端口配置  "};
inline constexpr std::array<std::string_view, kPortBands> kKeyBandTexts = {
    "编码1-8号开关的按键名称配置,第一行是开关的位置信息,温控面板和窗帘电机也占用一个编号,"
    "但在此处不用选择,只需要在输出端口界面选择",
    "9-16号开关按键名称配置", "17-24号开关按键名称配置"};
inline constexpr std::array<std::string_view, kPortBands> kOutputBandTexts = {
    "编号1-8号开关面板、温控、窗帘电机输出端口配置,第一行是设备类型选择,"
    "开关面板支持按键与继电器分离配置",
    "编号9-16号开关面板、温控、窗帘电机输出端口配置",
    "编号17-24号开关面板、温控、窗帘电机输出端口配置"};
inline constexpr std::string_view kSyncRelays = "同步继电器";
inline constexpr std::string_view kSyncInputs = "同步输入端";
inline constexpr std::string_view kPortListLabel = "串口号:";
inline constexpr std::string_view kPortHint = "提示：输入输出端口改动后需重新修改情景模式配置。";

// How many outputs of the room carry a key's lamp number. NotMarked: the key is empty or holds a
// number no output can carry (a scene mode, a service function), so counting means nothing.
enum class KeyMark : std::uint8_t { NotMarked, NoOutput, OneOutput, TwoOutputs, MoreOutputs };

struct MarkStyle {
    KeyMark mark;
    std::uint8_t r, g, b;
    std::string_view legend;
};
// The legend's rows, in the order it shows them.
inline constexpr std::array<MarkStyle, 4> kMarkStyles = {{
    {KeyMark::NoOutput, 255, 170, 170, "代表没有对应的输出"},
    {KeyMark::OneOutput, 170, 230, 170, "代表有一个对应的输出"},
    {KeyMark::TwoOutputs, 255, 230, 140, "代表有两个对应的输出"},
    {KeyMark::MoreOutputs, 150, 200, 255, "代表有两个以上对应的输出端口"},
}};
const MarkStyle* markStyle(KeyMark mark);

// What the two pages show; list i (0-based) belongs to device i / 6 + 1, channel i % 6 + 1.
struct PortForm {
    int shownDevices = 0;  // columns shown: the device count, at most 24
    std::array<std::string, kPortDevices> locations;
    std::array<int, kPortDevices> types{};  // index into deviceTypeNames
    std::array<int, kPortLists> keys{};     // lamp numbers, 0 for the empty entry
    std::array<int, kPortLists> outputs{};
    std::array<bool, kPortLists> keyEnabled{};
};

struct PortAcceptOutcome {
    bool accepted = false;
    std::optional<std::string> message;  // the untyped device
};

class PortSession {
public:
    PortSession(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, EditMode mode);

    EditMode mode() const { return m_mode; }
    PortForm& form() { return m_form; }
    const PortForm& form() const { return m_form; }
    const model::RoomTypeConfig& edit() const { return m_edit; }

    static bool bandShown(int band, int shownDevices) { return shownDevices > band * 8; }
    bool listShown(int list) const { return list < m_form.shownDevices * model::kChannels; }

    // The lamp numbers a page offers, in the order its lists show them.
    const std::vector<int>& offered(PortPage page) const;
    // The entries of a page's lists: the empty entry, then "%03d." + name of each offered number.
    std::vector<std::string> entries(PortPage page) const;
    // A number stored when the editor opened that the page does not offer (a key on the card
    // switch 78, say): its list shows it as one more entry, so that OK does not drop what the
    // installer never touched. Nothing else the page does not offer can reach a list.
    std::optional<int> unofferedLamp(PortPage page, int list) const;
    bool choosable(PortPage page, int list, int lamp) const;
    // A list's choice; a number it cannot hold is refused (false).
    bool choose(PortPage page, int list, int lamp);

    // A device's type from the output page. A thermostat, curtain controller or curtain motor
    // has no keys here: its key lists are emptied and disabled at once, as opening does.
    void chooseType(int device, int type);
    // The location as it will be stored (no comma or line break).
    void setLocation(int device, std::string_view text);
    std::string entryText(int lamp) const;

    // "同步继电器": each output follows the key at its place, as the lists show them now. A key the
    // output page does not offer (a scene mode, the card switch) leaves its output alone; an empty
    // key clears the output unless it carries an air conditioner; a device without keys of its
    // own (thermostat, curtain controller, curtain motor) keeps its outputs.
    void syncRelays();
    // "同步输入端" (hidden): every output becomes its key.
    void syncInputs();

    KeyMark keyMark(int list) const;

    // OK in its order. Refused while a shown device has no type; what was read stays.
    PortAcceptOutcome accept();

private:
    void openTables();
    void fillForm();
    void takeKeysAndLocations();
    void writeBack();

    model::RoomTypeConfig& m_room;
    model::RoomTypeConfig& m_edit;
    EditMode m_mode;
    PortForm m_form;
    std::array<std::vector<int>, 2> m_offered;
    std::array<int, kPortLists> m_openedKeys{};  // what the lists held when the editor opened
    std::array<int, kPortLists> m_openedOutputs{};
};

// "‘继电器端口配置’中第%d个‘设备类型’未选择!"
std::string untypedDeviceMessage(int device);
bool isAirConditionerLamp(int lamp);
// Thermostat, curtain controller and curtain motor: their keys are not wired here.
bool keysDisabled(int type);

}  // namespace room::editing
