#pragma once

// The running Zoom client as the locator sees it: its process, and its
// top-level windows as nodes.

#include <cstdint>
#include <optional>
#include <vector>

#include "RoomcodeCore/AXNode.hpp"

namespace RoomcodeCore {

using Pid = std::int32_t;

class ZoomRuntime {
public:
    virtual ~ZoomRuntime() = default;

    virtual std::optional<Pid> runningZoomPid() = 0;
    // In the order the client reports them; empty when it does not answer.
    virtual std::vector<AXNodePtr> windows(Pid pid) = 0;
};

}  // namespace RoomcodeCore
