#include "core/compare/compare.h"

#include <set>

#include "core/compare/compare_parts.h"
#include "core/editing/definition_pages.h"
#include "core/editing/scene_rules.h"

namespace room::compare {

using model::RoomTypeConfig;

namespace {
std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}
}  // namespace

std::string changeLine(const std::string& label, std::string before, const std::string& after) {
    return label + ": " + trimmed(std::move(before)) + " → " + trimmed(after);
}

Difference makeDifference(std::string group, int device, std::string field,
                          const std::string& label, std::string before, std::string after) {
    Difference d;
    d.group = std::move(group);
    d.device = device;
    d.field = std::move(field);
    d.before = trimmed(std::move(before));
    d.after = trimmed(std::move(after));
    d.text = changeLine(label, d.before, d.after);
    return d;
}

std::vector<std::string> lineTexts(const std::vector<Difference>& differences) {
    std::vector<std::string> texts;
    texts.reserve(differences.size());
    for (const Difference& d : differences) texts.push_back(d.text);
    return texts;
}

std::vector<Difference> compareRoomTypes(const RoomTypeConfig& before, const RoomTypeConfig& after) {
    std::vector<Difference> out;
    detail::compareIdentity(before, after, out);
    detail::compareLampNames(before, after, out);
    detail::compareDevices(before, after, out);
    detail::compareOptions(before, after, out);
    return out;
}

namespace detail {

namespace {

void add(std::vector<Difference>& out, const char* group, const std::string& label,
         const std::string& a, const std::string& b) {
    if (a != b) out.push_back(makeDifference(group, 0, label, label, a, b));
}

// "1.6.2"; a file without a version field has none.
std::string versionText(int version) {
    if (version == 0) return "无";
    return std::to_string(version / 100) + "." + std::to_string(version / 10 % 10) + "." +
           std::to_string(version % 10);
}

std::string checked(bool on) { return on ? "勾选" : "不勾选"; }

// A count list's label without its closing colon, as a line label.
std::string bareLabel(std::string_view label) {
    std::string text(label);
    for (const std::string_view colon : {"：", ":"}) {
        if (text.ends_with(colon)) text.resize(text.size() - colon.size());
    }
    return text;
}

template <std::size_t N>
std::string boardText(const std::array<editing::BoardChoice, N>& boards, int value) {
    for (const editing::BoardChoice& board : boards) {
        if (board.value == value) return std::string(board.text);
    }
    return std::to_string(value);
}

}  // namespace

void compareIdentity(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out) {
    add(out, kRoomGroup, "酒店名称", a.hotelName, b.hotelName);
    add(out, kRoomGroup, "房型名称", a.roomTypeName, b.roomTypeName);
    add(out, kRoomGroup, "房型编号", a.roomTypeNumberText, b.roomTypeNumberText);
    add(out, kRoomGroup, "主机型号", std::string(model::systemTypeName(a.systemType)),
        std::string(model::systemTypeName(b.systemType)));
    add(out, kRoomGroup, "输出扩展板", boardText(editing::kOutputBoards, a.outputExpansion),
        boardText(editing::kOutputBoards, b.outputExpansion));
    add(out, kRoomGroup, "输入扩展板", boardText(editing::kInputBoards, a.inputExpansion),
        boardText(editing::kInputBoards, b.inputExpansion));
    for (const editing::FlagSpec& flag : editing::kBasicFlags) {
        // Only these flags live in the file; the others stay in memory.
        if (flag.field != editing::FlagField::BoardUse &&
            flag.field != editing::FlagField::DryContactFirstFive) {
            continue;
        }
        add(out, kRoomGroup, std::string(flag.text), checked(editing::flagValue(a, flag)),
            checked(editing::flagValue(b, flag)));
    }
    add(out, kRoomGroup, "主机选项7", std::to_string(a.boardOption7), std::to_string(b.boardOption7));
    add(out, kRoomGroup, "配置文件版本", versionText(a.fileVersion), versionText(b.fileVersion));
    add(out, kRoomGroup, "S行首字段", std::to_string(a.headerByte & 0xFF),
        std::to_string(b.headerByte & 0xFF));
    add(out, kRoomGroup, "设备数量", std::to_string(a.deviceCount), std::to_string(b.deviceCount));
    add(out, kRoomGroup, "输入数量", std::to_string(a.inputCount), std::to_string(b.inputCount));
    add(out, kRoomGroup, "输出数量", std::to_string(a.outputCount), std::to_string(b.outputCount));
    for (const editing::CountSpec& count : editing::kCountLists) {
        add(out, kRoomGroup, bareLabel(count.label), std::to_string(a.*count.field),
            std::to_string(b.*count.field));
    }
}

void compareLampNames(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out) {
    // The file names the lamps of the category lists; other names are not carried.
    std::set<int> named;
    for (const RoomTypeConfig* room : {&a, &b}) {
        for (int lamp : model::listItems(room->ordinaryLightKeys)) named.insert(lamp);
        for (const auto* list : {&room->dimmerAndOtherKeys, &room->curtainKeys,
                                 &room->sceneModeKeys, &room->otherKeys}) {
            for (int lamp : model::listItems(*list)) named.insert(lamp);
        }
    }
    for (int lamp : named) {
        if (lamp >= model::kLampCount || a.lampNames[lamp] == b.lampNames[lamp]) continue;
        char label[32];
        std::snprintf(label, sizeof label, "灯名 %03d", lamp);
        out.push_back(
            makeDifference(kLampGroup, 0, label, label, a.lampNames[lamp], b.lampNames[lamp]));
    }
}

void compareOptions(const RoomTypeConfig& a, const RoomTypeConfig& b, std::vector<Difference>& out) {
    // Indicator bits: per scene mode an on bit and a controlled bit, read as the indicator
    // output's state in the scene editor.
    for (int n = 1; n <= model::kModeSlots; ++n) {
        const int pair = 2 * ((n - 1) / 8);
        const int bit = 1 << ((n - 1) % 8);
        auto state = [&](const RoomTypeConfig& room) {
            if (room.modeFlagBits[pair] & bit) return 10;
            return (room.modeFlagBits[pair + 1] & bit) ? 0 : model::kNotInvolved;
        };
        const int sa = state(a);
        const int sb = state(b);
        if (sa == sb) continue;
        const int code = model::sceneCodeForSlot(n);
        const std::string label = "情景 " + a.lampNames[code] + " 字灯";
        out.push_back(makeDifference(kOptionGroup, 0, label, label, stateText(a, 2, sa),
                                     stateText(b, 2, sb)));
    }
    // Bytes E and F are not in the file.
    for (int byte = 0; byte < 4; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool on = editing::optionByte(a, byte) & (1 << bit);
            add(out, kOptionGroup, std::string(editing::kFunctionOptionTexts[byte][bit]),
                checked(on), checked(editing::optionByte(b, byte) & (1 << bit)));
        }
    }
    add(out, kOptionGroup, "拔卡后延时(秒)", std::to_string(a.cardOutDelay),
        std::to_string(b.cardOutDelay));
}

}  // namespace detail

}  // namespace room::compare
