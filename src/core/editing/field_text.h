#pragma once
// Texts the installer types into a field that goes into the room-type file as one record field:
// hotel and room-type names, lamp names, device locations. The file separates fields by commas and
// records by line breaks, so none of them may carry one.

#include <string>
#include <string_view>

namespace room::editing {

// Why a field refuses a character (its tooltip).
inline constexpr std::string_view kFieldTextRule = "不能输入逗号或换行：房型文件无法保存它们";

bool fieldTextAllowed(std::string_view text);
// The text less every comma, CR and LF (what a pasted or stored text keeps).
std::string withoutFieldBreakers(std::string text);

}  // namespace room::editing
