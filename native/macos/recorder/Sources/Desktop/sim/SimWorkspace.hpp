#pragma once

#include "Desktop/Workspace.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

// The scene's applications, in scene order, and its frontmost one.
class SimWorkspace : public Workspace {
public:
    explicit SimWorkspace(SimWorld& world) : world_(world) {}

    std::optional<RunningApplication> frontmostApplication() override;
    std::vector<RunningApplication> runningApplications() override;

private:
    SimWorld& world_;
};

}  // namespace Desktop::Sim
