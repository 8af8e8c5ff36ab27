#pragma once
// Whether an answer can be what it claims to be, before anything in it is compared or stored.
//
// Rules:
//  - Length: a long answer's byte 5 counts every byte from its 0xF2 to its closing 0xF4, and it
//    is a length its device type answers with: 9 (an acknowledgement), 68 for switch panels,
//    curtain controllers and curtain motors (types 1, 3, 4), 14 + 7n for thermostats and 32 + 7n
//    for types 5 and 6 (n scene slots, at most 24). Anything else was broken on the wire: a glitch
//    byte shifted it, or two answers ran together. The 8-bit sum cannot see a 0x00 glitch.
//  - Content: what the answer says twice agrees and what must come from the catalogues does.
//    Key and output codes are 0 (nothing) or lamp numbers the room could have put there: named
//    in its lamp table or the default one, or in one of its category lists (a collision of two
//    answers tends to make numbers nobody named). An output's mask row sets "on" bits only
//    among its "takes part" bits and is empty for an output that carries no lamp (the masks are
//    made from the outputs and scene slots). Scene slots carry scene-mode codes in slot order,
//    each once, with states the console sends: thermostat index 0..3, power 0..2, mode 0..3,
//    temperature 15..31, fan 0..4, two zeros; types 5 and 6 0..15 or 238.
//  - Short blocks (17 bytes, already checked by the receiver) carry the same content in pieces:
//    block 1 the codes, blocks 11..14 the mask rows of outputs 1..4; the rows are judged against
//    the codes once the six are together.
// A fault is a status text of the device ("第%02d个面板长度异常 ...") saying what was found.

#include <optional>
#include <string>
#include <vector>

#include "core/model/room_type.h"
#include "core/protocol/receiver.h"

namespace room::protocol {

// Long answers only; a short answer never has a length fault.
std::optional<std::string> lengthFault(const Answer& answer, int device);

// The first value of a long answer (of types 1..6) or a short block that it cannot hold:
// "第%02d个面板数据无效 %02X %02X " with the value and its position.
std::optional<std::string> contentFault(const Answer& answer, int device,
                                        const model::RoomTypeConfig& room);

// The six short blocks of one device together (their mask rows against their codes).
std::optional<std::string> blocksFault(const std::vector<Answer>& blocks, int device,
                                       const model::RoomTypeConfig& room);

// Whether `lamp` can stand on a key or an output of `room` (see Content above).
bool knownLamp(const model::RoomTypeConfig& room, int lamp);

// A send's acknowledgement counts only when it adds up and is not broken.
bool intactAcknowledgement(const Answer& answer);

// "第%02d个面板类型不符": the device answered as another type than the room type gives it.
std::string typeMismatchText(int device);

}  // namespace room::protocol
