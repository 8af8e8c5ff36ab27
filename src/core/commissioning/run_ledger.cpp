#include "core/commissioning/run_ledger.h"

namespace room::commissioning {

DeviceFlags RunLedger::start(RunMode mode, const RunScope& scope, bool retry, Effects& fx) {
    DeviceFlags fresh{};
    for (int device = 1; device <= kLastBusDevice; ++device) {
        if (retry && !scope.includes(device)) continue;
        fresh[device] = true;
        if (mode != RunMode::SendAll && results[device] != 0) {
            results[device] = 0;
            fx.results.push_back(ResultChange{device, 0, false, false});
        }
        answered[device] = false;
        served[device] = false;
        deviceDifferences[device].clear();
    }
    again = retry;
    visited = 0;
    lastServed = 0;
    differences.clear();
    return fresh;
}

void RunLedger::serve(int device, int after) {
    lastServed = device;
    served[device] = true;
    ++visited;
    planned = visited + after;
}

RunSummary RunLedger::summarize(const model::RoomTypeConfig& room, RunMode mode, bool stopped,
                                bool portLost, const Attribution& attribution,
                                const RunScope& scope, const ScanBook& scan) const {
    RunSummary summary;
    summary.mode = mode;
    summary.visited = visited;
    summary.total = stopped ? planned : visited;
    if (again) {
        // A retry answers for the whole room: what the runs before it served counts too.
        summary.visited = static_cast<int>(flagged(served).size());
        summary.total = summary.visited + (stopped ? planned - visited : 0);
    }
    summary.answered = attribution.vouched(answered);
    summary.stopped = stopped;
    summary.portLost = portLost;
    summary.unread = unreadDevices(mode, served, results, answered);
    ResultTable judged = results;
    if (mode == RunMode::SendAll) {
        for (int d = 1; d <= kLastBusDevice; ++d) {
            judged[d] = answered[d] && attribution.inDoubt(d) ? 2 : 0;
        }
    }
    summary.abnormal = abnormalDevices(room, mode, served, judged);
    if (stopped) summary.unreached = scope.after(room, mode, lastServed);
    summary.served = flagged(served);
    for (int device : summary.served) {
        if (attribution.inDoubt(device)) summary.inDoubt.push_back(device);
    }
    if (mode == RunMode::Scan) {
        summary.scan = scan.report(served, &room);
        summary.abnormal.clear();
        summary.unread.clear();
    }
    return summary;
}

}  // namespace room::commissioning
