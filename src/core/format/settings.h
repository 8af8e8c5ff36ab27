#pragma once
// "setinfo.ini": section "设置" with the last chosen system type and lamp-table name. The text is
// GBK on disk; these functions take and give the file's bytes, keys and values are UTF-8.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace room::format {

constexpr std::string_view kSettingsFileName = "setinfo.ini";
constexpr std::string_view kSettingsSection = "设置";
constexpr std::string_view kLastSystemTypeKey = "上次选择的主机型号";
constexpr std::string_view kLastLampTableKey = "上次选择的灯名表";
// Short lists of the program's own, one key per entry ("最近打开的文件1" ...), newest first.
constexpr std::string_view kRecentFileKey = "最近打开的文件";
constexpr std::string_view kTypedPortKey = "输入的串口";
// The port chosen last, preselected (never opened) in the next port list.
constexpr std::string_view kLastPortKey = "上次使用的串口";
// A file path or a postgresql:// URL, never with its password.
constexpr std::string_view kRecordLocationKey = "调试记录位置";
// The console's "扫描窗口(毫秒):", in milliseconds.
constexpr std::string_view kScanWindowKey = "扫描窗口";
constexpr std::size_t kRecentFileCount = 6;
constexpr std::size_t kTypedPortCount = 5;
// Values are read into a 255-byte buffer: at most 254 bytes of text survive.
constexpr std::size_t kSettingBufferSize = 255;
// Highest system-type selection the capacity table has a row for.
constexpr int kMaxSystemTypeSelection = 6;

struct Settings {
    int systemTypeSelection = 1;  // "上次选择的主机型号"
    std::string lampTableName;    // "上次选择的灯名表"
};

// Missing file, section or key read as empty values; 0, negative or text gives system type 1, and
// so does a number past the capacity table (it would select a row that does not exist).
Settings parseSettings(std::string_view iniBytes);

// One value of section "设置" (UTF-8): empty when missing, cut to what the buffer holds (never in
// the middle of a character).
std::string readSetting(std::string_view iniBytes, std::string_view key);

// Sets one key of section "设置" in the existing INI bytes, keeping every other line.
std::string writeSetting(std::string_view iniBytes, std::string_view key, std::string_view value);

// The non-empty values of keys prefix1..prefixN of section "设置", in key order.
std::vector<std::string> readSettingList(std::string_view iniBytes, std::string_view prefix,
                                         std::size_t count);
// Writes keys prefix1..prefixN from `items` (missing ones empty). An item that the file cannot
// keep (longer than the read buffer, or not GBK) is left out rather than read back mangled.
std::string writeSettingList(std::string_view iniBytes, std::string_view prefix,
                             const std::vector<std::string>& items, std::size_t count);

// `item` first, then the earlier items without it, at most `count`.
std::vector<std::string> rememberFirst(std::vector<std::string> items, const std::string& item,
                                       std::size_t count);

}  // namespace room::format
