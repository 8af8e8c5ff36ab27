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

}  // namespace room::format
