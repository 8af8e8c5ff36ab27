#pragma once
// A link factory for editor tests: every port chosen opens the simulated device bus, and `bus`
// is pointed at the link made, so a test can count what arrived.

#include <memory>

#include "gui/ports/link_factory.h"
#include "platform/simulated_link.h"

namespace room::testing {

inline gui::LinkFactory simulatedBusInto(platform::SimulatedLink*& bus) {
    return [&bus](const gui::PortChoice&, const model::RoomTypeConfig& room) {
        auto link = std::make_unique<platform::SimulatedLink>(room);
        bus = link.get();
        return std::unique_ptr<platform::SerialLink>(std::move(link));
    };
}

}  // namespace room::testing
