#pragma once
// Conversion between the program's UTF-8 text and the GBK (code page 936) bytes of its files.

#include <string>
#include <string_view>

namespace room::format {

// Bytes that are not valid GBK become U+FFFD each; the rest converts exactly.
std::string gbkToUtf8(std::string_view gbk);
// Characters GBK cannot hold become '?'; invalid UTF-8 bytes too.
std::string utf8ToGbk(std::string_view utf8);

}  // namespace room::format
