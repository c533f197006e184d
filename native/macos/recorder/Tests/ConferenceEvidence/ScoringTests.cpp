#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ConferenceEvidence/Scoring.hpp"

namespace CE = ConferenceEvidence;
using CE::MeetingConfidence;
using Tag = CE::MeetingEvidenceTag;

namespace {

const std::string meetUrl = "https://meet.google.com/abc-defg-hij";
const std::string calendarUrl = "https://calendar.google.com/calendar/r/week";

struct VerdictCase {
    std::string name;
    CE::CandidateArguments candidate;
    bool likely;
    MeetingConfidence confidence;
    std::vector<Tag> evidence;
};

// Each case is decided by the rule it names: the earlier rules do not apply to it.
TEST(Scoring, EachVerdictRule) {
    const std::vector<VerdictCase> cases{
        {"1: lobby wording vetoes a leave control with the microphone running",
         {.owner = "Google Chrome",
          .windowTitles = {"Standup - " + meetUrl},
          .controlLabels = {"Leave call"},
          .lobbyHints = {"Waiting for the host"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         false,
         MeetingConfidence::none,
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent, Tag::inputRunning}},
        {"1: a join prompt in a window title is lobby wording too",
         {.owner = "zoom.us",
          .windowTitles = {"Zoom Meeting - Join meeting"},
          .controlLabels = {"Mute", "Leave"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         false,
         MeetingConfidence::none,
         {Tag::callControlsPresent, Tag::inputRunning}},
        {"2: a meeting URL with a plain leave control, microphone off",
         {.owner = "Microsoft Teams",
          .axTitlesAndUrls = {"https://teams.microsoft.com/l/meetup-join/1"},
          .controlLabels = {"Leave"},
          .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent}},
        {"2: a calendar page does not veto a URL with a leave control",
         {.owner = "Google Chrome",
          .windowTitles = {meetUrl},
          .axTitlesAndUrls = {calendarUrl},
          .controlLabels = {"Leave"},
          .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent}},
        {"3: a Meet code tab with in-call wording as its only control",
         {.owner = "Google Chrome",
          .windowTitles = {"abc-defg-hij"},
          .controlLabels = {"Raise hand"},
          .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent}},
        {"3: a meeting URL with the microphone running",
         {.owner = "Safari", .windowTitles = {meetUrl}, .inputRunning = true, .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::meetingUrlOrTitle, Tag::inputRunning}},
        {"3 does not apply: the calendar page clears the browser context",
         {.owner = "Google Chrome",
          .windowTitles = {meetUrl},
          .axTitlesAndUrls = {calendarUrl},
          .inputRunning = true,
          .accessibilityTrusted = true},
         false,
         MeetingConfidence::none,
         {Tag::meetingUrlOrTitle, Tag::inputRunning}},
        {"4: call controls with the microphone running",
         {.owner = "Notes",
          .controlLabels = {"Mute", "Leave"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::callControlsPresent, Tag::inputRunning}},
        {"4: call controls with an in-call title beat the medium of rule 6",
         {.owner = "zoom.us",
          .windowTitles = {"Zoom Meeting"},
          .controlLabels = {"Unmute", "Participants"},
          .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent}},
        {"4 does not apply: call controls alone",
         {.owner = "Notes", .controlLabels = {"Mute", "Leave"}, .accessibilityTrusted = true},
         false,
         MeetingConfidence::none,
         {Tag::callControlsPresent}},
        {"5: an in-call title with the microphone running",
         {.owner = "zoom.us",
          .windowTitles = {"Zoom Meeting"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         true,
         MeetingConfidence::high,
         {Tag::meetingUrlOrTitle, Tag::inputRunning}},
        {"6: an in-call title with the microphone off",
         {.owner = "zoom.us", .windowTitles = {"Zoom Meeting"}, .accessibilityTrusted = true},
         true,
         MeetingConfidence::medium,
         {Tag::meetingUrlOrTitle}},
        {"7: without trust an in-call title is medium even with the microphone",
         {.owner = "zoom.us",
          .windowTitles = {"Zoom Meeting"},
          .inputRunning = true,
          .accessibilityTrusted = false},
         true,
         MeetingConfidence::medium,
         {Tag::meetingUrlOrTitle, Tag::inputRunning}},
        {"8: without trust a URL and controls do not count",
         {.owner = "Google Chrome",
          .windowTitles = {meetUrl},
          .controlLabels = {"Mute", "Leave call"},
          .inputRunning = true,
          .accessibilityTrusted = false},
         false,
         MeetingConfidence::none,
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent, Tag::inputRunning}},
        {"8: a running microphone alone",
         {.owner = "Notes", .inputRunning = true, .accessibilityTrusted = true},
         false,
         MeetingConfidence::none,
         {Tag::inputRunning}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto score = CE::scoreCandidate(c.candidate);
        EXPECT_EQ(score.callLikely, c.likely);
        EXPECT_EQ(score.confidence, c.confidence);
        EXPECT_EQ(score.evidence, c.evidence);
        if (!c.likely) {
            EXPECT_EQ(score.subtitle, "Microphone");
            EXPECT_EQ(score.alertTitle, "Meeting detected");
        }
    }
}

TEST(Scoring, EvidenceComesInFixedOrder) {
    struct Case {
        std::string name;
        CE::CandidateArguments candidate;
        std::vector<Tag> evidence;
    };
    const std::vector<Case> cases{
        {"all three, controls listed before the title",
         {.owner = "Slack",
          .windowTitles = {"Notes", "Huddle in #general"},
          .controlLabels = {"Leave", "Mute"},
          .inputRunning = true},
         {Tag::meetingUrlOrTitle, Tag::callControlsPresent, Tag::inputRunning}},
        {"in-call wording in a hint",
         {.owner = "Notes", .inCallHints = {"You are the only one here"}},
         {Tag::callControlsPresent}},
        {"a leave control alone",
         {.owner = "Notes", .controlLabels = {"Hang up"}},
         {Tag::callControlsPresent}},
        {"a mute control alone is no evidence", {.owner = "Notes", .controlLabels = {"Mute"}}, {}},
        {"a URL read from the tree",
         {.owner = "Notes", .axTitlesAndUrls = {meetUrl}},
         {Tag::meetingUrlOrTitle}},
        {"a product tab in a browser",
         {.owner = "Firefox", .windowTitles = {"Zoom"}},
         {Tag::meetingUrlOrTitle}},
        {"a product tab outside a browser", {.owner = "Notes", .windowTitles = {"Zoom"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CE::scoreCandidate(c.candidate).evidence, c.evidence);
    }
}

TEST(Scoring, WholeScoresCarryLabelsFamilyAndFingerprint) {
    const struct {
        const char* name;
        CE::CandidateArguments candidate;
        CE::ConferenceScore expected;
    } cases[] = {
        {"a Zoom meeting with its join link",
         {.owner = "zoom.us",
          .windowTitles = {"Zoom Meeting"},
          .axTitlesAndUrls = {"https://zoom.us/j/81234567890"},
          .controlLabels = {"Mute", "Leave"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         {.callLikely = true,
          .confidence = MeetingConfidence::high,
          .evidence = {Tag::meetingUrlOrTitle, Tag::callControlsPresent, Tag::inputRunning},
          .subtitle = "Zoom",
          .alertTitle = "Zoom Meeting detected",
          .sessionFamily = "zoom",
          .meetingFingerprint = "zoom:81234567890"}},
        // A browser that shows only the page title: label, family and fingerprint agree.
        {"a bare Meet code title",
         {.owner = "Arc",
          .windowTitles = {"phv-jdrc-vxw"},
          .controlLabels = {"Leave call"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         {.callLikely = true,
          .confidence = MeetingConfidence::high,
          .evidence = {Tag::meetingUrlOrTitle, Tag::callControlsPresent, Tag::inputRunning},
          .subtitle = "Arc",
          .alertTitle = "Google Meet detected",
          .sessionFamily = "meet",
          .meetingFingerprint = "meet:phv-jdrc-vxw"}},
        // The family comes from the candidate's label, not from the generic "Meeting detected".
        {"a rejected score keeps the family of its label",
         {.owner = "Google Chrome",
          .windowTitles = {"Standup - " + meetUrl},
          .lobbyHints = {"Ask to join"},
          .inputRunning = true,
          .accessibilityTrusted = true},
         {.callLikely = false,
          .confidence = MeetingConfidence::none,
          .evidence = {Tag::meetingUrlOrTitle, Tag::inputRunning},
          .subtitle = "Microphone",
          .alertTitle = "Meeting detected",
          .sessionFamily = "meet",
          .meetingFingerprint = "meet:abc-defg-hij"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CE::scoreCandidate(c.candidate), c.expected);
    }

    const auto microphoneOnly =
        CE::scoreCandidate({.owner = "Notes", .inputRunning = true, .accessibilityTrusted = true});
    EXPECT_EQ(microphoneOnly, CE::emptyScore({.evidence = {Tag::inputRunning}, .sessionFamily = "unknown"}));
}

}  // namespace
