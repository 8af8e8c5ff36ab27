#pragma once
// What a read all has read, held back until the run ends: a device's record is written only from
// its own whole answer, and not at all when its number came into doubt during the run (another
// talker claimed it, so the answer taken for it may not be its own).

#include <vector>

#include "core/model/room_type.h"
#include "core/protocol/checks.h"

namespace room::commissioning {

// Reads the answer of `device` (one long answer, or its six short blocks in block order) into
// `room`; the outcome of the last one that was handled, with every status text.
protocol::CheckOutcome readBackWhole(const std::vector<protocol::Answer>& answers,
                                     model::RoomTypeConfig& room, int device);

class ReadStage {
public:
    // What reading `answers` would do to `room`, tried on a copy; kept for the end of the run
    // when it would store them.
    protocol::CheckOutcome stage(const model::RoomTypeConfig& room, int device,
                                 std::vector<protocol::Answer> answers);
    void drop(int device);
    void clear() { m_staged.clear(); }
    // Writes what is kept into `room`, in the order it was read, and sets its device count from
    // its devices; whether anything was written.
    bool commit(model::RoomTypeConfig& room);

private:
    struct Staged {
        int device = 0;
        std::vector<protocol::Answer> answers;
    };
    std::vector<Staged> m_staged;
};

}  // namespace room::commissioning
