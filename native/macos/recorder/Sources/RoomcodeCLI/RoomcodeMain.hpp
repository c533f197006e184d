#pragma once

// The entry of roomcode: check the Accessibility permission, locate the live
// meeting and its ID, and turn every outcome into one result record.

#include <functional>

#include "RoomcodeCLI/MeetingIdOutput.hpp"
#include "RoomcodeCore/ZoomMeetingLocator.hpp"

namespace Desktop {
class Platform;
}

namespace RoomcodeCLI {

class TerminationGuard;

struct Steps {
    std::function<bool()> accessibilityTrusted;
    // Throws AutomationException, or anything else for a temporary failure.
    std::function<RoomcodeCore::ZoomMeetingTarget()> locate;
};

// Never throws: every failure becomes a result code.
MeetingIdOutput meetingIdOutput(const Steps& steps);

// The whole run on this desktop; returns the exit status. With a guard, the
// popovers the run opens are watched by it, and the result is printed only
// after it gave the exit to this run.
int runRoomcode(Desktop::Platform& platform, TerminationGuard* termination = nullptr);

}  // namespace RoomcodeCLI
