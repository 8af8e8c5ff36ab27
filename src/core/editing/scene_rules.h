#pragma once
// What the scene editor shows and sends for one output: the action text's suffix, the colours of
// a state, the wire value of the live frame and the frame itself.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/commissioning/wiring_cells.h"
#include "core/model/room_type.h"

namespace room::editing {

using commissioning::Rgb;

inline constexpr int kSceneKeys = 24;
inline constexpr int kSceneOutputs = 180;  // 30 devices of six outputs
inline constexpr int kNotControlled = model::kNotInvolved;

// Scene key k (1..24) and its code: 50..57, 168..175, 184..191.
int sceneCodeOfKey(int key);

// ":开 ", ":26", ":制热" and the like, by the lamp number the output carries.
std::string actionSuffix(int lamp, int state);
// The output's text: its lamp's name ("受控插座" for 78) and the suffix.
std::string actionText(const model::RoomTypeConfig& room, int lamp, int state);

struct Colours {
    Rgb background;
    Rgb text;
    bool operator==(const Colours&) const = default;
};
// An output drawn in `state`; `loaded` when it comes from a stored scene.
Colours outputColours(int state, bool loaded);
Colours sceneKeyColours(bool chosen);

// The wire value of an output's live frame, none for states it cannot take.
std::optional<int> wireValue(int lamp, int state);
// F0 56 code wire 1 lamp flag 0.. checksum 0F; none when the state has no wire value.
std::optional<std::vector<std::uint8_t>> liveFrame(int code, int lamp, int state);

// Value buttons in their order: text, pen and the cycle position they set (0: no change).
struct PenButton {
    const char* text;
    int pen;
    int position;
    Colours colours;
};
extern const std::vector<PenButton> kPenButtons;

}  // namespace room::editing
