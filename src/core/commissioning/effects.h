#pragma once
// What the run engine asks its driver to do: bytes to write, texts to show, state to reflect.
// The engine performs none of it itself, so the console window, the command-line tool and the
// tests can all drive it.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/frames.h"

namespace room::commissioning {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Milliseconds = std::chrono::milliseconds;

// The console's runMode values; the numbers are the ones the pages test against.
enum class RunMode : std::uint8_t {
    Idle = 0,
    ReadAll = 2,
    VerifyAll = 3,
    ClearAll = 4,
    SendAll = 5,
    Scan = 8,  // a bus scan: who answers, asked with read requests (no operation of its own)
};

// Operation of the switch-panel pages (the operation byte of their frames).
enum class PageOperation : std::uint8_t {
    None = 0,
    Send = 1,
    Read = 2,
    Verify = 3,
    Clear = 4,
    NumberOnly = 6,
};

// "按任意键执行" adds 0x80 to the operation byte; "收到即执行" applies the data on receipt.
enum class Execution : std::uint8_t { AnyKey, OnReceipt };

// Console commands (run buttons and the pages' exit command).
enum class Action : std::uint8_t {
    SendAll,
    VerifyAll,
    ReadAll,
    ClearAll,
    LeaveNetwork,
    CheckDevices,
    ExitSendMode,
    Stop,
};

// What a written frame is for, so a bus log can label it.
enum class FrameKind : std::uint8_t { Send, Read, Verify, Clear, Command };
std::string_view frameKindName(FrameKind kind);

struct OutFrame {
    int device = 0;  // 0 for frames addressed to every device
    FrameKind kind = FrameKind::Command;
    protocol::Bytes bytes;
};

struct Question {
    std::string caption;  // "询问..."
    std::string text;     // asked with OK/Cancel
};

// Device `device` is being served; it is number `visited` of `total` the run will visit, and
// `answered` devices have answered so far.
struct Progress {
    RunMode mode = RunMode::Idle;
    int device = 0;
    int visited = 0;
    int total = 0;
    int answered = 0;
    bool retry = false;  // the run serves some devices again; the others keep their outcome
};

// What a bus scan found (scan.h). `missing` and `extra` are against the room type, when the scan
// had one to compare with.
struct ScanFinding {
    int number = 0;
    int type = 0;  // the device type its answer gave, 0 when it did not say
    bool operator==(const ScanFinding&) const = default;
};
struct ScanReport {
    std::vector<ScanFinding> found;  // answered in their own turn, ascending
    std::vector<int> missing;        // scanned, in use in the room type, silent
    std::vector<int> extra;          // answered, not in use in the room type
    std::vector<int> slow;           // an answer began after the number's window: not credited
    bool againstRoomType = false;
    Milliseconds window{0};
};

struct RunSummary {
    RunMode mode = RunMode::Idle;
    int visited = 0;
    int total = 0;
    int answered = 0;            // devices whose own answer was taken during the run
    bool stopped = false;        // cut short: by a stop command or a lost port
    bool portLost = false;       // cut short because the port went away
    std::vector<int> unread;     // served, but no answer of theirs was taken (or read, or checked)
    std::vector<int> abnormal;   // listed after "数据异常的编号:" (verify all)
    std::vector<int> unreached;  // a cut-short run never served these
    std::vector<int> served;     // every device the run served, ascending
    std::vector<int> inDoubt;    // served devices whose number another talker claimed
    std::optional<ScanReport> scan;  // a bus scan's findings
};

struct ResultChange {
    int device = 0;
    int result = 0;       // 0 no answer, 1 matched or read, 2 differences
    bool single = false;  // a switch page's check of this one device, not a run's
    bool read = false;    // from a read (1 means read), else from a verify (1 means matched)
};

// What the engine made of a complete answer from the bus, so a log can say it.
enum class AnswerFate : std::uint8_t {
    Taken,    // the awaited device's answer, checked or stored (or nothing was being awaited)
    Late,     // carries the number of a device no longer awaited: it came after its time
    Foreign,  // carries a number nobody was asked for
    Ignored,  // the awaited device, but not an answer the operation takes (framing, type)
};
std::string_view answerFateName(AnswerFate fate);

struct AnswerNote {
    int device = -1;  // the number the answer carries, -1 when it carries none
    AnswerFate fate = AnswerFate::Taken;
    bool badChecksum = false;
    bool badLength = false;  // its length byte is not the bytes that came, or not its type's
    protocol::Bytes bytes;

    bool broken() const { return badChecksum || badLength; }
};

struct Effects {
    std::vector<OutFrame> writes;          // write now, in order, each frame as one write
    std::vector<std::string> statusTexts;  // every status-line text in order; the last stays shown
    std::optional<std::string> title;      // new title line (the run summaries)
    std::vector<std::string> messages;     // message boxes to show, in order
    std::optional<Question> question;      // nothing happened: ask, then repeat with confirmed
    std::vector<ResultChange> results;     // per-device result changes
    std::vector<std::string> differences;  // verification differences found by this step
    // One per entry of `differences`: a key or relay difference in lamp names, else empty.
    std::vector<std::string> differenceLamps;
    std::vector<AnswerNote> answers;       // every complete answer received, in order
    std::optional<Progress> runStarted;
    std::optional<Progress> progress;  // a device is being served
    std::optional<RunSummary> runFinished;
    std::optional<bool> runButtonsShown;   // run buttons shown and port list enabled
    std::optional<bool> pageSendsEnabled;  // the switch pages' send buttons
    bool readBack = false;                 // a read-back wrote into the room type

    const std::string* status() const {
        return statusTexts.empty() ? nullptr : &statusTexts.back();
    }
    bool empty() const;
    void merge(Effects&& other);
};

}  // namespace room::commissioning
