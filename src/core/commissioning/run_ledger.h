#pragma once
// What a run has done, device by device, and the summary made of it at its end.
//  - A run starts afresh for every device; a retry only for its own devices, so the others keep
//    what the run before found and the retry's summary speaks for the whole room.
//  - A send keeps no results of its own: at its end a device is abnormal only when it answered
//    under a number another talker claimed; what an earlier verify found is not the send's.
//  - A scan's summary carries its report: who answered is the finding, silence no failure.

#include <array>
#include <string>
#include <vector>

#include "core/commissioning/attribution.h"
#include "core/commissioning/run_scope.h"
#include "core/commissioning/scan.h"

namespace room::commissioning {

struct RunLedger {
    ResultTable results{};
    DeviceFlags answered{};  // devices whose own whole answer was taken in this run
    DeviceFlags served{};    // devices this run has served
    std::vector<std::string> differences;
    std::array<std::vector<std::string>, kLastBusDevice + 1> deviceDifferences;
    int visited = 0;
    int planned = 0;
    int lastServed = 0;
    bool again = false;  // a retry: devices outside its list keep their outcome

    // A run of `mode` starts (a retry, `retry`, of the devices `scope` includes). Returns the
    // devices that start afresh; results they lose go to `fx`.
    DeviceFlags start(RunMode mode, const RunScope& scope, bool retry, Effects& fx);
    // `device` is being served; `after` more will be.
    void serve(int device, int after);

    RunSummary summarize(const model::RoomTypeConfig& room, RunMode mode, bool stopped,
                         bool portLost, const Attribution& attribution, const RunScope& scope,
                         const ScanBook& scan) const;
};

}  // namespace room::commissioning
