#include "core/commissioning/run_sequence.h"

#include <algorithm>

#include "core/commissioning/command_rules.h"

namespace room::commissioning {

RunSequence::RunSequence(SequencePlan plan) : m_plan(std::move(plan)) {
    if (m_plan.scanNumbers.empty()) {
        for (int n = 1; n <= kLastBusDevice; ++n) m_plan.scanNumbers.push_back(n);
    }
}

NextRun RunSequence::first() const {
    if (m_plan.scanFirst || m_plan.scanOnly) {
        return NextRun{NextRun::Kind::Scan, Action::ReadAll, m_plan.scanNumbers, m_plan.window,
                       m_plan.againstRoomType};
    }
    const Action action = m_plan.thenVerify ? Action::SendAll : m_plan.action;
    return NextRun{NextRun::Kind::Command, action, {}, m_plan.window};
}

std::optional<NextRun> RunSequence::after(const RunSummary& finished) {
    if (finished.stopped) return std::nullopt;
    if (finished.mode == RunMode::Scan) {
        if (!finished.scan || m_plan.scanOnly) return std::nullopt;
        std::vector<int> answering = answeringNumbers(*finished.scan);
        if (answering.empty()) return std::nullopt;
        return NextRun{NextRun::Kind::Devices, Action::ReadAll, std::move(answering),
                       m_plan.window};
    }
    if (!finished.unread.empty() && m_retriesMade < m_plan.retries) {
        ++m_retriesMade;
        return NextRun{NextRun::Kind::Retry, runActionOf(finished.mode), finished.unread,
                       m_plan.window};
    }
    if (m_plan.thenVerify && finished.mode == RunMode::SendAll && !m_verifyStarted) {
        m_verifyStarted = true;
        m_retriesMade = 0;  // the verify has retries of its own
        return NextRun{NextRun::Kind::Command, Action::VerifyAll, {}, m_plan.window};
    }
    return std::nullopt;
}

std::vector<int> failedDevices(const RunSummary& summary) {
    std::vector<int> devices = summary.unread;
    for (const auto* list : {&summary.abnormal, &summary.inDoubt, &summary.unreached}) {
        devices.insert(devices.end(), list->begin(), list->end());
    }
    std::sort(devices.begin(), devices.end());
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
    return devices;
}

}  // namespace room::commissioning
