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

TEST(MainImpl, UntrustedReportComesFromTheWindowListAlone) {
    Testing::SceneDesktop desktop(zoomDesktop);
    const auto report = mainImpl(desktop);
    EXPECT_EQ(report, (Output{.inputRunning = false,
                              .meetingUiLikely = true,
                              .browserFrontmost = false,
                              .callLikely = true,
                              .subtitle = "Zoom",
                              .alertTitle = "Zoom Meeting detected",
                              .accessibilityTrusted = false,
                              .confidence = "medium",
                              .evidence = {"meetingUrlOrTitle"},
                              .frontmostOwner = "zoom.us",
                              .sessionFamily = "zoom",
                              .meetingFingerprint = std::nullopt}));
    // The candidate is not walked without the permission.
    EXPECT_EQ(desktop.requestCount("accessibility.copyMultipleAttributeValues"), 0u);
    EXPECT_EQ(desktop.requestCount("accessibility.copyAttributeValue"), 0u);
}

TEST(MainImpl, TrustedReportComesFromTheAccessibilityScore) {
    Json scene = zoomDesktop;
    scene["accessibilityTrusted"] = true;
    Testing::SceneDesktop desktop(scene);
    const auto report = mainImpl(desktop);
    EXPECT_EQ(report, (Output{.inputRunning = false,
                              .meetingUiLikely = true,
                              .browserFrontmost = false,
                              .callLikely = true,
                              .subtitle = "Zoom",
                              .alertTitle = "Zoom Meeting detected",
                              .accessibilityTrusted = true,
                              .confidence = "high",
                              .evidence = {"meetingUrlOrTitle", "callControlsPresent"},
                              .frontmostOwner = "zoom.us",
                              .sessionFamily = "zoom",
                              .meetingFingerprint = std::nullopt}));
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
