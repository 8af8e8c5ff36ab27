#include "tools/cli/args.h"

#include <charconv>
#include <cstdio>

namespace room::cli {

Args::Args(const std::vector<std::string>& words, std::set<std::string> valueOptions,
           std::set<std::string> flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() > 1 && w[0] == '-') {
            if (flags.count(w)) {
                m_flags.insert(w);
            } else if (valueOptions.count(w)) {
                if (i + 1 >= words.size()) {
                    m_error = "option " + w + " needs a value";
                    return;
                }
                m_values[w] = words[++i];
            } else {
                m_error = "unknown option " + w;
                return;
            }
        } else {
            m_positional.push_back(w);
        }
    }
}

std::optional<std::string> Args::value(const std::string& option) const {
    auto it = m_values.find(option);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

std::optional<int> parseInt(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<int>> parseList(const std::string& text, int low, int high) {
    std::vector<int> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string part = text.substr(start, comma - start);
        const std::size_t dash = part.find('-');
        if (dash == std::string::npos) {
            auto v = parseInt(part, low, high);
            if (!v) return std::nullopt;
            out.push_back(*v);
        } else {
            auto a = parseInt(part.substr(0, dash), low, high);
            auto b = parseInt(part.substr(dash + 1), low, high);
            if (!a || !b || *a > *b) return std::nullopt;
            for (int v = *a; v <= *b; ++v) out.push_back(v);
        }
        start = comma + 1;
    }
    return out;
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace room::cli
