#include "RoomcodeCore/SystemZoomRuntime.hpp"

#include <algorithm>

#include "Desktop/Desktop.hpp"
#include "RoomcodeCore/SystemAXNode.hpp"

namespace RoomcodeCore {

SystemZoomRuntime::SystemZoomRuntime()
    : SystemZoomRuntime(Desktop::current().workspace(), Desktop::current().accessibility()) {}

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
    for (Desktop::Element& window : SystemAXNode::copyElements(accessibility, application, "AXWindows")) {
        windows.push_back(std::make_shared<SystemAXNode>(std::move(window), pid, accessibility, state_));
    }
    windowList_ = WindowList{.pid = pid, .state = state_->current(), .windows = windows};
    return windows;
}

}  // namespace RoomcodeCore
