#pragma once
// A small INI reader and writer that behaves like the Windows private-profile functions, working
// on the file's own bytes (GBK): section names and keys match without regard to ASCII case,
// blanks around keys and values do not count, a line starting with ';' is a comment, lines end
// in LF or CR LF. Only the first section of a name is looked at, as Windows does.

#include <optional>
#include <string>
#include <string_view>

namespace room::format {

// The value of `key` in the first section named `section`, or nothing when the section or the
// key is missing. A value enclosed in matching single or double quotes loses them.
std::optional<std::string> iniValue(std::string_view ini, std::string_view section,
                                    std::string_view key);

// `ini` with `key` of `section` set to `value`. The key's line is replaced, or a line is added
// after the last key of the section, or the section is appended at the end; every other byte
// stays as it was and the lines written end in CR LF. The value stops at its first line break
// (one line is all a key can hold). A section or key that could not be read back (empty, a
// line break, a key with '=' or starting with '[' or ';') leaves `ini` unchanged.
std::string iniWithValue(std::string_view ini, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace room::format
