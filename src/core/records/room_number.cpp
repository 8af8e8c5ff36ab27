#include "core/records/room_number.h"

#include <cstdint>
#include <vector>

namespace room::records {

namespace {

// One UTF-8 character from `at`; its code point, or -1 when the bytes are not UTF-8.
long nextCharacter(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + static_cast<std::size_t>(length) > text.size()) {
        ++at;
        return -1;
    }
    long code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((c & 0xC0) != 0x80) {
            ++at;
            return -1;
        }
        code = (code << 6) | (c & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return code;
}

bool allowed(long code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') ||
           code == '-' || (code >= 0x4E00 && code <= 0x9FFF);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A refused character as the message names it: a control character by its code.
std::string named(std::string_view text, std::size_t from, std::size_t to, long code) {
    if (code >= 0 && code < 0x20) {
        static const char* const kHex = "0123456789ABCDEF";
        return std::string("0x") + kHex[code >> 4] + kHex[code & 0xF];
    }
    if (code < 0) return "无效字节";
    return "“" + std::string(text.substr(from, to - from)) + "”";
}

}  // namespace

RoomNumberCheck checkRoomNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    RoomNumberCheck check;
    check.number = std::string(text.substr(begin, end - begin));
    if (check.number.empty()) {
        check.reason = "房号为空";
        return check;
    }
    int count = 0;
    for (std::size_t at = 0; at < check.number.size();) {
        const std::size_t from = at;
        const long code = nextCharacter(check.number, at);
        if (!allowed(code)) {
            check.reason = "房号只能含字母、数字和'-', 不能含有" + named(check.number, from, at, code);
            return check;
        }
        ++count;
    }
    if (count > kMaxRoomNumberLength) check.reason = "房号超过16个字符";
    return check;
}

std::string floorOf(std::string_view roomNumber) {
    // Counted in characters, so a wing such as "东" stays whole.
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < roomNumber.size();) {
        starts.push_back(at);
        nextCharacter(roomNumber, at);
    }
    if (starts.size() <= 2) return std::string(roomNumber);
    return std::string(roomNumber.substr(0, starts[starts.size() - 2]));
}

bool naturalLess(std::string_view a, std::string_view b) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && digit(a[ei])) ++ei;
            while (ej < b.size() && digit(b[ej])) ++ej;
            // Leading zeros aside, the longer run of digits is the larger number.
            std::size_t si = i;
            std::size_t sj = j;
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            const std::string_view na = a.substr(si, ei - si);
            const std::string_view nb = b.substr(sj, ej - sj);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            if (ei - i != ej - j) return ei - i < ej - j;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::string shownRoomNumber(std::string_view roomNumber) {
    return roomNumber.empty() ? std::string(kNoRoomNumber) : std::string(roomNumber);
}

}  // namespace room::records
