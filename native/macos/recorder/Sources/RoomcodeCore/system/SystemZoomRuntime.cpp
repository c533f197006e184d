#include "RoomcodeCore/system/SystemZoomRuntime.hpp"

#include <algorithm>

#include "AccessibilityValues/AccessibilityValues.hpp"
#include "Desktop/Workspace.hpp"
#include "RoomcodeCore/system/SystemAXNode.hpp"

namespace RoomcodeCore {

std::optional<Pid> SystemZoomRuntime::runningZoomPid() {
    for (const Desktop::RunningApplication& application : workspace_->runningApplications()) {
        if (!application.bundleIdentifier) continue;
        if (std::find(zoomBundleIds.begin(), zoomBundleIds.end(), *application.bundleIdentifier) !=
            zoomBundleIds.end()) {
            return application.pid;
        }
    }
    return std::nullopt;
}

std::vector<AXNodePtr> SystemZoomRuntime::windows(Pid pid) {
    if (windowList_ && windowList_->pid == pid && windowList_->state == state_->current()) {
        return windowList_->windows;
    }
    Desktop::Accessibility& accessibility = *accessibility_;
    const Desktop::Element application = accessibility.applicationElement(pid);
    if (application.isNull()) return {};
    accessibility.setMessagingTimeout(application, SystemAXNode::messagingTimeout);
    std::vector<AXNodePtr> windows;
    auto elements =
        AccessibilityValues::elementListValue(accessibility.copyAttributeValue(application, "AXWindows"));
    for (Desktop::Element& window : elements.value_or(std::vector<Desktop::Element>{})) {
        windows.push_back(std::make_shared<SystemAXNode>(std::move(window), pid, accessibility, state_));
    }
    windowList_ = WindowList{.pid = pid, .state = state_->current(), .windows = windows};
    return windows;
}

}  // namespace RoomcodeCore
