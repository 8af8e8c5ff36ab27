#pragma once
// The wiring view of the switch-panel pages as data: where each device's cell sits on its page,
// the texts of its key, position and relay lines with their background colours, and the result
// badge a verify all or read all leaves on it. The page paints exactly this; it keeps nothing of
// the room type itself, so every paint shows the room type as it is now.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/commissioning/effects.h"
#include "core/model/room_type.h"

namespace room::commissioning {

// The drawing area every switch-panel page paints into (the size of the background picture).
constexpr int kWiringWidth = 1396;
constexpr int kWiringHeight = 895;

constexpr int kDevicesPerPage = 16;
constexpr int kCellColumns = 4;
constexpr int kCellLeft = 55;
constexpr int kCellTop = 30;
constexpr int kCellPitchX = 292;
constexpr int kCellPitchY = 151;
constexpr int kLinePitch = 16;     // key and relay lines
constexpr int kRelayColumn = 146;  // relay texts, right of the key texts
constexpr int kPositionLine = 96;  // "位置:" below the six key lines

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kSelectedKeyColour{127, 255, 212};
inline constexpr Rgb kSelectedPositionColour{178, 210, 53};
inline constexpr Rgb kSelectedRelayColour{255, 110, 180};
inline constexpr Rgb kUnselectedColour{221, 221, 221};

enum class WiringLine : std::uint8_t { Key, Position, Relay };

struct WiringText {
    WiringLine line = WiringLine::Key;
    int number = 0;  // key or relay 1..6; 0 for the position line
    int x = 0;       // top left of the text on the page
    int y = 0;
    std::string text;
    Rgb background;
    bool operator==(const WiringText&) const = default;
};

struct CellOrigin {
    int x = 0;
    int y = 0;
    bool operator==(const CellOrigin&) const = default;
};

// Page of a device (1 for 1..16, 17 for 17..32) and the origin of its cell on that page.
int firstDeviceOfPage(int device);
CellOrigin cellOrigin(int device);

// "%d." + lamp name of key k (1..6), "K%d:" + lamp name of relay k; empty when its lamp is 0.
// Lamp numbers come from the flattened tables inputLamp / outputLamp, slot 6(n-1)+k.
std::string keyText(const model::RoomTypeConfig& room, int device, int key);
std::string relayText(const model::RoomTypeConfig& room, int device, int relay);
// "位置:" + the device's name.
std::string positionText(const model::RoomTypeConfig& room, int device);

// The texts of one device's cell in drawing order, at their places on the page and in the
// colours of the device's selection. Empty key and relay lines are left out: nothing is drawn
// for them, not even the background box.
std::vector<WiringText> cellTexts(const model::RoomTypeConfig& room, int device);

using DeviceFlagsOnBus = std::array<bool, model::kBusDevices + 1>;

// What a cell shows of the latest check of its device.
enum class Badge : std::uint8_t {
    None,         // never checked since the console opened
    Matched,      // verified: answered and matched
    Read,         // read: answered and stored
    Differences,  // verified: answered with differences (or, in a send, a number in doubt)
    NoAnswer,     // served and never answered
    Sent,         // a send all's configuration was acknowledged
    // A bus scan's findings
    Found,    // in use and answered
    Missing,  // in use and silent
    Extra,    // answered, not in use
    Slow,     // began its answer after its window
};

// Follows the console's effects: each device keeps the result of its latest check, a verify all,
// read all or send all or the switch page's check of that one device, whichever came last. A
// device a verify or read served becomes "no answer" once the run has moved past it (or ended)
// without a result for it; a send all marks every device it served when it ends, acknowledged or
// not, from the run's summary. Clear all leaves the badges alone. A badge older than the latest
// run is marked as from an earlier run, so a stale verdict never passes for a fresh one.
// A bus scan, as it ends, marks the numbers its report names; it changes nothing else. A retry
// goes on with the run before it: only the devices it serves again change.
class ResultBadges {
public:
    void apply(const Effects& effects);
    Badge badge(int device) const;
    // The device type an extra device's answer gave (0: none), while its badge is the scan's.
    int answeredType(int device) const;
    bool fromEarlierRun(int device) const;
    void clear();

private:
    struct Entry {
        Badge badge = Badge::None;
        int run = 0;  // the run (count of verify all and read all started) it belongs to
    };
    void set(int device, Badge badge);
    void leave(int device);
    void endSend(const RunSummary& summary);
    void endScan(const ScanReport& report);

    int m_run = 0;
    bool m_running = false;
    bool m_sending = false;
    bool m_retrying = false;
    DeviceFlagsOnBus m_served{};  // devices the send all being run has served
    int m_serving = 0;  // device being served, still waiting for its answer
    std::array<Entry, model::kBusDevices + 1> m_entries{};
    std::array<int, model::kBusDevices + 1> m_answeredTypes{};
};

}  // namespace room::commissioning
