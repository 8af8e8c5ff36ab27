#pragma once
// The runs one command of the installer makes, one after the other; each is a run of its own
// (and an entry of its own in the record).
//  - Send and verify: a send all, then a verify all of the same devices, unless the send was cut
//    short.
//  - A read all into a room type without a device in use: a scan of the numbers first, then a
//    read of just those that answered (found or slow); no read when none did.
//  - Retries: after a send all, verify all or read all that left devices without an answer, the
//    same operation for just those, at most `retries` more times, while some remain and the run
//    was not cut short. A retry's verdict covers the whole room (the engine keeps the rest).

#include <optional>
#include <vector>

#include "core/commissioning/effects.h"
#include "core/commissioning/scan.h"

namespace room::commissioning {

struct NextRun {
    enum class Kind : std::uint8_t { Command, Scan, Devices, Retry };
    Kind kind = Kind::Command;
    Action action = Action::VerifyAll;  // Command and Devices
    std::vector<int> devices;           // Scan (the numbers), Devices and Retry
    Milliseconds window = kDefaultScanWindow;
    bool againstRoomType = true;
    bool operator==(const NextRun&) const = default;
};

struct SequencePlan {
    Action action = Action::VerifyAll;  // what the installer asked for
    bool thenVerify = false;            // a send all followed by its verify all
    bool scanFirst = false;             // a read all that finds its devices first
    bool scanOnly = false;              // a scan and nothing after it
    bool againstRoomType = true;        // the scan's report holds it against the room type
    std::vector<int> scanNumbers;       // the numbers the scan asks (empty: 1 to 32)
    Milliseconds window = kDefaultScanWindow;
    int retries = 0;
};

class RunSequence {
public:
    explicit RunSequence(SequencePlan plan);
    NextRun first() const;
    // What follows the run that just ended, or nothing when the command is done.
    std::optional<NextRun> after(const RunSummary& finished);
    int retriesMade() const { return m_retriesMade; }

private:
    SequencePlan m_plan;
    int m_retriesMade = 0;
    bool m_verifyStarted = false;
};

// The devices "重试未通过的设备" serves again: without an answer, different, in doubt, or never
// reached by a run cut short.
std::vector<int> failedDevices(const RunSummary& summary);

}  // namespace room::commissioning
