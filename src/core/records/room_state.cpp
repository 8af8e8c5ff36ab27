#include "core/records/room_state.h"

namespace room::records {

namespace {

constexpr std::string_view kStateTexts[] = {"未调试", "已下发", "校验通过", "需复核",
                                            "无应答", "数据异常", "中断"};

// The order totals are told in: finished first, then what needs a visit.
constexpr RoomState kTotalsOrder[] = {RoomState::Verified, RoomState::Recheck,  RoomState::Faulty,
                                      RoomState::NoAnswer, RoomState::Interrupted, RoomState::Sent,
                                      RoomState::Untouched};

}  // namespace

std::string_view roomStateText(RoomState state) {
    return kStateTexts[static_cast<int>(state)];
}

std::optional<RoomState> roomStateFromText(std::string_view text) {
    for (RoomState state : kRoomStates) {
        if (roomStateText(state) == text) return state;
    }
    return std::nullopt;
}

bool isWholeRoomRun(std::string_view operation) {
    return operation == "下发所有" || operation == "校验所有";
}

RunFacts factsOf(const RunRecord& run) {
    RunFacts facts;
    facts.id = run.id;
    facts.when = run.when;
    facts.utcOffset = run.utcOffset;
    facts.installer = run.installer;
    facts.operation = run.operation;
    facts.hash = run.roomType.hash;
    facts.cutShort = run.cutShort;
    facts.devices = static_cast<int>(run.devices.size());
    for (const DeviceResult& d : run.devices) {
        switch (d.verdict) {
            case Verdict::Ok: ++facts.ok; break;
            case Verdict::NoAnswer: ++facts.noAnswer; break;
            case Verdict::Differs: ++facts.differs; break;
            case Verdict::Conflict: ++facts.conflicts; break;
            case Verdict::Unreached: ++facts.unreached; break;
        }
    }
    return facts;
}

RoomState roomState(const std::optional<RunFacts>& run, std::string_view hashNow) {
    if (!run) return RoomState::Untouched;
    if (run->differs > 0 || run->conflicts > 0) return RoomState::Faulty;
    if (run->cutShort || run->unreached > 0) return RoomState::Interrupted;
    // A run that served no device proved nothing about the room.
    if (run->noAnswer > 0 || run->devices == 0 || run->ok < run->devices) return RoomState::NoAnswer;
    if (run->operation != "校验所有") return RoomState::Sent;
    return run->hash == hashNow ? RoomState::Verified : RoomState::Recheck;
}

std::string factsLine(const RunFacts& run) {
    const bool verify = run.operation == "校验所有" || run.operation == "单台校验";
    const std::string what = verify ? "校验一致" : run.operation == "下发所有" ? "已应答" : "已读取";
    const std::string total = std::to_string(run.devices);
    std::string text = run.operation + ": ";
    if (run.devices > 0 && run.ok == run.devices) {
        text += total + "台全部" + what;
    } else {
        text += total + "台中" + std::to_string(run.ok) + "台" + what;
        const std::pair<int, const char*> parts[] = {
            {run.noAnswer, "无应答"}, {run.differs, "数据异常"}, {run.conflicts, "编号冲突"},
            {run.unreached, "未处理"}};
        for (const auto& [count, name] : parts) {
            if (count > 0) text += std::string(", ") + name + " " + std::to_string(count);
        }
    }
    if (run.cutShort) text += " (中断)";
    return text;
}

std::string totalsText(const StateCounts& counts) {
    int all = 0;
    for (int count : counts) all += count;
    std::string text = "共" + std::to_string(all) + "间";
    const char* separator = ": ";
    for (RoomState state : kTotalsOrder) {
        const int count = counts[static_cast<std::size_t>(state)];
        if (count == 0) continue;
        text += separator + std::string(roomStateText(state)) + " " + std::to_string(count);
        separator = ", ";
    }
    return text;
}

}  // namespace room::records
