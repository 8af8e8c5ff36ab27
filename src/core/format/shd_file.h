#pragma once
// The room-type file (.shd): GBK text, CR LF lines, comma-separated fields, each line closed by a
// field holding one blank. Pure functions over bytes; the program does the file I/O.
//
// The reader never writes outside the model, whatever the bytes:
// - a field is used only when a comma follows it; text after the last comma is dropped;
// - a field of 100 bytes or more is cut to its first 99 bytes (at a GBK character boundary);
// - a line ends at CR LF or a lone LF; a NUL byte ends the line's content;
// - device numbers outside 1..36, lamp numbers outside 0..249 and positions beyond a table
//   are skipped; the device count is clamped to 0..36.
//
// Every room-type file starts with five header lines, and lines 2..5 open with their labels
// ("酒店名称:", "房型名称:", "房型编号:", "主机型号:", in GBK or, for a file someone saved as
// UTF-8, in UTF-8). Files of every version have them, the oldest without a version field too; a
// file without them holds no room type (an empty file, a document chosen by mistake) and is
// refused rather than opened as the default room type.

#include <string>
#include <string_view>
#include <vector>

#include "core/model/room_type.h"

namespace room::format {

enum class LoadStatus {
    Loaded,        // version 130..162: read and refreshed
    LoadedTooOld,  // no version field or below 130 at the end: kept as read, not refreshed
    RefusedNewer,  // version above 162: reading stopped
    RefusedOlder,  // version field below 130: reading stopped
    NotRoomType,   // the header lines are missing: no room type in it (notRoomTypeMessage)
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    std::vector<std::string> messages;  // texts the user must see, in order (UTF-8)
    // The file is not GBK text: it is UTF-8, or some of its bytes are no GBK at all. It still
    // loads and its names show garbled; the user is told once (notGbkMessage), with the file's
    // name, which only the caller knows.
    bool notGbk = false;
    // Some bytes are no GBK at all: they read as U+FFFD and any save writes them as '?'.
    bool bytesLost = false;
    // The S line's first field as the file holds it (low 8 bits), -1 without one. Open leaves
    // the model's value as it was; a comparison of two files still sees it.
    int headerByte = -1;
    bool refused() const {
        return status == LoadStatus::RefusedNewer || status == LoadStatus::RefusedOlder ||
               status == LoadStatus::NotRoomType;
    }
};

// Longest field the reader keeps, in file bytes.
constexpr std::size_t kMaxShdFieldBytes = 99;

// Largest room-type file the program opens. A full room type (36 devices with 24 scene modes
// each, every lamp named) stays under 100 KB; the limit keeps whatever else is chosen by mistake
// from filling the memory, as the reader's working copies grow with the input.
constexpr std::size_t kMaxRoomTypeFileBytes = 4 * 1024 * 1024;

// Resets `room` and reads `bytes` into it as Open does (refresh included when the version allows).
// A refused file keeps what was read before the version field.
LoadResult readRoomTypeFile(std::string_view bytes, model::RoomTypeConfig& room);

// A name Open takes for a room-type file: ".shd" or ".hdq" in any letter case ("ROOM1.SHD").
bool isRoomTypeFileName(std::string_view name);

// The whole file as the program writes it.
std::string writeRoomTypeFile(const model::RoomTypeConfig& room);

// The warning for a file with bytes that are not GBK; the caller adds the file's name.
std::string notGbkMessage();
// What a save of such a room type says: those bytes are not kept.
std::string notGbkKeptMessage();

// The version refusal texts with the three digits of `version` filled in (UTF-8).
std::string newerVersionMessage(int version);
std::string olderVersionMessage(int version);
// The file holds no room type.
std::string notRoomTypeMessage();
// The version field holds nothing a version could be.
std::string invalidVersionMessage();

}  // namespace room::format
