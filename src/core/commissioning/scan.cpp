#include "core/commissioning/scan.h"

#include "core/commissioning/read_stage.h"
#include "core/model/catalogues.h"

namespace room::commissioning {

namespace {

// `label` and the numbers, "%02d" each, a blank apart. (Appended, not "label" + string: GCC 12
// at -O3 warns falsely about that form.)
std::string numberList(const std::vector<int>& numbers, std::string label = {}) {
    const std::size_t start = label.size();
    for (int n : numbers) label += formatNumber(label.size() == start ? "%02d" : " %02d", n);
    return label;
}

}  // namespace

void ScanBook::start(Milliseconds window, bool againstRoomType) {
    m_window = window;
    m_against = againstRoomType;
    m_found.fill(false);
    m_late.fill(false);
    m_types.fill(0);
}

std::optional<bool> ScanBook::take(const protocol::Answer& answer, Attribution& attribution,
                                   const model::RoomTypeConfig& room, int number) {
    std::vector<protocol::Answer> whole{answer};
    if (answer.kind == protocol::Answer::Kind::Short) {
        if (attribution.addBlock(answer) == BlockFate::NotABlock || !attribution.allBlocks()) {
            return std::nullopt;
        }
        whole = attribution.takeBlocks();
    }
    attribution.markComplete();
    if (!valid(number)) return false;
    model::RoomTypeConfig scratch = room;
    scratch.devices[number].type = 0;
    if (readBackWhole(whole, scratch, number).result != 1) return false;
    m_found[number] = true;
    m_types[number] = scratch.devices[number].type;
    return true;
}

void ScanBook::late(int number) {
    if (valid(number)) m_late[number] = true;
}

ScanReport ScanBook::report(const DeviceFlags& served, const model::RoomTypeConfig* room) const {
    if (!m_against) room = nullptr;
    ScanReport report;
    report.window = m_window;
    report.againstRoomType = room != nullptr;
    for (int n = 1; n <= kLastBusDevice; ++n) {
        const bool inUse = room && room->devices[n].inUse != 0;
        if (m_found[n]) {
            report.found.push_back(ScanFinding{n, m_types[n]});
            if (room && !inUse) report.extra.push_back(n);
        } else if (m_late[n]) {
            report.slow.push_back(n);
        } else if (served[n] && inUse) {
            report.missing.push_back(n);
        }
    }
    return report;
}

bool hasDeviceInUse(const model::RoomTypeConfig& room) {
    for (int n = 1; n <= kLastBusDevice; ++n) {
        if (room.devices[n].inUse != 0) return true;
    }
    return false;
}

std::vector<int> answeringNumbers(const ScanReport& report) {
    std::vector<int> numbers;
    std::size_t slow = 0;
    for (const ScanFinding& found : report.found) {
        while (slow < report.slow.size() && report.slow[slow] < found.number) {
            numbers.push_back(report.slow[slow++]);
        }
        numbers.push_back(found.number);
    }
    numbers.insert(numbers.end(), report.slow.begin() + static_cast<long>(slow), report.slow.end());
    return numbers;
}

bool scanMatches(const ScanReport& report) {
    if (!report.againstRoomType) return !report.found.empty() && report.slow.empty();
    return report.missing.empty() && report.extra.empty() && report.slow.empty();
}

std::vector<std::string> scanLines(const ScanReport& report) {
    std::vector<std::string> lines;
    for (const ScanFinding& found : report.found) {
        std::string line = formatNumber("%02d", found.number);
        if (found.type != 0) {
            line += ' ';
            line += model::deviceTypeName(found.type);
        }
        lines.push_back(std::move(line));
    }
    if (!report.missing.empty()) lines.push_back(numberList(report.missing, "缺少: "));
    if (!report.extra.empty()) lines.push_back(numberList(report.extra, "多出: "));
    if (!report.slow.empty()) lines.push_back(numberList(report.slow, "应答慢: "));
    return lines;
}

std::string scanTitle(const ScanReport& report) {
    std::vector<int> found;
    for (const ScanFinding& f : report.found) found.push_back(f.number);
    std::string title = numberList(found, "应答的编号:");
    if (!report.missing.empty()) title += numberList(report.missing, "  缺少:");
    if (!report.extra.empty()) title += numberList(report.extra, "  多出:");
    if (!report.slow.empty()) title += numberList(report.slow, "  应答慢:");
    return title;
}

std::string scanStatus(const RunSummary& summary) {
    const std::size_t found = summary.scan ? summary.scan->found.size() : 0;
    std::string text = summary.stopped ? "扫描中断: " : "扫描完成: ";
    text += std::to_string(summary.visited);
    text += "个编号中";
    text += std::to_string(found);
    text += "个应答";
    return text;
}

}  // namespace room::commissioning
