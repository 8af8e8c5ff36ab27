// The hand-over CSV: a row per device of each room's run, streamed room by room.

#include "platform/hand_over.h"

#include "core/model/catalogues.h"
#include "core/records/room_number.h"
#include "platform/hand_over_texts.h"
#include "platform/save_stream.h"

namespace room::platform {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeader[] = {"房号",     "楼层",   "酒店",     "房型",    "房型编号",
                                        "房型哈希", "状态",   "时间",     "UTC偏移", "操作",
                                        "调试人员", "计算机", "程序版本", "端口",    "编号",
                                        "设备类型", "位置",   "结果",     "差异"};
constexpr std::size_t kColumns = std::size(kHeader);

// A spreadsheet takes a cell that begins with = + - or @ (or a tab or carriage return, which
// some strip first) for a formula: a leading apostrophe inside the field keeps it text, so a
// room number "-12" or a location "=SUM(A1)" shows as written, with the apostrophe in front.
void addField(std::string& out, std::string_view text) {
    std::string cell;
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        cell = "'";
    }
    cell += text;
    // Quoted when it holds a separator, a quote or a line break, as the record's own CSV does.
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void addLine(std::string& out, const std::array<std::string, kColumns>& fields) {
    for (std::size_t i = 0; i < kColumns; ++i) {
        if (i > 0) out += ',';
        addField(out, fields[i]);
    }
    out += "\r\n";
}

// The columns every row of a room shares; the device columns are left empty.
std::array<std::string, kColumns> roomFields(const ReportRoom& room) {
    const RoomStatus& status = room.status;
    const records::RunRecord* run = room.run ? &*room.run : nullptr;
    const records::RoomTypeId& type = run ? run->roomType : status.room.roomType;
    std::array<std::string, kColumns> fields;
    fields[0] = records::shownRoomNumber(status.room.roomNumber);
    fields[1] = status.room.floor;
    fields[2] = type.hotel;
    fields[3] = type.name;
    fields[4] = type.number;
    fields[6] = records::roomStateText(status.state);
    if (!run) return fields;
    fields[5] = run->roomType.hash;
    fields[7] = run->when;
    fields[8] = hand_over::offsetText(run->utcOffset);
    fields[9] = run->operation;
    fields[10] = run->installer;
    fields[11] = run->machine;
    fields[12] = run->programVersion;
    fields[13] = run->port;
    return fields;
}

void addRoom(std::string& out, const ReportRoom& room) {
    std::array<std::string, kColumns> fields = roomFields(room);
    if (!room.run || room.run->devices.empty()) {
        addLine(out, fields);
        return;
    }
    for (const records::DeviceResult& device : room.run->devices) {
        fields[14] = std::to_string(device.device);
        fields[15] = model::deviceTypeName(device.type);
        fields[16] = device.location;
        fields[17] = records::verdictText(device.verdict);
        fields[18] = hand_over::differencesText(device, "; ");
        addLine(out, fields);
    }
}

bool write(SaveStream& out, const std::string& text) {
    return out.write(text.data(), static_cast<qint64>(text.size())) ==
           static_cast<qint64>(text.size());
}

ReportResult failWith(QString* error, const QString& reason) {
    if (error) *error = reason;
    return ReportResult::Failed;
}

}  // namespace

ReportResult writeHandOverCsv(const QString& path, const ReportJob& job, QString* error) {
    SaveStream out(path);
    if (!out.begin()) return failWith(error, out.error());
    std::string text(kBom);
    std::array<std::string, kColumns> header;
    for (std::size_t i = 0; i < kColumns; ++i) header[i] = kHeader[i];
    addLine(text, header);
    const int total = static_cast<int>(job.rooms.size());
    for (int done = 0; done < total; ++done) {
        const RoomStatus& status = job.status.rooms.at(job.rooms[static_cast<std::size_t>(done)]);
        const std::optional<ReportRoom> room = job.fetch(status);
        if (!room) return failWith(error, hand_over::unreadableRoomText(status.room.roomNumber));
        addRoom(text, *room);
        if (!write(out, text)) return failWith(error, out.error());
        text.clear();
        if (job.progress && !job.progress(done + 1, total)) return ReportResult::Cancelled;
    }
    if (!write(out, text) || !out.finish()) return failWith(error, out.error());
    return ReportResult::Written;
}

}  // namespace room::platform
