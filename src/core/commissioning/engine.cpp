#include "core/commissioning/engine.h"

#include <algorithm>
#include <utility>

#include "core/commissioning/texts.h"
#include "core/protocol/frames.h"

namespace room::commissioning {

namespace {

bool isBusDevice(int device) {
    return device >= 1 && device <= kLastBusDevice;
}

FrameKind pageFrameKind(PageOperation operation) {
    switch (operation) {
        case PageOperation::Read:
            return FrameKind::Read;
        case PageOperation::Verify:
            return FrameKind::Verify;
        case PageOperation::Clear:
            return FrameKind::Clear;
        default:
            return FrameKind::Send;
    }
}

Effects messageOnly(std::string text) {
    Effects fx;
    fx.messages.push_back(std::move(text));
    return fx;
}

Effects questionOnly(const char* text) {
    Effects fx;
    fx.question = Question{text::kQuestionCaption, text};
    return fx;
}

}  // namespace

Engine::Engine(model::RoomTypeConfig& room, model::RoomTypeConfig& edit)
    : m_room(room), m_edit(edit) {}

int Engine::result(int device) const {
    return isBusDevice(device) ? m_results[device] : 0;
}

int Engine::answeredDevices() const {
    return static_cast<int>(std::count(m_answered.begin(), m_answered.end(), true));
}

// ---------------------------------------------------------------------------------------------
// Port and commands

Effects Engine::setPortOpen(bool open, TimePoint /*now*/) {
    Effects fx;
    m_portOpen = open;
    // Whatever was half received belongs to the old port.
    m_receiver.clear();
    if (open) return fx;
    m_writes.clear();
    if (runActive()) finishRun(true, true, fx);
    return fx;
}

std::optional<std::string> Engine::refusal(Action action) const {
    if (action == Action::ExitSendMode && runActive()) return text::kRunActive;
    if (!m_portOpen) return text::kNoPort;
    // The run buttons are hidden during a run; a driver that still asks is refused.
    if (runActive()) return text::kRunActive;
    return std::nullopt;
}

std::optional<std::string> Engine::question(Action action) const {
    switch (action) {
        case Action::ReadAll:
            return text::kAskReadAll;
        case Action::ClearAll:
            return text::kAskClearAll;
        case Action::LeaveNetwork:
            return text::kAskLeaveNetwork;
        default:
            return std::nullopt;
    }
}

Effects Engine::command(Action action, TimePoint now, bool confirmed) {
    if (action == Action::Stop) return stop(now);
    if (auto refused = refusal(action)) return messageOnly(*refused);
    if (!confirmed) {
        if (auto asked = question(action)) return questionOnly(asked->c_str());
    }
    switch (action) {
        case Action::SendAll:
            return startRun(RunMode::SendAll, now);
        case Action::VerifyAll:
            return startRun(RunMode::VerifyAll, now);
        case Action::ReadAll:
            return startRun(RunMode::ReadAll, now);
        case Action::ClearAll:
            return clearAll(now);
        case Action::LeaveNetwork:
            return sendFixed(protocol::leaveNetworkFrame(), FrameKind::Command, now, true);
        case Action::CheckDevices:
            return sendFixed(protocol::checkDevicesFrame(), FrameKind::Command, now, true);
        case Action::ExitSendMode:
            return sendFixed(protocol::exitSendModeFrame(), FrameKind::Command, now, false);
        case Action::Stop:
            break;
    }
    return {};
}

Effects Engine::clearAll(TimePoint now) {
    Effects fx;
    m_runMode = RunMode::ClearAll;
    queueFrames(0, FrameKind::Clear, {protocol::clearAllFrame()}, now, fx);
    m_runMode = RunMode::Idle;
    setStatus(text::kSent, fx);
    return fx;
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

Effects Engine::startRun(RunMode mode, TimePoint now) {
    Effects fx;
    if (mode == RunMode::SendAll) setStatus(text::kSending, fx);
    if (mode == RunMode::VerifyAll || mode == RunMode::ReadAll) {
        for (int device = 1; device <= kLastBusDevice; ++device) {
            if (m_results[device] != 0) setResult(device, 0, fx);
        }
        m_verify.errorCount = 0;
    }
    m_runMode = mode;
    m_currentDevice = 1;
    m_visited = 0;
    m_lastServed = 0;
    m_answered.fill(false);
    m_served.fill(false);
    m_differences.clear();
    m_planned = 1 + remainingDevices(m_room, mode, 1);
    fx.runButtonsShown = false;
    fx.runStarted = Progress{mode, 1, 0, m_planned, 0};
    // Device 1 is served whatever its selection.
    serve(1, startPeriod(mode, m_room.systemType), now, fx);
    return fx;
}

void Engine::serve(int device, Milliseconds period, TimePoint now, Effects& fx) {
    m_verify.errorCount = 0;
    if (m_runMode == RunMode::VerifyAll) {
        m_verify.verifyDevice = device;
        m_verify.blockCounter = 6;
        protocol::prepareWorkingCopy(m_room.devices[device], m_edit.devices[device]);
    } else {
        m_verify.verifyDevice = 0;
    }
    setStatus(formatNumber(text::kServing, device), fx);
    m_lastServed = device;
    m_served[device] = true;
    m_awaited = device;
    m_awaitedDone = false;
    ++m_visited;
    m_planned = m_visited + remainingDevices(m_room, m_runMode, device);
    fx.progress = Progress{m_runMode, device, m_visited, m_planned, answeredDevices()};
    queueFrames(device, runFrameKind(m_runMode),
                protocol::deviceFrames(m_room, device, runOperation(m_runMode)), now, fx);
    m_timer1 = busyUntil(now) + period;
    m_serveDeadline = *m_timer1;
}

void Engine::runStep(TimePoint now, Effects& fx) {
    m_timer1.reset();
    leaveServed(fx);
    const int device = nextDevice(m_room, m_runMode, m_currentDevice);
    if (device == 0) {
        finishRun(false, false, fx);
        return;
    }
    m_currentDevice = device;
    if (m_room.devices[device].inUse != 0) {
        // Timer 1 rests until the pause is over and the device has been served.
        m_pendingServe = PendingServe{now + kInUsePause, device};
        return;
    }
    serve(device, kServePeriod, now, fx);
}

// The run moves on from the device it served: a check that got part of the device's short
// blocks ends here with the count of those missing, so it is never left without a verdict.
void Engine::leaveServed(Effects& fx) {
    if (m_awaited != 0 && !m_awaitedDone && m_runMode == RunMode::VerifyAll) {
        applyOutcome(protocol::verifyIncomplete(m_verify, true), 0, fx);
    }
    m_awaited = 0;
    m_awaitedDone = false;
}

std::vector<int> Engine::unreachedDevices() const {
    std::vector<int> devices;
    for (int device = nextDevice(m_room, m_runMode, m_lastServed); device != 0;
         device = nextDevice(m_room, m_runMode, device)) {
        devices.push_back(device);
    }
    return devices;
}

void Engine::finishRun(bool stopped, bool portLost, Effects& fx) {
    const RunMode mode = m_runMode;
    RunSummary summary;
    summary.mode = mode;
    summary.visited = m_visited;
    summary.total = stopped ? m_planned : m_visited;
    summary.answered = answeredDevices();
    summary.stopped = stopped;
    summary.portLost = portLost;
    summary.unread = unreadDevices(mode, m_served, m_results, m_answered);
    if (mode == RunMode::VerifyAll) summary.abnormal = abnormalDevices(m_room, m_results);
    if (stopped) summary.unreached = unreachedDevices();
    if (std::string title = summaryTitle(summary); !title.empty()) {
        m_title = title;
        fx.title = std::move(title);
    }
    if (mode == RunMode::ReadAll) {
        // A read-back may have raised deviceCount to the highest device that answered.
        m_room.deviceCount = model::deviceCountFromCounts(m_room);
    }
    m_timer1.reset();
    m_pendingServe.reset();
    m_awaited = 0;
    m_awaitedDone = false;
    setStatus(finishedStatus(summary), fx);
    m_currentDevice = 0;
    m_runMode = RunMode::Idle;
    fx.runButtonsShown = true;
    fx.runFinished = std::move(summary);
}

// ---------------------------------------------------------------------------------------------
// Answers

Effects Engine::onBytes(std::span<const std::uint8_t> bytes, TimePoint now) {
    Effects fx;
    for (std::uint8_t byte : bytes) {
        if (auto answer = m_receiver.push(byte)) handleAnswer(*answer, now, fx);
    }
    return fx;
}

void Engine::handleAnswer(const protocol::Answer& answer, TimePoint now, Effects& fx) {
    AnswerNote note;
    note.device = protocol::answerDevice(answer);
    note.badChecksum = !protocol::checkAnswerSum(answer).ok;
    note.fate = judge(answer, note.device);
    if (note.fate == AnswerFate::Taken && judging()) {
        if (!take(answer, fx)) {
            note.fate = AnswerFate::Ignored;
        } else if (runActive()) {
            m_answered[note.device] = true;
            // A long answer is the whole device; short ones end with block 14.
            const bool last = answer.kind == protocol::Answer::Kind::Long ||
                              (answer.bytes.size() > 4 && answer.bytes[4] == 14);
            if (last) m_awaitedDone = true;
            // Move on soon; but answers never hold a device past its period, so a device that
            // keeps talking cannot keep a run on itself.
            m_timer1 = std::min(busyUntil(now) + kAnswerPeriod, m_serveDeadline + kAnswerPeriod);
        }
    }
    note.bytes = answer.bytes;
    fx.answers.push_back(std::move(note));
}

// Whether answers are being checked or stored at all: during a run, and after a switch page's
// read or verify of one device (that operation stays set and keeps applying).
bool Engine::judging() const {
    if (runActive()) return true;
    return m_pageDevice != 0 &&
           (m_pageOperation == PageOperation::Read || m_pageOperation == PageOperation::Verify);
}

int Engine::awaitedDevice() const {
    if (runActive()) return m_awaitedDone ? 0 : m_awaited;
    return m_pageDevice;
}

// Configuration answers come in the framing the room's system type uses for its frames.
bool Engine::expectedFraming(const protocol::Answer& answer) const {
    if (protocol::usesLongFrames(m_room)) return answer.kind == protocol::Answer::Kind::Long;
    return answer.kind == protocol::Answer::Kind::Short && answer.bytes.size() > 1 &&
           answer.bytes[1] == protocol::kShortConfigAnswer;
}

AnswerFate Engine::judge(const protocol::Answer& answer, int number) const {
    if (!judging()) return AnswerFate::Taken;
    // Not a configuration answer at all (a status frame, another framing): whoever sent it.
    if (!expectedFraming(answer)) return AnswerFate::Ignored;
    const int awaited = awaitedDevice();
    if (awaited != 0 && number == awaited) return AnswerFate::Taken;
    const bool asked = isBusDevice(number) && (m_served[number] || number == m_pageDevice);
    return asked ? AnswerFate::Late : AnswerFate::Foreign;
}

// The answer of the awaited device, for what the run (or else the page) is doing. Returns
// whether it was of use: checked, stored, or a send's acknowledgement.
bool Engine::take(const protocol::Answer& answer, Effects& fx) {
    switch (m_runMode) {
        case RunMode::VerifyAll:
            return verify(answer, fx);
        case RunMode::ReadAll:
            return readBack(answer, m_awaited, fx);
        case RunMode::SendAll:
            return true;  // a send is acknowledged with the configuration the device took
        case RunMode::ClearAll:
            return false;
        case RunMode::Idle:
            break;
    }
    if (m_pageOperation == PageOperation::Verify) {
        return m_verify.verifyDevice != 0 && verify(answer, fx);
    }
    return readBack(answer, m_pageDevice, fx);
}

bool Engine::verify(const protocol::Answer& answer, Effects& fx) {
    protocol::CheckOutcome outcome =
        protocol::verifyAnswer(answer, m_room, m_edit, m_verify, runActive());
    if (!outcome.handled()) return false;
    // Every text but a closing verdict is a difference.
    const std::size_t differences =
        outcome.status.size() - (outcome.result && !outcome.status.empty() ? 1 : 0);
    applyOutcome(std::move(outcome), differences, fx);
    return true;
}

bool Engine::readBack(const protocol::Answer& answer, int device, Effects& fx) {
    protocol::CheckOutcome outcome = protocol::readBackAnswer(answer, m_room, device);
    if (!outcome.handled()) return false;
    if (outcome.wroteRoom) {
        m_readBackDone = true;
        fx.readBack = true;
    }
    // A refused answer is a difference to show; "读取完成" is not.
    const std::size_t differences = outcome.badChecksum ? outcome.status.size() : 0;
    applyOutcome(std::move(outcome), differences, fx);
    return true;
}

// Shows what a check or read said; the first `differences` status texts also go to the list.
void Engine::applyOutcome(protocol::CheckOutcome outcome, std::size_t differences, Effects& fx) {
    for (std::size_t i = 0; i < outcome.status.size(); ++i) {
        if (i < differences) {
            m_differences.push_back(outcome.status[i]);
            fx.differences.push_back(outcome.status[i]);
        }
        setStatus(std::move(outcome.status[i]), fx);
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
    m_results[device] = static_cast<std::uint8_t>(value);
    fx.results.push_back(ResultChange{device, value, false, m_runMode == RunMode::ReadAll});
}

// ---------------------------------------------------------------------------------------------
// Switch pages

void Engine::setPageOperation(PageOperation operation) {
    m_pageOperation = operation;
    switch (operation) {
        case PageOperation::Send:
        case PageOperation::NumberOnly:
            m_execution = Execution::AnyKey;
            break;
        case PageOperation::Read:
        case PageOperation::Verify:
        case PageOperation::Clear:
            m_execution = Execution::OnReceipt;
            break;
        case PageOperation::None:
            break;
    }
}

void Engine::setExecution(Execution execution) {
    m_execution = execution;
}

void Engine::unselectUnused() {
    for (int device = 1; device <= kLastBusDevice; ++device) {
        if (m_room.devices[device].inUse == 0) m_room.selected[device] = 0;
    }
}

void Engine::setSelected(int device, bool selected) {
    if (isBusDevice(device)) m_room.selected[device] = selected ? 1 : 0;
}

bool Engine::sendButtonEnabled(int device) const {
    if (!isBusDevice(device) || pageBusy()) return false;
    return m_pageOperation == PageOperation::Read || m_room.selected[device] != 0;
}

bool Engine::checkBoxEnabled(int device) const {
    if (!isBusDevice(device)) return false;
    return m_pageOperation == PageOperation::Read || m_room.devices[device].inUse != 0;
}

std::optional<std::string> Engine::pageRefusal(int device) const {
    if (runActive()) return text::kRunActive;
    if (!m_portOpen) return text::kNoPort;
    if (m_pageOperation == PageOperation::None) return text::kNoOperation;
    if (m_room.devices[device].type == 0 && m_pageOperation != PageOperation::Read) {
        return text::kTypeUnknown;
    }
    return std::nullopt;
}

Effects Engine::sendDevice(int device, TimePoint now, bool confirmed) {
    if (!isBusDevice(device)) return messageOnly(text::kBadDevice);
    if (auto refused = pageRefusal(device)) return messageOnly(*refused);
    if (m_pageOperation == PageOperation::Send && m_execution == Execution::OnReceipt &&
        !confirmed) {
        return questionOnly(text::kAskOnReceipt);
    }
    Effects fx;
    if (pageBusy()) return fx;
    setStatus("", fx);
    m_differences.clear();
    m_pageDevice = device;
    m_pageCheckPending =
        m_pageOperation == PageOperation::Verify || m_pageOperation == PageOperation::Read;
    if (m_pageOperation == PageOperation::Verify) {
        m_verify = protocol::VerifyState{device, 6, 0};
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
    TimePoint due = m_writes.empty() ? now : std::max(now, m_writes.back().due + kFramePause);
    TimePoint last = due;
    for (protocol::Bytes& bytes : frames) {
        OutFrame frame{device, kind, std::move(bytes)};
        if (m_writes.empty() && due <= now) {
            fx.writes.push_back(std::move(frame));
        } else {
            m_writes.push_back(PendingWrite{due, std::move(frame)});
        }
        last = due;
        due += kFramePause;
    }
    return last;
}

TimePoint Engine::busyUntil(TimePoint now) const {
    return m_writes.empty() ? now : std::max(now, m_writes.back().due);
}

std::optional<TimePoint> Engine::nextDeadline() const {
    std::optional<TimePoint> next;
    auto consider = [&next](std::optional<TimePoint> due) {
        if (due && (!next || *due < *next)) next = due;
    };
    if (!m_writes.empty()) consider(m_writes.front().due);
    if (m_pendingServe) consider(m_pendingServe->due);
    consider(m_timer1);
    consider(m_pageBusyUntil);
    return next;
}

Effects Engine::onTimeout(TimePoint now) {
    Effects fx;
    // Everything that has come due, in order: frames first, as a blocked window would send them.
    for (;;) {
        if (!m_writes.empty() && m_writes.front().due <= now) {
            fx.writes.push_back(std::move(m_writes.front().frame));
            m_writes.pop_front();
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
