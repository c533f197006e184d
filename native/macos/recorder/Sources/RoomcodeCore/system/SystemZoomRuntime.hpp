#pragma once

// The Zoom client of this desktop: found among the running applications by
// its bundle identifier, its windows read through the Accessibility interface.
// The window list is read once per window state, and its windows are the same
// nodes for every caller within the state, so what one classifier has read of
// a window the next one finds read already.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "RoomcodeCore/ZoomRuntime.hpp"
#include "RoomcodeCore/system/SystemAXNode.hpp"

namespace Desktop {
class Accessibility;
class Workspace;
}  // namespace Desktop

namespace RoomcodeCore {

class SystemZoomRuntime final : public ZoomRuntime {
public:
    static constexpr std::array<std::string_view, 1> zoomBundleIds{"us.zoom.xos"};

    SystemZoomRuntime(Desktop::Workspace& workspace, Desktop::Accessibility& accessibility,
                      std::shared_ptr<WindowState> state = std::make_shared<WindowState>())
        : workspace_(&workspace), accessibility_(&accessibility), state_(std::move(state)) {}

    // The first Zoom client in the platform's order, if any runs.
    std::optional<Pid> runningZoomPid() override;
    std::vector<AXNodePtr> windows(Pid pid) override;

    // Shared by every node this runtime makes.
    const std::shared_ptr<WindowState>& windowState() const { return state_; }

private:
    struct WindowList {
        Pid pid = 0;
        std::uint64_t state = 0;
        std::vector<AXNodePtr> windows;
    };

    Desktop::Workspace* workspace_;
    Desktop::Accessibility* accessibility_;
    std::shared_ptr<WindowState> state_;
    std::optional<WindowList> windowList_;
};

}  // namespace RoomcodeCore
