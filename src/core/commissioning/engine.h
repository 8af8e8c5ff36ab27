#pragma once
// The device console's run engine: send all, verify all, read all, the network-wide commands and
// the switch pages' single-device sends, with the answers that come back.
//
// It performs no I/O and reads no clock. Every call takes the current time and returns Effects
// (bytes to write, texts, state changes) for the driver to carry out; waits become deadlines:
// the driver calls onTimeout(now) once nextDeadline() has come. All state transitions of the
// console live here.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/commissioning/attribution.h"
#include "core/commissioning/command_rules.h"
#include "core/commissioning/effects.h"
#include "core/commissioning/read_stage.h"
#include "core/commissioning/run_ledger.h"
#include "core/commissioning/run_rules.h"
#include "core/commissioning/run_scope.h"
#include "core/commissioning/run_sequence.h"
#include "core/commissioning/scan.h"
#include "core/commissioning/write_queue.h"
#include "core/model/room_type.h"
#include "core/protocol/checks.h"

namespace room::commissioning {

class Engine {
public:
    // `room` is the room type the runs send, verify and read into; `edit` is the edit copy whose
    // device records the thermostat and type-6 checks fill. Both must outlive the engine.
    Engine(model::RoomTypeConfig& room, model::RoomTypeConfig& edit);

    // A port was chosen and opened (true) or closed or lost (false). Opening drops any partial
    // answer; losing the port ends a running run.
    Effects setPortOpen(bool open, TimePoint now);

    // Run buttons, the exit command and stop. A command whose confirmation is not yet given
    // returns only the question; ask it and call again with confirmed = true on OK.
    Effects command(Action action, TimePoint now, bool confirmed = false);

    // A run one command of the installer makes after another (run_sequence.h): a scan, a run of
    // just the listed devices (ascending; device 1 only when listed), or the last run's
    // operation once more for them, whose summary then covers the whole room. Asks nothing: the
    // command that made it has.
    Effects start(const NextRun& run, TimePoint now);
    RunMode lastRunMode() const { return m_lastMode; }
    // A bus scan of `numbers` with read requests, each given `window` to begin its answer.
    // Changes nothing on the devices or in the room type.
    Effects scan(const std::vector<int>& numbers, Milliseconds window, TimePoint now,
                 bool againstRoomType = true);

    // Single-device send from a switch page, with the same confirmation protocol.
    Effects sendDevice(int device, TimePoint now, bool confirmed = false);

    // The pages' option buttons. An operation also sets the execution choice that goes with it.
    void setPageOperation(PageOperation operation);
    void setExecution(Execution execution) { m_execution = execution; }

    // What the pages do when they open: devices whose record is not in use are unselected.
    void unselectUnused() { commissioning::unselectUnused(m_room); }
    void setSelected(int device, bool on) {
        if (Attribution::isBusNumber(device)) m_room.selected[device] = on ? 1 : 0;
    }
    // Whether the page enables a device's send button and check box.
    bool sendButtonEnabled(int device) const {
        return pageSendEnabled(m_room, device, m_pageOperation, pageBusy());
    }
    bool checkBoxEnabled(int device) const {
        return pageCheckBoxEnabled(m_room, device, m_pageOperation);
    }

    Effects onBytes(std::span<const std::uint8_t> bytes, TimePoint now);
    Effects onTimeout(TimePoint now);
    // When onTimeout is next due; empty when nothing is waiting.
    std::optional<TimePoint> nextDeadline() const;

    // State for the window and the pages.
    RunMode runMode() const { return m_runMode; }
    bool runActive() const { return m_runMode != RunMode::Idle; }
    int currentDevice() const { return m_currentDevice; }
    bool portOpen() const { return m_portOpen; }
    int result(int device) const;
    const protocol::VerifyState& verifyState() const { return m_verify; }
    bool readBackDone() const { return m_readBackDone; }
    const std::string& status() const { return m_status; }
    const std::string& title() const { return m_title; }
    PageOperation pageOperation() const { return m_pageOperation; }
    Execution execution() const { return m_execution; }
    bool pageBusy() const { return m_pageBusyUntil.has_value(); }
    std::optional<TimePoint> pageBusyUntil() const { return m_pageBusyUntil; }
    bool runButtonsShown() const { return !runActive(); }
    // Every difference since the last run or single send started, and those of one device.
    const std::vector<std::string>& differences() const { return m_ledger.differences; }
    const std::vector<std::string>& differencesOf(int device) const {
        return m_ledger.deviceDifferences[Attribution::isBusNumber(device) ? device : 0];
    }
    int visitedDevices() const { return m_ledger.visited; }
    int plannedDevices() const { return m_ledger.planned; }
    // Devices whose own answer was taken, less those whose number another talker claimed.
    int answeredDevices() const { return m_attribution.vouched(m_ledger.answered); }

private:
    struct PendingServe {
        TimePoint due;
        int device = 0;
    };

    Effects startRun(RunMode mode, TimePoint now, bool again = false);
    void takeScanAnswer(const protocol::Answer& answer, TimePoint now);
    Effects sendFixed(protocol::Bytes frame, FrameKind kind, TimePoint now, bool showSent);
    Effects stop(TimePoint now);

    // Timer 1 and the run
    void serve(int device, Milliseconds period, TimePoint now, Effects& fx);
    void runStep(TimePoint now, Effects& fx);
    void leaveServed(Effects& fx);
    void finishRun(bool stopped, bool portLost, Effects& fx);

    // Answers: the attribution says whose an answer is before anything is done with it.
    void handleAnswer(const Heard& heard, TimePoint now, Effects& fx);
    bool judging() const;
    bool expectedFraming(const protocol::Answer& answer) const;
    bool take(const protocol::Answer& answer, Effects& fx);
    bool takeBlock(const protocol::Answer& answer, Effects& fx);
    bool verify(const protocol::Answer& answer, Effects& fx);
    bool readBack(std::vector<protocol::Answer> answers, Effects& fx);
    void answerComplete(TimePoint now, bool intact);
    void outOfTurn(int number, Effects& fx);
    void conflict(int number, Effects& fx);
    void noteDifference(int device, std::string text, Effects& fx, std::string lamps = {});
    void applyOutcome(protocol::CheckOutcome outcome, std::size_t differences, Effects& fx);
    void setResult(int device, int value, Effects& fx);
    void pageResult(int value, Effects& fx);
    void endPageCheck(Effects& fx);

    // Writes: frames leave in order, kFramePause apart; returns when the last one is due.
    TimePoint queueFrames(int device, FrameKind kind, std::vector<protocol::Bytes> frames,
                          TimePoint now, Effects& fx);
    void wrote(const OutFrame& frame, TimePoint now);
    void setStatus(std::string text, Effects& fx);

    model::RoomTypeConfig& m_room;
    model::RoomTypeConfig& m_edit;

    bool m_portOpen = false;
    RunMode m_runMode = RunMode::Idle;
    RunMode m_lastMode = RunMode::Idle;
    int m_currentDevice = 0;
    RunLedger m_ledger;
    protocol::VerifyState m_verify{};
    bool m_readBackDone = false;
    Attribution m_attribution;
    ReadStage m_readStage;
    RunScope m_scope;
    ScanBook m_scan;

    PageOperation m_pageOperation = PageOperation::None;
    Execution m_execution = Execution::OnReceipt;

    std::string m_status;
    std::string m_title;

    TimePoint m_serveDeadline{};  // answers never keep a device beyond its period
    bool m_inGrace = false;       // the period ended unanswered; still listening before moving on
    // The switch pages' single-device check, and whether its verdict is still due.
    int m_pageDevice = 0;
    bool m_pageCheckPending = false;

    WriteQueue m_writes{kFramePause};
    std::optional<PendingServe> m_pendingServe;
    std::optional<TimePoint> m_timer1;
    std::optional<TimePoint> m_pageBusyUntil;
};

}  // namespace room::commissioning
