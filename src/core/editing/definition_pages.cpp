#include "core/editing/definition_pages.h"

#include <cstdio>

namespace room::editing {

using model::RoomTypeConfig;

const std::array<std::string_view, 8> kDefinitionTabs = {
    "基本信息 ", "普通灯光按键 ", "调光按键与其它 ", "窗帘窗纱 ", "情景模式按键 ",
    "其它按键 ", "预留",          "功能选项 ",
};

namespace {

const std::array<ListPageSpec, 6> kListPageSpecs = {{
    {ListPage::Ordinary, "此页为选择普通灯光", true, 5, 20},
    {ListPage::Dimming, "此页为选择调光、换气扇的输出设备。", false, 5, 4},
    {ListPage::Curtains,
     "此页为控制互锁类延时强电输出的端口，可修改名称;延时时间编辑范围：1-9999秒，0为不自动关闭",
     false, 5, 6},
    {ListPage::SceneKeys,
     "此页为情景模式按键，凡是需要一个按键控制多个输出的都可选用此类端口并可改名称；"
     "双击选项可修改内容。",
     true, 4, 6},
    {ListPage::OtherKeys, "此页为控制弱电输出端口，一般接门牌背光或者其它用弱电控制的设备。", false,
     5, 4},
    {ListPage::Reserved, "此页为干接点信号输入端口。", false, 5, 4},
}};

}  // namespace

const ListPageSpec& listPageSpec(ListPage page) {
    return kListPageSpecs[static_cast<int>(page) - 1];
}

std::vector<std::uint8_t> listPageLamps(const RoomTypeConfig& room, ListPage page) {
    std::vector<std::uint8_t> lamps;
    switch (page) {
        case ListPage::Ordinary:
            lamps = model::listItems(room.ordinaryLightKeys);
            break;
        case ListPage::Dimming:
            lamps = model::listItems(room.dimmerAndOtherKeys);
            break;
        case ListPage::Curtains:
            lamps = model::listItems(room.curtainKeys);
            break;
        case ListPage::SceneKeys:
            lamps = model::listItems(room.sceneModeKeys);
            break;
        case ListPage::OtherKeys:
            lamps = model::listItems(room.otherKeys);
            break;
        case ListPage::Reserved:
            lamps = model::listItems(room.spareKeys);
            break;
    }
    // The grid has room for so many; lamp numbers beyond 249 have no flag or name.
    const ListPageSpec& info = listPageSpec(page);
    const std::size_t room_for = static_cast<std::size_t>(info.perRow * info.maxRows);
    std::erase_if(lamps, [](std::uint8_t lamp) { return lamp >= model::kLampCount; });
    if (lamps.size() > room_for) lamps.resize(room_for);
    return lamps;
}

const std::array<std::string_view, 3> kBacklightTexts = {"1#", "2#", "3#"};
const std::array<std::string_view, 3> kBacklightNotes = {
    "1#:按亮模式后，3秒后背光灯熄灭",
    "2#:按亮模式后，按其它灯，此背光灯熄灭",
    "3#:按亮模式后，背光一直不灭，再按关闭此模式与背光",
};

const std::array<CountSpec, 13> kCountLists = {{
    {"温控器数量：", 6, &RoomTypeConfig::thermostatCount},
    {"开关数量：", 32, &RoomTypeConfig::switchPanelCount},
    {"窗帘控制器数量：", 8, &RoomTypeConfig::curtainControllerCount},
    {"无线窗帘电机：", 8, &RoomTypeConfig::wirelessCurtainMotorCount},
    {"取电数量：", 2, &RoomTypeConfig::powerSwitchCount},
    {"红外转发数量：", 6, &RoomTypeConfig::irForwarderCount},
    {"人体红外数量：", 6, &RoomTypeConfig::humanIrCount},
    {"门牌数量：", 2, &RoomTypeConfig::doorPlateCount},
    {"门磁数量：", 4, &RoomTypeConfig::doorMagnetCount},
    {"信号采集数量：", 2, &RoomTypeConfig::signalCollectorCount},
    {"离线语音数量：", 2, &RoomTypeConfig::offlineVoiceCount},
    {"背景音乐数量：", 2, &RoomTypeConfig::backgroundMusicCount},
    {"网关数量：", 1, &RoomTypeConfig::gatewayCount},
}};

std::vector<std::string> countEntries(const CountSpec& info) {
    std::vector<std::string> entries;
    const bool twoDigits = info.field == &RoomTypeConfig::switchPanelCount;
    for (int n = 0; n <= info.maximum; ++n) {
        char text[8];
        std::snprintf(text, sizeof text, twoDigits && n > 0 ? "%02d" : "%d", n);
        entries.emplace_back(text);
    }
    return entries;
}

const std::vector<std::string_view> kThermostatMakers = {
    "Korvel",    "厂家A(ZS)",  "厂家B(LF)",  "厂家C(SH)",  "厂家D(JP)",   "厂家E(WK)",
    "厂家F(GB)", "厂家G(LFU)", "厂家H(JP2)", "厂家J(LF2)", "厂家K(LFD8)",
};
const std::vector<std::string_view> kAirConditionerKinds = {"风机盘管", "分体式空调"};
const std::vector<std::string_view> kPowerSwitchMakers = {"Korvel", "厂家A", "厂家B",
                                                          "厂家C",  "厂家D", "厂家E"};
const std::vector<std::string_view> kBackgroundMusicMakers = {
    "无背景音乐", "Korvel", "厂家A(HP)", "厂家B(FY)", "厂家C(YZ)", "厂家D(YJ)"};
const std::vector<std::string_view> kSwitchMakers485 = {
    "无",           "Korvel(4键)",  "Korvel(6键)", "厂家LF(6键)",  "厂家LF(4键)",  "厂家GB(4键)",
    "厂家GB(6键)",  "厂家SD(6键)",  "厂家JP(4键)", "厂家JP(6键)",  "厂家SH(6键)",  "厂家SH(4键)",
    "厂家JP2(4键)", "厂家JP2(6键)", "厂家LF(8键)", "厂家SH2(4键)", "厂家SH2(6键)",
};
const std::vector<std::string_view> kCurtainMotorMakers = {"Korvel（KV）", "厂家A", "厂家B"};

const std::array<BoardChoice, 4> kOutputBoards = {{
    {"无", 0},
    {"8路输出扩展板", 8},
    {"18路输出扩展板", 18},
    {"6强+5弱", 11},
}};
const std::array<BoardChoice, 2> kInputBoards = {{
    {"无", 0},
    {"32路输入+28路弱电输出扩展板", 32},
}};

const std::array<FlagSpec, 15> kBasicFlags = {{
    {"开门取电", FlagField::DoorPower, 0},
    {"开门取电必须先通过云端开门", FlagField::DoorPower, 1},
    {"98号红外感应取电", FlagField::DoorPower, 2},
    {"开启调色功能(需调色模块)", FlagField::DoorPower, 3},
    {"不发送红外信号", FlagField::DoorPower, 4},
    {"使用12继电器12调光模块(不勾为10继12调光)", FlagField::DoorPower, 5},
    {"小扩展输出板用作弱电干接点输出", FlagField::BoardUse, 0},
    {"大扩展输出板用作弱电干接点输出", FlagField::BoardUse, 1},
    {"18路模块第二公共端为弱电公共端", FlagField::BoardUse, 2},
    {"B款主机使用22继电器2调光输出", FlagField::BoardUse, 3},
    {"C款主机使用大扩展板", FlagField::BoardUse, 4},
    {"输出板前5路用作弱电干接点输出", FlagField::DryContactFirstFive, 0},
    {"弱电门铃(不勾选为强电门铃)", FlagField::LowVoltageDoorbell, 0},
    {"门牌输出有效电平为高(不勾选输出低电平)", FlagField::DoorPlateActiveHigh, 0},
    {"使用485型取电开关(不勾选默认为干结点取电开关)", FlagField::PowerSwitch485, 0},
}};

namespace {

bool bitOf(int value, int bit) {
    return ((value >> bit) & 1) != 0;
}

template <typename T>
void setBit(T& value, int bit, bool on) {
    const int mask = 1 << bit;
    value = static_cast<T>(on ? (value | mask) : (value & ~mask));
}

}  // namespace

bool flagValue(const RoomTypeConfig& room, const FlagSpec& info) {
    switch (info.field) {
        case FlagField::DoorPower:
            return bitOf(room.doorPowerFlags, info.bit);
        case FlagField::BoardUse:
            return bitOf(static_cast<std::uint8_t>(room.boardOptionFlags), info.bit);
        case FlagField::DryContactFirstFive:
            return room.dryContactFirstFive != 0;
        case FlagField::LowVoltageDoorbell:
            return room.lowVoltageDoorbell;
        case FlagField::DoorPlateActiveHigh:
            return room.doorPlateActiveHigh;
        case FlagField::PowerSwitch485:
            return room.powerSwitch485;
        case FlagField::CurtainOptions:
            return bitOf(room.curtainOptions, info.bit);
        case FlagField::WaitKeyBlink:
            return room.waitKeyBlink;
    }
    return false;
}

void setFlagValue(RoomTypeConfig& room, const FlagSpec& info, bool on) {
    switch (info.field) {
        case FlagField::DoorPower:
            setBit(room.doorPowerFlags, info.bit, on);
            break;
        case FlagField::BoardUse:
            setBit(room.boardOptionFlags, info.bit, on);
            break;
        case FlagField::DryContactFirstFive:
            room.dryContactFirstFive = on ? 1 : 0;
            break;
        case FlagField::LowVoltageDoorbell:
            room.lowVoltageDoorbell = on;
            break;
        case FlagField::DoorPlateActiveHigh:
            room.doorPlateActiveHigh = on;
            break;
        case FlagField::PowerSwitch485:
            room.powerSwitch485 = on;
            break;
        case FlagField::CurtainOptions:
            setBit(room.curtainOptions, info.bit, on);
            break;
        case FlagField::WaitKeyBlink:
            room.waitKeyBlink = on;
            break;
    }
}

const std::array<std::array<std::string_view, 8>, 6> kFunctionOptionTexts = {{
    {"上电后进入编号为AC的模式", "睡眠模式按任意键开夜灯", "睡眠模式按任意键开173(AD)号模式",
     "窗帘使用一键控制", "B9与BA模式使用同一按键", "开门廊灯亮：关上门后才开始倒计时",
     "编号46、47、48、49用作新风功能", "暂不使用"},
    {"晚上插卡触发55号模式", "44号为全屋调光加，45号为全屋调光减", "97号红外触发172号模式开与关",
     "98号红外触发173号模式开与关", "启用输入端口替换功能", "启用输出端口替换功能",
     "3号4号温控器不判断温度", "暂不使用"},
    {"调光为4档亮度方式", "输出板每块为19-24路", "97/98/号红外信号取反", "50号模式熄灭'开关字灯'",
     "模式开夜灯半小时后关17与46号输出", "自复位型SOS", "每次开门亮廊灯", "暂不使用"},
    {"模式#2#3时背光反相", "温按1仅制热(用于当作地暖)", "门铃通电时间加长",
     "睡眠模式控制空调需在空调开时", "门磁控制廊灯与44号灯", "循环模式为一直循环",
     "所有温控器不进行温度判断", "暂不使用"},
    {"通过Zigbee发送电视红外", "插卡后空调设置为26度", "睡眠模式按任意键开168号模式",
     "不读温控器状态(用于温控主动上报)", "使用LFD8(选LFD8温控)", "使用NDK501人脸识别机",
     "用154-159号按键控制音乐", "暂不使用"},
    {"温控接开关485口(大触摸屏功能)", "备用", "备用", "备用", "备用", "备用", "备用", "暂不使用"},
}};

std::uint8_t& optionByte(RoomTypeConfig& room, int byte) {
    switch (byte) {
        case 0:
            return room.functionOptionsA;
        case 1:
            return room.functionOptionsB;
        case 2:
            return room.functionOptionsC;
        case 3:
            return room.functionOptionsD;
        case 4:
            return room.functionOptionsE;
        default:
            return room.functionOptionsF;
    }
}

std::uint8_t optionByte(const RoomTypeConfig& room, int byte) {
    return optionByte(const_cast<RoomTypeConfig&>(room), byte);
}

const std::array<int, 13> kCurtainPairs = {80,  82,  84,  86,  88,  192, 194,
                                           196, 198, 200, 202, 204, 206};

}  // namespace room::editing
