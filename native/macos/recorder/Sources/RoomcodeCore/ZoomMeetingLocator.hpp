#pragma once

// Which Zoom window is the live meeting, and what is its ID. The locator picks
// the one window that passes the live-meeting test, gathers the windows in
// which the ID may be shown and leaves reading and pressing to the reader.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "RoomcodeCore/AXNode.hpp"
#include "RoomcodeCore/Clock.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "RoomcodeCore/ZoomMeetingInfoReader.hpp"
#include "RoomcodeCore/ZoomRuntime.hpp"

namespace RoomcodeCore {

struct ZoomMeetingTarget {
    Pid pid = 0;
    AXNodePtr window;
    Roomcode meetingId;
};

struct LiveMeetingWindow {
    Pid pid = 0;
    AXNodePtr window;
};

class ZoomMeetingLocator {
public:
    ZoomMeetingLocator(std::shared_ptr<ZoomRuntime> runtime, ZoomMeetingInfoReader infoReader, Clock& clock,
                       PopoverWatch* popovers = nullptr)
        : runtime_(std::move(runtime)), infoReader_(infoReader), clock_(&clock), popovers_(popovers) {}

    // Throws AutomationException, or the SearchException of a refused press.
    ZoomMeetingTarget locate(std::optional<std::string_view> expectedMeetingId) const;
    // Throws AutomationException: zoomNotRunning, noLiveMeeting, ambiguousMeeting.
    LiveMeetingWindow locateLiveMeetingWindow() const;
    // The meeting window first, then the client's other windows that may show the ID.
    std::vector<AXNodePtr> meetingIdSearchRoots(Pid pid, const AXNodePtr& meetingWindow) const;
    bool isScreenSharingActive(Pid pid, const AXNodePtr& meetingWindow) const;

private:
    std::shared_ptr<ZoomRuntime> runtime_;
    ZoomMeetingInfoReader infoReader_;
    Clock* clock_;
    PopoverWatch* popovers_;
};

}  // namespace RoomcodeCore
