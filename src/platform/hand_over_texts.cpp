#include "platform/hand_over_texts.h"

#include "core/records/difference_words.h"
#include "core/records/room_number.h"

namespace room::platform::hand_over {

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

}  // namespace

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string offsetText(std::string_view utcOffset) {
    return utcOffset.empty() ? std::string() : "UTC" + std::string(utcOffset);
}

std::string timeText(std::string_view when, std::string_view utcOffset) {
    if (utcOffset.empty()) return std::string(when);
    return std::string(when) + " (" + offsetText(utcOffset) + ")";
}

std::string stateLine(records::RoomState state, const records::RunRecord* run) {
    using records::RoomState;
    const std::string name(records::roomStateText(state));
    if (state == RoomState::Recheck)
        return name + ": 校验时的房型与现在不同, 需按现在的房型重新校验";
    if (!run) return state == RoomState::Untouched ? name + ": 此房间还没有调试记录" : name;
    if (state == RoomState::Untouched) {
        return name + ": 没有下发所有或校验所有的记录, 下表是最近一次" + run->operation;
    }
    if (state == RoomState::Interrupted)
        return name + ": 运行未完成即停止, " + records::summaryLine(*run);
    return name + ": " + records::summaryLine(*run);
}

std::string historyLine(const records::RunFacts& facts, std::string_view hashNow) {
    std::string line = records::factsLine(facts);
    if (hashNow.empty() || facts.hash.empty() || facts.hash == hashNow) return line;
    replaceAll(line, "全部校验一致", "全部与当时的房型一致");
    return line + " (房型与现在不同)";
}

bool hashChanged(const records::RunRecord& run, std::string_view hashNow) {
    return !hashNow.empty() && !run.roomType.hash.empty() && run.roomType.hash != hashNow;
}

QString unreadableRoomText(std::string_view roomNumber) {
    return QStringLiteral("无法读取房间%1的调试记录").arg(qs(records::shownRoomNumber(roomNumber)));
}

std::string differencesText(const records::DeviceResult& device, std::string_view separator) {
    std::string text;
    for (const std::string& difference : device.differences) {
        if (!text.empty()) text += separator;
        text += records::differenceInWords(difference);
    }
    return text;
}

}  // namespace room::platform::hand_over
