#include <gtest/gtest.h>

#include "Callsense/AccessibilityScoring.hpp"
#include "Support/SceneDesktop.hpp"

namespace Callsense {
namespace {

using ConferenceEvidence::ConferenceScore;
using ConferenceEvidence::MeetingConfidence;
using ConferenceEvidence::MeetingEvidenceTag;
using Testing::Json;

struct Quartz {
    bool likely = false;
    std::string subtitle = "Microphone";
    std::string alertTitle = "Meeting detected";
};

ConferenceScore scoreOn(const Json& applications, const std::vector<WindowCandidate>& candidates,
                        const Quartz& quartz, bool inputRunning, std::string_view frontmostName) {
    Testing::SceneDesktop desktop({{"accessibilityTrusted", true}, {"applications", applications}});
    return scoreWithAccessibility(desktop, {.candidates = candidates,
                                            .quartzLikely = quartz.likely,
                                            .quartzSubtitle = quartz.subtitle,
                                            .quartzAlertTitle = quartz.alertTitle,
                                            .inputRunning = inputRunning,
                                            .frontmostName = frontmostName});
}

ConferenceScore windowScanScore(std::string subtitle, std::string alertTitle, std::string family) {
    return {.callLikely = true,
            .confidence = MeetingConfidence::medium,
            .evidence = {MeetingEvidenceTag::meetingUrlOrTitle},
            .subtitle = std::move(subtitle),
            .alertTitle = std::move(alertTitle),
            .sessionFamily = std::move(family),
            .meetingFingerprint = std::nullopt};
}

TEST(AccessibilityScoring, NothingToScoreIsNoMeeting) {
    EXPECT_EQ(scoreOn(Json::array(), {}, {}, true, "Notes"), ConferenceEvidence::noMeetingScore());
}

TEST(AccessibilityScoring, WindowScanVerdictAloneIsReturnedWhateverIsFrontmost) {
    const Quartz zoom{.likely = true, .subtitle = "Zoom", .alertTitle = "Zoom Meeting detected"};
    EXPECT_EQ(scoreOn(Json::array(), {}, zoom, false, "Notes"),
              windowScanScore("Zoom", "Zoom Meeting detected", "zoom"));
    EXPECT_EQ(scoreOn(Json::array(), {}, zoom, false, ""),
              windowScanScore("Zoom", "Zoom Meeting detected", "zoom"));
}

TEST(AccessibilityScoring, SingleRejectedCandidateKeepsItsOwnScore) {
    // Nothing to walk for this pid: the titles alone are scored, and a Meet code without
    // a running microphone or call chrome is not enough. The rejected score still names
    // the family the code belongs to.
    const auto score = scoreOn(Json::array(), {{.owner = "TextEdit", .title = "abc-defg-hij", .pid = 42}}, {},
                               false, "Something Else");
    EXPECT_EQ(score, (ConferenceScore{.callLikely = false,
                                      .confidence = MeetingConfidence::none,
                                      .evidence = {},
                                      .subtitle = "Microphone",
                                      .alertTitle = "Meeting detected",
                                      .sessionFamily = "meet",
                                      .meetingFingerprint = "meet:abc-defg-hij"}));
}

TEST(AccessibilityScoring, WindowScanVerdictReplacesARejectedCandidateOfTheSameName) {
    const auto score =
        scoreOn(Json::array(), {{.owner = "Slack", .title = "general", .pid = 42}},
                {.likely = true, .subtitle = "Slack", .alertTitle = "Slack Huddle detected"}, false, "Slack");
    EXPECT_EQ(score, windowScanScore("Slack", "Slack Huddle detected", "slack"));
}

TEST(AccessibilityScoring, RejectedFrontmostCandidateBesideTheWindowScanVerdictIsNoMeeting) {
    const auto score = scoreOn(Json::array(), {{.owner = "Google Chrome", .title = "Inbox", .pid = 42}},
                               {.likely = true, .subtitle = "Chrome", .alertTitle = "Google Meet detected"},
                               true, "Google Chrome");
    EXPECT_EQ(score, ConferenceEvidence::noMeetingScore());
}

TEST(AccessibilityScoring, LikelyCandidateUnderTheSameNameIsNotReplaced) {
    const Json slack = Json::array(
        {{{"pid", 42},
          {"name", "Slack"},
          {"windows",
           Json::array({{{"role", "AXWindow"},
                         {"children", Json::array({{{"role", "AXStaticText"},
                                                    {"value", "https://zoom.us/j/123456789"}}})}}})}}});
    const auto score =
        scoreOn(slack, {{.owner = "Slack", .title = " | Huddle with Ana |  | ", .pid = 42}},
                {.likely = true, .subtitle = "Slack", .alertTitle = "Slack Huddle detected"}, false, "Slack");
    EXPECT_EQ(score, (ConferenceScore{.callLikely = true,
                                      .confidence = MeetingConfidence::medium,
                                      .evidence = {MeetingEvidenceTag::meetingUrlOrTitle},
                                      .subtitle = "Slack",
                                      .alertTitle = "Slack Huddle detected",
                                      .sessionFamily = "slack",
                                      .meetingFingerprint = "zoom:123456789"}));
}

}  // namespace
}  // namespace Callsense
