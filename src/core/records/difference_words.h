#pragma once
// A device's difference in the installer's words, for the hand-over report. The record keeps each
// difference as the console showed it: a head ("第02个面板模式数据异常") and the bytes behind it in
// hex, and for keys and relays the lamps after a blank ("按键1: 应为010.廊灯, 实为013.夜灯").
// - lamp words, where the record has them, replace the hex;
// - the hex of a shape the checks write is told as "应为0A, 实为0B (第67字节)": a byte position
//   in decimal, "未收到" for a byte the answer never brought;
// - any other text is returned as it is.

#include <string>
#include <string_view>

namespace room::records {

std::string differenceInWords(std::string_view text);

}  // namespace room::records
