#pragma once

// Turns the live meeting window into a meeting ID. It reads what the client
// already shows; failing that, it presses the control that opens Zoom's
// meeting-information popover, reads the popover and closes it again, trying
// a few candidate controls at most. It never presses while the user shares the
// screen, and it closes every popover it opened.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "RoomcodeCore/AXNode.hpp"
#include "RoomcodeCore/BoundedAXSearch.hpp"
#include "RoomcodeCore/Clock.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "RoomcodeCore/PopoverWatch.hpp"

namespace RoomcodeCore {

struct ZoomMeetingInfoReader {
    // Waited after each press before reading; half of it after each close.
    std::uint64_t afterOpenWaitNanoseconds = 0;
    // Zero means nothing is ever pressed.
    std::int64_t maxTopLeftPressAttempts = 0;

    static const ZoomMeetingInfoReader live;

    struct ReadRequest {
        AXNodePtr from;
        std::optional<Roomcode> expected{};
        std::vector<AXNodePtr> searchRoots{};
        // Asked for the windows to read each time, so that a popover shown as
        // a window of its own after a press is read too.
        std::optional<std::function<std::vector<AXNodePtr>()>> refreshRoots{};
        std::optional<std::function<bool()>> isScreenSharingActive{};
        Clock& clock;
        // Told of every popover the read opens; may ask it to close and stop.
        PopoverWatch* popovers = nullptr;
    };

    // Throws AutomationException (screenSharingActive, meetingIdUnavailable),
    // the SearchException of a press the client refused, or ReadingStopped
    // once the watch asked to stop (after closing what was open).
    Roomcode readMeetingId(const ReadRequest& request) const;

    // When the watch asks to stop, the close gets a budget of its own: the
    // close control is looked for this long at most, whatever is left of the
    // read's three seconds.
    static constexpr SearchBudget::Limits stoppingCloseLimits{
        .maxNodes = 1000, .maxDepth = 18, .seconds = 0.5};

    static std::optional<Roomcode> extractMeetingId(const std::vector<AXNodePtr>& roots, Clock& clock);
    static void closeInfoPopover(const AXNodePtr& window, const AXNodePtr& infoButton, Clock& clock);

    // The pieces of a read, each on a search whose budget the caller shares.
    static std::optional<Roomcode> extractMeetingId(const AXNodePtr& root, const BoundedAXSearch& search);
    static std::vector<AXNodePtr> infoPressCandidates(const AXNodePtr& window, const BoundedAXSearch& search);
    // Close controls in `shownBeforePress` (by key) belong to something the user
    // had open already, or to the window itself, and are never pressed.
    static void closeOpenedPopover(const AXNodePtr& window, const BoundedAXSearch& search,
                                   const AXNodePtr& infoButton,
                                   const std::unordered_set<std::string>& shownBeforePress = {});
    static std::vector<std::string> attributeTexts(const AXNode& node);
    static bool labelsLookLikeMeetingInfo(const AXNode& node);

private:
    // One press of a candidate control during a read.
    struct Press {
        const ReadRequest& request;
        const BoundedAXSearch& search;
        // Close controls shown before any press, never pressed to close a popover.
        const std::unordered_set<std::string>& closeControlKeys;
        const AXNodePtr& candidate;
    };

    // Presses the candidate, reads what it opened and closes it again, on every way out.
    std::optional<Roomcode> pressAndRead(const Press& press) const;
    static void closeAfterPress(const Press& press);
};

}  // namespace RoomcodeCore
