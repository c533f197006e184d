#include <gtest/gtest.h>

#include "Callsense/MeetingWindowScan.hpp"
#include "Support/SceneDesktop.hpp"

namespace Callsense {
namespace {

using Testing::Json;
using Testing::window;

MeetingWindowScanResult scan(const Json& windowList, std::string_view frontmostName,
                             Desktop::Pid frontmostPid) {
    Testing::SceneDesktop desktop(Json{{"windowList", windowList}});
    return scanMeetingWindows(desktop.windowServer(),
                              {.frontmostName = frontmostName, .frontmostPid = frontmostPid});
}

MeetingWindowScanResult likely(std::string subtitle, std::string alertTitle,
                               std::vector<WindowCandidate> candidates) {
    return {.likely = true,
            .subtitle = std::move(subtitle),
            .alertTitle = std::move(alertTitle),
            .candidates = std::move(candidates)};
}

MeetingWindowScanResult notLikely(std::vector<WindowCandidate> candidates = {}) {
    return {.likely = false,
            .subtitle = "Microphone",
            .alertTitle = "Meeting detected",
            .candidates = std::move(candidates)};
}

TEST(MeetingWindowScan, FrontmostZoomMeetingIsLikelyAndJoinsThatProcessTitles) {
    const Json windows = Json::array({
        window("Window Server", 160, "Menubar", 25),
        window("zoom.us", 501, "Zoom Meeting"),
        window("Notes", 7, "Shopping"),
        window("zoom.us", 501, "  Zoom Workplace \n"),
        window("zoom.us", 501, " "),
        window("zoom.us", 501, "Zoom Meeting"),
    });
    EXPECT_EQ(
        scan(windows, "zoom.us", 501),
        likely("Zoom", "Zoom Meeting detected",
               {{.owner = "zoom.us", .title = "Zoom Meeting | Zoom Workplace | Zoom Meeting", .pid = 501}}));
    // The same windows behind another application say nothing.
    EXPECT_EQ(scan(windows, "Notes", 7), notLikely());
    EXPECT_EQ(scan(windows, "", 0), notLikely());
}

TEST(MeetingWindowScan, WindowRulesInOrder) {
    const struct {
        const char* owner;
        const char* title;
        const char* subtitle;
        const char* alertTitle;
    } cases[] = {
        {"Google Chrome", "Google Meet - call with Ana", "Chrome", "Google Meet detected"},
        {"Safari", "meet.google.com is sharing - in a call", "Safari", "Google Meet detected"},
        {"zoom.us", "Google Meet - in a call", "Zoom", "Google Meet detected"},  // rule 1 before rule 2
        {"zoom.us", "Zoom Meeting", "Zoom", "Zoom Meeting detected"},
        {"zoom.us", "https://zoom.us/j/123456789", "Zoom", "Zoom Meeting detected"},
        {"Microsoft Teams", "Call with Ana | Microsoft Teams", "Teams", "Microsoft Teams meeting detected"},
        {"Google Chrome", "teams.microsoft.com - in a call", "Teams", "Microsoft Teams meeting detected"},
        {"Webex", "Webex meeting - Personal Room", "Webex", "Webex meeting detected"},
        {"FaceTime", "Ana Lopez", "FaceTime", "FaceTime call detected"},
        {"FaceTime", " ", "FaceTime", "FaceTime call detected"},  // non-empty, not trimmed
        {"Slack", "general (Channel) - voice call", "Slack", "Slack Huddle detected"},
        {"Slack", "Huddle in #general", "Slack", "Slack Huddle detected"},
        {"Arc", "whereby.com/standup - in a call", "Arc", "Arc meeting detected"},
        {"Firefox", "around.co - call with the team", "Firefox", "Firefox meeting detected"},
        {"RingCentral", "RingCentral - call with Ana", "RingCentral", "RingCentral meeting detected"},
        {"GoTo", "GoTo Meeting - in this call", "GoTo", "GoTo meeting detected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner << " / " << c.title);
        const auto result = scan(Json::array({window(c.owner, 40, c.title)}), c.owner, 40);
        EXPECT_EQ(result,
                  likely(c.subtitle, c.alertTitle, {{.owner = c.owner, .title = c.title, .pid = 40}}));
    }
}

TEST(MeetingWindowScan, FrontmostWindowsWithoutARuleBecomeCandidatesOnlyWhenMeetingLike) {
    const struct {
        const char* owner;
        const char* title;
        bool candidate;
    } cases[] = {
        {"Webex", "Webex", true},                 // conferencing owner, no strong title
        {"Safari", "zoom.us/j/123456789", true},  // meeting URL
        {"Google Chrome", "abc-defg-hij", true},  // Meet code tab
        {"Google Chrome", "meet", true},          // standalone Meet token
        {"Google Chrome", "Weekly Sync - Zoom", true},
        {"Google Chrome", "Inbox - Gmail", false},
        {"Google Chrome", "In a call with Ana", true},  // strong title alone
        {"TextEdit", "Untitled", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.owner << " / " << c.title);
        const auto result = scan(Json::array({window(c.owner, 40, c.title)}), c.owner, 40);
        const std::vector<WindowCandidate> expected =
            c.candidate ? std::vector<WindowCandidate>{{.owner = c.owner, .title = c.title, .pid = 40}}
                        : std::vector<WindowCandidate>{};
        EXPECT_EQ(result, notLikely(expected));
    }
}

TEST(MeetingWindowScan, BrowserWithBlankTitleIsACandidateWithItsRawTitle) {
    // No non-blank title for the pid: the candidate keeps the window's own text.
    EXPECT_EQ(scan(Json::array({window("Google Chrome", 610, "  ")}), "Google Chrome", 610),
              notLikely({{.owner = "Google Chrome", .title = "  ", .pid = 610}}));
    // Other windows of the same process lend their titles.
    EXPECT_EQ(scan(Json::array({window("Google Chrome", 610, ""), window("Google Chrome", 610, "Docs")}),
                   "Google Chrome", 610),
              notLikely({{.owner = "Google Chrome", .title = "Docs", .pid = 610}}));
}

TEST(MeetingWindowScan, LayersOutsideZeroToTwentyFiveAreSkipped) {
    const struct {
        Json layer;
        bool considered;
    } cases[] = {
        {0, true},     {25, true},
        {26, false},   {-1, false},
        {1000, false}, {Json(), true},
        {"30", true},  {30.5, true},             // wrong types: no layer
        {30.0, false}, {5'000'000'000LL, true},  // too large for Int32
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layer.dump());
        Json entry = window("zoom.us", 501, "Zoom Meeting");
        if (c.layer.is_null()) {
            entry.erase("kCGWindowLayer");
        } else {
            entry["kCGWindowLayer"] = c.layer;
        }
        const auto result = scan(Json::array({entry}), "zoom.us", 501);
        EXPECT_EQ(result.likely, c.considered);
    }
}

TEST(MeetingWindowScan, HostWindowsAreSkippedEvenWhenFrontmost) {
    const struct {
        const char* owner;
        bool skipped;
    } cases[] = {
        {"Electron", true},  {"Trellis", true},          {"MyTRELLO", true},
        {"electron", false}, {"Electron Helper", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owner);
        const auto result = scan(Json::array({window(c.owner, 77, "Slack huddle with Ana")}), c.owner, 77);
        EXPECT_EQ(result.likely, !c.skipped);
        EXPECT_EQ(result.candidates.empty(), c.skipped);
    }
}

TEST(MeetingWindowScan, FirstFrontmostMatchDecidesAndEndsTheScan) {
    const Json windows = Json::array({
        window("Slack", 830, "Other app huddle"),  // not frontmost: ignored
        window("zoom.us", 501, "Zoom Meeting"),
        window("zoom.us", 501, "Webex meeting"),
    });
    EXPECT_EQ(scan(windows, "zoom.us", 501),
              likely("Zoom", "Zoom Meeting detected",
                     {{.owner = "zoom.us", .title = "Zoom Meeting | Webex meeting", .pid = 501}}));
}

TEST(MeetingWindowScan, MeetingWindowWithoutPidSetsLabelsAndTheScanGoesOn) {
    Json pidless = window("zoom.us", 0, "Zoom Meeting");
    pidless.erase("kCGWindowOwnerPID");
    const Json windows = Json::array({
        pidless,
        window("zoom.us", 501, "Google Meet - in a call"),  // a later rule match keeps the first labels
    });
    EXPECT_EQ(scan(windows, "zoom.us", 501),
              likely("Zoom", "Zoom Meeting detected",
                     {{.owner = "zoom.us", .title = "Google Meet - in a call", .pid = 501}}));
    // Only the pid-less window: labels, but nothing to walk.
    EXPECT_EQ(scan(Json::array({pidless}), "zoom.us", 501), likely("Zoom", "Zoom Meeting detected", {}));
}

TEST(MeetingWindowScan, MissingAndMistypedKeys) {
    EXPECT_EQ(scan(Json(), "zoom.us", 501), notLikely());  // the call gives nothing
    EXPECT_EQ(scan(Json::array(), "zoom.us", 501), notLikely());

    const Json windows = Json::array({
        {{"kCGWindowOwnerName", 42}, {"kCGWindowOwnerPID", "501"}, {"kCGWindowName", "Zoom Meeting"}},
        {{"kCGWindowOwnerName", "zoom.us"}, {"kCGWindowOwnerPID", 501.0}, {"kCGWindowName", Json::array()}},
    });
    // The first entry has no owner text and pid 0, so it matches nothing by name or pid;
    // the second reads pid 501 from a whole floating-point number and has no title.
    EXPECT_EQ(scan(windows, "zoom.us", 501), notLikely({{.owner = "zoom.us", .title = "", .pid = 501}}));
}

TEST(MeetingWindowScan, AListWithAnEntryThatIsNoDictionaryGivesTheDefault) {
    const Json meeting = window("zoom.us", 501, "Zoom Meeting");
    ASSERT_EQ(
        scan(Json::array({meeting}), "zoom.us", 501),
        likely("Zoom", "Zoom Meeting detected", {{.owner = "zoom.us", .title = "Zoom Meeting", .pid = 501}}));
    // Wherever the odd entry sits, before or after the meeting window, nothing is read.
    EXPECT_EQ(scan(Json::array({"not a dictionary", meeting}), "zoom.us", 501), notLikely());
    EXPECT_EQ(scan(Json::array({meeting, 42}), "zoom.us", 501), notLikely());
}

TEST(MeetingWindowScan, FrontmostByNameWhenThePidDiffers) {
    EXPECT_EQ(
        scan(Json::array({window("zoom.us", 900, "Zoom Meeting")}), "Zoom Workplace", 501),
        likely("Zoom", "Zoom Meeting detected", {{.owner = "zoom.us", .title = "Zoom Meeting", .pid = 900}}));
}

TEST(FrontmostApplication, NameOrEmptyAndPid) {
    Testing::SceneDesktop named(
        {{"frontmost", 5}, {"applications", Json::array({{{"pid", 5}, {"name", "Notes"}}})}});
    const auto app = frontmostApplication(named.workspace());
    ASSERT_TRUE(app);
    EXPECT_EQ(app->name, "Notes");
    EXPECT_EQ(app->pid, 5);

    Testing::SceneDesktop unnamed({{"frontmost", 6}, {"applications", Json::array({{{"pid", 6}}})}});
    EXPECT_EQ(frontmostApplication(unnamed.workspace())->name, "");

    Testing::SceneDesktop none(Json{{"applications", Json::array({{{"pid", 6}}})}});
    EXPECT_FALSE(frontmostApplication(none.workspace()));
}

}  // namespace
}  // namespace Callsense
