#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConferenceEvidence/Predicates.hpp"

namespace CE = ConferenceEvidence;

namespace {

struct TextCase {
    std::string text;
    bool expected;
};

using Titles = std::vector<std::string>;

TEST(Predicates, StrongInCallTitleIsVetoedByJoinPrompts) {
    const std::vector<TextCase> cases{
        {"Zoom Meeting", true},
        {"ZOOM MEETING - 40 minutes", true},
        {"Zoom Meeting - Ready To Join", false},
        {"Huddle in #general | join meeting", false},
        {"Join a meeting: voice call", false},
        {"Slack | Huddle with Ann", true},
        {"Personal Meeting Room", true},
        {"Calling", false},
        {"", false},
        {" \t\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textSuggestsStrongInCallTitle(c.text), c.expected);
    }
}

TEST(Predicates, MeetingUrl) {
    const std::vector<TextCase> cases{
        {"https://us02web.zoom.us/j/81234567890?pwd=x", true},
        {"zoom.us/wc/join/81234567890", true},
        {"https://zoom.us/s/81234567890", true},
        {"https://zoom.us/profile", false},
        {"HTTPS://MEET.GOOGLE.COM/abc-defg-hij", true},
        {"https://teams.microsoft.com/l/meetup-join/x", true},
        {"https://teams.live.com/meet/123", true},
        {"https://app.slack.com/huddle/T01/C02", true},
        {"https://facetime.apple.com/join#v=1", true},
        {"https://example.com/call", false},
        {"", false},
        {"   ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textSuggestsMeetingUrl(c.text), c.expected);
    }
}

TEST(Predicates, MeetingUrlOrTitleAcceptsWeakProductNames) {
    const std::vector<TextCase> cases{
        {"Google Meet", true},
        {"Cisco Webex", true},
        {"Chat | Microsoft Teams", true},
        {"zoom.us/j/81234567890", true},
        {"In a call", true},
        {"Teams", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textSuggestsMeetingUrlOrTitle(c.text), c.expected);
    }
}

TEST(Predicates, MeetCodeTitle) {
    const std::vector<TextCase> cases{
        {"  ABC-DEFG-HIJ \n", true},
        {"abc-defg-hij and more words", true},
        {"abc-defg-hij - Google Meet", true},
        {"abc-defg-hij", true},
        {"abc-defg-hijk", false},
        {"Meet - abc-defg-hij", false},
        {"ab-defg-hij", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::titleLooksLikeMeetCode(c.text), c.expected);
    }
}

TEST(Predicates, StandaloneMeetTokenIsCaseSensitive) {
    const std::vector<TextCase> cases{
        {"meet", true},           {" meet \n", true},       {"Meet", false},
        {"standup - meet", true}, {"meet - standup", true}, {"meet | standup", true},
        {"meeting", false},       {"meet-up", false},       {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textLooksLikeStandaloneMeetToken(c.text), c.expected);
    }
}

TEST(Predicates, StandaloneMeetTokenReadsEveryDashAsAHyphen) {
    const std::vector<TextCase> cases{
        {"meet \u2013 abc-defg-hij", true},  // en dash: Google Meet's own page title
        {"meet \u2014 abc-defg-hij", true},  // em dash
        {"meet \u2010 standup", true},       // hyphen, the first of the dashes
        {"meet \u2011 standup", true},       // non-breaking hyphen
        {"meet \u2015 standup", true},       // horizontal bar, the last of them
        {"meet \u2212 standup", true},       // minus sign
        {"weekly sync \u2013 meet", true},   {"weekly sync \u2014 meet", true},
        {"meet \u200f standup", false},  // the neighbours of the dashes are not dashes
        {"meet \u2016 standup", false},      {"meet \u2213 standup", false},
        {"meet \u2013abc-defg-hij", true},    // "meet -" needs no space after the dash
        {"meet\u2013abc-defg-hij", false},    // but one before it
        {"Meet \u2013 abc-defg-hij", false},  // still case-sensitive
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textLooksLikeStandaloneMeetToken(c.text), c.expected);
    }
}

TEST(Predicates, MicrosoftTeamsProduct) {
    const std::vector<TextCase> cases{
        {"  Microsoft TEAMS \n", true},
        {"Chat | Microsoft Teams", true},
        {"https://teams.live.com/meet/1", true},
        {"teams.microsoft.com", true},
        {"Teams", false},
        {" ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textLooksLikeMicrosoftTeamsProduct(c.text), c.expected);
    }
}

TEST(Predicates, BrowserOwnerIsASubstringTest) {
    const std::vector<TextCase> cases{
        {"Google Chrome", true},
        {"Firefox", true},
        {"Arc", true},
        {"Microsoft Edge", true},
        {"Search Tool", true},
        {"Knowledge Base", true},
        {"Search Archive", true},
        {"zoom.us", false},
        {"Slack", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::isBrowserOwner(c.text), c.expected);
    }
}

TEST(Predicates, SchedulingSurface) {
    const std::vector<TextCase> cases{
        {"https://calendar.google.com/calendar/r", true},
        {"https://OUTLOOK.office.com/calendar/view", true},
        {"https://outlook.live.com/calendar/0/", true},
        {"https://outlook.live.com/mail/0/", false},
        {"Inbox - mail.google.com", true},
        {"https://docs.google.com/document/d/1", true},
        {"https://meet.google.com/abc-defg-hij", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CE::textSuggestsSchedulingSurface(c.text), c.expected);
    }
}

TEST(Predicates, ShortOwnerIsExact) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Google Chrome", "Chrome"},
        {"Brave Browser", "Brave"},
        {"Microsoft Edge", "Edge"},
        {"Microsoft Teams", "Teams"},
        {"zoom.us", "Zoom"},
        {"Slack", "Slack"},
        {"google chrome", "google chrome"},
        {"Google Chrome ", "Google Chrome "},
        {"Safari", "Safari"},
        {"", ""},
    };
    for (const auto& [owner, expected] : cases) {
        SCOPED_TRACE(owner);
        EXPECT_EQ(CE::shortOwner(owner), expected);
    }
}

TEST(Predicates, ListTestsReadWindowTitlesThenAccessibilityTexts) {
    const Titles meetUrl{"https://meet.google.com/abc-defg-hij"};
    const Titles meetCode{"abc-defg-hij"};
    const Titles plain{"Notes"};

    EXPECT_TRUE(CE::hasMeetingUrl({.windowTitles = plain, .axTitlesAndUrls = meetUrl}));
    EXPECT_TRUE(CE::hasMeetingUrl({.windowTitles = meetUrl, .axTitlesAndUrls = {}}));
    EXPECT_FALSE(CE::hasMeetingUrl({.windowTitles = plain, .axTitlesAndUrls = meetCode}));

    EXPECT_TRUE(CE::hasStrongBrowserMeetingContext({.windowTitles = plain, .axTitlesAndUrls = meetCode}));
    EXPECT_FALSE(CE::hasStrongBrowserMeetingContext({.windowTitles = plain, .axTitlesAndUrls = plain}));

    EXPECT_TRUE(CE::hasStrongInCallTitle({"Notes", "Zoom Meeting"}));
    EXPECT_FALSE(CE::hasStrongInCallTitle({}));
    EXPECT_TRUE(CE::hasInCallSurface({.windowTitles = {"In a call"}, .axTitlesAndUrls = {}}));
    EXPECT_TRUE(CE::hasInCallSurface({.windowTitles = plain, .axTitlesAndUrls = meetUrl}));
    // An in-call phrase only counts in a window title.
    EXPECT_FALSE(CE::hasInCallSurface({.windowTitles = plain, .axTitlesAndUrls = {"In a call"}}));
}

TEST(Predicates, WeakBrowserProductTab) {
    struct Case {
        Titles titles;
        bool expected;
    };
    const std::vector<Case> cases{
        {{"abc-defg-hij"}, true},
        {{"Standup - Meet"}, true},
        {{"Google Meet"}, true},
        {{"Cisco Webex | Home"}, true},
        {{"Webex"}, true},
        {{"webex "}, false},
        {{"my webex notes"}, false},
        {{"Weekly - Webex"}, true},
        {{"Chat | Microsoft Teams"}, true},
        {{"Zoom Meeting"}, true},
        {{"ZOOM"}, true},
        {{"zoom app"}, false},
        {{"Review - Zoom"}, true},
        // Typographic dashes separate a title's parts as well as a hyphen does.
        {{"Weekly \u2013 Webex"}, true},
        {{"Review \u2014 Zoom"}, true},
        {{"Meet \u2013 abc-defg-hij"}, true},
        {{"Review \u2016 Zoom"}, false},
        // A scheduling tab never counts, whatever else it names, but a later tab still can.
        {{"Google Meet - calendar.google.com"}, false},
        {{"Google Meet - calendar.google.com", "zoom"}, true},
        {{"Notes", "Recipes"}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.titles.empty() ? std::string("(none)") : c.titles.front()));
        EXPECT_EQ(CE::hasWeakBrowserProductTab(c.titles), c.expected);
    }
}

TEST(Predicates, BrowserMeetingTabContext) {
    const Titles meetTitle{"Standup - https://meet.google.com/abc-defg-hij"};
    const Titles calendar{"https://calendar.google.com/calendar/r/week"};

    EXPECT_TRUE(CE::hasBrowserMeetingTabContext(
        {.owner = "Google Chrome", .windowTitles = meetTitle, .axTitlesAndUrls = {}}));
    // One scheduling page anywhere vetoes the whole browser.
    EXPECT_FALSE(CE::hasBrowserMeetingTabContext(
        {.owner = "Google Chrome", .windowTitles = meetTitle, .axTitlesAndUrls = calendar}));
    EXPECT_TRUE(CE::hasBrowserMeetingTabContext(
        {.owner = "Safari", .windowTitles = {"ZoOm"}, .axTitlesAndUrls = {}}));
    EXPECT_FALSE(CE::hasBrowserMeetingTabContext(
        {.owner = "zoom.us", .windowTitles = {"ZoOm"}, .axTitlesAndUrls = {}}));
    EXPECT_FALSE(CE::hasBrowserMeetingTabContext(
        {.owner = "Notes", .windowTitles = meetTitle, .axTitlesAndUrls = {}}));
    // A Meet code read from the page counts as strong context; a product name there does not.
    EXPECT_TRUE(CE::hasBrowserMeetingTabContext(
        {.owner = "Firefox", .windowTitles = {"Notes"}, .axTitlesAndUrls = {"abc-defg-hij"}}));
    EXPECT_FALSE(CE::hasBrowserMeetingTabContext(
        {.owner = "Firefox", .windowTitles = {"Notes"}, .axTitlesAndUrls = {"Google Meet"}}));
}

}  // namespace
