#pragma once
// A bus scan: which numbers answer, found in seconds instead of a full period per number.
//
// Rules:
//  - Each number is asked with a read request, which changes nothing on a device.
//  - After its request has left the line a number has its scan window; when no answer has begun
//    by then the scan moves on. An answer that has begun gets the number's normal period.
//  - A number is found only from an answer carrying it, in its own turn (the attribution's rules),
//    that reads as a whole device record would in a read all: a frame that merely adds up (two
//    answers OR'ed on the line may) is not enough.
//    An answer that begins after its number's turn is not credited: the number is "应答慢", for a
//    normal read to settle.
//  - Against a room type, "缺少:" are the numbers scanned that are in use there and did not
//    answer, "多出:" those that answered and are not in use. A slow number is neither.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/commissioning/attribution.h"
#include "core/commissioning/effects.h"
#include "core/commissioning/run_rules.h"
#include "core/model/room_type.h"
#include "core/protocol/receiver.h"

namespace room::commissioning {

constexpr Milliseconds kDefaultScanWindow{300};
constexpr Milliseconds kShortestScanWindow{50};
constexpr Milliseconds kLongestScanWindow{3000};

class ScanBook {
public:
    // `againstRoomType`: the room type in memory is what the scan is held against (not an empty
    // one standing in for none).
    void start(Milliseconds window, bool againstRoomType = true);
    Milliseconds window() const { return m_window; }
    // A number's request has left the line at `out`: its window ends at the time returned.
    TimePoint asked(TimePoint out) {
        m_waiting = true;
        return out + m_window;
    }
    // Whether an answer has just begun within the window (once per number): it gets its period.
    bool answerBegins(bool begun) { return begun && std::exchange(m_waiting, false); }
    // An answer of `number` in its turn that adds up: found or refused once it is whole (one
    // long answer, or its six short blocks; empty while blocks are still to come). It is read as
    // a read all would, on a copy of `room`; nothing of it is kept.
    std::optional<bool> take(const protocol::Answer& answer, Attribution& attribution,
                             const model::RoomTypeConfig& room, int number);
    // An answer under `number` began after its turn.
    void late(int number);
    bool isFound(int number) const { return valid(number) && m_found[number]; }

    // What the scan of the `served` numbers found; `room` (may be null) is what it is held
    // against.
    ScanReport report(const DeviceFlags& served, const model::RoomTypeConfig* room) const;

private:
    static bool valid(int n) { return n >= 1 && n <= kLastBusDevice; }

    Milliseconds m_window = kDefaultScanWindow;
    bool m_against = true;
    bool m_waiting = false;
    DeviceFlags m_found{};
    DeviceFlags m_late{};
    std::array<int, kLastBusDevice + 1> m_types{};
};

// Whether a room type has any device in use among 1..32: a read all into one that has none
// scans first.
bool hasDeviceInUse(const model::RoomTypeConfig& room);
// The numbers worth a normal read after a scan: found, and slow.
std::vector<int> answeringNumbers(const ScanReport& report);
// Exactly what the room type has in use answered (without a room type: anything answered).
bool scanMatches(const ScanReport& report);

// The report as the console and the command line show it: one line per number that answered
// ("01 开关面板"), then "缺少:", "多出:" and "应答慢:" lines where there are such numbers.
std::vector<std::string> scanLines(const ScanReport& report);
// The title line: "应答的编号:01 02 缺少:03 多出:09 应答慢:05".
std::string scanTitle(const ScanReport& report);
// "扫描完成: 32个编号中7个应答".
std::string scanStatus(const RunSummary& summary);

}  // namespace room::commissioning
