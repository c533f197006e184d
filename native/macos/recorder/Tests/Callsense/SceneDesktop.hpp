#pragma once

// Small scenes for the simulated desktop, built in the test that uses them.

#include <nlohmann/json.hpp>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/SimDesktop.hpp"

namespace Callsense::Testing {

using Json = nlohmann::ordered_json;

inline Desktop::Platform& loadDesktop(const Json& scene) {
    Desktop::Sim::loadScene(scene.dump());
    return Desktop::current();
}

inline Json window(std::string_view owner, int pid, std::string_view name, int layer = 0) {
    return {{"kCGWindowOwnerName", owner},
            {"kCGWindowOwnerPID", pid},
            {"kCGWindowLayer", layer},
            {"kCGWindowName", name}};
}

}  // namespace Callsense::Testing
