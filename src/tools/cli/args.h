#pragma once
// A small argument reader for the subcommands: positional words, "-o VALUE", "--flag", "--key VALUE".

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace room::cli {

class Args {
public:
    // `valueOptions` take a value ("-o", "--device"); `flags` take none.
    Args(const std::vector<std::string>& words, std::set<std::string> valueOptions,
         std::set<std::string> flags);

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }
    const std::vector<std::string>& positional() const { return m_positional; }
    bool has(const std::string& flag) const { return m_flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& option) const;

private:
    std::vector<std::string> m_positional;
    std::set<std::string> m_flags;
    std::map<std::string, std::string> m_values;
    std::string m_error;
};

// A whole decimal number in [low, high], else nullopt.
std::optional<int> parseInt(const std::string& text, int low, int high);
// "1,3,5-8" -> the numbers, each within [low, high]; nullopt on any bad part.
std::optional<std::vector<int>> parseList(const std::string& text, int low, int high);
// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string& text);

}  // namespace room::cli
