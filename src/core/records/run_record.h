#pragma once
// The commissioning record as plain values: an entry per run (or per single-device check) with a
// row per device, the rooms table the record keeps, and the texts a report or a CSV shows. No
// storage here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/commissioning/effects.h"
#include "core/commissioning/engine.h"
#include "core/model/room_type.h"

namespace room::records {

// A device's result in a run, as the installer reads it.
enum class Verdict : std::uint8_t { Ok, NoAnswer, Differs, Conflict, Unreached };
// "OK", "无应答", "数据异常", "编号冲突", "未处理".
std::string_view verdictText(Verdict verdict);
// The verdict of a stored text; NoAnswer for anything unknown.
Verdict verdictFromText(std::string_view text);

struct DeviceResult {
    int device = 0;
    int type = 0;
    std::string location;
    Verdict verdict = Verdict::NoAnswer;
    std::vector<std::string> differences;
    bool operator==(const DeviceResult&) const = default;
};

// Which room type a run was made with; the hash tells two versions of it apart.
struct RoomTypeId {
    std::string hotel;
    std::string name;
    std::string number;
    std::string hash;  // of the room-type file as a save would write it
    bool operator==(const RoomTypeId&) const = default;
};

struct RunRecord {
    long long id = 0;  // given by the store
    std::string uuid;  // given when the run ends: the entry's identity wherever it is sent
    std::string when;       // local time, "2026-12-09 21:30:05"
    std::string whenUtc;    // the same moment in UTC, "2026-12-09T13:30:05Z"
    std::string utcOffset;  // the local offset then, "+08:00"
    std::string installer;  // 调试人员
    std::string machine;    // the computer the run was made on
    std::string operation;
    std::string roomNumber;
    RoomTypeId roomType;
    std::string port;
    std::string programVersion;
    bool cutShort = false;
    std::vector<DeviceResult> devices;
    bool operator==(const RunRecord&) const = default;
};

// What the state needs to know of a run: no device rows, so a board of thousands of rooms
// reads one line per room.
struct RunFacts {
    long long id = 0;
    std::string when;       // local time
    std::string utcOffset;  // "+08:00"
    std::string installer;
    std::string operation;
    std::string hash;  // of the room type the run was made with
    bool cutShort = false;
    int devices = 0;
    int ok = 0;
    int noAnswer = 0;
    int differs = 0;    // 数据异常
    int conflicts = 0;  // 编号冲突
    int unreached = 0;
    bool operator==(const RunFacts&) const = default;
};

// Operation names as the console's buttons and pages call them.
std::string_view operationName(commissioning::RunMode mode);
std::string_view singleCheckName(bool read);
bool isVerify(std::string_view operation);
bool isSend(std::string_view operation);

// Everything about a run but its time, place and room type: a row per device it served or would
// have served, with the differences found for it (`differences[device]`).
RunRecord recordOfRun(const model::RoomTypeConfig& room, const commissioning::RunSummary& summary,
                      const std::vector<std::vector<std::string>>& differences);
// The differences the engine keeps for each device 0..32, as recordOfRun takes them.
std::vector<std::vector<std::string>> differencesByDevice(const commissioning::Engine& engine);
// Takes the time, room number, room type, port and version stamped on `stamp` when a run began.
void takeStamp(RunRecord& record, const RunRecord& stamp);

// A switch page's check of one device: `result` 0 no answer, 1 matched or read, 2 differences.
RunRecord recordOfCheck(const model::RoomTypeConfig& room, int device, int result, bool read,
                        std::vector<std::string> differences);

// "7台设备全部校验一致", or how many of how many, and which did not.
std::string summaryLine(const RunRecord& record);
int okCount(const RunRecord& record);

// A room as the record's list shows it: its latest send and verify.
struct RoomRow {
    std::string roomNumber;
    RoomTypeId roomType;
    std::string lastSend;    // when, empty when never sent
    std::string lastVerify;  // when, empty when never verified
    int verifyOk = 0;        // devices OK in the latest verify
    int verifyTotal = 0;     // devices in the latest verify
    bool verifyCutShort = false;
    long long lastVerifyId = 0;
    std::optional<RunFacts> latest;  // its latest send all or verify all
    bool verifiedOk() const { return !lastVerify.empty() && verifyOk == verifyTotal && !verifyCutShort; }
    bool operator==(const RoomRow&) const = default;
};

// The rows as CSV: UTF-8 with a byte-order mark (so spreadsheet programs read the Chinese),
// CRLF line ends, fields quoted where they need it.
std::string roomsCsv(const std::vector<RoomRow>& rows);
// Every device row of the given runs, one line each.
std::string runsCsv(const std::vector<RunRecord>& runs);

}  // namespace room::records
