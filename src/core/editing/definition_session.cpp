#include "core/editing/definition_session.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/editing/definition_values.h"
#include "core/editing/field_text.h"
#include "core/model/catalogues.h"

namespace room::editing {

using model::RoomTypeConfig;

namespace {

constexpr int kNoLamp = -1;

// Field table: the basic page's minutes, the dimming page, the curtain pairs, the other-key and
// reserved pages, in the order OK reads them.
std::array<NumberFieldSpec, kNumberFieldCount> makeFieldSpecs() {
    std::array<NumberFieldSpec, kNumberFieldCount> infos{};
    auto put = [&infos](NumberField f, int tab, std::string_view before, std::string_view after,
                        bool shown, int lamp, std::optional<std::pair<int, int>> range) {
        infos[static_cast<int>(f)] = NumberFieldSpec{f, tab, before, after, shown, lamp, range};
    };
    put(NumberField::VacantMinutes, 0, "关门后未检测到人", "分钟后断电(1-99)", false, kNoLamp, {});
    put(NumberField::CardOutDelay, 2, "拔卡后延时", "秒断电(1-240秒)", true, kNoLamp,
        std::pair{1, 240});
    put(NumberField::SocketDelay, 2, "拔卡后受控插座增加", "秒延时后断电(1-200秒)", false, kNoLamp,
        std::pair{0, 200});
    put(NumberField::FanInterval, 2, "无人入住时换气扇每隔", "分钟（21-240）自动工作", false,
        kNoLamp, {});
    put(NumberField::FanRunTime, 2, "", "分钟（1-60）", false, kNoLamp, {});
    static const std::array<std::string_view, 13> kPairTexts = {
        "80/81号打开后",   "82/83号打开后",   "84/85号打开后",   "86/87号打开后",
        "88/89号打开后",   "192/193号打开后", "194/195号打开后", "196/197号打开后",
        "198/199号打开后", "200/201号打开后", "202/203号打开后", "204/205号打开后",
        "206/207号打开后"};
    for (int i = 0; i < 13; ++i) {
        put(static_cast<NumberField>(static_cast<int>(NumberField::CurtainTime0) + i), 3,
            kPairTexts[i], "秒自动停止", false, kNoLamp, {});
    }
    put(NumberField::OffDelay65, 5, "65号信号有效变无效后", "秒后关闭其输出(1-240秒,0为不自动关闭)",
        true, 65, {});
    put(NumberField::OffDelay66, 5, "66号信号有效变无效后", "秒后关闭其输出(1-240秒,0为不自动关闭)",
        true, 66, {});
    put(NumberField::DoorLampTime, 6, "开门10号灯亮", "秒后关闭", false, 96, {});
    static const std::array<std::string_view, 4> kSignalTexts = {
        "97号信号有效后11号灯亮", "98号信号有效后13号灯亮", "92号信号有效后25号灯亮",
        "99号信号有效后26号灯亮"};
    static const std::array<int, 4> kSignalLamps = {97, 98, 92, 99};
    for (int i = 0; i < 4; ++i) {
        put(static_cast<NumberField>(static_cast<int>(NumberField::SignalLamp0) + i), 6,
            kSignalTexts[i], "秒后关闭", false, kSignalLamps[i], {});
    }
    put(NumberField::SafeLampTime, 6, "94/120打开灯", "秒后关闭(0不延时关)", false, kNoLamp, {});
    return infos;
}

const std::array<NumberFieldSpec, kNumberFieldCount>& fieldSpecs() {
    static const auto infos = makeFieldSpecs();
    return infos;
}

std::string decimal(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

// The whole text as an integer (blanks around it allowed), as the dialog's number fields take it.
std::optional<int> parseInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

const model::Capacity& capacityOf(int systemType) {
    return model::systemCapacity[static_cast<std::size_t>(std::clamp(systemType, 0, 6))];
}

// Board enable bytes for a new room type: 8-output board, 18-output board, input board.
constexpr std::array<std::array<int, 3>, 5> kBoardEnable = {{
    {0, 0, 0},
    {1, 0, 0},
    {1, 1, 1},
    {1, 1, 1},
    {2, 1, 1},
}};

bool acceptedCycleMode(int mode) {
    return (mode >= 50 && mode <= 57) || (mode >= 168 && mode <= 175);
}

}  // namespace

const NumberFieldSpec& numberFieldSpec(NumberField field) {
    return fieldSpecs()[static_cast<int>(field)];
}

int& numberFieldValue(RoomTypeConfig& room, NumberField field) {
    const int f = static_cast<int>(field);
    const int curtain = f - static_cast<int>(NumberField::CurtainTime0);
    if (curtain >= 0 && curtain < 13) return room.curtainRunTimes[curtain];
    const int signal = f - static_cast<int>(NumberField::SignalLamp0);
    if (signal >= 0 && signal < 4) return room.signalLampTimes[signal];
    switch (field) {
        case NumberField::VacantMinutes:
            return room.vacantPowerOffMinutes;
        case NumberField::CardOutDelay:
            return room.cardOutDelay;
        case NumberField::SocketDelay:
            return room.socketDelay;
        case NumberField::FanInterval:
            return room.fanInterval;
        case NumberField::FanRunTime:
            return room.fanRunTime;
        case NumberField::OffDelay65:
            return room.offDelay65;
        case NumberField::OffDelay66:
            return room.offDelay66;
        case NumberField::DoorLampTime:
            return room.doorLampTime;
        default:
            return room.safeLampTime;
    }
}

// ---------------------------------------------------------------------------------------------
// Opening

DefinitionSession::DefinitionSession(RoomTypeConfig& room, RoomTypeConfig& edit, EditMode mode,
                                     int systemTypeSelection)
    : m_room(room), m_edit(edit), m_mode(mode) {
    if (mode == EditMode::New) {
        openNew(systemTypeSelection);
    } else {
        openModify();
    }
    applyCapacities(false);
    fillForm();
}

void DefinitionSession::openNew(int systemTypeSelection) {
    // A new room type starts from the defaults; the lamp names and lists are the program's.
    m_edit = model::makeStartupRoomType();
    copyNameTables(m_room, m_edit);
    m_edit.newRoomType = m_room.newRoomType;
    m_edit.lampInUse[78] = 1;
    m_edit.lampInUse[93] = 1;
    m_edit.lampsInUseCount = 0;
    m_edit.dimMaxBrightness = 180;
    m_edit.dimMinBrightness = 40;
    m_edit.systemType = systemTypeSelection;
    m_edit.systemTypeSelection = systemTypeSelection;
    m_edit.switchMaker485 = 1;
    m_edit.outputExpansion = 0;
    m_edit.inputExpansion = 0;
    m_edit.cardOutDelay = 45;
    m_edit.socketDelay = 0;
    for (int i = 0; i < 13; ++i) m_edit.curtainRunTimes[i] = 20;
    m_edit.offDelay65 = 20;
    m_edit.offDelay66 = 20;
    m_edit.doorLampTime = 20;
    m_edit.signalLampTimes = {200, 200, 200, 200};
    m_edit.safeLampTime = 1;
}

void DefinitionSession::openModify() {
    m_edit = m_room;
    // A room type read from a file does not carry the count; count what its list pages hold,
    // so the limit means the same for a loaded room type as for one made here.
    std::array<bool, model::kLampCount> counted{};
    int count = 0;
    for (ListPage page : kListPages) {
        for (std::uint8_t lamp : listPageLamps(m_edit, page)) {
            if (m_edit.lampInUse[lamp] == 0 || counted[lamp]) continue;
            counted[lamp] = true;
            ++count;
        }
    }
    m_edit.lampsInUseCount = count;
}

void DefinitionSession::applyCapacities(bool onOk) {
    const model::Capacity& row = capacityOf(m_edit.systemType);
    m_edit.inputCount = onOk ? row.keySlots + m_edit.inputExpansion : row.selectionLimit;
    m_edit.lowVoltageOutputCount = row.weakOutputs + (m_edit.inputExpansion == 32 ? 28 : 0);
    m_edit.outputCount = row.relayOutputs + m_edit.outputExpansion;
}

void DefinitionSession::fillForm() {
    const RoomTypeConfig& e = m_edit;
    DefinitionForm& f = m_form;
    f.hotelName = m_mode == EditMode::New ? "XX酒店" : e.hotelName;
    f.roomTypeName = m_mode == EditMode::New ? "标准房" : e.roomTypeName;
    f.roomNumber = m_mode == EditMode::New ? "1" : e.roomTypeNumberText;
    f.systemType = e.systemType;
    for (std::size_t i = 0; i < kCountLists.size(); ++i) f.counts[i] = e.*(kCountLists[i].field);
    f.sendToSwitch = e.sendToSwitch;
    f.thermostatMaker = e.thermostatMaker;
    f.airConditionerKind = e.airConditionerKind;
    f.powerSwitchMaker = e.powerSwitchMaker;
    f.backgroundMusicMaker = e.backgroundMusicMaker;
    f.switchMaker485 = e.switchMaker485;
    f.curtainMotorMaker = e.curtainOptions & 0x0F;
    f.outputBoard = e.outputExpansion;
    f.inputBoard = e.inputExpansion;
    for (std::size_t i = 0; i < kBasicFlags.size(); ++i) f.flags[i] = flagValue(e, kBasicFlags[i]);
    f.vacantPowerOff = e.vacantPowerOffMinutes != 0;
    f.fanTimer = e.fanInterval != 0 && e.fanRunTime != 0;
    for (int i = 0; i < kNumberFieldCount; ++i) {
        f.numbers[i] = decimal(numberFieldValue(m_edit, static_cast<NumberField>(i)));
    }
    for (int i = 0; i < 13; ++i) f.curtainOneKey[i] = e.curtainOneKey[i] != 0;
    f.curtain485 = (e.curtainOptions & 0x80) != 0;
    f.curtainWeak = (e.curtainOptions & 0x40) != 0;
    f.waitKeyBlink = e.waitKeyBlink;
    for (int k = 0; k < 4; ++k) {
        const int at = 10 * (k + 1);
        const int count = e.cycleModes[at + 1];
        f.cycleKeys[k].on = count != 0;
        for (int j = 0; j < 6; ++j) f.cycleKeys[k].modes[j] = decimal(e.cycleModes[at + 2 + j]);
    }
    for (int k = 0; k < model::kModeSlots; ++k) f.backlight[k] = (e.sceneTable[k][2] & 3) + 1;
    f.names = e.lampNames;
    for (int b = 0; b < 6; ++b) f.options[b] = optionByte(e, b);
}

// ---------------------------------------------------------------------------------------------
// Basic page

std::optional<std::string> DefinitionSession::chooseSystemType(int index) {
    if (index == 0) {
        m_form.outputBoard = 0;
        m_form.inputBoard = 0;
        return std::string("未选择系统类型!");
    }
    m_form.systemType = index;
    m_edit.systemType = index;
    if (index == 1 || index == 2) {
        m_form.outputBoard = 0;
        m_form.inputBoard = 0;
        m_edit.outputExpansion = 0;
        m_edit.inputExpansion = 0;
        applyCapacities(false);
    }
    return std::nullopt;
}

void DefinitionSession::chooseOutputBoard(int value) {
    if (outputBoardEnabled(value)) m_form.outputBoard = value;
}

void DefinitionSession::chooseInputBoard(int value) {
    if (value == 0 || inputBoardEnabled()) m_form.inputBoard = value;
}

BoardUseEnabling DefinitionSession::boardUseEnabling() const {
    switch (m_form.outputBoard) {
        case 8:
        case 11:
            return {true, false};
        case 18:
            return {false, true};
        default:
            return {false, false};
    }
}

bool DefinitionSession::outputBoardEnabled(int value) const {
    if (value == 0 || m_mode == EditMode::Modify) return true;
    const auto& row = kBoardEnable[static_cast<std::size_t>(std::clamp(m_form.systemType, 0, 4))];
    return (value == 18 ? row[1] : row[0]) != 0;
}

bool DefinitionSession::inputBoardEnabled() const {
    if (m_mode == EditMode::Modify) return true;
    return kBoardEnable[static_cast<std::size_t>(std::clamp(m_form.systemType, 0, 4))][2] != 0;
}

void DefinitionSession::setVacantPowerOff(bool on) {
    m_form.vacantPowerOff = on;
    m_form.numbers[static_cast<int>(NumberField::VacantMinutes)] = decimal(on ? 30 : 0);
}

void DefinitionSession::setFanTimer(bool on) {
    m_form.fanTimer = on;
    m_form.numbers[static_cast<int>(NumberField::FanInterval)] = decimal(on ? 60 : 0);
    m_form.numbers[static_cast<int>(NumberField::FanRunTime)] = decimal(on ? 5 : 0);
}

// ---------------------------------------------------------------------------------------------
// List pages

ToggleOutcome DefinitionSession::toggleLamp(ListPage page, int lamp) {
    ToggleOutcome out;
    if (lamp < 0 || lamp >= model::kLampCount) return out;
    int& flag = m_edit.lampInUse[lamp];
    if (flag != 0) {
        // The card power switch and the doorbell stay in every room type.
        if (page == ListPage::Dimming && (lamp == 78 || lamp == 93)) return out;
        flag = 0;
        --m_edit.lampsInUseCount;
        out.changed = true;
        return out;
    }
    if (m_edit.lampsInUseCount >= m_edit.inputCount) {
        out.message = "已超出最大输入端数量!";
        return out;
    }
    flag = 1;
    ++m_edit.lampsInUseCount;
    out.changed = true;
    return out;
}

bool DefinitionSession::lampInUse(int lamp) const {
    return lamp >= 0 && lamp < model::kLampCount && m_edit.lampInUse[lamp] != 0;
}

std::string DefinitionSession::numberText(ListPage page, int lamp) {
    const bool alwaysDecimal = page == ListPage::OtherKeys || page == ListPage::Reserved;
    char text[8];
    std::snprintf(text, sizeof text, alwaysDecimal || lamp < 100 ? "%d" : "%X", lamp);
    return text;
}

std::string DefinitionSession::selectionText() const {
    char text[32];
    std::snprintf(text, sizeof text, "已选 %d/%d", m_edit.lampsInUseCount, m_edit.inputCount);
    return text;
}

bool DefinitionSession::numberFieldAvailable(NumberField field) const {
    const int lamp = numberFieldSpec(field).lampCondition;
    return lamp < 0 || lampInUse(lamp);
}

bool DefinitionSession::nameAllowed(std::string_view name) {
    return fieldTextAllowed(name);
}

// ---------------------------------------------------------------------------------------------
// OK

// The framework's field checks of one page: a failing field stops the page's reading, and the
// values taken up to there stay. A number outside its range has already been taken.
bool DefinitionSession::readPageFields(int tab, std::vector<std::string>& messages) {
    for (const NumberFieldSpec& info : fieldSpecs()) {
        if (info.tab != tab) continue;
        const std::optional<int> value = parseInteger(m_form.numbers[static_cast<int>(info.field)]);
        if (!value) {
            messages.emplace_back("请键入一个整数。");
            return false;
        }
        numberFieldValue(m_edit, info.field) = *value;
        if (info.range && (*value < info.range->first || *value > info.range->second)) {
            char text[96];
            std::snprintf(text, sizeof text, "“请填入一个在%d和%d之间的整数。”", info.range->first,
                          info.range->second);
            messages.emplace_back(text);
            return false;
        }
    }
    return true;
}

void DefinitionSession::takeNames() {
    m_edit.namesChanged = false;
    for (ListPage page : kListPages) {
        if (page == ListPage::Reserved) continue;  // not read back
        for (std::uint8_t lamp : listPageLamps(m_edit, page)) {
            const std::string shown = withoutFieldBreakers(m_form.names[lamp]);
            if (shown == m_edit.lampNames[lamp]) continue;
            m_edit.namesChanged = true;
            m_edit.lampNames[lamp] = shown;
        }
    }
}

void DefinitionSession::takeSelections() {
    RoomTypeConfig& e = m_edit;
    const DefinitionForm& f = m_form;
    e.thermostatMaker = f.thermostatMaker;
    e.airConditionerKind = f.airConditionerKind;
    e.powerSwitchMaker = f.powerSwitchMaker;
    e.backgroundMusicMaker = f.backgroundMusicMaker;
    e.switchMaker485 = f.switchMaker485;
    for (std::size_t i = 0; i < kCountLists.size(); ++i) {
        e.*(kCountLists[i].field) = std::clamp(f.counts[i], 0, kCountLists[i].maximum);
    }
    e.deviceCount = model::deviceCountFromCounts(e);
    static constexpr int kThermostatBase[4] = {60, 100, 160, 164};
    for (int t = 0; t < std::min(e.thermostatCount, 4); ++t) {
        for (int k = 0; k < 4; ++k) e.lampInUse[kThermostatBase[t] + k] = 1;
    }
    e.outputExpansion = static_cast<std::int8_t>(f.outputBoard);
    e.inputExpansion = static_cast<std::int8_t>(f.inputBoard);
    for (std::size_t i = 0; i < kBasicFlags.size(); ++i)
        setFlagValue(e, kBasicFlags[i], f.flags[i]);
    e.sendToSwitch = f.sendToSwitch;
    for (int i = 0; i < 13; ++i) e.curtainOneKey[i] = f.curtainOneKey[i] ? 1 : 0;
    e.curtainOptions = static_cast<std::uint8_t>(
        (f.curtain485 ? 0x80 : 0) | (f.curtainWeak ? 0x40 : 0) | (f.curtainMotorMaker & 0x0F));
    e.waitKeyBlink = f.waitKeyBlink;
}

void DefinitionSession::applyCaps() {
    RoomTypeConfig& e = m_edit;
    if (e.cardOutDelay > 240) e.cardOutDelay = 240;
    if (e.cardOutDelay < 1) e.cardOutDelay = 1;
    e.socketDelay = std::min(e.socketDelay, 240);
    e.fanInterval = std::min(e.fanInterval, 240);
    e.fanRunTime = std::min(e.fanRunTime, 240);
    e.vacantPowerOffMinutes = std::min(e.vacantPowerOffMinutes, 99);
    for (int i = 0; i < 13; ++i) {
        if (e.curtainRunTimes[i] > 9999 || e.curtainRunTimes[i] < 0) e.curtainRunTimes[i] = 9999;
    }
    e.offDelay65 = std::min(e.offDelay65, 240);
    e.offDelay66 = std::min(e.offDelay66, 240);
    for (int& time : e.signalLampTimes) time = std::min(time, 9999);
    e.safeLampTime = std::min(e.safeLampTime, 9999);
}

void DefinitionSession::rebuildCycleModes() {
    for (int k = 0; k < 4; ++k) {
        const int at = 10 * (k + 1);
        std::uint8_t* block = m_edit.cycleModes.data() + at;
        block[0] = static_cast<std::uint8_t>(51 + k);
        std::fill(block + 1, block + 8, 0);
        if (!m_form.cycleKeys[k].on) continue;
        int count = 0;
        for (const std::string& text : m_form.cycleKeys[k].modes) {
            const std::optional<int> mode = parseInteger(text);
            if (mode && acceptedCycleMode(*mode))
                block[2 + count++] = static_cast<std::uint8_t>(*mode);
        }
        block[1] = static_cast<std::uint8_t>(count);
    }
}

void DefinitionSession::takeBacklights() {
    for (int k = 0; k < model::kModeSlots; ++k) {
        const int mode = std::clamp(m_form.backlight[k], 1, 3) - 1;
        std::uint8_t& byte = m_edit.sceneTable[k][2];
        byte = static_cast<std::uint8_t>((byte & ~3) | mode);
    }
}

AcceptOutcome DefinitionSession::accept() {
    AcceptOutcome out;
    // 1. Field values of every page but the reserved and function-options pages.
    for (int tab = 0; tab <= 5; ++tab) readPageFields(tab, out.messages);
    // 2-4. What keeps the dialog open.
    const std::optional<int> number = parseInteger(m_form.roomNumber);
    // Checked as they will be stored: a name of commas alone would be stored empty.
    const std::string hotelName = withoutFieldBreakers(m_form.hotelName);
    const std::string roomTypeName = withoutFieldBreakers(m_form.roomTypeName);
    if (hotelName.empty() || roomTypeName.empty()) {
        out.messages.emplace_back("请输入酒店名和房型!");
        return out;
    }
    if (!number || *number < 1 || *number > 200) {
        out.messages.emplace_back("房型编号请输入1-200!");
        return out;
    }
    if (m_form.systemType == 0) {
        out.messages.emplace_back("未选择主机型号!");
        return out;
    }
    // 5. The system type, also for the settings file.
    m_edit.systemType = m_form.systemType;
    m_edit.systemTypeText = decimal(m_form.systemType);
    m_edit.systemTypeSelection = m_form.systemType;
    out.systemTypeToSave = m_form.systemType;
    // The settings file now says this type, so the next New starts from it even when a later
    // editor of this New is cancelled; the room type's file fields are untouched by it.
    m_room.systemTypeSelection = m_form.systemType;
    takeNames();            // 6
    takeSelections();       // 7
    applyCapacities(true);  // 8
    // 9. Identity.
    m_edit.hotelName = hotelName;
    m_edit.roomTypeName = roomTypeName;
    m_edit.roomTypeNumber = *number;
    m_edit.roomTypeNumberText = decimal(*number);
    applyCaps();                                                            // 10
    rebuildCycleModes();                                                    // 11
    takeBacklights();                                                       // 12
    for (int b = 0; b < 6; ++b) optionByte(m_edit, b) = m_form.options[b];  // 13
    if (m_mode == EditMode::Modify) copyDefinitionValues(m_edit, m_room);   // 14
    out.accepted = true;
    return out;
}

}  // namespace room::editing
