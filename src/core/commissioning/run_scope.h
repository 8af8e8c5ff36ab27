#pragma once
// Which devices a run serves, in order. By default the console's rules over the room type's
// selection (device 1 first, whatever its selection). A run may instead be given a list of its
// own (a scan, a retry, the read that follows a scan): just those numbers, ascending.

#include <optional>
#include <vector>

#include "core/commissioning/run_rules.h"

namespace room::commissioning {

class RunScope {
public:
    void all() { m_only.reset(); }
    void only(const std::vector<int>& devices);
    bool limited() const { return m_only.has_value(); }
    bool includes(int device) const { return !m_only || (*m_only)[device]; }

    // The device served first; 0 when a list of its own is empty.
    int first() const;
    int next(const model::RoomTypeConfig& room, RunMode mode, int current) const;
    int remaining(const model::RoomTypeConfig& room, RunMode mode, int current) const;
    std::vector<int> after(const model::RoomTypeConfig& room, RunMode mode, int last) const;

private:
    std::optional<DeviceFlags> m_only;
};

}  // namespace room::commissioning
