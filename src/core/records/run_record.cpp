#include "core/records/run_record.h"

#include <algorithm>
#include <cstdio>

#include "core/model/catalogues.h"

namespace room::records {

namespace {

constexpr std::string_view kVerdictTexts[] = {"OK", "无应答", "数据异常", "编号冲突", "未处理"};

bool contains(const std::vector<int>& list, int device) {
    return std::find(list.begin(), list.end(), device) != list.end();
}

DeviceResult rowFor(const model::RoomTypeConfig& room, int device, Verdict verdict) {
    DeviceResult row;
    row.device = device;
    if (device >= 1 && device <= model::kMaxDevices) {
        row.type = room.devices[device].type;
        row.location = room.devices[device].name;
    }
    row.verdict = verdict;
    return row;
}

std::string number(int value) {
    return std::to_string(value);
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string line(std::initializer_list<std::string> fields) {
    std::string out;
    for (const std::string& f : fields) {
        if (!out.empty()) out += ',';
        out += field(f);
    }
    return out + "\r\n";
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

}  // namespace

std::string_view verdictText(Verdict verdict) {
    return kVerdictTexts[static_cast<int>(verdict)];
}

Verdict verdictFromText(std::string_view text) {
    for (int i = 0; i < 5; ++i) {
        if (kVerdictTexts[i] == text) return static_cast<Verdict>(i);
    }
    return Verdict::NoAnswer;
}

std::string_view operationName(commissioning::RunMode mode) {
    switch (mode) {
        case commissioning::RunMode::SendAll:
            return "下发所有";
        case commissioning::RunMode::VerifyAll:
            return "校验所有";
        case commissioning::RunMode::ReadAll:
            return "读取所有";
        default:
            return "";
    }
}

std::string_view singleCheckName(bool read) {
    return read ? "单台读取" : "单台校验";
}

bool isVerify(std::string_view operation) {
    return operation == "校验所有" || operation == "单台校验";
}

bool isSend(std::string_view operation) {
    return operation == "下发所有";
}

RunRecord recordOfRun(const model::RoomTypeConfig& room, const commissioning::RunSummary& summary,
                      const std::vector<std::vector<std::string>>& differences) {
    RunRecord record;
    record.operation = std::string(operationName(summary.mode));
    record.cutShort = summary.stopped;
    for (int device : summary.served) {
        Verdict verdict = Verdict::Ok;
        if (contains(summary.inDoubt, device) && contains(summary.abnormal, device)) {
            verdict = Verdict::Conflict;
        } else if (contains(summary.abnormal, device)) {
            verdict = Verdict::Differs;
        } else if (contains(summary.unread, device)) {
            verdict = Verdict::NoAnswer;
        }
        DeviceResult row = rowFor(room, device, verdict);
        if (static_cast<std::size_t>(device) < differences.size()) row.differences = differences[device];
        record.devices.push_back(std::move(row));
    }
    for (int device : summary.unreached) record.devices.push_back(rowFor(room, device, Verdict::Unreached));
    std::sort(record.devices.begin(), record.devices.end(),
              [](const DeviceResult& a, const DeviceResult& b) { return a.device < b.device; });
    return record;
}

std::vector<std::vector<std::string>> differencesByDevice(const commissioning::Engine& engine) {
    std::vector<std::vector<std::string>> differences(model::kBusDevices + 1);
    for (int device = 1; device <= model::kBusDevices; ++device) {
        differences[device] = engine.differencesOf(device);
    }
    return differences;
}

void takeStamp(RunRecord& record, const RunRecord& stamp) {
    record.when = stamp.when;
    record.whenUtc = stamp.whenUtc;
    record.utcOffset = stamp.utcOffset;
    record.installer = stamp.installer;
    record.machine = stamp.machine;
    record.roomNumber = stamp.roomNumber;
    record.roomType = stamp.roomType;
    record.port = stamp.port;
    record.programVersion = stamp.programVersion;
}

RunRecord recordOfCheck(const model::RoomTypeConfig& room, int device, int result, bool read,
                        std::vector<std::string> differences) {
    RunRecord record;
    record.operation = std::string(singleCheckName(read));
    const Verdict verdict = result == 1 ? Verdict::Ok : result == 2 ? Verdict::Differs : Verdict::NoAnswer;
    DeviceResult row = rowFor(room, device, verdict);
    row.differences = std::move(differences);
    record.devices.push_back(std::move(row));
    return record;
}

int okCount(const RunRecord& record) {
    return static_cast<int>(std::count_if(record.devices.begin(), record.devices.end(),
                                          [](const DeviceResult& d) { return d.verdict == Verdict::Ok; }));
}

std::string summaryLine(const RunRecord& record) {
    const int total = static_cast<int>(record.devices.size());
    const int ok = okCount(record);
    const bool verify = isVerify(record.operation);
    const std::string what = verify ? "校验一致" : isSend(record.operation) ? "已应答" : "已读取";
    if (total > 0 && ok == total) return number(total) + "台设备全部" + what;
    std::string text = number(total) + "台设备中" + number(ok) + "台" + what;
    for (Verdict verdict : {Verdict::NoAnswer, Verdict::Differs, Verdict::Conflict, Verdict::Unreached}) {
        std::string devices;
        for (const DeviceResult& d : record.devices) {
            if (d.verdict != verdict) continue;
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, devices.empty() ? "%02d" : " %02d", d.device);
            devices += buffer;
        }
        if (!devices.empty()) text += ", " + std::string(verdictText(verdict)) + ": " + devices;
    }
    return text;
}

std::string roomsCsv(const std::vector<RoomRow>& rows) {
    std::string out(kBom);
    out += line({"房号", "酒店", "房型", "房型编号", "最近下发", "最近校验", "校验一致", "设备数"});
    for (const RoomRow& r : rows) {
        out += line({r.roomNumber, r.roomType.hotel, r.roomType.name, r.roomType.number, r.lastSend,
                     r.lastVerify, number(r.verifyOk), number(r.verifyTotal)});
    }
    return out;
}

std::string runsCsv(const std::vector<RunRecord>& runs) {
    std::string out(kBom);
    out += line({"时间", "操作", "房号", "酒店", "房型", "房型编号", "编号", "设备类型", "位置",
                 "结果", "差异"});
    for (const RunRecord& run : runs) {
        for (const DeviceResult& d : run.devices) {
            std::string differences;
            for (const std::string& text : d.differences) {
                if (!differences.empty()) differences += "; ";
                differences += text;
            }
            out += line({run.when, run.operation, run.roomNumber, run.roomType.hotel,
                         run.roomType.name, run.roomType.number, number(d.device),
                         std::string(model::deviceTypeName(d.type)), d.location,
                         std::string(verdictText(d.verdict)), differences});
        }
    }
    return out;
}

}  // namespace room::records
