#include "core/commissioning/engine.h"

#include <algorithm>
#include <utility>

#include "core/commissioning/command_rules.h"
#include "core/commissioning/texts.h"
#include "core/protocol/answer_rules.h"
#include "core/protocol/frames.h"

namespace room::commissioning {

namespace {
constexpr auto isBusDevice = &Attribution::isBusNumber;
}  // namespace

Engine::Engine(model::RoomTypeConfig& room, model::RoomTypeConfig& edit)
    : m_room(room), m_edit(edit) {}

int Engine::result(int device) const {
    return isBusDevice(device) ? m_ledger.results[device] : 0;
}

// ---------------------------------------------------------------------------------------------
// Port and commands

Effects Engine::setPortOpen(bool open, TimePoint /*now*/) {
    Effects fx;
    m_portOpen = open;
    // Whatever was half received belongs to the old port.
    m_attribution.dropPartial();
    if (open) return fx;
    m_writes.clear();
    if (runActive()) finishRun(true, true, fx);
    return fx;
}

Effects Engine::command(Action action, TimePoint now, bool confirmed) {
    if (action == Action::Stop) return stop(now);
    if (auto refused = commandRefusal(action, m_portOpen, runActive())) {
        return messageOnly(*refused);
    }
    if (action == Action::SendAll) {
        if (auto refused = sendAllRefusal(m_room)) return messageOnly(*refused);
    }
    if (!confirmed) {
        if (auto asked = commandQuestion(action)) return questionOnly(*asked);
    }
    m_scope.all();
    if (const RunMode mode = runModeOf(action); mode != RunMode::Idle) return startRun(mode, now);
    switch (action) {
        case Action::ClearAll:
            return sendFixed(protocol::clearAllFrame(), FrameKind::Clear, now, true);
        case Action::LeaveNetwork:
            return sendFixed(protocol::leaveNetworkFrame(), FrameKind::Command, now, true);
        case Action::CheckDevices:
            return sendFixed(protocol::checkDevicesFrame(), FrameKind::Command, now, true);
        case Action::ExitSendMode:
            return sendFixed(protocol::exitSendModeFrame(), FrameKind::Command, now, false);
        default:
            break;
    }
    return {};
}

Effects Engine::start(const NextRun& run, TimePoint now) {
    if (run.kind == NextRun::Kind::Command) return command(run.action, now, true);
    const bool again = run.kind == NextRun::Kind::Retry;
    const RunMode mode = run.kind == NextRun::Kind::Scan ? RunMode::Scan
                         : again                          ? m_lastMode
                                                          : runModeOf(run.action);
    if (auto refused = listRunRefusal(mode, m_room, m_portOpen, runActive())) {
        return refused->empty() ? Effects{} : messageOnly(*refused);
    }
    m_scope.only(run.devices);
    if (m_scope.first() == 0 || (again && mode == RunMode::Scan)) {
        m_scope.all();
        return {};
    }
    if (mode == RunMode::Scan) {
        m_scan.start(std::clamp(run.window, kShortestScanWindow, kLongestScanWindow),
                     run.againstRoomType);
    }
    return startRun(mode, now, again);
}

Effects Engine::sendFixed(protocol::Bytes frame, FrameKind kind, TimePoint now, bool showSent) {
    Effects fx;
    queueFrames(0, kind, {std::move(frame)}, now, fx);
    if (showSent) setStatus(text::kSent, fx);
    return fx;
}

Effects Engine::stop(TimePoint /*now*/) {
    Effects fx;
    if (!runActive()) return fx;
    // Frames of the device being served that have not gone out yet are dropped with the run.
    m_writes.clear();
    finishRun(true, false, fx);
    return fx;
}

// ---------------------------------------------------------------------------------------------
// Runs (timer 1)

Effects Engine::startRun(RunMode mode, TimePoint now, bool again) {
    Effects fx;
    if (mode == RunMode::SendAll) setStatus(text::kSending, fx);
    m_verify.errorCount = 0;
    const DeviceFlags fresh = m_ledger.start(mode, m_scope, again, fx);
    m_runMode = mode;
    const int first = m_scope.first();
    m_currentDevice = first;
    if (again) {
        m_attribution.startRetry(fresh);
    } else {
        m_attribution.startRun();
    }
    m_readStage.clear();
    m_inGrace = false;
    m_ledger.planned = 1 + m_scope.remaining(m_room, mode, first);
    fx.runButtonsShown = false;
    fx.runStarted = Progress{mode, first, 0, m_ledger.planned, 0, again};
    // Device 1 is served whatever its selection (a run of its own list starts at its first).
    serve(first, startPeriod(mode, m_room.systemType), now, fx);
    return fx;
}

void Engine::serve(int device, Milliseconds period, TimePoint now, Effects& fx) {
    m_verify.errorCount = 0;
    if (m_runMode == RunMode::VerifyAll) {
        m_verify = protocol::VerifyState{device, 6, 0, 0};
        protocol::prepareWorkingCopy(m_room.devices[device], m_edit.devices[device]);
    } else {
        m_verify.verifyDevice = 0;
    }
    setStatus(formatNumber(text::kServing, device), fx);
    m_ledger.serve(device, m_scope.remaining(m_room, m_runMode, device));
    m_attribution.await(device);
    fx.progress =
        Progress{m_runMode, device, m_ledger.visited, m_ledger.planned, answeredDevices(), m_ledger.again};
    queueFrames(device, runFrameKind(m_runMode),
                protocol::deviceFrames(m_room, device, runOperation(m_runMode)), now, fx);
    m_serveDeadline = m_writes.busyUntil(now) + period;
    m_timer1 = m_runMode == RunMode::Scan ? m_scan.asked(m_writes.busyUntil(now)) : m_serveDeadline;
}

void Engine::runStep(TimePoint now, Effects& fx) {
    m_timer1.reset();
    const int device = m_scope.next(m_room, m_runMode, m_currentDevice);
    // A scan moves on as soon as a window passes without an answer; only its last number gets
    // the grace, so that its late answer is heard as late.
    const bool scanning = m_runMode == RunMode::Scan && device != 0;
    if (!m_inGrace && !scanning && (m_attribution.awaited() != 0 || device == 0)) {
        // The period is over without a whole answer, or the last device is done: listen a while
        // longer, taking nothing, so that a late answer or a second talker is heard as such.
        leaveServed(fx);
        m_inGrace = true;
        m_timer1 = now + kGracePeriod;
        return;
    }
    m_inGrace = false;
    leaveServed(fx);
    if (device == 0) {
        finishRun(false, false, fx);
        return;
    }
    m_currentDevice = device;
    if (m_room.devices[device].inUse != 0 && m_runMode != RunMode::Scan) {
        // Timer 1 rests until the pause is over and the device has been served.
        m_pendingServe = PendingServe{now + kInUsePause, device};
        return;
    }
    serve(device, servePeriod(m_runMode, m_room.systemType), now, fx);
}

// The run moves on from the device it served: a check that got part of the device's short
// blocks ends here with the count of those missing, so it is never left without a verdict.
void Engine::leaveServed(Effects& fx) {
    if (m_attribution.awaited() != 0 && m_runMode == RunMode::VerifyAll) {
        applyOutcome(protocol::verifyIncomplete(m_verify, true), 0, fx);
    }
    m_attribution.closeWindow();
}

void Engine::finishRun(bool stopped, bool portLost, Effects& fx) {
    const RunMode mode = m_runMode;
    RunSummary summary =
        m_ledger.summarize(m_room, mode, stopped, portLost, m_attribution, m_scope, m_scan);
    if (std::string title = summaryTitle(summary); !title.empty()) {
        m_title = title;
        fx.title = std::move(title);
    }
    if (mode == RunMode::ReadAll && m_readStage.commit(m_room)) {
        m_readBackDone = true;
        fx.readBack = true;
    }
    m_timer1.reset();
    m_pendingServe.reset();
    m_inGrace = false;
    m_attribution.closeWindow();
    setStatus(finishedStatus(summary), fx);
    m_currentDevice = 0;
    m_lastMode = mode;
    m_runMode = RunMode::Idle;
    fx.runButtonsShown = true;
    fx.runFinished = std::move(summary);
}

// ---------------------------------------------------------------------------------------------
// Answers

Effects Engine::onBytes(std::span<const std::uint8_t> bytes, TimePoint now) {
    Effects fx;
    for (std::uint8_t byte : bytes) {
        for (const Heard& heard : m_attribution.push(byte, now)) handleAnswer(heard, now, fx);
        // Someone has begun to answer in a scanned number's window: it gets its whole period.
        if (m_runMode == RunMode::Scan && m_scan.answerBegins(m_attribution.answerBegun()) &&
            m_timer1 && *m_timer1 < m_serveDeadline) {
            m_timer1 = m_serveDeadline;
        }
        const int turn = m_attribution.takeGarbled();
        if (turn != 0 && runActive()) outOfTurn(turn, fx);
    }
    return fx;
}

void Engine::handleAnswer(const Heard& heard, TimePoint now, Effects& fx) {
    const protocol::Answer& answer = heard.answer;
    AnswerNote note;
    note.device = protocol::answerDevice(answer);
    note.badChecksum = !protocol::checkAnswerSum(answer).ok;
    note.badLength = protocol::lengthFault(answer, 0).has_value();
    note.bytes = answer.bytes;
    if (m_runMode == RunMode::Scan) {
        note.fate = m_attribution.judge(heard, note.device, expectedFraming(answer));
        if (note.fate == AnswerFate::Late) m_scan.late(note.device);
        if (note.fate == AnswerFate::Taken && !note.broken()) takeScanAnswer(answer, now);
    } else if (judging()) {
        note.fate = m_attribution.judge(heard, note.device, expectedFraming(answer));
        // Out of turn, or broken on the way (another talker may have had a hand in it).
        const bool suspect = note.fate != AnswerFate::Ignored &&
                             (note.fate != AnswerFate::Taken || note.broken());
        if (note.fate == AnswerFate::Taken) {
            if (!take(answer, fx)) note.fate = AnswerFate::Ignored;
            if (runActive() && m_attribution.isComplete()) answerComplete(now, !note.broken());
        }
        if (runActive() && suspect) outOfTurn(note.device, fx);
    }
    fx.answers.push_back(std::move(note));
}

// A scan reads the awaited number's whole answer as a read all would, into nothing.
void Engine::takeScanAnswer(const protocol::Answer& answer, TimePoint now) {
    const std::optional<bool> found = m_scan.take(answer, m_attribution, m_room, m_ledger.lastServed);
    if (!found) return;
    if (*found) m_ledger.results[m_ledger.lastServed] = 1;
    answerComplete(now, *found);
}

// The awaited device's whole answer is in: move on soon; but answers never hold a device past
// its period, so a device that keeps talking cannot keep a run on itself.
void Engine::answerComplete(TimePoint now, bool intact) {
    // A whole answer counts when it acknowledged a send, or was checked or read, and was not
    // broken on the way.
    const int device = m_ledger.lastServed;
    m_ledger.answered[device] = intact && (m_runMode == RunMode::SendAll || m_ledger.results[device] != 0);
    m_timer1 = std::min(m_writes.busyUntil(now) + kAnswerPeriod, m_serveDeadline + kAnswerPeriod);
}

// Whether answers are being checked or stored at all: during a run, and after a switch page's
// read or verify of one device (that operation stays set and keeps applying).
bool Engine::judging() const {
    if (runActive()) return true;
    return m_pageDevice != 0 &&
           (m_pageOperation == PageOperation::Read || m_pageOperation == PageOperation::Verify);
}

// Configuration answers come in the framing the room's system type uses for its frames.
bool Engine::expectedFraming(const protocol::Answer& answer) const {
    if (protocol::usesLongFrames(m_room)) return answer.kind == protocol::Answer::Kind::Long;
    return answer.kind == protocol::Answer::Kind::Short && answer.bytes.size() > 1 &&
           answer.bytes[1] == protocol::kShortConfigAnswer;
}

// A configuration answer, whole or broken, came under `number` out of turn. From now on in this
// run nothing under that number is vouched for: a device already found OK or read is not any more.
// A number not served yet says so in its own turn; one served without an answer stays unread.
void Engine::outOfTurn(int number, Effects& fx) {
    if (!m_attribution.doubt(number) || !m_ledger.served[number]) return;
    m_readStage.drop(number);
    if (m_ledger.results[number] == 1 || (m_runMode == RunMode::SendAll && m_ledger.answered[number])) {
        conflict(number, fx);
    }
}

void Engine::conflict(int number, Effects& fx) {
    noteDifference(number, formatNumber(text::kConflict, number), fx);
    setResult(number, 2, fx);
}

void Engine::noteDifference(int device, std::string text, Effects& fx, std::string lamps) {
    const std::string named = lamps.empty() ? text : text + " " + lamps;  // the record names lamps
    if (isBusDevice(device)) m_ledger.deviceDifferences[device].push_back(named);
    m_ledger.differences.push_back(text);
    fx.differences.push_back(text);
    fx.differenceLamps.push_back(std::move(lamps));
    setStatus(std::move(text), fx);
}

// The answer of the awaited device, for what the run (or else the page) is doing. Returns
// whether it was of use: checked, stored, or a send's acknowledgement.
bool Engine::take(const protocol::Answer& answer, Effects& fx) {
    const RunMode mode = m_runMode;
    const bool check = mode == RunMode::VerifyAll ||
                       (mode == RunMode::Idle && m_pageOperation == PageOperation::Verify);
    if (check) {
        if (!verify(answer, fx)) return false;
        if (runActive() && m_ledger.results[m_ledger.lastServed] != 0) m_attribution.markComplete();
        return true;
    }
    if (answer.kind == protocol::Answer::Kind::Short) return takeBlock(answer, fx);
    if (mode == RunMode::SendAll) {
        // Only an acknowledgement that adds up and came whole says the device took it.
        if (!protocol::intactAcknowledgement(answer)) return false;
        m_attribution.markComplete();
        if (m_attribution.inDoubt(m_ledger.lastServed)) conflict(m_ledger.lastServed, fx);
        return true;
    }
    if (!readBack({answer}, fx)) return false;
    if (runActive()) m_attribution.markComplete();
    return true;
}

// A short block of the awaited device's send acknowledgement or read: the answer is whole once
// each of the six came once. A block that comes again spoils a read.
bool Engine::takeBlock(const protocol::Answer& answer, Effects& fx) {
    const int device = runActive() ? m_ledger.lastServed : m_pageDevice;
    const BlockFate fate = m_attribution.addBlock(answer);
    if (fate == BlockFate::NotABlock) return false;
    if (fate == BlockFate::Repeat) {
        if (m_runMode == RunMode::SendAll) return true;
        noteDifference(device, protocol::repeatedBlockText(device, answer.bytes[4]), fx);
        if (runActive()) m_attribution.markComplete();
        m_attribution.takeBlocks();
        return true;
    }
    if (!m_attribution.allBlocks()) return true;
    if (runActive()) m_attribution.markComplete();
    std::vector<protocol::Answer> blocks = m_attribution.takeBlocks();
    if (m_runMode != RunMode::SendAll) return readBack(std::move(blocks), fx);
    if (m_attribution.inDoubt(device)) conflict(device, fx);
    return true;
}

bool Engine::verify(const protocol::Answer& answer, Effects& fx) {
    if (m_verify.verifyDevice == 0) return false;
    protocol::CheckOutcome outcome =
        protocol::verifyAnswer(answer, m_room, m_edit, m_verify, runActive());
    if (!outcome.handled()) return false;
    // Every text but a closing verdict is a difference.
    std::size_t differences =
        outcome.status.size() - (outcome.result && !outcome.status.empty() ? 1 : 0);
    if (runActive() && outcome.result == 1 && m_attribution.inDoubt(outcome.device)) {
        // Matching data under a number two talkers claim proves nothing.
        outcome.status.back() = formatNumber(text::kConflict, outcome.device);
        outcome.status.push_back(formatNumber(text::kVerdictFailed, outcome.device));
        outcome.result = 2;
        ++differences;
    }
    applyOutcome(std::move(outcome), differences, fx);
    return true;
}

// During a run the read is kept back until the run ends; a page read is written at once.
bool Engine::readBack(std::vector<protocol::Answer> answers, Effects& fx) {
    const int device = runActive() ? m_ledger.lastServed : m_pageDevice;
    protocol::CheckOutcome outcome;
    if (runActive()) {
        if (m_attribution.inDoubt(device)) {
            conflict(device, fx);
            return true;
        }
        outcome = m_readStage.stage(m_room, device, std::move(answers));
    } else {
        outcome = readBackWhole(answers, m_room, device);
        if (outcome.wroteRoom) {
            m_readBackDone = true;
            fx.readBack = true;
        }
    }
    if (!outcome.handled()) return false;
    // A refused answer is a difference to show; "读取完成" is not.
    const std::size_t differences = outcome.refused ? outcome.status.size() : 0;
    applyOutcome(std::move(outcome), differences, fx);
    return true;
}

// Shows what a check or read said; the first `differences` status texts also go to the list.
void Engine::applyOutcome(protocol::CheckOutcome outcome, std::size_t differences, Effects& fx) {
    for (std::size_t i = 0; i < outcome.status.size(); ++i) {
        if (i < differences) {
            noteDifference(outcome.device, std::move(outcome.status[i]), fx,
                           outcome.lampText(i));
        } else {
            setStatus(std::move(outcome.status[i]), fx);
        }
    }
    for (std::string& message : outcome.messages) fx.messages.push_back(std::move(message));
    if (!outcome.result) return;
    if (runActive()) {
        setResult(outcome.device, *outcome.result, fx);
    } else {
        pageResult(*outcome.result, fx);
    }
}

// The latest verdict of the page's device, for the result badges (the run's table stays as the
// last run left it).
void Engine::pageResult(int value, Effects& fx) {
    m_pageCheckPending = false;
    fx.results.push_back(
        ResultChange{m_pageDevice, value, true, m_pageOperation == PageOperation::Read});
}

// The page's send buttons come back: a check still without verdict ends here.
void Engine::endPageCheck(Effects& fx) {
    if (!m_pageCheckPending) return;
    if (m_pageOperation == PageOperation::Verify) {
        protocol::CheckOutcome outcome = protocol::verifyIncomplete(m_verify, false);
        if (outcome.handled()) {
            applyOutcome(std::move(outcome), 0, fx);
            return;
        }
    }
    pageResult(0, fx);
}

void Engine::setResult(int device, int value, Effects& fx) {
    if (!isBusDevice(device)) return;
    m_ledger.results[device] = static_cast<std::uint8_t>(value);
    fx.results.push_back(ResultChange{device, value, false, m_runMode == RunMode::ReadAll});
}

// ---------------------------------------------------------------------------------------------
// Switch pages

void Engine::setPageOperation(PageOperation operation) {
    m_pageOperation = operation;
    if (auto execution = executionFor(operation)) m_execution = *execution;
}

Effects Engine::sendDevice(int device, TimePoint now, bool confirmed) {
    if (!isBusDevice(device)) return messageOnly(text::kBadDevice);
    if (auto refused = pageRefusal(m_room, device, m_pageOperation, m_portOpen, runActive())) {
        return messageOnly(*refused);
    }
    if (m_pageOperation == PageOperation::Send && m_execution == Execution::OnReceipt &&
        !confirmed) {
        return questionOnly(text::kAskOnReceipt);
    }
    Effects fx;
    if (pageBusy()) return fx;
    setStatus("", fx);
    m_ledger.differences.clear();
    m_ledger.deviceDifferences[device].clear();
    m_pageDevice = device;
    m_pageCheckPending =
        m_pageOperation == PageOperation::Verify || m_pageOperation == PageOperation::Read;
    m_attribution.await(device);
    if (m_pageOperation == PageOperation::Verify) {
        m_verify = protocol::VerifyState{device, 6, 0, 0};
        protocol::prepareWorkingCopy(m_room.devices[device], m_edit.devices[device]);
    } else {
        m_verify.verifyDevice = 0;
    }
    std::uint8_t operation = static_cast<std::uint8_t>(m_pageOperation);
    if (m_execution == Execution::AnyKey) operation |= protocol::kAnyKeyFlag;
    const TimePoint last = queueFrames(device, pageFrameKind(m_pageOperation),
                                       protocol::deviceFrames(m_room, device, operation), now, fx);
    m_pageBusyUntil = last + kPageBusyPause;
    fx.pageSendsEnabled = false;
    return fx;
}

// ---------------------------------------------------------------------------------------------
// Time

TimePoint Engine::queueFrames(int device, FrameKind kind, std::vector<protocol::Bytes> frames,
                              TimePoint now, Effects& fx) {
    const std::size_t first = fx.writes.size();
    const TimePoint last = m_writes.push(device, kind, std::move(frames), now, fx.writes);
    for (std::size_t i = first; i < fx.writes.size(); ++i) wrote(fx.writes[i], now);
    return last;
}

// A request is out once its first frame has left the line: its device's answer may begin then.
void Engine::wrote(const OutFrame& frame, TimePoint now) {
    m_attribution.sent(frame.device, frame.bytes, now);
}

std::optional<TimePoint> Engine::nextDeadline() const {
    std::optional<TimePoint> next;
    auto consider = [&next](std::optional<TimePoint> due) {
        if (due && (!next || *due < *next)) next = due;
    };
    consider(m_writes.nextDue());
    if (m_pendingServe) consider(m_pendingServe->due);
    consider(m_timer1);
    consider(m_pageBusyUntil);
    return next;
}

Effects Engine::onTimeout(TimePoint now) {
    Effects fx;
    // Everything that has come due, in order: frames first, as a blocked window would send them.
    for (;;) {
        if (std::optional<OutFrame> frame = m_writes.popDue(now)) {
            wrote(*frame, now);
            fx.writes.push_back(std::move(*frame));
        } else if (m_pageBusyUntil && *m_pageBusyUntil <= now) {
            m_pageBusyUntil.reset();
            endPageCheck(fx);
            fx.pageSendsEnabled = true;
        } else if (m_pendingServe && m_pendingServe->due <= now) {
            const int device = m_pendingServe->device;
            m_pendingServe.reset();
            serve(device, kServePeriod, now, fx);
        } else if (m_timer1 && *m_timer1 <= now && m_writes.empty()) {
            runStep(now, fx);
        } else {
            break;
        }
    }
    return fx;
}

void Engine::setStatus(std::string text, Effects& fx) {
    m_status = text;
    fx.statusTexts.push_back(std::move(text));
}

}  // namespace room::commissioning
