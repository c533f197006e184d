#pragma once

// A Zoom window on the simulated desktop whose children, all pressable buttons,
// first `hanging` ones that never answer within a time-out, then `answering`
// ones that answer at once.

#include <string>

#include "Desktop/sim/SimDesktop.hpp"

namespace RoomcodeTesting {

inline void loadWindowWithChildren(int hanging, int answering) {
    std::string children;
    for (int i = 0; i < hanging + answering; ++i) {
        children += std::string(i == 0 ? "" : ",") +
                    R"({"role": "AXButton", "title": "b", "actions": ["AXPress"])" +
                    (i < hanging ? R"(, "responseTime": 1})" : "}");
    }
    Desktop::Sim::loadScene(R"({"accessibilityTrusted": true, "applications": [{"pid": 501, "name": "zoom.us",
        "windows": [{"role": "AXWindow", "title": "Zoom Meeting", "children": [)" +
                            children + "]}]}]}");
}

}  // namespace RoomcodeTesting
