#include <gtest/gtest.h>

#include "Callsense/AccessibilityScoring.hpp"
#include "Callsense/MeetingWindowScan.hpp"

namespace Callsense {
namespace {

TEST(WindowNames, BrowserBundles) {
    const struct {
        const char* bundleId;
        bool browser;
    } cases[] = {
        {"com.google.Chrome", true},
        {"com.google.Chrome.canary", true},
        {"org.chromium.Chromium", false},        // "chromium" does not contain "chrome"
        {"com.example.chromecast", false},       // test 1 refuses, no later test matches
        {"com.example.chromecast.brave", true},  // refused by test 1, taken by test 2
        {"com.brave.Browser", true},
        {"com.microsoft.edgemac", true},
        {"com.microsoft.edgemac.Dev", false},  // equality, not a prefix
        {"org.mozilla.firefox", true},
        {"com.apple.Safari", true},  // lower-cased before comparing
        {"com.apple.SafariTechnologyPreview", false},
        {"company.thebrowser.Browser", true},
        {"com.operasoftware.Opera", true},
        {"com.vivaldi.Vivaldi", true},
        {"us.zoom.xos", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bundleId);
        EXPECT_EQ(isBrowserBundle(c.bundleId), c.browser);
    }
}

TEST(WindowNames, ConferencingOwners) {
    const struct {
        const char* owner;
        bool conferencing;
    } cases[] = {
        {"zoom.us", true},     {"Microsoft Teams", true}, {"GoTo Meeting", true},
        {"RingCentral", true}, {"Google Chrome", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owner);
        EXPECT_EQ(isConferencingOwner(c.owner), c.conferencing);
    }
}

TEST(WindowNames, ZoomMeetingWindow) {
    EXPECT_TRUE(isZoomMeetingWindow("zoom.us", "Zoom Meeting"));
    EXPECT_TRUE(isZoomMeetingWindow("zoom.us", "ZOOM MEETING"));
    EXPECT_TRUE(isZoomMeetingWindow("zoom.us", "https://zoom.us/j/123456789"));
    EXPECT_TRUE(isZoomMeetingWindow("Zoom Workplace", "Microsoft Teams"));  // weak product phrase
    EXPECT_FALSE(isZoomMeetingWindow("zoom.us", "Zoom Workplace"));
    EXPECT_FALSE(isZoomMeetingWindow("zoom.us", "   "));
    EXPECT_FALSE(isZoomMeetingWindow("zoom.us", "Zoom Meeting - Ready to join"));
    EXPECT_FALSE(isZoomMeetingWindow("Google Chrome", "Zoom Meeting"));
}

TEST(WindowNames, OwnerMatchesFrontmost) {
    const struct {
        const char* owner;
        const char* frontmost;
        bool matches;
    } cases[] = {
        {"Google Chrome", "google chrome", true},
        {"Google Chrome Helper", "Google Chrome", true},  // owner contains the frontmost name
        {"Chrome", "Google Chrome", true},                // frontmost name contains the owner
        {"zoom.us", "Zoom", true},                        // short owner names agree
        {"zoom.us", "Zoom Workplace", true},              // both mention zoom
        {"Slack Helper", "Slack Beta", true},
        {"Teams Classic", "Microsoft Teams (work)", true},
        {"Safari", "Google Chrome", false},
        {"", "Google Chrome", false},
        {"Google Chrome", "", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner << " / " << c.frontmost);
        EXPECT_EQ(ownerMatchesFrontmost(c.owner, c.frontmost), c.matches);
    }
}

TEST(CandidateTitles, SplitAtBarsTrimmedWithoutBlanks) {
    EXPECT_EQ(splitCandidateTitles("Zoom Meeting | Zoom Workplace"),
              (std::vector<std::string>{"Zoom Meeting", "Zoom Workplace"}));
    EXPECT_EQ(splitCandidateTitles("||  a |\n| b\t||   |"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(splitCandidateTitles("Call with Ana | Microsoft Teams"),
              (std::vector<std::string>{"Call with Ana", "Microsoft Teams"}));
    EXPECT_TRUE(splitCandidateTitles("").empty());
    EXPECT_TRUE(splitCandidateTitles(" | ").empty());
}

}  // namespace
}  // namespace Callsense
