#pragma once
// "setinfo.ini": section "设置" with the last chosen system type and lamp-table name. The text is
// GBK on disk; these functions take and give the file's bytes.

#include <string>
#include <string_view>

namespace room::format {

struct Settings {
    int systemTypeSelection = 1;  // "上次选择的主机型号"
    std::string lampTableName;    // "上次选择的灯名表"
};

// Missing file, section or key read as empty values; 0, negative or text gives system type 1.
Settings parseSettings(std::string_view iniBytes);

// Sets one key of section "设置" in the existing INI bytes, keeping every other line.
std::string writeSetting(std::string_view iniBytes, std::string_view key, std::string_view value);

}  // namespace room::format
