#include "core/commissioning/command_rules.h"

#include "core/commissioning/texts.h"

namespace room::commissioning {

std::optional<std::string> commandRefusal(Action action, bool portOpen, bool runActive) {
    if (action == Action::ExitSendMode && runActive) return text::kRunActive;
    if (!portOpen) return text::kNoPort;
    // The run buttons are hidden during a run; a driver that still asks is refused.
    if (runActive) return text::kRunActive;
    return std::nullopt;
}

std::optional<std::string> sendAllRefusal(const model::RoomTypeConfig& room) {
    for (int device = 1; device <= model::kBusDevices; ++device) {
        if (room.devices[device].inUse != 0) return std::nullopt;
    }
    return text::kNothingToSend;
}

std::optional<std::string> commandQuestion(Action action) {
    switch (action) {
        case Action::ReadAll:
            return text::kAskReadAll;
        case Action::ClearAll:
            return text::kAskClearAll;
        case Action::LeaveNetwork:
            return text::kAskLeaveNetwork;
        default:
            return std::nullopt;
    }
}

std::optional<std::string> pageRefusal(const model::RoomTypeConfig& room, int device,
                                       PageOperation operation, bool portOpen, bool runActive) {
    if (runActive) return text::kRunActive;
    if (!portOpen) return text::kNoPort;
    if (operation == PageOperation::None) return text::kNoOperation;
    if (room.devices[device].type == 0 && operation != PageOperation::Read) {
        return text::kTypeUnknown;
    }
    return std::nullopt;
}

FrameKind pageFrameKind(PageOperation operation) {
    switch (operation) {
        case PageOperation::Read:
            return FrameKind::Read;
        case PageOperation::Verify:
            return FrameKind::Verify;
        case PageOperation::Clear:
            return FrameKind::Clear;
        default:
            return FrameKind::Send;
    }
}

std::optional<Execution> executionFor(PageOperation operation) {
    switch (operation) {
        case PageOperation::Send:
        case PageOperation::NumberOnly:
            return Execution::AnyKey;
        case PageOperation::Read:
        case PageOperation::Verify:
        case PageOperation::Clear:
            return Execution::OnReceipt;
        case PageOperation::None:
            break;
    }
    return std::nullopt;
}

Effects messageOnly(std::string text) {
    Effects fx;
    fx.messages.push_back(std::move(text));
    return fx;
}

Effects questionOnly(const std::string& text) {
    Effects fx;
    fx.question = Question{text::kQuestionCaption, text};
    return fx;
}

bool pageSendEnabled(const model::RoomTypeConfig& room, int device, PageOperation operation,
                     bool busy) {
    if (device < 1 || device > model::kBusDevices || busy) return false;
    return operation == PageOperation::Read || room.selected[device] != 0;
}

bool pageCheckBoxEnabled(const model::RoomTypeConfig& room, int device, PageOperation operation) {
    if (device < 1 || device > model::kBusDevices) return false;
    return operation == PageOperation::Read || room.devices[device].inUse != 0;
}

void unselectUnused(model::RoomTypeConfig& room) {
    for (int device = 1; device <= model::kBusDevices; ++device) {
        if (room.devices[device].inUse == 0) room.selected[device] = 0;
    }
}

RunMode runModeOf(Action action) {
    switch (action) {
        case Action::SendAll:
            return RunMode::SendAll;
        case Action::VerifyAll:
            return RunMode::VerifyAll;
        case Action::ReadAll:
            return RunMode::ReadAll;
        default:
            return RunMode::Idle;
    }
}

Action runActionOf(RunMode mode) {
    switch (mode) {
        case RunMode::SendAll:
            return Action::SendAll;
        case RunMode::VerifyAll:
            return Action::VerifyAll;
        default:
            return Action::ReadAll;
    }
}

std::optional<std::string> listRunRefusal(RunMode mode, const model::RoomTypeConfig& room,
                                          bool portOpen, bool runActive) {
    // Refused quietly: nothing an installer pressed asked for it.
    if (mode == RunMode::Idle || mode == RunMode::ClearAll) return std::string();
    if (auto refused = commandRefusal(runActionOf(mode), portOpen, runActive)) return refused;
    if (mode == RunMode::SendAll) return sendAllRefusal(room);
    return std::nullopt;
}

}  // namespace room::commissioning
