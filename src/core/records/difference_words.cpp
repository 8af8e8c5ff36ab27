#include "core/records/difference_words.h"

#include <array>
#include <optional>
#include <vector>

namespace room::records {

namespace {

// What the bytes after a head mean, as the checks write them.
enum class Shape { Values, ValuesAt, SlotAt, InvalidAt, Length };

struct KnownHead {
    std::string_view marker;  // the end of the head, with the blank before the first byte
    Shape shape;
    int bytes;
};

// Longer markers first: "个数据异常 " is the end of the key, relay and indicator heads only.
constexpr std::array<KnownHead, 7> kHeads = {{
    {"个开关模式数据异常 ", Shape::ValuesAt, 3},
    {"个面板模式数据异常 ", Shape::SlotAt, 3},
    {"个参数数据异常 ", Shape::Values, 2},
    {"个面板校验和异常 ", Shape::Values, 2},
    {"个面板数据无效 ", Shape::InvalidAt, 2},
    {"个面板长度异常 ", Shape::Length, 2},
    {"个数据异常 ", Shape::Values, 2},
}};

constexpr std::string_view kMissing = "--";

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "0A", or "--" for a byte the answer stopped before.
bool isByteText(std::string_view token) {
    return token == kMissing || (token.size() == 2 && isHexDigit(token[0]) && isHexDigit(token[1]));
}

std::string decimal(std::string_view hex) {
    return std::to_string(std::stoi(std::string(hex), nullptr, 16));
}

std::string got(std::string_view value) {
    return value == kMissing ? std::string("未收到") : "实为" + std::string(value);
}

std::string expectedGot(std::string_view want, std::string_view value) {
    return "应为" + std::string(want) + ", " + got(value);
}

std::string position(std::string_view pos) {
    return "第" + decimal(pos) + "字节";
}

// The words after the head; nothing when the bytes do not fit the shape.
std::optional<std::string> words(Shape shape, const std::vector<std::string_view>& b) {
    const bool lastIsPosition = shape != Shape::Values && shape != Shape::Length;
    if (lastIsPosition && b.back() == kMissing) return std::nullopt;
    switch (shape) {
        case Shape::Values:
            return expectedGot(b[0], b[1]);
        case Shape::ValuesAt:
            return expectedGot(b[0], b[1]) + " (" + position(b[2]) + ")";
        case Shape::SlotAt:
            // Three bytes are either the slot check's (wanted, received, position in hex) or the
            // read-back comparison's (read, wanted, value index in decimal): the text alone cannot
            // tell which, so it stays as the console showed it.
            if (b[0] != kMissing) return std::nullopt;
            if (b[1] != kMissing) return position(b[2]) + "的模式代码" + std::string(b[1]) + "无效";
            return "回答不完整, 缺" + position(b[2]) + "起的模式";
        case Shape::InvalidAt:
            if (b[0] == kMissing) return std::nullopt;
            return position(b[1]) + "为" + std::string(b[0]) + ", 不是有效值";
        case Shape::Length:
            if (b[0] == kMissing || b[1] == kMissing) return std::nullopt;
            return "标明长度" + decimal(b[0]) + "字节, 实收" + decimal(b[1]) + "字节";
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string differenceInWords(std::string_view text) {
    for (const KnownHead& head : kHeads) {
        const std::size_t at = text.find(head.marker);
        if (at == std::string_view::npos) continue;
        // Each byte is written as two characters and a blank.
        std::string_view rest = text.substr(at + head.marker.size());
        std::vector<std::string_view> bytes;
        for (int i = 0; i < head.bytes; ++i) {
            if (rest.size() < 3 || rest[2] != ' ' || !isByteText(rest.substr(0, 2))) {
                return std::string(text);
            }
            bytes.push_back(rest.substr(0, 2));
            rest.remove_prefix(3);
        }
        const std::string_view lamps = trimmed(rest);
        if (!lamps.empty()) return std::string(lamps);
        const std::optional<std::string> said = words(head.shape, bytes);
        if (!said) return std::string(text);
        const std::size_t headEnd = at + head.marker.size() - 1;  // without the blank
        return std::string(text.substr(0, headEnd)) + ": " + *said;
    }
    return std::string(text);
}

}  // namespace room::records
