#include <gtest/gtest.h>

#include "Callsense/FocusPoint.hpp"
#include "Support/SceneDesktop.hpp"

namespace Callsense {
namespace {

using Testing::Json;

Json frame(double x, double y, double width, double height) {
    return {{"AXPosition", {{"point", {x, y}}}}, {"AXSize", {{"size", {width, height}}}}};
}

std::optional<FocusPointOutput> focusOn(const Json& app, bool trusted = true) {
    Json application = app;
    application["pid"] = 900;
    application["bundleId"] = app.value("bundleId", "com.example.app");
    Testing::SceneDesktop desktop({{"accessibilityTrusted", trusted},
                                   {"frontmost", 900},
                                   {"applications", Json::array({application})}});
    return focusPoint(desktop);
}

FocusPointOutput at(double x, double y) {
    return {.x = x, .y = y, .pid = 900, .bundleId = "com.example.app"};
}

TEST(FocusPoint, CentreOfTheFocusedThenMainThenFirstWindow) {
    const Json first = {{"role", "AXWindow"}, {"attributes", frame(0, 0, 10, 10)}};
    Json main = {{"role", "AXWindow"}, {"attributes", frame(100, 50, 800, 601)}, {"main", true}};
    Json focused = {{"role", "AXWindow"}, {"attributes", frame(-1440, -200, 1280, 800)}, {"focused", true}};

    EXPECT_EQ(focusOn({{"windows", {first, main, focused}}}), at(-800, 200));
    EXPECT_EQ(focusOn({{"windows", {first, main}}}), at(500, 350.5));
    EXPECT_EQ(focusOn({{"windows", {first}}}), at(5, 5));
}

TEST(FocusPoint, AFocusedWindowOfTheWrongTypeFallsThroughToTheMainWindow) {
    const Json main = {{"role", "AXWindow"}, {"attributes", frame(100, 50, 800, 601)}, {"main", true}};
    EXPECT_EQ(focusOn({{"windows", {main}}, {"attributes", {{"AXFocusedWindow", "Untitled"}}}}),
              at(500, 350.5));
}

TEST(FocusPoint, BundleIdentifierIsOptional) {
    Testing::SceneDesktop desktop(
        {{"accessibilityTrusted", true},
         {"frontmost", 7},
         {"applications",
          Json::array(
              {{{"pid", 7},
                {"windows", Json::array({{{"role", "AXWindow"}, {"attributes", frame(0, 0, 2, 2)}}})}}})}});
    EXPECT_EQ(focusPoint(desktop), (FocusPointOutput{.x = 1, .y = 1, .pid = 7, .bundleId = std::nullopt}));
}

TEST(FocusPoint, AbsentWheneverAStepFindsNothing) {
    const auto windowWith = [](Json attributes) {
        return Json{
            {"windows", Json::array({{{"role", "AXWindow"}, {"attributes", std::move(attributes)}}})}};
    };
    const Json point = {{"point", {1, 1}}};
    const Json size = {{"size", {2, 2}}};

    EXPECT_FALSE(focusOn({{"windows", Json::array()}}));
    EXPECT_FALSE(focusOn(windowWith({{"AXPosition", point}, {"AXSize", size}}), false));  // no permission
    EXPECT_FALSE(focusOn(windowWith({{"AXSize", size}})));
    EXPECT_FALSE(focusOn(windowWith({{"AXPosition", point}})));
    EXPECT_FALSE(focusOn(windowWith({{"AXPosition", size}, {"AXSize", size}})));
    EXPECT_FALSE(focusOn(windowWith({{"AXPosition", point}, {"AXSize", point}})));
    EXPECT_FALSE(focusOn(windowWith({{"AXPosition", point}, {"AXSize", {{"error", "noValue"}}}})));
    Testing::SceneDesktop noFrontmost(Json{{"accessibilityTrusted", true}});
    EXPECT_FALSE(focusPoint(noFrontmost));
}

}  // namespace
}  // namespace Callsense
