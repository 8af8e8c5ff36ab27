#pragma once
// Conversion between the program's UTF-8 text and the GBK (code page 936) bytes of its files.

#include <string>
#include <string_view>

namespace room::format {

// Bytes that are not valid GBK become U+FFFD each; the rest converts exactly.
std::string gbkToUtf8(std::string_view gbk);
// False when some bytes are not GBK: gbkToUtf8 would replace them.
bool isValidGbk(std::string_view bytes);
// True for text with characters beyond ASCII that is all well-formed UTF-8. Chinese text in UTF-8
// is mostly valid GBK byte for byte (as other characters), while GBK text with Chinese in it is
// practically never well-formed UTF-8: this is how a UTF-8 file shows.
bool isUtf8Text(std::string_view bytes);
// Characters GBK cannot hold become '?'; invalid UTF-8 bytes too.
std::string utf8ToGbk(std::string_view utf8);

}  // namespace room::format
