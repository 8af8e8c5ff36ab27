#pragma once
// Room numbers, checked wherever one comes in (a rooms table, the console, the command line):
// surrounding blanks go, then 1 to 16 characters, each an ASCII letter or digit, '-', or a
// Chinese character (a wing such as "东1203"). Anything else is refused with its reason, so a
// number can never break a CSV column, a PDF line or a file name.

#include <string>
#include <string_view>

namespace room::records {

inline constexpr std::string_view kNoRoomNumber = "未填房号";
inline constexpr int kMaxRoomNumberLength = 16;

struct RoomNumberCheck {
    std::string number;  // trimmed
    std::string reason;  // empty when the number is good
    bool ok() const { return reason.empty(); }
    bool empty() const { return number.empty(); }
};

// "房号为空", "房号超过16个字符", "房号不能含有“,”" (the first character refused).
RoomNumberCheck checkRoomNumber(std::string_view text);

// The floor a room number implies: the number without its last two characters ("1203" -> "12",
// "305" -> "3"); the number itself when it has two characters or fewer.
std::string floorOf(std::string_view roomNumber);

// Room numbers and floors in the order people count them: "2" before "10", "2-1" before "2-10".
bool naturalLess(std::string_view a, std::string_view b);

// How a room number shows in lists and reports: "未填房号" when there is none.
std::string shownRoomNumber(std::string_view roomNumber);

}  // namespace room::records
