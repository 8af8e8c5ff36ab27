#include "core/model/catalogues.h"

namespace room::model {

const std::array<std::string_view, 5> systemTypeNames = {
    " ", "1.联网Mesh", "2.单机Mesh", "3.联网485", "4.单机485"};

const std::array<std::string_view, 7> deviceTypeNames = {
    " ",           "1.开关面板",       "2.温控器",         "3.窗帘控制器",
    "4.无线窗帘电机", "5.可控硅调光开关", "6.弱电调色开关"};

const std::array<std::string_view, 8> curtainCommandNames = {
    " ", "01.打开", "02.关闭", "03.停止", "04.设置换向", "05.设置慢速", "06.设置中速", "07.设置快速"};

const std::array<Capacity, 7> systemCapacity = {{{0, 0, 0, 0},
                                                 {144, 10, 144, 70},
                                                 {144, 10, 144, 70},
                                                 {144, 10, 144, 70},
                                                 {144, 10, 144, 70},
                                                 {144, 10, 144, 70},
                                                 {144, 10, 144, 70}}};

// clang-format off
const std::array<std::string_view, kLampCount> defaultLampNames = {
    "字灯", "总控", "字灯", "请勿打扰", "请即清理",  // 0
    "请求服务", "请稍侯", "预约退房", "紧急呼叫(SOS)", "洗衣服务",  // 5
    "廊灯", "卫浴灯", "换气扇", "夜灯", "射灯",  // 10
    "顶灯", "灯带", "筒灯", "吊灯", "吧台灯",  // 15
    "阅读灯", "左阅读", "右阅读", "镜前灯", "左床灯",  // 20
    "右床灯", "书桌灯", "淋浴灯", "床头灯", "衣柜灯",  // 25
    "氛围灯", "背景灯", "背景灯带", "房灯", "休闲灯",  // 30
    "休闲灯带", "壁灯", "左壁灯", "右壁灯", "床头灯带",  // 35
    "投影", "电视电源", "卫生间灯", "雾化玻璃", "景观灯",  // 40
    "地脚灯", "电视灯带", "左射灯", "右射灯", "新风",  // 45
    "睡眠模式", "明亮模式", "温馨模式", "浪漫模式", "休闲模式",  // 50
    "阅读模式", "入住模式", "外出模式", "空", "空",  // 55
    "空调开关", "空调模式", "空调温度", "空调风速", "背景音乐",  // 60
    "空", "空", "空", "电量", "水量",  // 65
    "床头调光灯", "右阅读调光", "左阅读调光", "调光自定义", "卧室调光",  // 70
    "侧卧调光", "开门卡类型", "门锁电量", "取电开关", "保险柜灯",  // 75
    "窗帘开", "窗帘关", "窗纱开", "窗纱关", "浴帘开",  // 80
    "浴帘关", "副窗帘开", "副窗帘关", "副窗纱开", "副窗纱关",  // 85
    "门锁", "门锁状态", "红外感应3", "门铃", "保险柜磁",  // 90
    "窗磁", "门磁", "卫生间红外", "床头红外", "红外感应4",  // 95
    "空调2开关", "空调2模式", "空调2温度", "空调2风速", "空",  // 100
    "空", "灯光1", "灯光2", "灯光3", "灯光4",  // 105
    "灯光5", "灯光6", "空", "空", "空",  // 110
    "空", "空", "空", "空", "空",  // 115
    "衣柜门磁", "入住", "灯光7", "灯光8", "灯光9",  // 120
    "灯光10", "灯光11", "灯光12", "空", "空",  // 125
    "空", "空", "空", "空", "空",  // 130
    "空", "空", "空", "灯光13", "灯光14",  // 135
    "灯光15", "灯光16", "灯光17", "灯光18", "",  // 140
    "", "", "", "", "",  // 145
    "", "", "", "", "灯光19",  // 150
    "灯光20", "灯光21", "灯光22", "灯光23", "灯光24",  // 155
    "空调3开关", "空调3模式", "空调3温度", "空调3风速", "空调4开关",  // 160
    "空调4模式", "空调4温度", "空调4风速", "会客模式", "总关模式",  // 165
    "总开模式", "观景模式", "迎宾模式", "起夜模式", "洗漱模式",  // 170
    "淋浴模式", "", "", "", "",  // 175
    "", "", "", "", "模式9",  // 180
    "模式10", "模式11", "模式12", "开门迎宾模式", "CheckOut",  // 185
    "CheckIn", "晚上入住模式", "浴帘开", "浴帘关", "窗帘2开",  // 190
    "窗帘2关", "窗帘1开", "窗帘1关", "主窗纱开", "主窗纱关",  // 195
    "窗纱2开", "窗纱2关", "窗纱1开", "窗纱1关", "幕布降",  // 200
    "幕布升", "投影降", "投影升", "", "",  // 205
    "空", "", "", "", "",  // 210
    "", "", "", "", "",  // 215
    "", "", "", "", "",  // 220
    "", "", "", "", "",  // 225
    "", "", "", "", "",  // 230
    "", "", "", "", "",  // 235
    "", "", "", "", "",  // 240
    "", "", "", "", "",  // 245
};
// clang-format on

std::string_view systemTypeName(int systemType) {
    if (systemType < 0 || systemType >= static_cast<int>(systemTypeNames.size())) {
        return systemTypeNames[0];
    }
    return systemTypeNames[systemType];
}

std::string_view deviceTypeName(int type) {
    if (type < 0 || type >= static_cast<int>(deviceTypeNames.size())) return deviceTypeNames[0];
    return deviceTypeNames[type];
}

int leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x7fffffffLL) value = 0x80000000LL;  // saturate instead of overflowing
    }
    if (negative) value = -value;
    if (value > 0x7fffffffLL) value = 0x7fffffffLL;
    return static_cast<int>(value);
}

namespace {
std::vector<std::uint8_t> range(std::vector<std::uint8_t> list, int from, int to) {
    for (int v = from; v <= to; ++v) list.push_back(static_cast<std::uint8_t>(v));
    return list;
}
}  // namespace

const std::vector<std::uint8_t>& defaultOrdinaryLightKeys() {
    static const std::vector<std::uint8_t> list =
        range(range(range(range(range({10, 11}, 13, 49), 106, 111), 122, 127), 138, 143), 154, 159);
    return list;
}

const std::vector<std::uint8_t>& defaultDimmerAndOtherKeys() {
    static const std::vector<std::uint8_t> list = [] {
        auto l = range(range({}, 2, 9), 70, 75);
        l.push_back(12);
        return l;
    }();
    return list;
}

const std::vector<std::uint8_t>& defaultCurtainKeys() {
    static const std::vector<std::uint8_t> list = range(range({}, 80, 89), 192, 207);
    return list;
}

const std::vector<std::uint8_t>& defaultSceneModeKeys() {
    static const std::vector<std::uint8_t> list = range(range(range({}, 50, 57), 168, 175), 184, 191);
    return list;
}

const std::vector<std::uint8_t>& defaultAirConditionerKeys() {
    static const std::vector<std::uint8_t> list = range(range(range({}, 60, 63), 100, 103), 160, 167);
    return list;
}

bool isSceneModeCode(int lamp) { return sceneSlotForCode(lamp) != 0; }

int sceneSlotForCode(int code) {
    if (code >= 50 && code <= 57) return code - 50 + 1;
    if (code >= 168 && code <= 175) return code - 168 + 9;
    if (code >= 184 && code <= 191) return code - 184 + 17;
    return 0;
}

int sceneCodeForSlot(int slot) {
    if (slot >= 1 && slot <= 8) return 50 + slot - 1;
    if (slot >= 9 && slot <= 16) return 168 + slot - 9;
    if (slot >= 17 && slot <= 24) return 184 + slot - 17;
    return 0;
}

int airConditionerUnit(int lamp) {
    if (lamp >= 60 && lamp <= 63) return 0;
    if (lamp >= 100 && lamp <= 103) return 1;
    if (lamp >= 160 && lamp <= 163) return 2;
    if (lamp >= 164 && lamp <= 167) return 3;
    return -1;
}

bool isCurtainLamp(int lamp) { return (lamp >= 80 && lamp <= 89) || (lamp >= 192 && lamp <= 207); }

}  // namespace room::model
