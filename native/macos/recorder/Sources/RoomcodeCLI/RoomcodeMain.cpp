#include "RoomcodeCLI/RoomcodeMain.hpp"

#include <memory>
#include <optional>

#include "Desktop/Desktop.hpp"
#include "RoomcodeCLI/SystemClock.hpp"
#include "RoomcodeCLI/TerminationGuard.hpp"
#include "RoomcodeCore/AutomationErrors.hpp"
#include "RoomcodeCore/system/HungElementMemory.hpp"
#include "RoomcodeCore/system/StoppableAccessibility.hpp"
#include "RoomcodeCore/system/SystemZoomRuntime.hpp"
#include "RoomcodeCore/system/UnresponsiveClientGuard.hpp"

namespace RoomcodeCLI {

using RoomcodeCore::AutomationError;

namespace {

MeetingIdOutput failure(AutomationError error) {
    return MeetingIdOutput{.ok = false, .code = std::string(RoomcodeCore::resultCode(error))};
}

}  // namespace

MeetingIdOutput meetingIdOutput(const Steps& steps) {
    try {
        // Without the permission nothing else is looked at, not even whether
        // Zoom runs.
        if (!steps.accessibilityTrusted()) return failure(AutomationError::accessibilityDenied);
        const RoomcodeCore::ZoomMeetingTarget target = steps.locate();
        return MeetingIdOutput{.ok = true, .meetingId = target.meetingId.digits, .code = "meeting_id_found"};
    } catch (const RoomcodeCore::AutomationException& exception) {
        return failure(exception.error());
    } catch (...) {
        return failure(AutomationError::temporaryFailure);
    }
}

int runRoomcode(Desktop::Platform& platform, TerminationGuard* termination) {
    SystemClock clock(platform.clock());
    RoomcodeCore::UnresponsiveClientGuard guard(platform.accessibility());
    RoomcodeCore::HungElementMemory hungElements(guard);
    std::optional<RoomcodeCore::StoppableAccessibility> stoppable;
    if (termination != nullptr) stoppable.emplace(hungElements, *termination);
    Desktop::Accessibility& accessibility =
        stoppable ? static_cast<Desktop::Accessibility&>(*stoppable) : hungElements;
    const MeetingIdOutput output = meetingIdOutput({
        .accessibilityTrusted = [&] { return platform.accessibility().isProcessTrusted(); },
        .locate =
            [&] {
                const RoomcodeCore::ZoomMeetingLocator locator(
                    std::make_shared<RoomcodeCore::SystemZoomRuntime>(platform.workspace(), accessibility),
                    RoomcodeCore::ZoomMeetingInfoReader::live, clock, termination);
                return locator.locate(std::nullopt);
            },
    });
    if (termination != nullptr && !termination->claimExit()) return 0;
    emit(output);
    return 0;
}

}  // namespace RoomcodeCLI
