#include <gtest/gtest.h>

#include "Callsense/CallsenseMain.hpp"
#include "Callsense/MicrophoneProbe.hpp"
#include "Support/SceneDesktop.hpp"

namespace Callsense {
namespace {

using Testing::Json;

TEST(MicrophoneProbe, RunningOnlyWhenBothReadsSucceedAndTheDeviceRuns) {
    const struct {
        const char* name;
        Json audio;
        bool running;
        std::uint64_t reads;
    } cases[] = {
        {"running", {{"defaultInput", 40}, {"devices", {{{"id", 40}, {"running", true}}}}}, true, 2},
        {"running elsewhere", {{"defaultInput", 40}, {"devices", {{{"id", 40}, {"running", 3}}}}}, true, 2},
        {"idle", {{"defaultInput", 40}, {"devices", {{{"id", 40}, {"running", false}}}}}, false, 2},
        {"no default input", {{"defaultInput", {{"error", "who?"}}}}, false, 1},
        {"unknown default device", {{"devices", {{{"id", 40}, {"running", true}}}}}, false, 2},
        {"running unreadable",
         {{"defaultInput", 40}, {"devices", {{{"id", 40}, {"running", {{"error", "!obj"}}}}}}},
         false,
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Testing::SceneDesktop desktop(Json{{"audio", c.audio}});
        EXPECT_EQ(defaultInputIsRunning(desktop.audioHardware()), c.running);
        EXPECT_EQ(desktop.requestCount("audioHardware.readUInt32"), c.reads);
    }
}

const Json zoomDesktop = {
    {"frontmost", 501},
    {"applications",
     Json::array(
         {{{"pid", 501},
           {"name", "zoom.us"},
           {"bundleId", "us.zoom.xos"},
           {"windows",
            Json::array({{{"role", "AXWindow"},
                          {"title", "Zoom Meeting"},
                          {"children", Json::array({{{"role", "AXButton"}, {"title", "Mute"}},
                                                    {{"role", "AXButton"}, {"title", "Leave"}}})}}})}}})},
    {"windowList", Json::array({Testing::window("zoom.us", 501, "Zoom Meeting")})},
};

// The report's fields that its three branches fill, and what the probes found.
struct Verdict {
    bool inputRunning = false;
    bool meetingUiLikely = false;
    bool callLikely = false;
    const char* subtitle;
    const char* alertTitle;
    const char* confidence;
    std::vector<std::string> evidence;
    const char* sessionFamily;
};

TEST(MainImpl, EachBranchOfTheReportFillsTheVerdict) {
    Json trusted = zoomDesktop;
    trusted["accessibilityTrusted"] = true;
    Json microphoneOnly = zoomDesktop;
    microphoneOnly["windowList"] = Json::array();
    microphoneOnly["audio"] = {{"defaultInput", 40}, {"devices", {{{"id", 40}, {"running", true}}}}};
    const struct {
        const char* name;
        Json scene;
        Verdict verdict;
    } cases[] = {
        {"trusted: the accessibility score",
         trusted,
         {false,
          true,
          true,
          "Zoom",
          "Zoom Meeting detected",
          "high",
          {"meetingUrlOrTitle", "callControlsPresent"},
          "zoom"}},
        {"untrusted: the window list alone",
         zoomDesktop,
         {false, true, true, "Zoom", "Zoom Meeting detected", "medium", {"meetingUrlOrTitle"}, "zoom"}},
        {"untrusted and nothing found: only the microphone",
         microphoneOnly,
         {true, false, false, "Microphone", "Meeting detected", "none", {"inputRunning"}, "unknown"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Testing::SceneDesktop desktop(c.scene);
        const bool isTrusted = c.scene.value("accessibilityTrusted", false);
        EXPECT_EQ(mainImpl(desktop), (Output{.inputRunning = c.verdict.inputRunning,
                                             .meetingUiLikely = c.verdict.meetingUiLikely,
                                             .browserFrontmost = false,
                                             .callLikely = c.verdict.callLikely,
                                             .subtitle = c.verdict.subtitle,
                                             .alertTitle = c.verdict.alertTitle,
                                             .accessibilityTrusted = isTrusted,
                                             .confidence = c.verdict.confidence,
                                             .evidence = c.verdict.evidence,
                                             .frontmostOwner = "zoom.us",
                                             .sessionFamily = c.verdict.sessionFamily,
                                             .meetingFingerprint = std::nullopt}));
        // The candidate is not walked without the permission.
        if (!isTrusted) {
            EXPECT_EQ(desktop.requestCount("accessibility.copyMultipleAttributeValues"), 0u);
            EXPECT_EQ(desktop.requestCount("accessibility.copyAttributeValue"), 0u);
        }
    }
}

TEST(MainImpl, BrowserFlagFollowsTheBundleIdentifierEvenWithoutAName) {
    Testing::SceneDesktop unnamed(
        {{"frontmost", 5}, {"applications", Json::array({{{"pid", 5}, {"bundleId", "com.apple.Safari"}}})}});
    const auto report = mainImpl(unnamed);
    EXPECT_TRUE(report.browserFrontmost);
    EXPECT_EQ(report.frontmostOwner, "Unknown");

    Testing::SceneDesktop withoutBundle(
        {{"frontmost", 5}, {"applications", Json::array({{{"pid", 5}, {"name", "Safari"}}})}});
    EXPECT_FALSE(mainImpl(withoutBundle).browserFrontmost);
}

}  // namespace
}  // namespace Callsense
