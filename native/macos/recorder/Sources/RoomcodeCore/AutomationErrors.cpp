#include "RoomcodeCore/AutomationErrors.hpp"

namespace RoomcodeCore {

// Every code is a literal, so `what()` may hand out its data as a C string.
std::string_view resultCode(AutomationError error) {
    switch (error) {
        case AutomationError::accessibilityDenied:
            return "accessibility_denied";
        case AutomationError::zoomNotRunning:
            return "zoom_not_running";
        case AutomationError::noLiveMeeting:
            return "no_live_meeting";
        case AutomationError::ambiguousMeeting:
            return "ambiguous_meeting";
        case AutomationError::meetingIdUnavailable:
            return "meeting_id_unavailable";
        case AutomationError::screenSharingActive:
            return "screen_sharing";
        case AutomationError::temporaryFailure:
            return "temporary_failure";
    }
    return "temporary_failure";
}

}  // namespace RoomcodeCore
