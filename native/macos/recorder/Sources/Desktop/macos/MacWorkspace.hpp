#pragma once

#include "Desktop/Workspace.hpp"

namespace Desktop::MacOS {

// AppKit's shared workspace.
class MacWorkspace final : public Workspace {
public:
    std::optional<RunningApplication> frontmostApplication() override;
    std::vector<RunningApplication> runningApplications() override;
};

}  // namespace Desktop::MacOS
