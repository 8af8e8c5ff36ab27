#include "gui/console/run_sequencer.h"

#include <QTimer>

#include "core/commissioning/command_rules.h"
#include "core/commissioning/engine.h"
#include "core/commissioning/scan.h"
#include "gui/console/before_read.h"
#include "gui/console/console_context.h"
#include "gui/console/scan_window_setting.h"

namespace room::gui {

using commissioning::Action;
using commissioning::Effects;
using commissioning::NextRun;
using commissioning::RunMode;
using commissioning::SequencePlan;
using commissioning::TimePoint;

RunSequencer::RunSequencer(ConsoleContext& context, QObject* parent)
    : QObject(parent), m_context(context) {
    connect(&m_context, &ConsoleContext::effectsApplied, this, &RunSequencer::onEffects);
}

void RunSequencer::scanBus() {
    SequencePlan plan;
    plan.action = Action::ReadAll;
    plan.scanOnly = true;
    plan.window = scanWindow();
    play(plan, std::nullopt);
}

void RunSequencer::sendThenVerify() {
    if (!BeforeRead::sendAllowed(m_context)) return;
    SequencePlan plan;
    plan.action = Action::SendAll;
    plan.thenVerify = true;
    play(plan, Action::SendAll);
}

bool RunSequencer::readIntoEmptyRoom() {
    if (commissioning::hasDeviceInUse(m_context.room())) return false;
    SequencePlan plan;
    plan.action = Action::ReadAll;
    plan.scanFirst = true;
    plan.window = scanWindow();
    play(plan, Action::ReadAll);
    return true;
}

// The command's own refusals and question first, exactly as its button alone would ask them;
// on OK the first run.
void RunSequencer::play(const SequencePlan& plan, std::optional<Action> askedAs) {
    m_sequence.emplace(plan);
    commissioning::Engine& engine = m_context.engine();
    const NextRun first = m_sequence->first();
    m_context.run([&](TimePoint now, bool confirmed) {
        if (!confirmed && askedAs && commissioning::commandQuestion(*askedAs)) {
            return engine.command(*askedAs, now, false);
        }
        return engine.start(first, now);
    });
    if (!engine.runActive()) m_sequence.reset();  // cancelled or refused
    emit changed();
}

void RunSequencer::startRun(const NextRun& run) {
    // Stopped, or the port went, since the last run ended: nothing follows.
    if (!m_sequence || !m_context.portOpen()) {
        cancel();
        return;
    }
    commissioning::Engine& engine = m_context.engine();
    m_context.run([&](TimePoint now, bool) { return engine.start(run, now); });
    if (!engine.runActive()) m_sequence.reset();
    emit changed();
}

void RunSequencer::retry() {
    if (!retryAllowed()) return;
    const std::vector<int> devices = commissioning::failedDevices(*m_last);
    commissioning::Engine& engine = m_context.engine();
    const commissioning::NextRun again{commissioning::NextRun::Kind::Retry,
                                       commissioning::runActionOf(m_last->mode), devices};
    m_context.run([&](TimePoint now, bool) { return engine.start(again, now); });
    emit changed();
}

bool RunSequencer::retryAllowed() const {
    if (playing() || m_context.engine().runActive() || !m_last) return false;
    const RunMode mode = m_last->mode;
    return (mode == RunMode::SendAll || mode == RunMode::VerifyAll || mode == RunMode::ReadAll) &&
           !commissioning::failedDevices(*m_last).empty();
}

void RunSequencer::cancel() {
    m_sequence.reset();
    emit changed();
}

void RunSequencer::forgetLastRun() {
    m_last.reset();
    emit changed();
}

void RunSequencer::onEffects(const Effects& effects) {
    if (effects.runStarted) emit changed();
    if (!effects.runFinished) return;
    m_last = *effects.runFinished;
    std::optional<NextRun> next = m_sequence ? m_sequence->after(*m_last) : std::nullopt;
    if (next) {
        // Once everything else has seen this run end: the window, the record, the pages.
        QTimer::singleShot(0, this, [this, run = *next] { startRun(run); });
    } else {
        m_sequence.reset();
    }
    emit changed();
}

}  // namespace room::gui
