#include <gtest/gtest.h>

#include <limits>

#include "Callsense/CallsenseMain.hpp"
#include "Callsense/FocusPoint.hpp"
#include "Callsense/Output.hpp"

namespace Callsense {
namespace {

Output zoomReport() {
    return Output{
        .inputRunning = true,
        .meetingUiLikely = true,
        .browserFrontmost = false,
        .callLikely = true,
        .subtitle = "Zoom",
        .alertTitle = "Zoom Meeting detected",
        .accessibilityTrusted = true,
        .confidence = "high",
        .evidence = {"meetingUrlOrTitle", "callControlsPresent", "inputRunning"},
        .frontmostOwner = "zoom.us",
        .sessionFamily = "zoom",
        .meetingFingerprint = "zoom:123456789",
    };
}

TEST(Output, WritesTwelveKeysInOrder) {
    EXPECT_EQ(encodeOutput(zoomReport()),
              R"({"inputRunning":true,"meetingUiLikely":true,"browserFrontmost":false,"callLikely":true,)"
              R"("subtitle":"Zoom","alertTitle":"Zoom Meeting detected","accessibilityTrusted":true,)"
              R"("confidence":"high","evidence":["meetingUrlOrTitle","callControlsPresent","inputRunning"],)"
              R"("frontmostOwner":"zoom.us","sessionFamily":"zoom","meetingFingerprint":"zoom:123456789"})"
              "\n");
}

TEST(Output, LeavesOutAnAbsentFingerprintAndEscapesSlashes) {
    auto report = fallbackOutput();
    report.frontmostOwner = "AC/DC Player";
    EXPECT_EQ(
        encodeOutput(report),
        R"({"inputRunning":false,"meetingUiLikely":false,"browserFrontmost":false,"callLikely":false,)"
        R"("subtitle":"Microphone","alertTitle":"Meeting detected","accessibilityTrusted":false,)"
        R"("confidence":"none","evidence":[],"frontmostOwner":"AC\/DC Player","sessionFamily":"unknown"})"
        "\n");
}

TEST(Output, AReportThatCannotBeEncodedGivesTheFallbackWithStatusOne) {
    const auto good = complete(zoomReport());
    EXPECT_EQ(good.exitStatus, 0);
    EXPECT_EQ(good.text, encodeOutput(zoomReport()));

    auto broken = zoomReport();
    broken.frontmostOwner = "Zoom \xC3";  // cut inside a two-byte sequence
    const auto fallback = complete(broken);
    EXPECT_EQ(fallback.exitStatus, 1);
    EXPECT_EQ(fallback.text, encodeOutput(fallbackOutput()));
}

TEST(FocusPointOutput, WritesCoordinatesPidAndOptionalBundle) {
    EXPECT_EQ(encodeFocusPoint({.x = 500, .y = 350.5, .pid = 42, .bundleId = "com.example/app"}),
              R"({"x":500,"y":350.5,"pid":42,"bundleId":"com.example\/app"})"
              "\n");
    EXPECT_EQ(encodeFocusPoint({.x = -1200, .y = -0.5, .pid = 7, .bundleId = std::nullopt}),
              R"({"x":-1200,"y":-0.5,"pid":7})"
              "\n");
    EXPECT_EQ(
        encodeFocusPoint({.x = std::numeric_limits<double>::infinity(), .y = 0, .pid = 7, .bundleId = {}}),
        std::nullopt);
}

TEST(Arguments, OnlyTheExactFocusPointArgumentSelectsTheMode) {
    EXPECT_TRUE(wantsFocusPoint({"callsense", "--focus-point"}));
    EXPECT_TRUE(wantsFocusPoint({"callsense", "-v", "--focus-point", "x"}));
    EXPECT_TRUE(wantsFocusPoint({"--focus-point"}));
    EXPECT_FALSE(wantsFocusPoint({"callsense"}));
    EXPECT_FALSE(wantsFocusPoint({"callsense", "--Focus-Point"}));
    EXPECT_FALSE(wantsFocusPoint({"callsense", "--focus-point=1"}));
    EXPECT_FALSE(wantsFocusPoint({"callsense", " --focus-point"}));
}

}  // namespace
}  // namespace Callsense
