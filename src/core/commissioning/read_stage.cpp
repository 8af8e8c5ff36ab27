#include "core/commissioning/read_stage.h"

#include <algorithm>

#include "core/protocol/answer_rules.h"

namespace room::commissioning {

protocol::CheckOutcome readBackWhole(const std::vector<protocol::Answer>& answers,
                                     model::RoomTypeConfig& room, int device) {
    protocol::CheckOutcome whole;
    // Short blocks are judged together first, so a read never stops half written.
    if (answers.size() > 1) {
        if (auto fault = protocol::blocksFault(answers, device, room)) {
            whole.device = device;
            whole.refused = true;
            whole.status.push_back(std::move(*fault));
            return whole;
        }
    }
    for (const protocol::Answer& answer : answers) {
        protocol::CheckOutcome one = protocol::readBackAnswer(answer, room, device);
        if (!one.handled()) continue;
        for (std::string& text : one.status) whole.status.push_back(std::move(text));
        whole.device = one.device;
        whole.wroteRoom = whole.wroteRoom || one.wroteRoom;
        whole.refused = whole.refused || one.refused;
        if (one.result) whole.result = one.result;
    }
    return whole;
}

protocol::CheckOutcome ReadStage::stage(const model::RoomTypeConfig& room, int device,
                                        std::vector<protocol::Answer> answers) {
    model::RoomTypeConfig trial = room;
    protocol::CheckOutcome outcome = readBackWhole(answers, trial, device);
    drop(device);
    if (outcome.wroteRoom && outcome.result) {
        m_staged.push_back(Staged{device, std::move(answers)});
    }
    return outcome;
}

void ReadStage::drop(int device) {
    std::erase_if(m_staged, [device](const Staged& s) { return s.device == device; });
}

bool ReadStage::commit(model::RoomTypeConfig& room) {
    bool wrote = false;
    for (const Staged& s : m_staged) wrote = readBackWhole(s.answers, room, s.device).wroteRoom || wrote;
    m_staged.clear();
    // A read-back may have raised deviceCount to the highest device that answered.
    room.deviceCount = model::deviceCountFromCounts(room);
    return wrote;
}

}  // namespace room::commissioning
