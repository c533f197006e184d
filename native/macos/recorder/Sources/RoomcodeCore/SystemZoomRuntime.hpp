#pragma once

// The Zoom client of this desktop: found among the running applications by
// its bundle identifier, its windows read through the Accessibility interface.

#include <array>
#include <string_view>

#include "RoomcodeCore/ZoomRuntime.hpp"

namespace Desktop {
class Accessibility;
class Workspace;
}  // namespace Desktop

namespace RoomcodeCore {

class SystemZoomRuntime final : public ZoomRuntime {
public:
    static constexpr std::array<std::string_view, 1> zoomBundleIds{"us.zoom.xos"};

    SystemZoomRuntime();
    SystemZoomRuntime(Desktop::Workspace& workspace, Desktop::Accessibility& accessibility)
        : workspace_(&workspace), accessibility_(&accessibility) {}

    // The first Zoom client in the platform's order, if any runs.
    std::optional<Pid> runningZoomPid() override;
    std::vector<AXNodePtr> windows(Pid pid) override;

private:
    Desktop::Workspace* workspace_;
    Desktop::Accessibility* accessibility_;
};

}  // namespace RoomcodeCore
