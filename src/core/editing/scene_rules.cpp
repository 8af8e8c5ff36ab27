#include "core/editing/scene_rules.h"

#include <algorithm>
#include <cstdio>

#include "core/protocol/frames.h"

namespace room::editing {

namespace {

std::string formatted(const char* pattern, int value) {
    char text[16];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};
const Rgb kNotControlledBrown{139, 126, 102};

}  // namespace

int sceneCodeOfKey(int key) {
    if (key >= 1 && key <= 8) return 49 + key;
    if (key >= 9 && key <= 16) return 159 + key;
    if (key >= 17 && key <= 24) return 167 + key;
    return 0;
}

std::string actionSuffix(int lamp, int v) {
    const bool unchanged = v == kNotControlled;
    switch (lamp) {
        case 60:
        case 100:
            return v == 0 ? ":关" : v == 10 ? ":开" : unchanged ? " " : ":?";
        case 61:
        case 101:
            return v == 8 ? ":制热" : v == 9 ? ":制冷" : v == 10 ? ":通风" : unchanged ? " " : ":?";
        case 62:
        case 102:
            return v >= 0 && v <= 15 ? formatted(":%02d", 16 + v) : unchanged ? " " : ":?";
        case 63:
        case 103:
            return v == 7      ? ":低速"
                   : v == 8    ? ":中速"
                   : v == 9    ? ":高速"
                   : v == 10   ? ":自动"
                   : unchanged ? " "
                               : ":?";
        case 64:
        case 210:
            if (v == 0) return ":关机";
            if (v >= 1 && v <= 7) return formatted(":播%d", v);
            if (v == 8) return ":停止";
            if (v == 9) return ":播放";
            if (v == 10) return ":开机";
            return "    ";
        default:
            break;
    }
    if (v == 0) return ":关 ";
    if (v == 1) return ":00";
    if (v >= 2 && v <= 8) return formatted(":%02d", 10 * v);
    if (v == 9) return ":99";
    if (v == 10) return ":开 ";
    if (v >= 11 && v <= 15) return std::string(":") + static_cast<char>('B' + v - 11) + " ";
    return "   ";
}

std::string actionText(const model::RoomTypeConfig& room, int lamp, int state) {
    const std::string name =
        lamp == 78 ? std::string("受控插座")
                   : (lamp >= 0 && lamp < model::kLampCount ? room.lampNames[lamp] : std::string());
    return name + actionSuffix(lamp, state);
}

Colours outputColours(int v, bool loaded) {
    if (v == kNotControlled) return {kNotControlledBrown, kWhite};
    if (loaded) {
        const int green = std::min(20 * v + 20, 240);
        return {Rgb{0, green, 0}, v <= 5 ? kWhite : kBlack};
    }
    if (v >= 1 && v <= 10) return {Rgb{0, (20 * v + 20) % 256, 0}, v <= 5 ? kWhite : kBlack};
    if (v >= 11 && v <= 15) return {Rgb{0, 240, 0}, kBlack};
    if (v == 0) return {Rgb{10, 10, 10}, kWhite};
    return {kNotControlledBrown, kWhite};
}

Colours sceneKeyColours(bool chosen) {
    return chosen ? Colours{Rgb{0, 255, 255}, Rgb{255, 69, 0}}
                  : Colours{kNotControlledBrown, kWhite};
}

std::optional<int> wireValue(int lamp, int v) {
    const bool unchanged = v == kNotControlled;
    if ((lamp >= 70 && lamp <= 75) || lamp == 64) {
        if (unchanged) return 0;
        if (v >= 1 && v <= 10) return v;
        return std::nullopt;
    }
    switch (lamp) {
        case 60:
        case 100:
            if (unchanged) return 0;
            if (v == 0) return 2;
            if (v == 10) return 1;
            return std::nullopt;
        case 61:
        case 101:
            if (unchanged) return 0;
            if (v >= 8 && v <= 10) return v - 7;
            return std::nullopt;
        case 62:
        case 102:
            return unchanged ? 15 : v + 16;
        case 63:
        case 103:
            if (unchanged) return 0;
            if (v >= 7 && v <= 10) return v - 6;
            return std::nullopt;
        default:
            break;
    }
    if (v == 0) return 2;
    if (v >= 1 && v <= 10) return 1;
    if (unchanged) return 0;
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> liveFrame(int code, int lamp, int state) {
    const std::optional<int> wire = wireValue(lamp, state);
    if (!wire) return std::nullopt;
    const bool secondUnit = lamp >= 100 && lamp <= 103;
    const int lampByte = secondUnit ? lamp - 40 : lamp == 2 ? 0 : lamp;
    protocol::Command command{};
    command[0] = 0x56;
    command[1] = static_cast<std::uint8_t>(code);
    command[2] = static_cast<std::uint8_t>(*wire);
    command[3] = 1;
    command[4] = static_cast<std::uint8_t>(lampByte);
    command[5] = secondUnit ? 1 : 0;
    return protocol::shortFrame(command);
}

const std::vector<PenButton> kPenButtons = [] {
    std::vector<PenButton> buttons;
    buttons.push_back({"不受控", kNotControlled, 2, {kNotControlledBrown, kWhite}});
    buttons.push_back({"关", 1, 1, {kBlack, kWhite}});
    static const char* const kLevels[] = {"00%", "20%", "30%", "40%", "50%",
                                          "60%", "70%", "80%", "99%", "开"};
    for (int i = 0; i < 10; ++i) {
        buttons.push_back(
            {kLevels[i], i + 1, 3, {Rgb{0, 60 + 20 * i, 0}, i < 5 ? kWhite : kBlack}});
    }
    static const char* const kSpecial[] = {"B", "C", "D", "E", "F"};
    for (int i = 0; i < 5; ++i)
        buttons.push_back({kSpecial[i], 11 + i, 3, {Rgb{0, 240, 0}, kBlack}});
    return buttons;
}();

}  // namespace room::editing
