#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ConferenceEvidence/Labels.hpp"

namespace CE = ConferenceEvidence;

namespace {

TEST(Labels, LabelForCandidateRules) {
    struct Case {
        std::string owner;
        std::string text;
        std::string subtitle;
        std::string alertTitle;
    };
    const std::vector<Case> cases{
        // Owner tests first, so the application's own name wins over its windows.
        {"Slack", "Zoom Meeting", "Slack", "Slack Huddle detected"},
        {"zoom.us", "Chat | Microsoft Teams", "Zoom", "Zoom Meeting detected"},
        {"Microsoft Teams", "Google Meet", "Teams", "Microsoft Teams meeting detected"},
        {"Cisco Webex Meetings", "", "Cisco Webex Meetings", "Webex meeting detected"},
        {"FaceTime", "Zoom Meeting", "FaceTime", "FaceTime call detected"},
        // Then the texts.
        {"Google Chrome", "https://zoom.us/j/81234567890", "Zoom", "Zoom Meeting detected"},
        {"Safari", "Standup | Microsoft Teams", "Teams", "Microsoft Teams meeting detected"},
        {"Safari", "https://acme.webex.com/meet/x", "Safari", "Webex meeting detected"},
        {"Google Chrome", "Google Meet", "Chrome", "Google Meet detected"},
        {"Google Chrome", "https://meet.google.com/landing", "Chrome", "Google Meet detected"},
        {"Arc", "standup - meet", "Arc", "Google Meet detected"},
        {"", "ABC-DEFG-HIJ", "", "Google Meet detected"},
        {"Arc", "Huddle with Ann", "Arc", "Slack Huddle detected"},
        {"Firefox", "Slack | Call", "Firefox", "Slack Huddle detected"},
        {"  ", "Notes", "Microphone", "Meeting detected"},
        {"Notes", "Shopping list", "Notes", "Notes meeting detected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner << " / " << c.text);
        const auto label = CE::labelForCandidate({.owner = c.owner, .combinedText = c.text});
        EXPECT_EQ(label.subtitle, c.subtitle);
        EXPECT_EQ(label.alertTitle, c.alertTitle);
    }
}

TEST(Labels, AWindowTitleThatIsAMeetCodeNamesGoogleMeet) {
    struct Case {
        std::string owner;
        std::vector<std::string> windowTitles;
        std::string alertTitle;
    };
    const std::vector<Case> cases{
        {"Arc", {"phv-jdrc-vxw"}, "Google Meet detected"},
        {"Arc", {"Notes", "  PHV-JDRC-VXW \n"}, "Google Meet detected"},  // any title, trimmed
        {"Arc", {"phv-jdrc-vxw - Google Meet"}, "Google Meet detected"},
        {"Arc", {"Notes", "phv-jdrc-vxwx"}, "Arc meeting detected"},  // not a code
        {"Arc", {"Standup phv-jdrc-vxw"}, "Arc meeting detected"},    // not at the start
        {"Arc", {}, "Arc meeting detected"},
        // The owner tests still come first.
        {"zoom.us", {"phv-jdrc-vxw"}, "Zoom Meeting detected"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> combined{c.owner};
        combined.insert(combined.end(), c.windowTitles.begin(), c.windowTitles.end());
        std::string combinedText;
        for (const auto& text : combined)
            combinedText += (combinedText.empty() ? "" : " ") + text;
        SCOPED_TRACE(testing::Message() << c.owner << " / " << combinedText);
        const auto label = CE::labelForCandidate(
            {.owner = c.owner, .combinedText = combinedText, .windowTitles = c.windowTitles});
        EXPECT_EQ(label.alertTitle, c.alertTitle);
    }
}

TEST(Labels, SessionFamilyRules) {
    struct Case {
        std::string owner;
        std::string text;
        std::string alertTitle;
        std::string family;
    };
    const std::vector<Case> cases{
        {"Slack", "Zoom Meeting", "", "slack"},
        {"Safari", "Slack Huddle", "", "slack"},
        {"Safari", "", "Slack Huddle detected", "slack"},
        {"zoom.us", "Microsoft Teams", "", "zoom"},
        {"Safari", "ZOOM.US/j/1", "", "zoom"},
        {"Safari", "", "Zoom Meeting detected", "zoom"},
        {"Microsoft Teams", "webex", "", "teams"},
        {"Safari", "", "Microsoft Teams meeting detected", "teams"},
        {"Webex", "", "", "webex"},
        {"Safari", "", "Webex meeting detected", "webex"},
        {"FaceTime", "", "", "facetime"},
        {"Safari", "", "FaceTime call detected", "facetime"},
        {"Safari", "", "Google Meet detected", "meet"},
        {"Safari", "meet.google.com/abc-defg-hij", "Meeting detected", "meet"},
        {"Safari", "Notes", "Safari meeting detected", "unknown"},
        {"", "", "", "unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner << " / " << c.text << " / " << c.alertTitle);
        EXPECT_EQ(CE::sessionFamily({.owner = c.owner, .combinedText = c.text, .alertTitle = c.alertTitle}),
                  c.family);
    }
}

TEST(Labels, MeetingFingerprintPrecedence) {
    struct Case {
        std::vector<std::string> windowTitles;
        std::vector<std::string> axTitlesAndUrls;
        std::optional<std::string> expected;
    };
    const std::string meetUrl = "https://meet.google.com/abc-defg-hij";
    const std::string zoomUrl = "https://us02web.zoom.us/j/123456789";
    const std::vector<Case> cases{
        {{"  ABC-DEFG-HIJ  "}, {}, "meet:abc-defg-hij"},
        {{"HTTPS://MEET.GOOGLE.COM/ABC-DEFG-HIJ"}, {}, "meet:abc-defg-hij"},
        // The URL pattern is not anchored; the bare code needs a boundary after it.
        {{"meet.google.com/abc-defg-hijx"}, {}, "meet:abc-defg-hij"},
        {{"abc-defg-hijx"}, {}, std::nullopt},
        {{"https://zoom.us/j/12345678"}, {}, std::nullopt},
        {{"https://zoom.us/s/12345678901?pwd=x"}, {}, "zoom:12345678901"},
        {{"https://zoom.us/w/123456789"}, {}, "zoom:123456789"},
        // The first text that names a meeting decides; window titles come first.
        {{zoomUrl, meetUrl}, {}, "zoom:123456789"},
        {{"Notes"}, {zoomUrl}, "zoom:123456789"},
        {{zoomUrl}, {meetUrl}, "zoom:123456789"},
        // Within one text: bare code, then Meet URL, then Zoom URL.
        {{zoomUrl + " " + meetUrl}, {}, "meet:abc-defg-hij"},
        {{"xyz-wxyz-xyz " + meetUrl}, {}, "meet:xyz-wxyz-xyz"},
        {{"Notes"}, {"Inbox"}, std::nullopt},
        {{}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.windowTitles.empty() ? std::string() : c.windowTitles.front()));
        EXPECT_EQ(
            CE::meetingFingerprint({.windowTitles = c.windowTitles, .axTitlesAndUrls = c.axTitlesAndUrls}),
            c.expected);
    }
}

}  // namespace
