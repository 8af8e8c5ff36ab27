#include "core/records/job.h"

#include <map>

#include "core/format/gbk.h"
#include "core/records/room_number.h"

namespace room::records {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "房号,楼层,房型文件";

std::string decoded(std::string_view bytes) {
    if (bytes.substr(0, kBom.size()) == kBom) return std::string(bytes.substr(kBom.size()));
    // A table saved by a spreadsheet on a Chinese Windows is GBK; UTF-8 shows itself.
    if (format::isUtf8Text(bytes) || !format::isValidGbk(bytes)) return std::string(bytes);
    return format::gbkToUtf8(bytes);
}

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

// The records of a CSV text, each with the line it starts on; a quoted field may hold a comma,
// a doubled quote or a line break.
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

std::vector<CsvRecord> csvRecords(std::string_view text) {
    std::vector<CsvRecord> out;
    CsvRecord record{1, {""}};
    int line = 1;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = record.fields.back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.fields.emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out.push_back(std::move(record));
            record = CsvRecord{++line, {""}};
        } else {
            field += c;
        }
    }
    out.push_back(std::move(record));
    return out;
}

bool isBlankRecord(const CsvRecord& record) {
    for (const std::string& field : record.fields) {
        if (!trimmed(field).empty()) return false;
    }
    return true;
}

// A floor obeys the room number's rules, and is named as a floor when refused.
std::string floorProblem(const std::string& floor) {
    const RoomNumberCheck check = checkRoomNumber(floor);
    if (check.ok()) return {};
    return "楼层" + check.reason.substr(std::string("房号").size());
}

}  // namespace

std::string lineError(int line, std::string_view reason) {
    return "第" + std::to_string(line) + "行: " + std::string(reason);
}

RoomsTable parseRoomsTable(std::string_view bytes) {
    RoomsTable table;
    const std::vector<CsvRecord> records = csvRecords(decoded(bytes));
    std::string header;
    for (const std::string& field : records.front().fields) {
        if (!header.empty()) header += ',';
        header += trimmed(field);
    }
    if (header != kHeader) {
        table.errors.push_back(lineError(1, "表头应为“" + std::string(kHeader) + "”"));
        return table;
    }
    std::map<std::string, int> seen;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        if (isBlankRecord(record)) continue;
        if (record.fields.size() != 3) {
            table.errors.push_back(lineError(record.line, "应有3列, 实有" + std::to_string(record.fields.size()) + "列"));
            continue;
        }
        const RoomNumberCheck number = checkRoomNumber(record.fields[0]);
        RoomsTableLine room{record.line, number.number, trimmed(record.fields[1]), trimmed(record.fields[2])};
        std::string problem = number.reason;
        if (problem.empty() && !room.floor.empty()) problem = floorProblem(room.floor);
        if (problem.empty() && room.path.empty()) problem = "房型文件为空";
        if (problem.empty()) {
            const auto [at, fresh] = seen.emplace(room.roomNumber, room.line);
            if (!fresh) problem = "房号" + room.roomNumber + "与第" + std::to_string(at->second) + "行重复";
        }
        if (!problem.empty()) {
            table.errors.push_back(lineError(record.line, problem));
            continue;
        }
        if (room.floor.empty()) room.floor = floorOf(room.roomNumber);
        table.rooms.push_back(std::move(room));
    }
    if (table.rooms.empty() && table.errors.empty()) table.errors.push_back(lineError(2, "房间表中没有房间"));
    if (!table.errors.empty()) table.rooms.clear();
    return table;
}

}  // namespace room::records
