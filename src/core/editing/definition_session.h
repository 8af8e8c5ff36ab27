#pragma once
// The rules of the definition dialog "基本信息与选择输入信号", without a widget.
//
// A session is built over the room type and its edit copy in New or Modify mode: opening fills
// the edit copy (New: the defaults of a new room type; Modify: the room type's values) and a form
// that mirrors what the dialog shows. The dialog binds its widgets to the form, calls the rule
// methods when the installer acts, and calls accept() on OK; Cancel drops the session and the
// edit copy keeps nothing of it that matters (the next opening fills it again).

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/editing/definition_pages.h"
#include "core/model/room_type.h"

namespace room::editing {

enum class EditMode : std::uint8_t { New, Modify };

// Number fields of the pages: what they hold, where they sit and when they show.
enum class NumberField : std::uint8_t {
    VacantMinutes,
    CardOutDelay,
    SocketDelay,
    FanInterval,
    FanRunTime,
    CurtainTime0,  // 13 of them, one per curtain pair
    OffDelay65 = CurtainTime0 + 13,
    OffDelay66,
    DoorLampTime,
    SignalLamp0,  // 4 of them: 97, 98, 92, 99
    SafeLampTime = SignalLamp0 + 4,
    Count
};
constexpr int kNumberFieldCount = static_cast<int>(NumberField::Count);

struct NumberFieldSpec {
    NumberField field;
    int tab;                  // page of the dialog
    std::string_view before;  // label in front of the field
    std::string_view after;   // text behind it
    bool shown;               // visible at all
    int lampCondition;        // shown (page 5) or enabled (page 6) when this lamp is in use; -1
    std::optional<std::pair<int, int>> range;  // the field check's range, when it has one
};
const NumberFieldSpec& numberFieldSpec(NumberField field);
int& numberFieldValue(model::RoomTypeConfig& room, NumberField field);

struct CycleKey {
    bool on = false;
    std::array<std::string, 6> modes;  // "输入需要循环的模式编号"
};

// What the dialog shows, as it shows it; accept() takes it into the edit copy.
struct DefinitionForm {
    std::string hotelName;
    std::string roomTypeName;
    std::string roomNumber;
    int systemType = 0;
    std::array<int, 13> counts{};  // in the order of kCountLists
    bool sendToSwitch = false;
    int thermostatMaker = 0;
    int airConditionerKind = 0;
    int powerSwitchMaker = 0;
    int backgroundMusicMaker = 0;
    int switchMaker485 = 0;
    int curtainMotorMaker = 0;
    int outputBoard = 0;           // the value: 0, 8, 18 or 11
    int inputBoard = 0;            // 0 or 32
    std::array<bool, 15> flags{};  // in the order of kBasicFlags
    bool vacantPowerOff = false;   // "关门后未检测到人"
    bool fanTimer = false;         // "无人入住时换气扇每隔"
    std::array<std::string, kNumberFieldCount> numbers;
    std::array<bool, 13> curtainOneKey{};
    bool curtain485 = false;   // "485窗帘电机"
    bool curtainWeak = false;  // "弱电控制"
    bool waitKeyBlink = false;
    std::array<CycleKey, 4> cycleKeys;               // keys 51..54
    std::array<int, model::kModeSlots> backlight{};  // 1..3 per scene-mode key
    std::array<std::string, model::kLampCount> names;
    std::array<std::uint8_t, 6> options{};
};

// Which check boxes the board choice leaves enabled.
struct BoardUseEnabling {
    bool smallBoard = false;  // "小扩展输出板用作弱电干接点输出"
    bool largeBoard = false;  // "大扩展输出板用作弱电干接点输出"
};

struct ToggleOutcome {
    bool changed = false;
    std::optional<std::string> message;  // "已超出最大输入端数量!"
};

struct AcceptOutcome {
    bool accepted = false;                // the dialog closes with OK
    std::vector<std::string> messages;    // message boxes in order
    std::optional<int> systemTypeToSave;  // "上次选择的主机型号" for the settings file
};

class DefinitionSession {
public:
    // `room` is read (and written back on a Modify OK); `edit` is filled now.
    DefinitionSession(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, EditMode mode,
                      int systemTypeSelection);

    EditMode mode() const { return m_mode; }
    DefinitionForm& form() { return m_form; }
    const DefinitionForm& form() const { return m_form; }
    const model::RoomTypeConfig& edit() const { return m_edit; }

    // Basic page. Choosing the blank entry is refused with the message, and the previous choice
    // comes back (the form keeps it).
    std::optional<std::string> chooseSystemType(int index);
    void chooseOutputBoard(int value);
    void chooseInputBoard(int value);
    BoardUseEnabling boardUseEnabling() const;
    // Whether a board radio button may be chosen: New mode follows the system type's table.
    bool outputBoardEnabled(int value) const;
    bool inputBoardEnabled() const;
    void setVacantPowerOff(bool on);  // 30 minutes, or 0
    void setFanTimer(bool on);        // 60 and 5 minutes, or 0 and 0

    // List pages.
    ToggleOutcome toggleLamp(ListPage page, int lamp);
    bool lampInUse(int lamp) const;
    static std::string numberText(ListPage page, int lamp);
    int lampsInUseCount() const { return m_edit.lampsInUseCount; }
    int selectionLimit() const { return m_edit.inputCount; }
    // "已选 12/70".
    std::string selectionText() const;
    // Whether a field of page 5 shows, or of page 6 is enabled, for the lamps now in use.
    bool numberFieldAvailable(NumberField field) const;
    // A name cell may not take a comma or a line break: the room-type file could not keep them.
    static bool nameAllowed(std::string_view name);

    // OK: the steps in their order. When accepted in Modify mode the room type holds the values.
    AcceptOutcome accept();

private:
    void openNew(int systemTypeSelection);
    void openModify();
    void fillForm();
    void applyCapacities(bool onOk);
    bool readPageFields(int tab, std::vector<std::string>& messages);
    void takeNames();
    void takeSelections();
    void applyCaps();
    void rebuildCycleModes();
    void takeBacklights();
    void writeBack();

    model::RoomTypeConfig& m_room;
    model::RoomTypeConfig& m_edit;
    EditMode m_mode;
    DefinitionForm m_form;
};

}  // namespace room::editing
