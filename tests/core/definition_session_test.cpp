// The definition dialog's rules without a widget: opening, the lamp toggles and their limit, the
// OK steps with their messages and caps, and what Modify and Cancel do to the room type.

#include "core/editing/definition_session.h"

#include <gtest/gtest.h>

#include "core/editing/edit_flow.h"
#include "core/editing/port_session.h"

namespace {

using namespace room;
using namespace room::editing;

model::RoomTypeConfig loadedRoom() {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.hotelName = "云栖酒店";
    room.roomTypeName = "豪华房";
    room.roomTypeNumber = 8;
    room.roomTypeNumberText = "8";
    room.systemType = 3;
    room.systemTypeText = "3";
    room.switchPanelCount = 3;
    room.thermostatCount = 1;
    room.deviceCount = 4;
    room.lampInUse[10] = 1;
    room.lampInUse[50] = 1;
    room.cardOutDelay = 30;
    return room;
}

std::string& number(DefinitionSession& s, NumberField field) {
    return s.form().numbers[static_cast<int>(field)];
}

TEST(DefinitionSession, NewOpensWithTheDefaultsOfANewRoomType) {
    model::RoomTypeConfig room = loadedRoom();
    model::RoomTypeConfig edit;
    DefinitionSession s(room, edit, EditMode::New, 4);
    const DefinitionForm& f = s.form();
    EXPECT_EQ(f.hotelName, "XX酒店");
    EXPECT_EQ(f.roomTypeName, "标准房");
    EXPECT_EQ(f.roomNumber, "1");
    EXPECT_EQ(f.systemType, 4);  // the last used
    for (int count : f.counts) EXPECT_EQ(count, 0);
    EXPECT_EQ(f.switchMaker485, 1);
    EXPECT_EQ(f.outputBoard, 0);
    EXPECT_EQ(f.inputBoard, 0);
    EXPECT_TRUE(s.lampInUse(78));
    EXPECT_TRUE(s.lampInUse(93));
    EXPECT_FALSE(s.lampInUse(10));
    EXPECT_EQ(s.lampsInUseCount(), 0);
    EXPECT_EQ(s.selectionLimit(), 70);
    EXPECT_EQ(number(s, NumberField::CardOutDelay), "45");
    EXPECT_EQ(number(s, NumberField::CurtainTime0), "20");
    EXPECT_EQ(s.edit().dimMaxBrightness, 180);
    EXPECT_EQ(s.edit().curtainRunTimes[13], 0x0A0A0A0A);
    EXPECT_EQ(s.selectionText(), "已选 0/70");
}

TEST(DefinitionSession, ModifyCopiesTheRoomTypeAndCancelLeavesItUntouched) {
    model::RoomTypeConfig room = loadedRoom();
    const model::RoomTypeConfig before = room;
    model::RoomTypeConfig edit;
    {
        DefinitionSession s(room, edit, EditMode::Modify, 1);
        EXPECT_EQ(s.form().hotelName, "云栖酒店");
        EXPECT_EQ(s.form().roomNumber, "8");
        EXPECT_EQ(s.form().systemType, 3);
        EXPECT_EQ(s.form().counts[1], 3);
        EXPECT_TRUE(s.lampInUse(10));
        EXPECT_EQ(number(s, NumberField::CardOutDelay), "30");
        // 10 and 50 are on the list pages; a loaded room type counts what they hold.
        EXPECT_EQ(s.lampsInUseCount(), 2);
        s.form().hotelName = "别的酒店";
        s.toggleLamp(ListPage::Ordinary, 11);
    }  // the dialog is cancelled: the session is dropped
    EXPECT_EQ(room.hotelName, before.hotelName);
    EXPECT_EQ(room.lampInUse, before.lampInUse);
}

TEST(DefinitionSession, ModifyOkWritesItsValuesBackAndNamesChangedOnlyOnARealChange) {
    model::RoomTypeConfig room = loadedRoom();
    model::RoomTypeConfig edit;
    DefinitionSession same(room, edit, EditMode::Modify, 1);
    ASSERT_TRUE(same.accept().accepted);
    EXPECT_FALSE(room.namesChanged);

    DefinitionSession s(room, edit, EditMode::Modify, 1);
    s.form().hotelName = "新酒店";
    s.form().names[10] = "走廊灯";
    const AcceptOutcome out = s.accept();
    ASSERT_TRUE(out.accepted);
    EXPECT_EQ(out.systemTypeToSave, 3);
    EXPECT_EQ(room.hotelName, "新酒店");
    EXPECT_EQ(room.lampNames[10], "走廊灯");
    EXPECT_TRUE(room.namesChanged);
    EXPECT_EQ(room.inputCount, 144);  // OK turns the selection limit into the key slots
    EXPECT_EQ(room.outputCount, 144);
}

TEST(DefinitionSession, TheSelectionLimitRefusesThe71stLamp) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;
    DefinitionSession s(room, edit, EditMode::New, 1);
    const std::vector<std::uint8_t> lamps = listPageLamps(s.edit(), ListPage::Ordinary);
    ASSERT_GE(lamps.size(), 63u);
    int taken = 0;
    for (std::uint8_t lamp : lamps) taken += s.toggleLamp(ListPage::Ordinary, lamp).changed;
    for (std::uint8_t lamp : listPageLamps(s.edit(), ListPage::Curtains)) {
        if (taken == 70) break;
        taken += s.toggleLamp(ListPage::Curtains, lamp).changed;
    }
    ASSERT_EQ(s.lampsInUseCount(), 70);
    const ToggleOutcome refused = s.toggleLamp(ListPage::Curtains, 207);
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(refused.message, "已超出最大输入端数量!");
    EXPECT_FALSE(s.lampInUse(207));
    // Releasing one allows a new one.
    EXPECT_TRUE(s.toggleLamp(ListPage::Ordinary, lamps[0]).changed);
    EXPECT_TRUE(s.toggleLamp(ListPage::Curtains, 207).changed);
    EXPECT_EQ(s.selectionText(), "已选 70/70");
}

TEST(DefinitionSession, CardSwitchAndDoorbellStayOnTheDimmingPage) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;
    DefinitionSession s(room, edit, EditMode::New, 1);
    for (int lamp : {78, 93}) {
        EXPECT_FALSE(s.toggleLamp(ListPage::Dimming, lamp).changed);
        EXPECT_TRUE(s.lampInUse(lamp));
    }
    EXPECT_TRUE(s.toggleLamp(ListPage::OtherKeys, 93).changed);  // another page may release it
    EXPECT_FALSE(s.lampInUse(93));
}

TEST(DefinitionSession, NumberCellTexts) {
    struct Case {
        ListPage page;
        int lamp;
        const char* text;
    };
    const Case cases[] = {
        {ListPage::Curtains, 89, "89"},   {ListPage::Curtains, 192, "C0"},
        {ListPage::Curtains, 207, "CF"},  {ListPage::SceneKeys, 168, "A8"},
        {ListPage::Ordinary, 106, "6A"},  {ListPage::OtherKeys, 120, "120"},
        {ListPage::Reserved, 200, "200"}, {ListPage::Dimming, 12, "12"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefinitionSession::numberText(c.page, c.lamp), c.text) << c.lamp;
    }
}

TEST(DefinitionSession, OkRefusesInOrderAndKeepsTheDialogOpen) {
    struct Case {
        const char* hotel;
        const char* number;
        int systemType;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {"", "0", 0, "请输入酒店名和房型!"},
        {"X", "0", 0, "房型编号请输入1-200!"},
        {"X", "201", 1, "房型编号请输入1-200!"},
        {"X", "abc", 1, "房型编号请输入1-200!"},
        {"X", "200", 0, "未选择主机型号!"},
        {"X", "200", 2, nullptr},
        {"X", "1", 4, nullptr},
    };
    for (const Case& c : cases) {
        model::RoomTypeConfig room = model::makeStartupRoomType();
        const model::RoomTypeConfig before = room;
        model::RoomTypeConfig edit;
        DefinitionSession s(room, edit, EditMode::New, 1);
        s.form().hotelName = c.hotel;
        s.form().roomNumber = c.number;
        s.form().systemType = c.systemType;
        const AcceptOutcome out = s.accept();
        EXPECT_EQ(out.accepted, c.message == nullptr) << c.number;
        if (c.message) {
            ASSERT_EQ(out.messages.size(), 1u);
            EXPECT_EQ(out.messages[0], c.message);
            EXPECT_FALSE(out.systemTypeToSave);
        } else {
            EXPECT_EQ(out.systemTypeToSave, c.systemType);
            EXPECT_EQ(s.edit().roomTypeNumberText, c.number);
        }
        // New writes nothing back: the last editor's OK does.
        EXPECT_EQ(room.hotelName, before.hotelName);
    }
}

TEST(DefinitionSession, NamesAreCheckedAsTheyWillBeStored) {
    struct Case {
        const char* hotel;
        const char* roomType;
        bool accepted;
        const char* storedHotel;
    };
    for (const Case& c :
         {Case{",,,", "标准房", false, ""}, Case{"湖光", "\r\n", false, ""},
          Case{"湖,光", "雅致,房", true, "湖光"}, Case{"湖光", "房", true, "湖光"}}) {
        model::RoomTypeConfig room = model::makeStartupRoomType();
        model::RoomTypeConfig edit;
        DefinitionSession s(room, edit, EditMode::New, 1);
        s.form().hotelName = c.hotel;
        s.form().roomTypeName = c.roomType;
        const AcceptOutcome out = s.accept();
        EXPECT_EQ(out.accepted, c.accepted) << c.hotel;
        if (!c.accepted) {
            EXPECT_EQ(out.messages, std::vector<std::string>{"请输入酒店名和房型!"}) << c.hotel;
            continue;
        }
        EXPECT_EQ(s.edit().hotelName, c.storedHotel);
        EXPECT_EQ(s.edit().roomTypeName.find(','), std::string::npos);
    }
    EXPECT_FALSE(DefinitionSession::nameAllowed("a,b"));
    EXPECT_FALSE(DefinitionSession::nameAllowed("a\nb"));
    EXPECT_TRUE(DefinitionSession::nameAllowed("廊灯"));
}

TEST(DefinitionSession, FieldChecksAndCaps) {
    struct Case {
        NumberField field;
        const char* typed;
        int stored;
        const char* message;  // nullptr: none
    };
    const Case cases[] = {
        {NumberField::CardOutDelay, "0", 1, "“请填入一个在1和240之间的整数。”"},
        {NumberField::CardOutDelay, "300", 240, "“请填入一个在1和240之间的整数。”"},
        {NumberField::CardOutDelay, "120", 120, nullptr},
        {NumberField::CardOutDelay, "12a", 45, "请键入一个整数。"},
        {NumberField::SocketDelay, "220", 220, "“请填入一个在0和200之间的整数。”"},
        {NumberField::CurtainTime0, "12000", 9999, nullptr},
        {NumberField::CurtainTime0, "-5", 9999, nullptr},
        {NumberField::OffDelay65, "250", 240, nullptr},
        {NumberField::VacantMinutes, "150", 99, nullptr},
    };
    for (const Case& c : cases) {
        model::RoomTypeConfig room = model::makeStartupRoomType();
        model::RoomTypeConfig edit;
        DefinitionSession s(room, edit, EditMode::New, 1);
        number(s, c.field) = c.typed;
        const AcceptOutcome out = s.accept();
        EXPECT_TRUE(out.accepted) << c.typed;
        EXPECT_EQ(numberFieldValue(edit, c.field), c.stored) << c.typed;
        if (c.message) {
            ASSERT_EQ(out.messages.size(), 1u) << c.typed;
            EXPECT_EQ(out.messages[0], c.message);
        } else {
            EXPECT_TRUE(out.messages.empty()) << c.typed;
        }
    }
    // A failing field stops its page: the socket delay after a bad card delay is not taken.
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;
    DefinitionSession s(room, edit, EditMode::New, 1);
    number(s, NumberField::CardOutDelay) = "x";
    number(s, NumberField::SocketDelay) = "150";
    EXPECT_TRUE(s.accept().accepted);
    EXPECT_EQ(edit.socketDelay, 0);
}

TEST(DefinitionSession, CycleKeysThermostatLampsAndBacklights) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;
    DefinitionSession s(room, edit, EditMode::New, 1);
    s.form().cycleKeys[0].on = true;
    s.form().cycleKeys[0].modes = {"51", "9", "170", "0", "0", "0"};
    s.form().cycleKeys[1].on = false;
    s.form().cycleKeys[1].modes = {"52", "53", "", "", "", ""};
    s.form().counts[0] = 2;  // two thermostats
    s.form().backlight[0] = 3;
    s.form().backlight[5] = 2;
    edit.sceneTable[0][2] = 0xF0;  // the other bits of the byte stay
    ASSERT_TRUE(s.accept().accepted);
    const auto& cycle = edit.cycleModes;
    EXPECT_EQ(cycle[10], 51);
    EXPECT_EQ(cycle[11], 2);
    EXPECT_EQ(cycle[12], 51);
    EXPECT_EQ(cycle[13], 170);
    EXPECT_EQ(cycle[20], 52);
    EXPECT_EQ(cycle[21], 0);
    EXPECT_EQ(cycle[40], 54);
    for (int lamp : {60, 61, 62, 63, 100, 101, 102, 103})
        EXPECT_EQ(edit.lampInUse[lamp], 1) << lamp;
    EXPECT_EQ(edit.lampInUse[160], 0);
    EXPECT_EQ(edit.deviceCount, 2);
    EXPECT_EQ(edit.sceneTable[0][2], 0xF2);
    EXPECT_EQ(edit.sceneTable[5][2], 1);
    EXPECT_EQ(edit.sceneTable[1][2], 0);
}

TEST(DefinitionSession, SystemTypeAndBoards) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    model::RoomTypeConfig edit;
    DefinitionSession s(room, edit, EditMode::New, 3);
    s.chooseOutputBoard(18);
    s.chooseInputBoard(32);
    EXPECT_EQ(s.form().outputBoard, 18);
    EXPECT_EQ(s.boardUseEnabling().largeBoard, true);
    EXPECT_EQ(s.boardUseEnabling().smallBoard, false);
    // The blank entry is refused and the boards are cleared.
    EXPECT_EQ(s.chooseSystemType(0), "未选择系统类型!");
    EXPECT_EQ(s.form().systemType, 3);
    EXPECT_EQ(s.form().outputBoard, 0);
    s.chooseOutputBoard(8);
    EXPECT_TRUE(s.boardUseEnabling().smallBoard);
    EXPECT_FALSE(s.chooseSystemType(1));
    EXPECT_EQ(s.form().outputBoard, 0);
    EXPECT_FALSE(s.outputBoardEnabled(18));  // type 1 has no 18-output board for a new room
    EXPECT_TRUE(s.outputBoardEnabled(8));
    EXPECT_FALSE(s.inputBoardEnabled());
    s.form().inputBoard = 32;
    s.form().outputBoard = 8;
    ASSERT_TRUE(s.accept().accepted);
    EXPECT_EQ(edit.inputCount, 176);
    EXPECT_EQ(edit.outputCount, 152);
    EXPECT_EQ(edit.lowVoltageOutputCount, 38);
}

TEST(EditFlow, NewModifyAndCancel) {
    model::RoomTypeConfig room = loadedRoom();
    room.fileVersion = 150;  // an older file: New must give the program's version
    model::RoomTypeConfig edit;
    const model::RoomTypeConfig before = room;
    EditorSteps steps;
    bool confirm = false;
    steps.definition = [&](EditMode mode, const CancelCheck&) {
        DefinitionSession s(room, edit, mode, 2);
        EXPECT_TRUE(room.newRoomType == (mode == EditMode::New));
        s.form().hotelName = "新建酒店";
        return confirm && s.accept().accepted;
    };
    // New cancelled: nothing changes and the flag is down again.
    FlowResult result = runFlow(FlowKind::New, room, edit, steps);
    EXPECT_FALSE(result.roomChanged);
    EXPECT_EQ(room.hotelName, before.hotelName);
    EXPECT_FALSE(room.newRoomType);
    // New confirmed: the whole new room type.
    confirm = true;
    result = runFlow(FlowKind::New, room, edit, steps);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(room.hotelName, "新建酒店");
    EXPECT_EQ(room.systemType, 2);
    EXPECT_EQ(room.deviceCount, 0);
    EXPECT_FALSE(room.newRoomType);
    EXPECT_EQ(room.fileVersion, model::kProgramVersion);
    // Modify: the definition writes its own part; a later Cancel keeps it.
    room = before;
    steps.ports = [](EditMode, const CancelCheck&) { return false; };
    result = runFlow(FlowKind::Modify, room, edit, steps);
    EXPECT_TRUE(result.roomChanged);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(room.hotelName, "新建酒店");
    EXPECT_EQ(room.systemType, 3);  // Modify keeps the room's own type
}

TEST(EditFlow, ACancelledNewLeavesTheRoomTypeButTheNextNewStartsFromTheTypeLastChosen) {
    model::RoomTypeConfig room = loadedRoom();
    room.devices[2].type = 1;
    room.devices[2].name = "门口";
    room.systemTypeSelection = 1;
    model::RoomTypeConfig edit;
    const model::RoomTypeConfig before = room;
    EditorSteps steps;
    steps.definition = [&](EditMode mode, const CancelCheck&) {
        DefinitionSession s(room, edit, mode, room.systemTypeSelection);
        s.form().systemType = 4;
        s.form().counts[1] = 3;  // switch panels
        return s.accept().accepted;
    };
    steps.ports = [&](EditMode mode, const CancelCheck&) {
        PortSession s(room, edit, mode);
        s.chooseType(1, 1);
        s.chooseType(2, 2);
        s.chooseType(3, 3);
        s.setLocation(2, "卧室");
        return s.accept().accepted;
    };
    steps.scenes = [](EditMode, const CancelCheck&) { return false; };
    EXPECT_FALSE(runFlow(FlowKind::New, room, edit, steps).roomChanged);
    EXPECT_EQ(room.devices, before.devices);
    EXPECT_EQ(room.systemType, before.systemType);
    EXPECT_EQ(room.dim33With34, before.dim33With34);
    EXPECT_EQ(room.systemTypeSelection, 4);  // as the settings file now says
    DefinitionSession next(room, edit, EditMode::New, room.systemTypeSelection);
    EXPECT_EQ(next.form().systemType, 4);
}

// Cancel in the port or scene editor of a New asks; "no" opens that editor again, and Modify
// (whose earlier editors have written already) never asks.
TEST(EditFlow, LaterCancelOfNewAsksBeforeDiscarding) {
    struct Case {
        const char* name;
        std::vector<bool> ports;   // answers of the port editor, in turn
        std::vector<bool> scenes;  // of the scene editor
        std::vector<bool> discard; // answers to the question
        bool completed;
        int asked;
    };
    const Case cases[] = {
        {"ports cancelled, discarded", {false}, {}, {true}, false, 1},
        {"ports cancelled, back, then OK", {false, true}, {true}, {false}, true, 1},
        {"scenes cancelled twice, then discarded", {true}, {false, false}, {false, true}, false, 2},
        {"all confirmed", {true}, {true}, {}, true, 0},
    };
    for (const Case& c : cases) {
        model::RoomTypeConfig room = loadedRoom();
        model::RoomTypeConfig edit;
        std::size_t port = 0, scene = 0, answer = 0;
        EditorSteps steps;
        steps.definition = [](EditMode, const CancelCheck&) { return true; };
        steps.ports = [&](EditMode, const CancelCheck&) { return c.ports.at(port++); };
        steps.scenes = [&](EditMode, const CancelCheck&) {
            const bool ok = c.scenes.at(scene++);
            if (ok) commitNewRoomType(edit, room);
            return ok;
        };
        steps.discardNew = [&] { return c.discard.at(answer++); };
        EXPECT_EQ(runFlow(FlowKind::New, room, edit, steps).completed, c.completed) << c.name;
        EXPECT_EQ(static_cast<int>(answer), c.asked) << c.name;
        EXPECT_EQ(port, c.ports.size()) << c.name;
        EXPECT_EQ(scene, c.scenes.size()) << c.name;
    }
    model::RoomTypeConfig room = loadedRoom();
    model::RoomTypeConfig edit;
    EditorSteps steps;
    steps.ports = [](EditMode, const CancelCheck&) { return false; };
    steps.discardNew = [] {
        ADD_FAILURE() << "Modify asked";
        return true;
    };
    runFlow(FlowKind::Modify, room, edit, steps);
}


}  // namespace
