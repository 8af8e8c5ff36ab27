#include "core/demo/demo_session.h"

#include <algorithm>
#include <cstdio>

namespace room::demo {

namespace {
bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// The open/close partner of a curtain lamp among the pairs the host interlocks, 0 for none.
int curtainPartner(int lamp) {
    if (!inRange(lamp, 80, 89)) return 0;
    return lamp % 2 == 0 ? lamp + 1 : lamp - 1;
}

std::string numbered(const char* format, int number) {
    char text[16];
    std::snprintf(text, sizeof text, format, number);
    return text;
}
}  // namespace

void DemoSession::restart() {
    m_room.demoOutputState.fill(kUnused);
    for (int relay = 1; relay <= kDemoRelayTable; ++relay)
        m_room.demoOutputState[relay] = kRelayOff;
    m_room.demoCardState = kCardIn;
}

int DemoSession::inputLampOf(int key) const {
    return inRange(key, 1, kDemoButtons) ? m_room.inputLamp[key] : 0;
}

int DemoSession::outputLampOf(int relay) const {
    return inRange(relay, 1, kDemoRelayTable) ? m_room.outputLamp[relay] : 0;
}

std::string DemoSession::lampName(int lamp) const {
    return inRange(lamp, 0, model::kLampCount - 1) ? m_room.lampNames[lamp] : std::string();
}

bool DemoSession::keyVisible(int key) const {
    return inputLampOf(key) > 0;
}

bool DemoSession::relayVisible(int relay) const {
    if (!inRange(relay, 1, kDemoButtons)) return false;
    const int lamp = outputLampOf(relay);
    if (lamp <= 0) return false;
    return !(lamp == kDoorbellLamp && m_room.lowVoltageDoorbell);
}

std::string DemoSession::keyCaption(int key) const {
    return numbered("%d:", (key - 1) % model::kChannels + 1) + lampName(inputLampOf(key));
}

std::string DemoSession::relayCaption(int relay) const {
    const int lamp = outputLampOf(relay);
    const std::string name = lamp == kCardLamp ? std::string("受控插座") : lampName(lamp);
    return numbered("K%d:", (relay - 1) % model::kChannels + 1) + name;
}

bool DemoSession::keyEnabled(int key) const {
    if (!inRange(key, 1, kDemoButtons)) return false;
    if (!cardIn()) return inputLampOf(key) == kCardLamp;
    return key <= m_room.inputCount;
}

int DemoSession::relayState(int relay) const {
    return inRange(relay, 1, kDemoRelayTable) ? m_room.demoOutputState[relay] : kUnused;
}

void DemoSession::setRelay(int relay, bool on) {
    if (inRange(relay, 1, kDemoRelayTable)) {
        m_room.demoOutputState[relay] = on ? kRelayOn : kRelayOff;
    }
}

KeyPress DemoSession::pressKey(int key) {
    KeyPress press;
    press.lamp = inputLampOf(key);
    const int lamp = press.lamp;
    if (lamp <= 0) return press;  // an unused key carries nothing to demonstrate
    if (model::isSceneModeCode(lamp) && cardIn()) {
        applySceneKey(lamp);
    } else if (lamp == kCardLamp) {
        m_room.demoCardState = cardIn() ? kCardOut : kCardIn;
        applySceneRecord(cardIn() ? kCardInMode : kCardOutMode);
        press.result = cardIn() ? kRelayOn : kRelayOff;
    } else if (cardIn()) {
        press.result = toggleOrdinary(lamp);
    }
    return press;
}

void DemoSession::applySceneKey(int lamp) {
    for (int v = 1; v <= model::kMaxDevices; ++v) {
        for (const model::ModeSlot& slot : m_room.devices[v].modes) {
            if (slot.modeCode != lamp) continue;
            for (int m = 1; m <= model::kChannels; ++m) {
                const int state = slot.outputState[m - 1];
                if (state == model::kNotInvolved) continue;
                setRelay((v - 1) * model::kChannels + m, state >= 2);
            }
        }
    }
}

int DemoSession::toggleOrdinary(int lamp) {
    int result = kRelayOn;
    for (int relay = 1; relay <= kToggleRelayLimit; ++relay) {
        if (m_room.outputLamp[relay] != lamp) continue;
        const bool on = m_room.demoOutputState[relay] != kRelayOn;
        setRelay(relay, on);
        result = on ? kRelayOn : kRelayOff;
        const int partner = curtainPartner(lamp);
        if (!on || partner == 0) continue;
        for (int other = 1; other <= kToggleRelayLimit; ++other) {
            if (m_room.outputLamp[other] == partner) {
                setRelay(other, false);
                break;
            }
        }
    }
    return result;
}

// Record layout: byte 1 is the used length, (lamp, value) pairs start at offset 4.
void DemoSession::applySceneRecord(int mode) {
    const model::SceneRecord& record = m_room.sceneTable[mode - 1];
    const int used = std::min<int>(record[1], model::kSceneRecordSize);
    for (int i = 4; i + 1 < used; i += 2) {
        const int lamp = record[i];
        const bool on = record[i + 1] > 1;
        for (int relay = 1; relay <= kDemoRelayTable; ++relay) {
            if (m_room.outputLamp[relay] == lamp) setRelay(relay, on);
        }
    }
}

bool DemoSession::pressRelay(int relay, int sceneEditorMode) {
    if (!inRange(relay, 1, kCycleRelayLimit) || !inRange(sceneEditorMode, 50, 59)) return false;
    std::uint8_t& state = m_room.demoOutputState[relay];
    state = state == kRelayOn ? kRelayOff : state == kRelayOff ? kRelayThird : kRelayOn;
    return true;
}

}  // namespace room::demo
