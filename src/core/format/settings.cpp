#include "core/format/settings.h"

#include "core/format/gbk.h"
#include "core/format/ini.h"
#include "core/model/catalogues.h"

namespace room::format {
namespace {

// What a C string buffer of kSettingBufferSize keeps: up to the first NUL, at most one byte less
// than the buffer, and no lead byte whose partner was cut off.
std::string_view asBuffer(std::string_view gbk) {
    gbk = gbk.substr(0, gbk.find('\0'));
    const std::size_t limit = kSettingBufferSize - 1;
    if (gbk.size() <= limit) return gbk;
    std::size_t end = 0;
    while (end < limit) {
        const auto b = static_cast<unsigned char>(gbk[end]);
        const std::size_t step = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
        if (end + step > limit) break;
        end += step;
    }
    return gbk.substr(0, end);
}

}  // namespace

std::string readSetting(std::string_view iniBytes, std::string_view key) {
    const auto value = iniValue(iniBytes, utf8ToGbk(kSettingsSection), utf8ToGbk(key));
    if (!value) return {};
    return gbkToUtf8(asBuffer(*value));
}

Settings parseSettings(std::string_view iniBytes) {
    Settings settings;
    const int type = model::leadingNumber(readSetting(iniBytes, kLastSystemTypeKey));
    settings.systemTypeSelection = type >= 1 && type <= kMaxSystemTypeSelection ? type : 1;
    settings.lampTableName = readSetting(iniBytes, kLastLampTableKey);
    return settings;
}

std::string writeSetting(std::string_view iniBytes, std::string_view key, std::string_view value) {
    return iniWithValue(iniBytes, utf8ToGbk(kSettingsSection), utf8ToGbk(key), utf8ToGbk(value));
}

namespace {
std::string numberedKey(std::string_view prefix, std::size_t index) {
    return std::string(prefix) + std::to_string(index + 1);
}

bool keepsIntact(const std::string& item) {
    const std::string gbk = utf8ToGbk(item);
    return !item.empty() && gbk.size() < kSettingBufferSize && gbkToUtf8(gbk) == item &&
           item.find_first_of("\r\n") == std::string::npos;
}
}  // namespace

std::vector<std::string> readSettingList(std::string_view iniBytes, std::string_view prefix,
                                         std::size_t count) {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < count; ++i) {
        std::string value = readSetting(iniBytes, numberedKey(prefix, i));
        if (!value.empty()) items.push_back(std::move(value));
    }
    return items;
}

std::string writeSettingList(std::string_view iniBytes, std::string_view prefix,
                             const std::vector<std::string>& items, std::size_t count) {
    std::vector<std::string> kept;
    for (const std::string& item : items) {
        if (kept.size() < count && keepsIntact(item)) kept.push_back(item);
    }
    std::string bytes(iniBytes);
    for (std::size_t i = 0; i < count; ++i) {
        bytes = writeSetting(bytes, numberedKey(prefix, i), i < kept.size() ? kept[i] : "");
    }
    return bytes;
}

std::vector<std::string> rememberFirst(std::vector<std::string> items, const std::string& item,
                                       std::size_t count) {
    std::erase(items, item);
    items.insert(items.begin(), item);
    if (items.size() > count) items.resize(count);
    return items;
}

}  // namespace room::format
