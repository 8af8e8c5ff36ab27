#pragma once
// The main window's logic demonstration: which relays the room host would switch when a key of
// the current room type is pressed. The state lives in the room type itself (demoOutputState,
// demoCardState) so every window that previews outputs sees the same picture.

#include <cstdint>
#include <string>

#include "core/model/room_type.h"

namespace room::demo {

constexpr int kDemoButtons = 108;      // key and relay buttons of the window: devices 1..18
constexpr int kDemoRelayTable = 144;   // relays a scene record or a scene key can reach
constexpr int kToggleRelayLimit = 89;  // ordinary keys toggle relays 1..89 only
constexpr int kCycleRelayLimit = 18;   // relays the scene editor may cycle by hand
constexpr int kCardLamp = 78;          // the card power switch
constexpr int kDoorbellLamp = 93;
constexpr int kCardInMode = 7;   // sceneTable record applied when the card goes in
constexpr int kCardOutMode = 8;  // ... and when it goes out

// Relay states of demoOutputState.
constexpr std::uint8_t kUnused = 0;
constexpr std::uint8_t kRelayOn = 1;
constexpr std::uint8_t kRelayOff = 2;
constexpr std::uint8_t kRelayThird = 3;  // only the scene editor's preview shows it
constexpr std::uint8_t kCardIn = '8';
constexpr std::uint8_t kCardOut = '9';

// What a key press reports to the hardware mirror.
struct KeyPress {
    int lamp = 0;
    int result = 1;  // 1 on, 2 off
};

class DemoSession {
public:
    explicit DemoSession(model::RoomTypeConfig& room) : m_room(room) {}

    // The labelling step of the refresh: every relay off, card in.
    void restart();

    bool keyVisible(int key) const;
    bool relayVisible(int relay) const;
    std::string keyCaption(int key) const;      // "%d:" + lamp name
    std::string relayCaption(int relay) const;  // "K%d:" + lamp name or "受控插座"
    bool keyEnabled(int key) const;

    KeyPress pressKey(int key);
    // Cycles relay 1..18 on -> off -> third while the scene editor's mode is 50..59.
    bool pressRelay(int relay, int sceneEditorMode);

    int relayState(int relay) const;
    bool cardIn() const { return m_room.demoCardState != kCardOut; }

private:
    int inputLampOf(int key) const;
    int outputLampOf(int relay) const;
    std::string lampName(int lamp) const;
    void setRelay(int relay, bool on);
    void applySceneKey(int lamp);
    int toggleOrdinary(int lamp);
    void applySceneRecord(int mode);

    model::RoomTypeConfig& m_room;
};

}  // namespace room::demo
