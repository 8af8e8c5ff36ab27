#pragma once
// The hotel job (酒店工程): every room of the hotel with its room number, floor and room type,
// and the rooms table it is imported from: UTF-8 (with or without a byte-order mark) or GBK,
// the header "房号,楼层,房型文件", one room a line. An import is all or nothing: the reader
// gives every line's problem with its line number, and a caller keeps nothing when there is one.

#include <string>
#include <string_view>
#include <vector>

#include "core/records/run_record.h"

namespace room::records {

struct JobRoom {
    std::string roomNumber;
    std::string floor;
    std::string roomTypePath;  // the room-type file, absolute
    RoomTypeId roomType;       // hotel, name and number the file held when it was given
    bool operator==(const JobRoom&) const = default;
};

// A line of the rooms table as written: the path is not resolved yet.
struct RoomsTableLine {
    int line = 0;  // 1 is the header
    std::string roomNumber;
    std::string floor;  // given, or the one the room number implies
    std::string path;
};

struct RoomsTable {
    std::vector<RoomsTableLine> rooms;
    std::vector<std::string> errors;  // "第3行: 房号不能含有“,”"; empty when every line is good
};

RoomsTable parseRoomsTable(std::string_view bytes);

// "第N行: " before a reason.
std::string lineError(int line, std::string_view reason);

}  // namespace room::records
