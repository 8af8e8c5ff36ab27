#include "core/format/ini.h"

#include <cstddef>

namespace room::format {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Ctrl-Z counts as a blank: old editors end text files with it.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The second byte of a GBK pair may look like '[', ']' or an ASCII letter, so every scan below
// steps over pairs whole.
bool isGbkLead(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isGbkLead(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// Position of the last ']' that is a character of its own, kNone when there is none.
std::size_t lastCloseBracket(std::string_view s) {
    std::size_t found = kNone;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (isGbkLead(s[i]) && i + 1 < s.size()) {
            ++i;
        } else if (s[i] == ']') {
            found = i;
        }
    }
    return found;
}

enum class Kind { Other, Section, Key };

struct Line {
    std::size_t begin = 0;  // first byte of the line
    std::size_t next = 0;   // first byte after its LF (or the end of the text)
    Kind kind = Kind::Other;
    std::string_view name;   // section name or key, trimmed
    std::string_view value;  // trimmed, for keys
};

Line classify(std::string_view ini, std::size_t begin) {
    Line line;
    line.begin = begin;
    const std::size_t lf = ini.find('\n', begin);
    line.next = lf == kNone ? ini.size() : lf + 1;
    const std::string_view text = trim(ini.substr(begin, line.next - begin));
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        const std::size_t close = lastCloseBracket(text);
        if (close != kNone) {
            line.kind = Kind::Section;
            line.name = trim(text.substr(1, close - 1));
        }
        return line;
    }
    line.kind = Kind::Key;
    const std::size_t eq = text.find('=');
    line.name = trim(text.substr(0, eq));
    if (eq != kNone) line.value = trim(text.substr(eq + 1));
    return line;
}

std::string_view stripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

template <typename Visit>
void forEachLine(std::string_view ini, Visit visit) {
    for (std::size_t pos = 0; pos < ini.size();) {
        const Line line = classify(ini, pos);
        if (!visit(line)) return;
        pos = line.next;
    }
}

bool isValidName(std::string_view name, bool isKey) {
    if (name.empty()) return false;
    if (name.find_first_of("\r\n") != kNone) return false;
    if (isKey && (name.find('=') != kNone || name.front() == '[' || name.front() == ';')) {
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> iniValue(std::string_view ini, std::string_view section,
                                    std::string_view key) {
    section = trim(section);
    key = trim(key);
    std::optional<std::string> result;
    bool inSection = false;
    forEachLine(ini, [&](const Line& line) {
        if (line.kind == Kind::Section) {
            if (inSection) return false;  // only the first section of the name counts
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Key && sameName(line.name, key)) {
            result = std::string(stripQuotes(line.value));
            return false;
        }
        return true;
    });
    return result;
}

std::string iniWithValue(std::string_view ini, std::string_view section, std::string_view key,
                         std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (!isValidName(section, false) || !isValidName(key, true)) return std::string(ini);
    value = value.substr(0, value.find_first_of("\r\n"));

    bool inSection = false;
    bool sectionFound = false;
    std::size_t insertAt = ini.size();
    std::optional<Line> keyLine;
    forEachLine(ini, [&](const Line& line) {
        if (line.kind == Kind::Section) {
            if (inSection) return false;
            inSection = sameName(line.name, section);
            if (inSection) {
                sectionFound = true;
                insertAt = line.next;
            }
        } else if (inSection && line.kind == Kind::Key) {
            if (sameName(line.name, key)) {
                keyLine = line;
                return false;
            }
            insertAt = line.next;
        }
        return true;
    });

    std::string out;
    out.reserve(ini.size() + section.size() + key.size() + value.size() + 16);
    if (keyLine) {
        // Keep the key as the file spells it; only its value changes.
        out.append(ini.substr(0, keyLine->begin));
        out.append(keyLine->name).append("=").append(value).append("\r\n");
        out.append(ini.substr(keyLine->next));
        return out;
    }
    out.append(ini.substr(0, insertAt));
    if (insertAt > 0 && ini[insertAt - 1] != '\n') out.append("\r\n");
    if (!sectionFound) out.append("[").append(section).append("]\r\n");
    out.append(key).append("=").append(value).append("\r\n");
    out.append(ini.substr(insertAt));
    return out;
}

}  // namespace room::format
