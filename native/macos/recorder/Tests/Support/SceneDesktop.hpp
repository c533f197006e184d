#pragma once

// A simulated desktop of the test's own, made from a scene written in the test,
// so that the code under test gets its platform handed in and the test reads
// the request counts, the clock and the journal of that desktop alone.

#include <string_view>

#include <nlohmann/json.hpp>

#include "Desktop/sim/Scene.hpp"
#include "Desktop/sim/SimPlatform.hpp"

namespace Testing {

using Json = nlohmann::ordered_json;

class SceneDesktop final : public Desktop::Sim::SimPlatform {
public:
    explicit SceneDesktop(const Json& scene = Json::object())
        : SimPlatform(Desktop::Sim::parseScene(scene.dump())) {}
};

// A window-list entry with the four keys the window scan reads.
inline Json window(std::string_view owner, int pid, std::string_view name, int layer = 0) {
    return {{"kCGWindowOwnerName", owner},
            {"kCGWindowOwnerPID", pid},
            {"kCGWindowLayer", layer},
            {"kCGWindowName", name}};
}

}  // namespace Testing
