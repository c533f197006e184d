#include "RoomcodeCore/ZoomMeetingLocator.hpp"

#include "RoomcodeCore/AutomationErrors.hpp"
#include "RoomcodeCore/WindowClassifiers.hpp"

namespace RoomcodeCore {

namespace Classify = WindowClassifiers;

ZoomMeetingTarget ZoomMeetingLocator::locate(std::optional<std::string_view> expectedMeetingId) const {
    const LiveMeetingWindow live = locateLiveMeetingWindow();

    std::optional<Roomcode> expected;
    if (expectedMeetingId) {
        expected = Roomcode::parseDigitsOnly(*expectedMeetingId);
        if (!expected) expected = Roomcode::parse(*expectedMeetingId);
    }

    const ZoomMeetingLocator locator = *this;
    const Roomcode meetingId = infoReader_.readMeetingId({
        .from = live.window,
        .expected = expected,
        .searchRoots = meetingIdSearchRoots(live.pid, live.window),
        .refreshRoots = [locator, live] { return locator.meetingIdSearchRoots(live.pid, live.window); },
        .isScreenSharingActive = [locator,
                                  live] { return locator.isScreenSharingActive(live.pid, live.window); },
        .clock = *clock_,
        .popovers = popovers_,
    });
    return ZoomMeetingTarget{.pid = live.pid, .window = live.window, .meetingId = meetingId};
}

LiveMeetingWindow ZoomMeetingLocator::locateLiveMeetingWindow() const {
    const std::optional<Pid> pid = runtime_->runningZoomPid();
    if (!pid) throw AutomationException(AutomationError::zoomNotRunning);

    std::vector<AXNodePtr> live;
    // Every window is tested: a second live window makes the answer ambiguous.
    for (const AXNodePtr& window : runtime_->windows(*pid)) {
        if (Classify::isLiveMeetingWindow(window, *clock_)) live.push_back(window);
    }
    if (live.empty()) throw AutomationException(AutomationError::noLiveMeeting);
    if (live.size() > 1) throw AutomationException(AutomationError::ambiguousMeeting);
    return LiveMeetingWindow{.pid = *pid, .window = live.front()};
}

std::vector<AXNodePtr> ZoomMeetingLocator::meetingIdSearchRoots(Pid pid,
                                                                const AXNodePtr& meetingWindow) const {
    std::vector<AXNodePtr> roots{meetingWindow};
    for (const AXNodePtr& window : runtime_->windows(pid)) {
        if (Classify::sameWindow(*window, *meetingWindow)) continue;
        if (Classify::isHomeWindow(*window)) continue;
        if (Classify::isShareCompanion(*window)) continue;
        if (Classify::isJoinPreviewWindow(window, *clock_)) continue;
        if (Classify::isWaitingRoomWindow(window, *clock_)) continue;
        if (!Classify::looksLikeMeetingInfoSurface(window, *clock_)) continue;
        roots.push_back(window);
    }
    return roots;
}

bool ZoomMeetingLocator::isScreenSharingActive(Pid pid, const AXNodePtr& meetingWindow) const {
    for (const AXNodePtr& window : runtime_->windows(pid)) {
        if (Classify::isShareCompanion(*window)) return true;
    }
    return Classify::meetingWindowShowsSharing(meetingWindow, *clock_);
}

}  // namespace RoomcodeCore
