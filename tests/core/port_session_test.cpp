// The port editor's rules without a widget: what opening puts in the edit copy and on the pages,
// the two sync buttons, the key marks, and what OK and Cancel leave in the room type.

#include "core/editing/port_session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/format/shd_file.h"

namespace {

using namespace room;
using namespace room::editing;

// A room type as the definition dialog leaves it: lamps in use, counts, typed devices.
model::RoomTypeConfig roomWith(int devices) {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.deviceCount = devices;
    room.inputCount = 144;
    room.outputCount = 152;
    room.lowVoltageOutputCount = 10;
    for (int lamp : {10, 11, 12, 25, 50, 61, 78, 80}) room.lampInUse[lamp] = 1;
    for (int v = 1; v <= model::kMaxDevices; ++v) room.devices[v].type = 1;
    return room;
}

int list(int device, int channel) {
    return (device - 1) * 6 + channel - 1;
}

// The example room type as the definition dialog's Modify leaves it.
model::RoomTypeConfig exampleRoom() {
    std::ifstream file(ROOM_EXAMPLES "/grand-hotel-deluxe.shd", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    model::RoomTypeConfig room = model::makeStartupRoomType();
    format::readRoomTypeFile(bytes, room);
    return room;
}

TEST(PortSession, DeviceCountDecidesColumnsAndBands) {
    struct Case {
        int count;
        int shown;
        std::array<bool, 3> bands;
    };
    for (const Case& c : {Case{0, 0, {false, false, false}}, Case{8, 8, {true, false, false}},
                          Case{9, 9, {true, true, false}}, Case{17, 17, {true, true, true}},
                          Case{30, 24, {true, true, true}}}) {
        model::RoomTypeConfig room = roomWith(c.count);
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::Modify);
        EXPECT_EQ(s.form().shownDevices, c.shown) << c.count;
        for (int band = 0; band < 3; ++band) {
            EXPECT_EQ(PortSession::bandShown(band, s.form().shownDevices), c.bands[band])
                << c.count;
        }
        if (c.shown > 0) {
            EXPECT_TRUE(s.listShown(c.shown * 6 - 1));
        }
        EXPECT_FALSE(s.listShown(c.shown * 6));
    }
}

TEST(PortSession, NoDevicesAcceptsWithEveryEntryEmpty) {
    model::RoomTypeConfig room = roomWith(0);
    model::setInput(room, 1, 0, 10);
    model::setOutput(room, 2, 3, 11);
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    EXPECT_TRUE(s.accept().accepted);
    for (int i = 1; i <= kPortLists; ++i) {
        EXPECT_EQ(room.inputLamp[i], 0) << i;
        EXPECT_EQ(room.outputLamp[i], 0) << i;
    }
    EXPECT_EQ(room.inputLamp[0], 144);
    EXPECT_EQ(room.outputLamp[0], 152);
    EXPECT_EQ(room.lowVoltageLamp[0], 10);
}

TEST(PortSession, ModifyDropsLampsNoLongerInUse) {
    model::RoomTypeConfig room = roomWith(2);
    model::setInput(room, 1, 0, 10);
    model::setInput(room, 1, 1, 11);
    model::setOutput(room, 2, 0, 11);
    model::setOutput(room, 2, 1, 10);
    room.lowVoltageLamp[3] = 11;
    room.lowVoltageLamp[15] = 11;  // beyond the weak-output count: kept
    model::RoomTypeConfig edit = room;
    edit.lampInUse[11] = 0;  // the definition dialog switched it off
    PortSession s(room, edit, EditMode::Modify);
    EXPECT_EQ(s.form().keys[list(1, 1)], 10);
    EXPECT_EQ(s.form().keys[list(1, 2)], 0);
    EXPECT_EQ(s.form().outputs[list(2, 1)], 0);
    EXPECT_EQ(s.form().outputs[list(2, 2)], 10);
    EXPECT_EQ(edit.lowVoltageLamp[3], 0);
    EXPECT_EQ(edit.lowVoltageLamp[15], 11);
}

TEST(PortSession, KeysOfThermostatsAndCurtainDevicesAreDisabledAndEmptied) {
    for (int type = 1; type <= 6; ++type) {
        model::RoomTypeConfig room = roomWith(1);
        room.devices[1].type = static_cast<std::uint8_t>(type);
        model::setInput(room, 1, 2, 12);
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::Modify);
        const bool disabled = type >= 2 && type <= 4;
        EXPECT_EQ(s.form().keyEnabled[list(1, 3)], !disabled) << type;
        EXPECT_EQ(s.form().keys[list(1, 3)], disabled ? 0 : 12) << type;
        EXPECT_EQ(edit.inputLamp[3], disabled ? 0 : 12) << type;
    }
}

TEST(PortSession, SyncRelaysTakesWhatTheListsShowAndOnlyWhatTheOutputPageOffers) {
    struct Case {
        int type, key, shown, after;  // `shown`: chosen in the output list, not yet stored
    };
    const Case cases[] = {
        {1, 0, 61, 61},   // an empty key keeps an air conditioner
        {1, 0, 25, 0},    // and clears the rest
        {1, 12, 25, 12},  // a key the output page offers is copied
        {1, 10, 61, 10}, {1, 0, 160, 160},
        {1, 50, 25, 25},                  // a scene mode is no output: the output stays
        {1, 78, 25, 25},                  // neither is the card switch here
        {1, 50, 0, 0},   {2, 0, 25, 25},  // a thermostat's outputs stay as they are
        {3, 0, 80, 80},                   // a curtain controller's
        {4, 0, 81, 81},                   // a curtain motor's
    };
    for (const Case& c : cases) {
        model::RoomTypeConfig room = roomWith(2);
        room.devices[2].type = static_cast<std::uint8_t>(c.type);
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::Modify);
        if (c.key != 0) s.form().keys[list(2, 4)] = c.key;
        s.form().outputs[list(2, 4)] = c.shown;
        s.syncRelays();
        EXPECT_EQ(s.form().outputs[list(2, 4)], c.after)
            << c.type << " " << c.key << " " << c.shown;
        EXPECT_TRUE(s.accept().accepted);
        EXPECT_EQ(room.outputLamp[list(2, 4) + 1], c.after) << c.type << " " << c.key;
    }
}

// The example room type: panels 1-4 with scene modes, the card switch and curtains on keys,
// thermostats 5 and 6, the curtain controller 7.
TEST(PortSession, SyncRelaysOnTheExampleStoresOnlyOutputsAndKeepsTheRest) {
    model::RoomTypeConfig room = exampleRoom();
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    s.syncRelays();
    EXPECT_TRUE(s.accept().accepted);
    const std::array<std::array<int, 6>, 8> expected = {{
        {},
        {10, 3, 4, 0, 0, 0},       // 56, 57 and 78 are no outputs
        {24, 21, 15, 16, 80, 81},  // 50, 51 leave 15, 16; the curtains follow their keys
        {25, 22, 13, 23, 41, 0},   // 52, 169 leave 23, 41
        {26, 70, 0, 0, 0, 0},
        {60, 61, 62, 63, 0, 0},  // thermostats
        {100, 101, 102, 103, 0, 0},
        {80, 81, 0, 0, 0, 0},  // the curtain controller
    }};
    for (int v = 1; v <= 7; ++v) {
        EXPECT_EQ(room.devices[v].outputs, expected[static_cast<std::size_t>(v)]) << v;
        for (int c = 0; c < 6; ++c) {
            const int lamp = room.devices[v].outputs[c];
            EXPECT_TRUE(s.choosable(PortPage::Outputs, list(v, c + 1), lamp)) << v << " " << lamp;
        }
    }
}

TEST(PortSession, ATypeWithoutKeysEmptiesAndDisablesTheKeysAtOnce) {
    struct Case {
        int from, to;
        bool enabled;
    };
    for (const Case& c : {Case{1, 2, false}, Case{1, 3, false}, Case{1, 4, false}, Case{1, 5, true},
                          Case{1, 6, true}, Case{2, 1, true}}) {
        model::RoomTypeConfig room = roomWith(2);
        room.devices[2].type = static_cast<std::uint8_t>(c.from);
        model::setInput(room, 2, 0, 10);
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::Modify);
        s.chooseType(2, c.to);
        for (int k = 1; k <= 6; ++k) EXPECT_EQ(s.form().keyEnabled[list(2, k)], c.enabled);
        EXPECT_EQ(s.form().keys[list(2, 1)], c.enabled && c.from == 1 ? 10 : 0) << c.to;
        EXPECT_EQ(s.choose(PortPage::Keys, list(2, 2), 11), c.enabled);
        EXPECT_TRUE(s.form().keyEnabled[list(1, 1)]);  // the other device is left alone
        EXPECT_TRUE(s.accept().accepted);
        EXPECT_EQ(room.devices[2].type, c.to);
    }
}

TEST(PortSession, ListsHoldOnlyOfferedNumbersOrWhatTheyHeldAtOpening) {
    model::RoomTypeConfig room = roomWith(1);
    model::setInput(room, 1, 5, 78);
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    struct Case {
        PortPage page;
        int list, lamp;
        bool taken;
    };
    for (const Case& c : {Case{PortPage::Keys, 0, 50, true}, Case{PortPage::Keys, 0, 78, false},
                          Case{PortPage::Keys, 5, 78, true}, Case{PortPage::Outputs, 0, 50, false},
                          Case{PortPage::Outputs, 0, 61, true}, Case{PortPage::Outputs, 0, 0, true},
                          Case{PortPage::Outputs, 0, 13, false}}) {
        EXPECT_EQ(s.choose(c.page, c.list, c.lamp), c.taken) << c.list << " " << c.lamp;
    }
}

TEST(PortSession, LocationsAreStoredWithoutCommasOrLineBreaks) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    for (const Case& c : {Case{"门口,左", "门口左"}, Case{"床头\r\n右", "床头右"}, Case{",,", ""},
                          Case{"书桌", "书桌"}}) {
        model::RoomTypeConfig room = roomWith(1);
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::Modify);
        s.setLocation(1, c.typed);
        EXPECT_TRUE(s.accept().accepted);
        EXPECT_EQ(room.devices[1].name, c.stored) << c.typed;
    }
    // Whatever reached the form another way is stripped on OK all the same.
    model::RoomTypeConfig room = roomWith(1);
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    s.form().locations[0] = "门口,左";
    EXPECT_TRUE(s.accept().accepted);
    EXPECT_EQ(room.devices[1].name, "门口左");
}

TEST(PortSession, SyncInputsCopiesEveryKey) {
    model::RoomTypeConfig room = roomWith(1);
    model::setInput(room, 1, 0, 10);
    model::setOutput(room, 1, 1, 61);
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    s.syncInputs();
    EXPECT_EQ(s.form().outputs[0], 10);
    EXPECT_EQ(s.form().outputs[1], 0);
}

TEST(PortSession, UntypedDevicesAreRefusedInNewAndShownAsPanelsInModify) {
    model::RoomTypeConfig room = roomWith(3);
    room.devices[2].type = 0;
    room.devices[3].type = 0;
    {
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::New);
        s.form().outputs[list(1, 1)] = 10;
        const PortAcceptOutcome out = s.accept();
        EXPECT_FALSE(out.accepted);
        EXPECT_EQ(out.message, "‘继电器端口配置’中第2个‘设备类型’未选择!");
        EXPECT_EQ(edit.outputLamp[1], 10);  // read before the refusal, kept
        EXPECT_EQ(room.outputLamp[1], 0);
    }
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    EXPECT_EQ(s.form().types[1], 1);
    EXPECT_EQ(room.devices[2].type, 0);  // only OK writes the type
    EXPECT_TRUE(s.accept().accepted);
    EXPECT_EQ(room.devices[2].type, 1);
}

TEST(PortSession, DevicesBeyondTheColumnsAreNotTestedForAType) {
    model::RoomTypeConfig room = roomWith(30);
    room.devices[25].type = 0;
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::New);
    EXPECT_EQ(s.form().shownDevices, 24);
    EXPECT_TRUE(s.accept().accepted);
}

TEST(PortSession, EntriesStartEmptyAndFollowTheCategoryOrder) {
    model::RoomTypeConfig room = roomWith(1);
    room.lampInUse[7] = 1;
    room.dimmerAndOtherKeys = {7, 12, model::kListEnd};
    room.lampNames[7] = "调光灯";
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::New);
    EXPECT_EQ(s.entryText(7).substr(0, 4), "007.");
    EXPECT_EQ(s.entryText(7), "007.调光灯");
    EXPECT_EQ(s.entries(PortPage::Keys).front(), "");
    EXPECT_EQ(s.offered(PortPage::Keys), (std::vector<int>{10, 11, 25, 7, 12, 80, 50}));
    EXPECT_EQ(s.offered(PortPage::Outputs), (std::vector<int>{10, 11, 25, 7, 12, 80, 61}));
}

TEST(PortSession, AStoredNumberThePageDoesNotOfferSurvivesOk) {
    model::RoomTypeConfig room = roomWith(1);
    model::setInput(room, 1, 5, 78);  // the card switch is in no key category
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    EXPECT_EQ(s.unofferedLamp(PortPage::Keys, 5), 78);
    EXPECT_EQ(s.unofferedLamp(PortPage::Keys, 0), std::nullopt);
    EXPECT_TRUE(s.accept().accepted);
    EXPECT_EQ(room.devices[1].inputs[5], 78);
}

TEST(PortSession, KeysAreMarkedByTheOutputsCarryingTheirLamp) {
    struct Case {
        int key, carried;
        KeyMark mark;
    };
    for (const Case& c : {Case{10, 0, KeyMark::NoOutput}, Case{10, 1, KeyMark::OneOutput},
                          Case{10, 2, KeyMark::TwoOutputs}, Case{10, 5, KeyMark::MoreOutputs},
                          Case{50, 0, KeyMark::NotMarked}, Case{0, 3, KeyMark::NotMarked}}) {
        model::RoomTypeConfig room = roomWith(2);
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::New);
        s.form().keys[0] = c.key;
        for (int i = 0; i < c.carried; ++i) s.form().outputs[11 - i] = c.key;
        EXPECT_EQ(s.keyMark(0), c.mark) << c.key << " " << c.carried;
    }
}

TEST(PortSession, OkWritesBackInModifyOnlyAndCancelWritesNothing) {
    model::RoomTypeConfig room = roomWith(2);
    model::setInput(room, 1, 0, 10);
    room.legacyLamp[7] = 33;
    room.portSpareLampB[9] = 44;
    room.dim33With34 = 1;
    room.portCounters[2] = 5;
    const model::RoomTypeConfig before = room;
    for (const EditMode mode : {EditMode::New, EditMode::Modify}) {
        model::RoomTypeConfig cancelled = before;
        model::RoomTypeConfig edit = before;
        PortSession dropped(cancelled, edit, mode);
        dropped.form().keys[1] = 11;
        EXPECT_EQ(cancelled.inputLamp, before.inputLamp);  // Cancel: the session goes away
        EXPECT_EQ(cancelled.devices, before.devices);
    }
    {
        model::RoomTypeConfig edit = room;
        PortSession s(room, edit, EditMode::New);
        EXPECT_EQ(edit.legacyLamp[7], 0);
        EXPECT_EQ(edit.dim33With34, 0);
        EXPECT_EQ(edit.portCounters[2], 0);
        s.form().keys[list(2, 1)] = 11;
        s.form().locations[1] = "门口";
        s.chooseType(1, 3);
        EXPECT_TRUE(s.accept().accepted);
        // New: the scene editor's OK commits, types and locations with the rest.
        EXPECT_EQ(room.inputLamp, before.inputLamp);
        EXPECT_EQ(room.devices, before.devices);
        EXPECT_EQ(room.dim33With34, 1);
        EXPECT_EQ(edit.devices[2].name, "门口");
        EXPECT_EQ(edit.devices[1].type, 3);
        EXPECT_EQ(edit.devices[2].inputs[0], 11);
        EXPECT_EQ(edit.devices[2].inUse, 1);
    }
    room = before;
    model::RoomTypeConfig edit = room;
    PortSession s(room, edit, EditMode::Modify);
    EXPECT_EQ(edit.legacyLamp[7], 33);
    EXPECT_EQ(edit.portCounters[2], 5);
    s.form().outputs[list(2, 6)] = 25;
    EXPECT_TRUE(s.accept().accepted);
    EXPECT_EQ(room.outputLamp[12], 25);
    EXPECT_EQ(room.devices[2].outputs[5], 25);
    EXPECT_EQ(room.devices[1].inputs[0], 10);
    EXPECT_EQ(room.legacyLamp[7], 33);
    EXPECT_EQ(room.portSpareLampB[9], 44);
    EXPECT_EQ(room.dim33With34, 1);
}

}  // namespace
