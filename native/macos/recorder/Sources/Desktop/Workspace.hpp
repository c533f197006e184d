#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Desktop/Accessibility.hpp"

namespace Desktop {

struct RunningApplication {
    Pid pid = 0;                                  // processIdentifier
    std::optional<std::string> localizedName;     // localizedName
    std::optional<std::string> bundleIdentifier;  // bundleIdentifier
};

class Workspace {
public:
    virtual ~Workspace() = default;

    // NSWorkspace.sharedWorkspace.frontmostApplication
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // NSWorkspace.sharedWorkspace.runningApplications, in the platform's order
    virtual std::vector<RunningApplication> runningApplications() = 0;
};

}  // namespace Desktop
