#pragma once

// Why roomcode could not read a meeting ID. Each case becomes one result code
// that the host application tells outcomes apart by.

#include <exception>
#include <string_view>

namespace RoomcodeCore {

enum class AutomationError {
    accessibilityDenied,
    zoomNotRunning,
    noLiveMeeting,
    ambiguousMeeting,
    meetingIdUnavailable,
    screenSharingActive,
    temporaryFailure,
};

std::string_view resultCode(AutomationError error);

// Thrown by the locator and the reader.
class AutomationException : public std::exception {
public:
    explicit AutomationException(AutomationError error) : error_(error) {}
    AutomationError error() const { return error_; }
    const char* what() const noexcept override { return resultCode(error_).data(); }

private:
    AutomationError error_;
};

}  // namespace RoomcodeCore
