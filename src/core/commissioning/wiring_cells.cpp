#include "core/commissioning/wiring_cells.h"

#include <algorithm>

namespace room::commissioning {

namespace {

bool onBus(int device) {
    return device >= 1 && device <= model::kBusDevices;
}

// Lamp number of channel k (1..6) of `device` in a flattened table; 0 for anything outside it.
int tableLamp(const std::array<int, model::kChannelTableSize>& table, int device, int channel) {
    if (!onBus(device) || channel < 1 || channel > model::kChannels) return 0;
    return table[static_cast<std::size_t>(model::kChannels * (device - 1) + channel)];
}

// A number that is not in the lamp table (a damaged record) shows as itself, so the installer
// sees something is wrong instead of a name that belongs to another lamp.
std::string lampName(const model::RoomTypeConfig& room, int lamp) {
    if (lamp < 0 || lamp >= model::kLampCount) return std::to_string(lamp);
    return room.lampNames[static_cast<std::size_t>(lamp)];
}

std::string channelText(const model::RoomTypeConfig& room, int lamp, const std::string& label) {
    if (lamp == 0) return {};
    return label + lampName(room, lamp);
}

}  // namespace

int firstDeviceOfPage(int device) {
    return device > kDevicesPerPage ? kDevicesPerPage + 1 : 1;
}

CellOrigin cellOrigin(int device) {
    const int index = (device - 1) % kDevicesPerPage;
    return {kCellLeft + kCellPitchX * (index % kCellColumns),
            kCellTop + kCellPitchY * (index / kCellColumns)};
}

std::string keyText(const model::RoomTypeConfig& room, int device, int key) {
    return channelText(room, tableLamp(room.inputLamp, device, key), std::to_string(key) + ".");
}

std::string relayText(const model::RoomTypeConfig& room, int device, int relay) {
    // Appended rather than "K" + ...: GCC 12 at -O3 warns of an overlap (-Wrestrict) in the
    // insert that operator+ makes of it, which cannot happen.
    std::string prefix = "K";
    prefix += std::to_string(relay);
    prefix += ':';
    return channelText(room, tableLamp(room.outputLamp, device, relay), prefix);
}

std::string positionText(const model::RoomTypeConfig& room, int device) {
    if (!onBus(device)) return "位置:";
    return "位置:" + room.devices[static_cast<std::size_t>(device)].name;
}

std::vector<WiringText> cellTexts(const model::RoomTypeConfig& room, int device) {
    std::vector<WiringText> texts;
    if (!onBus(device)) return texts;
    const bool selected = room.selected[static_cast<std::size_t>(device)] != 0;
    const CellOrigin at = cellOrigin(device);
    for (int k = 1; k <= model::kChannels; ++k) {
        std::string text = keyText(room, device, k);
        if (text.empty()) continue;
        texts.push_back({WiringLine::Key, k, at.x, at.y + kLinePitch * (k - 1), std::move(text),
                         selected ? kSelectedKeyColour : kUnselectedColour});
    }
    texts.push_back({WiringLine::Position, 0, at.x, at.y + kPositionLine,
                     positionText(room, device),
                     selected ? kSelectedPositionColour : kUnselectedColour});
    for (int k = 1; k <= model::kChannels; ++k) {
        std::string text = relayText(room, device, k);
        if (text.empty()) continue;
        texts.push_back({WiringLine::Relay, k, at.x + kRelayColumn, at.y + kLinePitch * (k - 1),
                         std::move(text), selected ? kSelectedRelayColour : kUnselectedColour});
    }
    return texts;
}

// ---------------------------------------------------------------------------------------------

void ResultBadges::clear() {
    *this = ResultBadges{};
}

void ResultBadges::set(int device, Badge badge) {
    if (onBus(device)) m_entries[device] = Entry{badge, m_run};
}

// The run moves past a device: without a result of this run it did not answer.
void ResultBadges::leave(int device) {
    if (onBus(device) && m_entries[device].run != m_run) set(device, Badge::NoAnswer);
}

// The send all has ended: each device it served took its configuration or did not.
void ResultBadges::endSend(const RunSummary& summary) {
    auto listed = [](const std::vector<int>& list, int device) {
        return std::find(list.begin(), list.end(), device) != list.end();
    };
    for (int device = 1; device <= model::kBusDevices; ++device) {
        if (!m_served[device]) continue;
        if (listed(summary.unread, device)) {
            set(device, Badge::NoAnswer);
        } else if (listed(summary.abnormal, device)) {
            set(device, Badge::Differences);
        } else {
            set(device, Badge::Sent);
        }
    }
}

void ResultBadges::endScan(const ScanReport& report) {
    ++m_run;
    m_answeredTypes.fill(0);
    for (const ScanFinding& found : report.found) {
        set(found.number, Badge::Found);
        if (onBus(found.number)) m_answeredTypes[found.number] = found.type;
    }
    for (int device : report.extra) set(device, Badge::Extra);
    for (int device : report.missing) set(device, Badge::Missing);
    for (int device : report.slow) set(device, Badge::Slow);
}

void ResultBadges::apply(const Effects& effects) {
    if (effects.runFinished && effects.runFinished->scan) endScan(*effects.runFinished->scan);
    if (effects.runStarted) {
        const RunMode mode = effects.runStarted->mode;
        if (mode == RunMode::VerifyAll || mode == RunMode::ReadAll || mode == RunMode::SendAll) {
            // A retry goes on with the run before it: what it does not serve stays current.
            m_retrying = effects.runStarted->retry;
            if (!m_retrying) ++m_run;
            m_running = true;
            m_sending = mode == RunMode::SendAll;
            m_serving = 0;
            m_served.fill(false);
        }
    }
    for (const ResultChange& change : effects.results) {
        if (!change.single && !m_running) continue;
        if (!change.single && change.result == 0) continue;  // a run clearing its table
        switch (change.result) {
            case 1:
                set(change.device, change.read ? Badge::Read : Badge::Matched);
                break;
            case 2:
                set(change.device, Badge::Differences);
                break;
            default:
                set(change.device, Badge::NoAnswer);
                break;
        }
    }
    if (!m_running) return;
    if (effects.progress && onBus(effects.progress->device)) {
        if (m_serving != 0 && !m_sending) leave(m_serving);
        m_serving = effects.progress->device;
        m_served[m_serving] = true;
        // Served again: its badge is from before until the retry says otherwise.
        if (m_retrying) m_entries[m_serving].run = m_run - 1;
    }
    if (effects.runFinished) {
        if (m_sending) {
            endSend(*effects.runFinished);
        } else if (m_serving != 0) {
            leave(m_serving);
        }
        m_running = false;
        m_sending = false;
        m_serving = 0;
    }
}

Badge ResultBadges::badge(int device) const {
    return onBus(device) ? m_entries[device].badge : Badge::None;
}

int ResultBadges::answeredType(int device) const {
    return badge(device) == Badge::Extra ? m_answeredTypes[device] : 0;
}

bool ResultBadges::fromEarlierRun(int device) const {
    return onBus(device) && m_entries[device].badge != Badge::None && m_entries[device].run < m_run;
}

}  // namespace room::commissioning
