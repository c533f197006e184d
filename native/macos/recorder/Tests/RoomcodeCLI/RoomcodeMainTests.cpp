#include <gtest/gtest.h>

#include <stdexcept>

#include "RoomcodeCLI/MeetingIdOutput.hpp"
#include "RoomcodeCLI/RoomcodeMain.hpp"
#include "RoomcodeCore/AutomationErrors.hpp"

namespace {

using RoomcodeCLI::MeetingIdOutput;
using RoomcodeCore::AutomationError;
using RoomcodeCore::AutomationException;
using RoomcodeCore::ZoomMeetingTarget;

TEST(MeetingIdOutput, EncodesOneLineInFieldOrderWithoutAbsentKeys) {
    EXPECT_EQ(RoomcodeCLI::encodedLine({.ok = true, .meetingId = "1234567890", .code = "meeting_id_found"}),
              "{\"ok\":true,\"meetingId\":\"1234567890\",\"code\":\"meeting_id_found\"}\n");
    EXPECT_EQ(RoomcodeCLI::encodedLine({.ok = false, .code = "accessibility_denied"}),
              "{\"ok\":false,\"code\":\"accessibility_denied\"}\n");
    EXPECT_EQ(RoomcodeCLI::encodedLine({.ok = true, .meetingId = "\xff", .code = "meeting_id_found"}),
              std::nullopt);
}

TEST(MeetingIdOutput, EmitWritesTheLineOrEndsWithStatusThree) {
    testing::internal::CaptureStdout();
    RoomcodeCLI::emit({.ok = false, .code = "no_live_meeting"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "{\"ok\":false,\"code\":\"no_live_meeting\"}\n");

    EXPECT_EXIT(RoomcodeCLI::emit({.ok = true, .meetingId = "12\xc3", .code = "meeting_id_found"}),
                testing::ExitedWithCode(3), "^encode_failed\n$");
}

TEST(MeetingIdOutputFor, EveryOutcomeBecomesAResultCode) {
    const auto located = [] {
        return ZoomMeetingTarget{
            .pid = 1, .window = nullptr, .meetingId = RoomcodeCore::Roomcode{"98765432101"}};
    };
    EXPECT_EQ(RoomcodeCLI::meetingIdOutput({.accessibilityTrusted = [] { return true; }, .locate = located}),
              (MeetingIdOutput{.ok = true, .meetingId = "98765432101", .code = "meeting_id_found"}));

    const std::vector<std::pair<AutomationError, std::string>> errors = {
        {AutomationError::accessibilityDenied, "accessibility_denied"},
        {AutomationError::zoomNotRunning, "zoom_not_running"},
        {AutomationError::noLiveMeeting, "no_live_meeting"},
        {AutomationError::ambiguousMeeting, "ambiguous_meeting"},
        {AutomationError::meetingIdUnavailable, "meeting_id_unavailable"},
        {AutomationError::screenSharingActive, "screen_sharing"},
        {AutomationError::temporaryFailure, "temporary_failure"},
    };
    for (const auto& [error, code] : errors) {
        SCOPED_TRACE(code);
        const MeetingIdOutput output = RoomcodeCLI::meetingIdOutput(
            {.accessibilityTrusted = [] { return true; },
             .locate = [error = error]() -> ZoomMeetingTarget { throw AutomationException(error); }});
        EXPECT_EQ(output, (MeetingIdOutput{.ok = false, .code = code}));
    }

    for (const std::function<ZoomMeetingTarget()>& failing : std::vector<std::function<ZoomMeetingTarget()>>{
             []() -> ZoomMeetingTarget {
                 throw RoomcodeCore::SearchException(RoomcodeCore::SearchFailure::cannotComplete);
             },
             []() -> ZoomMeetingTarget { throw std::runtime_error("unexpected"); },
             []() -> ZoomMeetingTarget { throw 42; }}) {
        EXPECT_EQ(
            RoomcodeCLI::meetingIdOutput({.accessibilityTrusted = [] { return true; }, .locate = failing}),
            (MeetingIdOutput{.ok = false, .code = "temporary_failure"}));
    }
}

TEST(MeetingIdOutputFor, WithoutThePermissionNothingElseIsAsked) {
    bool located = false;
    const MeetingIdOutput output =
        RoomcodeCLI::meetingIdOutput({.accessibilityTrusted = [] { return false; },
                                      .locate = [&]() -> ZoomMeetingTarget {
                                          located = true;
                                          throw AutomationException(AutomationError::zoomNotRunning);
                                      }});
    EXPECT_EQ(output, (MeetingIdOutput{.ok = false, .code = "accessibility_denied"}));
    EXPECT_FALSE(located);
}

}  // namespace
