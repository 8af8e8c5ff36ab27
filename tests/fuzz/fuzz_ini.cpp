// The settings file is outside bytes: parse it, set a key, parse again. Besides not crashing,
// the key just written must read back and the other key must not change.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/format/ini.h"
#include "core/format/settings.h"

using namespace room::format;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view ini(reinterpret_cast<const char*>(data), size);
    const Settings before = parseSettings(ini);

    const std::string written = writeSetting(ini, kLastSystemTypeKey, "3");
    const Settings after = parseSettings(written);
    if (after.systemTypeSelection != 3 || after.lampTableName != before.lampTableName) {
        __builtin_trap();
    }

    // The tail of the input doubles as a raw key and value for the plain INI functions.
    const std::size_t split = size / 2;
    const std::string_view key = ini.substr(split, (size - split) / 2);
    const std::string_view value = ini.substr(split + key.size());
    const std::string raw = iniWithValue(ini, "s", key, value);
    (void)iniValue(raw, "s", key);
    (void)iniValue(ini, key, value);
    return 0;
}
