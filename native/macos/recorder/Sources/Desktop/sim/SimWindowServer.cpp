#include "Desktop/sim/SimWindowServer.hpp"

namespace Desktop::Sim {

std::optional<std::vector<std::optional<WindowDictionary>>> SimWindowServer::onScreenWindows() {
    world_.counts.add("windowServer.onScreenWindows");
    std::lock_guard lock(world_.mutex);
    return world_.scene->windowList;
}

}  // namespace Desktop::Sim
