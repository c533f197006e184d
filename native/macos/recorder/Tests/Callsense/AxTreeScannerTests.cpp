#include <gtest/gtest.h>

#include "Callsense/AxTreeScanner.hpp"
#include "Support/SceneDesktop.hpp"

namespace Callsense {
namespace {

using Testing::Json;

constexpr Desktop::Pid appPid = 42;

Json trustedDesktopWith(Json app) {
    app["pid"] = appPid;
    return {{"accessibilityTrusted", true}, {"applications", Json::array({std::move(app)})}};
}

// One application on a trusted desktop of the test's own, scanned once.
struct AppScan {
    explicit AppScan(Json app)
        : desktop(trustedDesktopWith(std::move(app))), found(AxTreeScanner::scanProcess(desktop, appPid)) {}

    Testing::SceneDesktop desktop;
    WindowScan found;

    std::uint64_t batches() { return desktop.requestCount("accessibility.copyMultipleAttributeValues"); }
    std::uint64_t singleReads() { return desktop.requestCount("accessibility.copyAttributeValue"); }
};

WindowScan scanApp(Json app) {
    return AppScan(std::move(app)).found;
}

Json text(std::string_view value) {
    return {{"role", "AXStaticText"}, {"value", value}};
}

// A window whose only content names it, so the order of `urls` is the walk's order of roots.
Json marked(std::string_view title, std::string_view mark) {
    return {{"role", "AXWindow"},
            {"title", title},
            {"children", Json::array({text(std::string("https://") += mark)})}};
}

const std::string longSentence =
    "Press this control to stop sharing your microphone with everyone else in the room right now";

TEST(AxTreeScanner, SortsValuesAndLabelsIntoTheFourLists) {
    ASSERT_GT(longSentence.size(), 80u);
    const auto found =
        scanApp({{"windows",
                  Json::array({{
                      {"role", "AXWindow"},
                      {"title", "Standup"},
                      {"children", Json::array({
                                       text("https://example.com/page"),
                                       text("Join at zoom.us/j/123456789"),
                                       text("Waiting for the host"),
                                       text("Raise hand"),
                                       {{"role", "AXButton"}, {"description", longSentence}},
                                       {{"role", "AXStaticText"}, {"title", longSentence}},
                                       {{"role", "AXMenuItem"}, {"title", "Leave call"}, {"value", "Mute"}},
                                       {{"role", "AXLink"}, {"url", "https://meet.google.com/abc-defg-hij"}},
                                       {{"role", "AXButton"},
                                        {"title", "Mute"},
                                        {"description", ""},
                                        {"help", "Ask to join"},
                                        {"identifier", "leave-button"}},
                                       {{"role", "AXCheckBox"}, {"title", {{"int", 3}}}},
                                       {{"role", "AXStaticText"}, {"value", 2.5}},
                                       {{"role", "AXStaticText"}, {"value", {{"error", "cannotComplete"}}}},
                                       {{"attributes", {{"AXRole", 5}}}, {"title", "End call"}},
                                   })},
                  }})}});
    EXPECT_EQ(found.urls, (std::vector<std::string>{"https://example.com/page", "Join at zoom.us/j/123456789",
                                                    "https://meet.google.com/abc-defg-hij"}));
    EXPECT_EQ(found.controlLabels,
              (std::vector<std::string>{"Raise hand", longSentence, "Mute", "Mute", "Ask to join",
                                        "leave-button", "3", "End call"}));
    EXPECT_EQ(found.lobbyHints, (std::vector<std::string>{"Waiting for the host", "Ask to join"}));
    EXPECT_EQ(found.inCallHints, (std::vector<std::string>{"Raise hand", "End call"}));
}

TEST(AxTreeScanner, WalksFocusedThenMainThenMeetingLikeThenTheRestEachOnce) {
    const auto found = scanApp({
        {"windows", Json::array({
                        marked("Documents", "documents"),
                        marked("Budget", "budget"),
                        marked("abc-defg-hij", "meetcode"),
                        marked("Design huddle", "huddle"),
                        marked("Inbox", "inbox"),
                        marked("Notes", "notes"),
                    })},
    });
    // No focused or main window: meeting-looking windows first, then the rest in list order.
    EXPECT_EQ(found.urls, (std::vector<std::string>{"https://meetcode", "https://huddle", "https://documents",
                                                    "https://budget", "https://inbox", "https://notes"}));

    auto focusedAndMain = Json::array({
        marked("Documents", "documents"),
        marked("Budget", "budget"),
        marked("Weekly Zoom", "zoom"),
        marked("Inbox", "inbox"),
    });
    focusedAndMain[3]["focused"] = true;
    focusedAndMain[1]["main"] = true;
    EXPECT_EQ(
        scanApp({{"windows", focusedAndMain}}).urls,
        (std::vector<std::string>{"https://inbox", "https://budget", "https://zoom", "https://documents"}));

    auto bothOne = Json::array({marked("Documents", "documents"), marked("Inbox", "inbox")});
    bothOne[1]["focused"] = true;
    bothOne[1]["main"] = true;
    EXPECT_EQ(scanApp({{"windows", bothOne}}).urls,
              (std::vector<std::string>{"https://inbox", "https://documents"}));
}

TEST(AxTreeScanner, AnElementListedTwiceIsWalkedOnce) {
    auto windows = Json::array({marked("One", "one"), marked("Two", "two")});
    windows[0]["id"] = "one";
    windows[1]["id"] = "two";
    const auto found = scanApp({
        {"windows", windows},
        {"attributes", {{"AXWindows", Json::array({{{"ref", "one"}}, {{"ref", "two"}}, {{"ref", "one"}}})}}},
    });
    EXPECT_EQ(found.urls, (std::vector<std::string>{"https://one", "https://two"}));
}

TEST(AxTreeScanner, StopsAtEightHundredNodesAcrossRootsWithoutFallback) {
    Json first = Json::array();
    for (int i = 0; i < 500; ++i)
        first.push_back(text("https://first/" + std::to_string(i)));
    Json second = Json::array();
    for (int i = 0; i < 500; ++i)
        second.push_back(text("https://second/" + std::to_string(i)));
    Json third = {
        {"role", "AXWindow"}, {"title", "Third"}, {"children", Json::array({text("https://third")})}};

    AppScan scan(Json{
        {"windows", Json::array({{{"role", "AXWindow"}, {"title", "First"}, {"children", first}},
                                 {{"role", "AXWindow"}, {"title", "Second"}, {"children", second}},
                                 third})},
    });
    // 1 + 500 nodes in the first window, then 1 + 298 in the second: 800 in all.
    ASSERT_EQ(scan.found.urls.size(), 798u);
    EXPECT_EQ(scan.found.urls[499], "https://first/499");
    EXPECT_EQ(scan.found.urls.back(), "https://second/297");
    // One batch for the application's windows, one per visited node, nothing beyond.
    EXPECT_EQ(scan.batches(), 1u + 800u);
}

TEST(AxTreeScanner, ExhaustedBudgetLeavesNoRoomForTheApplicationFallback) {
    Json silent = Json::array();
    for (int i = 0; i < 900; ++i)
        silent.push_back({{"role", "AXGroup"}});
    AppScan scan(Json{
        {"windows", Json::array({{{"role", "AXWindow"}, {"children", silent}}})},
        {"children", Json::array({text("https://from-the-application")})},
    });
    EXPECT_EQ(scan.found, WindowScan{});
    EXPECT_EQ(scan.batches(), 1u + 800u);
}

TEST(AxTreeScanner, DoesNotGoBelowDepthSixteen) {
    // A chain from the window (depth 0) to depth 19, each node naming its depth.
    Json node = text("https://depth/19");
    for (int depth = 18; depth >= 1; --depth) {
        node = {{"role", "AXGroup"},
                {"value", "https://depth/" + std::to_string(depth)},
                {"children", Json::array({node})}};
    }
    AppScan scan(Json{
        {"windows",
         Json::array({{{"role", "AXWindow"}, {"value", "https://depth/0"}, {"children", {node}}}})},
    });
    ASSERT_EQ(scan.found.urls.size(), 17u);
    EXPECT_EQ(scan.found.urls.back(), "https://depth/16");
    EXPECT_EQ(scan.batches(), 1u + 17u);
}

TEST(AxTreeScanner, VisitsNothingAfterTheDeadline) {
    // Every request takes 0.125 s: the application batch and the title read end at 0.25 s,
    // so nodes start at 0.25, 0.375, ... and the one starting at exactly 2.5 s is the last.
    Json children = Json::array();
    for (int i = 0; i < 100; ++i)
        children.push_back(text("https://node/" + std::to_string(i)));
    AppScan scan(Json{
        {"responseTime", 0.125},
        {"windows", Json::array({{{"role", "AXWindow"}, {"title", "Meeting"}, {"children", children}}})},
        {"children", Json::array({text("https://from-the-application")})},
    });
    EXPECT_EQ(scan.found.urls.size(), 18u);  // the window and 18 of its children: 19 nodes
    EXPECT_EQ(scan.batches(), 1u + 19u);
    EXPECT_EQ(scan.singleReads(), 1u);
    EXPECT_DOUBLE_EQ(scan.desktop.clockNow(), 2.625);  // the last request started at 2.5 s
}

TEST(AxTreeScanner, NoWindowTitleIsReadAfterTheDeadline) {
    Json windows = Json::array();
    for (int i = 0; i < 6; ++i)
        windows.push_back(marked("Window " + std::to_string(i), "w"));
    AppScan scan({{"responseTime", 1.0}, {"windows", windows}});
    EXPECT_EQ(scan.found, WindowScan{});
    // The batch ends at 1 s, the first two titles at 2 s and 3 s; then time is up.
    EXPECT_EQ(scan.singleReads(), 2u);
    EXPECT_EQ(scan.batches(), 1u);
    EXPECT_DOUBLE_EQ(scan.desktop.clockNow(), 3.0);
}

TEST(AxTreeScanner, WalksTheApplicationWhenItsWindowsGiveNothing) {
    const Json app = {
        {"windows", Json::array({{{"role", "AXWindow"}, {"title", "Blank"}}})},
        {"children", Json::array({{{"role", "AXGroup"}, {"children", Json::array({text("Leave call")})}}})},
    };
    const auto found = scanApp(app);
    EXPECT_EQ(found.inCallHints, (std::vector<std::string>{"Leave call"}));
    EXPECT_EQ(found.controlLabels, (std::vector<std::string>{"Leave call"}));

    // A window that gives anything at all keeps the application element unwalked.
    Json noisy = app;
    noisy["windows"][0]["children"] = Json::array({text("https://example.com")});
    const auto windowOnly = scanApp(noisy);
    EXPECT_EQ(windowOnly.urls, (std::vector<std::string>{"https://example.com"}));
    EXPECT_TRUE(windowOnly.inCallHints.empty());
}

TEST(AxTreeScanner, UnreadableProcessesGiveEmptyLists) {
    // Without trust every request fails; an unknown pid cannot complete.
    Testing::SceneDesktop untrusted(Json{
        {"applications", Json::array({{{"pid", appPid}, {"windows", Json::array({marked("Zoom", "x")})}}})}});
    EXPECT_EQ(AxTreeScanner::scanProcess(untrusted, appPid), WindowScan{});
    Testing::SceneDesktop empty(Json{{"accessibilityTrusted", true}});
    EXPECT_EQ(AxTreeScanner::scanProcess(empty, 999), WindowScan{});
}

TEST(AxTreeScanner, ApplicationThatQuitsMidWalkKeepsWhatWasRead) {
    Json children = Json::array();
    for (int i = 0; i < 10; ++i)
        children.push_back(text("https://node/" + std::to_string(i)));
    // Requests: the application batch, one title, then the window and three children.
    const auto found = scanApp({{"quitAfterRequests", 6},
                                {"windows", Json::array({{{"role", "AXWindow"}, {"children", children}}})}});
    EXPECT_EQ(found.urls, (std::vector<std::string>{"https://node/0", "https://node/1", "https://node/2"}));
}

}  // namespace
}  // namespace Callsense
