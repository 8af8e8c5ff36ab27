#include <gtest/gtest.h>

#include "core/protocol/commands.h"
#include "wire_builders.h"

using namespace room::protocol;
using namespace room::testing;

namespace {

struct Case {
    const char* name;
    Bytes actual;
    Bytes expected;
};

}  // namespace

TEST(Commands, PageCommandBytes) {
    const Case cases[] = {
        // infrared page
        {"ac power on", irAirConditionerFrame(AcSetting::Power, 1),
         shortOf({0x55, 1, 1, 0, 0, 0, 0, 0, 0, 0, 3})},
        {"ac cooling", irAirConditionerFrame(AcSetting::Mode, 2),
         shortOf({0x55, 0, 0, 1, 2, 0, 0, 0, 0, 0, 3})},
        {"ac 24 degrees", irAirConditionerFrame(AcSetting::Temperature, 0x18),
         shortOf({0x55, 0, 0, 0, 0, 1, 0x18, 0, 0, 0, 3})},
        {"ac high fan", irAirConditionerFrame(AcSetting::Fan, 3),
         shortOf({0x55, 0, 0, 0, 0, 0, 0, 1, 3, 0, 3})},
        {"tv volume up", irTelevisionFrame(0x05),
         shortOf({0xDD, 0x41, 0x05, 0, 0, 0, 0, 0, 0, 0, 0x0B, 0x12, 0x34})},
        // quick control
        {"light 25 on", lightFrame(25, true), shortOf({0xDD, 25, 1, 1, 0, 0, 0, 0, 0, 1, 1})},
        {"light 106 off", lightFrame(106, false), shortOf({0xDD, 106, 2, 1, 0, 0, 0, 0, 0, 1, 1})},
        {"mode 169", sceneModeFrame(169), shortOf({0xDD, 169, 1, 1, 0, 0, 0, 0, 0, 1, 1})},
        {"curtain 82 open", *curtainActionFrame(82, 1), shortOf({0xDD, 82, 1, 1, 0, 0, 0, 0, 0, 1, 6})},
        {"curtain 82 close", *curtainActionFrame(82, 2), shortOf({0xDD, 83, 1, 1, 0, 0, 0, 0, 0, 1, 6})},
        {"curtain stop", *curtainActionFrame(192, 3), shortOf({0xDD, 192, 3, 1, 0, 0, 0, 0, 0, 1, 6})},
        {"curtain reverse", *curtainActionFrame(80, 4), shortOf({0xDD, 80, 5, 1, 1, 0, 0, 0, 0, 1, 6})},
        {"curtain slow", *curtainActionFrame(80, 5), shortOf({0xDD, 80, 5, 1, 6, 0, 0, 0, 0, 1, 6})},
        {"curtain medium", *curtainActionFrame(80, 6), shortOf({0xDD, 80, 5, 1, 7, 0, 0, 0, 0, 1, 6})},
        {"curtain fast", *curtainActionFrame(80, 7), shortOf({0xDD, 80, 5, 1, 8, 0, 0, 0, 0, 1, 6})},
        {"thermostat 3#", thermostatSelectFrame(2),
         shortOf({0x55, 1, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 2})},
        {"thermostat off", thermostatOffFrame(4), shortOf({0x55, 1, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 4})},
        {"thermostat ventilation", thermostatModeFrame(1, 3),
         shortOf({0x55, 0, 0, 1, 3, 0, 0, 0, 0, 0, 3, 0, 0, 1})},
        {"thermostat auto fan", thermostatFanFrame(0, 4),
         shortOf({0x55, 0, 0, 0, 0, 0, 0, 1, 4, 0, 3, 0, 0, 0})},
        {"thermostat 32 degrees", thermostatTemperatureFrame(3, 32),
         shortOf({0x55, 0, 0, 0, 0, 1, 32, 0, 0, 0, 3, 0, 0, 3})},
        // other settings
        {"card-out delay", cardOutDelayFrame(45), shortOf({0xB3, 0, 45, 0, 0, 0, 0, 0, 0, 1, 1})},
        {"ir library", *irCodeLibraryFrame(4, 3, 0x1234),
         shortOf({0xAA, 0x55, 0xAA, 0x55, 4, 3, 0x12, 0x34})},
        {"ir number", irNumberFrame(2), shortOf({0x6A, 0xA6, 0x6A, 0xA6, 2})},
        {"match ac", matchAirConditionerFrame(), shortOf({0xA5, 1})},
        {"match tv", matchTelevisionFrame(), shortOf({0xA5, 2})},
        {"usb leave", usbLeaveNetworkFrame(), shortOf({0xFA, 0xFB})},
        {"key count exit", *keyCountFrame(0xFF), shortOf({0xFE, 0xEF, 0xEF, 0xFE, 0xFF})},
        {"switch test", switchTestFrame({true, false, false, true}, {false, true, true, false, false, true}),
         shortOf({0xFE, 0xEF, 0xED, 0xDE, 0x09, 0x26})},
        {"ac on", airConditionerPowerFrame(true), shortOf({0x55, 1, 1, 0, 0, 0, 0, 0, 0, 0, 3})},
        {"ac off", airConditionerPowerFrame(false), shortOf({0x55, 1, 2, 0, 0, 0, 0, 0, 0, 0, 3})},
        {"curtains open", curtainFrame(true), shortOf({0xDD, 0x50, 1, 1, 0, 0, 0, 0, 0, 1, 1})},
        {"curtains close", curtainFrame(false), shortOf({0xDD, 0x51, 1, 1, 0, 0, 0, 0, 0, 1, 1})},
        {"power on", powerFrame(true), shortOf({0xDD, 0x38, 1, 1, 0, 0, 0, 0, 0, 1, 1})},
        {"power off", powerFrame(false), shortOf({0xDD, 0x39, 1, 1, 0, 0, 0, 0, 0, 1, 1})},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Commands, ChoicesThatSendNothing) {
    EXPECT_FALSE(irCodeLibraryFrame(0, 0, 5));
    EXPECT_FALSE(curtainActionFrame(80, 0));
    EXPECT_FALSE(curtainActionFrame(80, 8));
    EXPECT_FALSE(keyCountFrame(std::nullopt));
}

TEST(Commands, ButtonTables) {
    EXPECT_EQ(kIrAcButtons[1].text, "关闭空调");
    EXPECT_EQ(kIrAcButtons[22].text, "30度");
    EXPECT_EQ(kIrAcButtons[22].value, 0x1E);
    EXPECT_EQ(kIrTvButtons[12].text, "返回");
    EXPECT_EQ(kIrTvButtons[12].keyCode, 0x0D);
    EXPECT_EQ(kIrTvButtons[22].keyCode, 0x19);
    EXPECT_EQ(kKeyCountItems[7].text, "直接配置成6键");
    EXPECT_EQ(kKeyCountItems[7].value, 6);
}

TEST(Commands, SceneWireValues) {
    struct Row {
        int lamp;
        int state;
        std::optional<int> wire;
    };
    const Row rows[] = {
        {72, 238, 0}, {72, 5, 5},    {64, 10, 10},  {72, 0, {}},   {75, 11, {}},
        {60, 238, 0}, {100, 0, 2},   {60, 10, 1},   {60, 5, {}},
        {61, 238, 0}, {101, 8, 1},   {61, 9, 2},    {61, 10, 3},   {61, 7, {}},
        {62, 238, 15}, {102, 10, 26}, {62, 0, 16},
        {63, 238, 0}, {103, 7, 1},   {63, 10, 4},   {63, 6, {}},
        {20, 0, 2},   {20, 1, 1},    {20, 10, 1},   {20, 238, 0},  {20, 11, {}}, {20, 15, {}},
    };
    for (const Row& r : rows) {
        const auto wire = sceneWireValue(r.lamp, r.state);
        EXPECT_EQ(wire ? std::optional<int>(*wire) : std::nullopt, r.wire) << r.lamp << "/" << r.state;
    }
}

TEST(Commands, SceneLiveFrames) {
    EXPECT_EQ(*sceneLiveFrame(52, 20, 10), shortOf({0x56, 52, 1, 1, 20}));
    EXPECT_EQ(*sceneLiveFrame(168, 102, 10), shortOf({0x56, 168, 26, 1, 62, 1}));
    EXPECT_EQ(*sceneLiveFrame(50, 2, 0), shortOf({0x56, 50, 2, 1, 0}));
    EXPECT_EQ(*sceneLiveFrame(184, 60, 238), shortOf({0x56, 184, 0, 1, 60, 0}));
    EXPECT_FALSE(sceneLiveFrame(50, 61, 5));
}
