#pragma once

#include "Desktop/WindowServer.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

// The scene's window list, dictionaries as loosely typed as it wrote them.
class SimWindowServer : public WindowServer {
public:
    explicit SimWindowServer(SimWorld& world) : world_(world) {}

    std::optional<std::vector<std::optional<WindowDictionary>>> onScreenWindows() override;

private:
    SimWorld& world_;
};

}  // namespace Desktop::Sim
