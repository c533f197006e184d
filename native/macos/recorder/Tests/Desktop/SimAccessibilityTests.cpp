#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/SimDesktop.hpp"

namespace {

using Desktop::AxValue;
using Desktop::Element;
using Desktop::AxError::apiDisabled;
using Desktop::AxError::attributeUnsupported;
using Desktop::AxError::cannotComplete;
using Desktop::AxError::illegalArgument;
using Desktop::AxError::invalidUIElement;
using Desktop::AxError::success;
using nlohmann::json;

Desktop::Accessibility& axOn(std::string_view scene) {
    Desktop::Sim::loadScene(scene);
    return Desktop::current().accessibility();
}

Element window(Desktop::Accessibility& ax, Desktop::Pid pid, std::size_t index = 0) {
    const auto windows = ax.copyAttributeValue(ax.applicationElement(pid), "AXWindows");
    const auto& list = std::get<Desktop::AxList>(windows.value.value().data);
    return std::get<Element>(list.at(index).data);
}

std::vector<Element> children(Desktop::Accessibility& ax, const Element& element) {
    std::vector<Element> out;
    const auto read = ax.copyAttributeValue(element, "AXChildren");
    for (const auto& entry : std::get<Desktop::AxList>(read.value.value().data)) {
        out.push_back(std::get<Element>(entry.data));
    }
    return out;
}

std::optional<std::string> stringOf(Desktop::Accessibility& ax, const Element& element,
                                    std::string_view name) {
    const auto read = ax.copyAttributeValue(element, name);
    if (!read.succeeded()) return std::nullopt;
    const auto* text = std::get_if<std::string>(&read.value->data);
    return text != nullptr ? std::optional(*text) : std::nullopt;
}

constexpr const char* everyType =
    R"json({"accessibilityTrusted": true, "applications": [{"pid": 10, "windows": [
    {"id": "w", "title": "Plain", "value": {"int": 7},
     "attributes": {
        "AXInt": 42, "AXNegative": {"int": -3}, "AXFloat": 2.5, "AXWholeFloat": {"float": 2}, "AXFlag": false,
        "AXString": {"string": "typed"}, "AXElement": {"ref": "w"}, "AXList": ["a", 1, {"ref": "w"}],
        "AXPosition": {"point": [100, -50.5]}, "AXSize": {"size": [800, 601]},
        "AXURL": {"url": "https://zoom.us/j/123"}, "AXRange": {"other": "AXValue(CFRange)"},
        "AXHung": {"error": -25204}, "AXNamed": {"error": "kAXErrorNoValue"}, "AXNothing": null}}]}]})json";

TEST(SimAccessibility, ValuesKeepTheirTypes) {
    auto& ax = axOn(everyType);
    const auto w = window(ax, 10);
    auto value = [&](std::string_view name) { return ax.copyAttributeValue(w, name).value.value().data; };

    EXPECT_EQ(std::get<std::string>(value("AXTitle")), "Plain");
    EXPECT_EQ(std::get<std::int64_t>(value("AXValue")), 7);
    EXPECT_EQ(std::get<std::int64_t>(value("AXInt")), 42);
    EXPECT_EQ(std::get<std::int64_t>(value("AXNegative")), -3);
    EXPECT_EQ(std::get<double>(value("AXFloat")), 2.5);
    EXPECT_EQ(std::get<double>(value("AXWholeFloat")), 2.0);
    EXPECT_EQ(std::get<bool>(value("AXFlag")), false);
    EXPECT_EQ(std::get<std::string>(value("AXString")), "typed");
    EXPECT_TRUE(ax.equal(std::get<Element>(value("AXElement")), w));
    EXPECT_EQ(std::get<Desktop::Point>(value("AXPosition")), (Desktop::Point{100, -50.5}));
    EXPECT_EQ(std::get<Desktop::Size>(value("AXSize")), (Desktop::Size{800, 601}));
    EXPECT_EQ(std::get<Desktop::Url>(value("AXURL")).absoluteString, "https://zoom.us/j/123");
    EXPECT_EQ(std::get<Desktop::OtherValue>(value("AXRange")).typeName, "AXValue(CFRange)");

    const auto list = std::get<Desktop::AxList>(value("AXList"));
    ASSERT_EQ(list.size(), 3U);
    EXPECT_EQ(std::get<std::string>(list[0].data), "a");
    EXPECT_EQ(std::get<std::int64_t>(list[1].data), 1);
    EXPECT_TRUE(ax.equal(std::get<Element>(list[2].data), w));
}

TEST(SimAccessibility, ReadErrorsAndMissingValues) {
    auto& ax = axOn(everyType);
    const auto w = window(ax, 10);
    struct Case {
        const char* attribute;
        std::int32_t code;
        bool hasValue;
    };
    for (const auto& c :
         {Case{"AXHung", cannotComplete, false}, Case{"AXNamed", Desktop::AxError::noValue, false},
          Case{"AXNothing", success, false}, Case{"AXNotThere", attributeUnsupported, false},
          Case{"AXChildren", success, true}}) {
        SCOPED_TRACE(c.attribute);
        const auto read = ax.copyAttributeValue(w, c.attribute);
        EXPECT_EQ(read.code, c.code);
        EXPECT_EQ(read.value.has_value(), c.hasValue);
    }
}

TEST(SimAccessibility, MultipleValuesAreOneRequestWithAnAnswerEach) {
    auto& ax = axOn(everyType);
    const auto w = window(ax, 10);
    Desktop::Sim::resetRequestCounts();
    const auto batch = ax.copyMultipleAttributeValues(w, {"AXTitle", "AXHung", "AXNotThere", "AXInt"});
    ASSERT_TRUE(batch.succeeded());
    ASSERT_EQ(batch.value->size(), 4U);
    EXPECT_EQ(std::get<std::string>((*batch.value)[0].value->data), "Plain");
    EXPECT_EQ((*batch.value)[1].code, cannotComplete);
    EXPECT_EQ((*batch.value)[2].code, attributeUnsupported);
    EXPECT_EQ(std::get<std::int64_t>((*batch.value)[3].value->data), 42);
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyMultipleAttributeValues"), 1U);
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyAttributeValue"), 0U);
}

TEST(SimAccessibility, HashesCollideOnlyWhereTheSceneSaysSo) {
    constexpr const char* scene = R"({"accessibilityTrusted": true, "applications": [{"pid": 3, "windows": [
        {"children": [{"hash": 77, "role": "AXButton"}, {"hash": 77, "role": "AXButton"}, {}, {}]}]}]})";
    auto& ax = axOn(scene);
    auto kids = children(ax, window(ax, 3));
    ASSERT_EQ(kids.size(), 4U);
    EXPECT_EQ(ax.hash(kids[0]), 77U);
    EXPECT_EQ(ax.hash(kids[1]), 77U);
    EXPECT_FALSE(ax.equal(kids[0], kids[1])) << "a shared hash does not make two elements one";
    EXPECT_NE(ax.hash(kids[2]), ax.hash(kids[3]));
    EXPECT_NE(ax.hash(kids[2]), 77U);

    // The same element read twice is equal and hashes the same, also in a fresh load of the scene.
    const auto firstHash = ax.hash(kids[2]);
    EXPECT_TRUE(ax.equal(kids[2], children(ax, window(ax, 3))[2]));
    auto& again = axOn(scene);
    EXPECT_EQ(again.hash(children(again, window(again, 3))[2]), firstHash);
}

constexpr const char* popoverScene =
    R"({"accessibilityTrusted": true, "applications": [{"pid": 501, "windows": [
    {"id": "meeting", "title": "Zoom Meeting", "children": [
        {"id": "info", "role": "AXButton", "actions": ["AXPress"], "press": {"toggle": ["popover"]}},
        {"id": "popover", "role": "AXPopover", "hidden": true,
         "children": [{"role": "AXStaticText", "value": "812 3456 7890"}]},
        {"id": "refuses", "role": "AXButton", "actions": ["AXPress"], "press": {"error": "cannotComplete"}},
        {"id": "plain", "role": "AXButton"}]}]}]})";

TEST(SimAccessibility, PressOpensThePopoverAndASecondPressClosesIt) {
    auto& ax = axOn(popoverScene);
    const auto meeting = window(ax, 501);
    const auto info = children(ax, meeting)[0];
    EXPECT_EQ(children(ax, meeting).size(), 3U) << "the hidden popover is not a child yet";

    EXPECT_EQ(ax.performAction(info, "AXPress"), success);
    const auto shown = children(ax, meeting);
    ASSERT_EQ(shown.size(), 4U);
    const auto popover = shown[1];
    EXPECT_EQ(stringOf(ax, popover, "AXRole"), "AXPopover");
    const auto text = children(ax, popover).at(0);
    EXPECT_EQ(stringOf(ax, text, "AXValue"), "812 3456 7890");

    EXPECT_EQ(ax.performAction(info, "AXPress"), success);
    EXPECT_EQ(children(ax, meeting).size(), 3U);
    EXPECT_EQ(ax.copyAttributeValue(popover, "AXRole").code, invalidUIElement) << "a closed popover is gone";
    EXPECT_EQ(ax.copyAttributeValue(text, "AXValue").code, invalidUIElement) << "and so is what it held";

    const auto journal = Desktop::Sim::journal();
    ASSERT_EQ(journal.size(), 2U);
    EXPECT_EQ(journal[0],
              (json{{"event", "perform"}, {"element", "info"}, {"action", "AXPress"}, {"status", 0}}));
    EXPECT_EQ(journal[1], journal[0]);
}

TEST(SimAccessibility, RefusedAndUnsupportedPressesChangeNothingAndAreJournaled) {
    auto& ax = axOn(popoverScene);
    const auto kids = children(ax, window(ax, 501));
    EXPECT_EQ(ax.performAction(kids[1], "AXPress"), cannotComplete);
    EXPECT_EQ(ax.performAction(kids[2], "AXPress"), Desktop::AxError::actionUnsupported);
    EXPECT_EQ(ax.performAction(kids[0], "AXShowMenu"), Desktop::AxError::actionUnsupported);
    EXPECT_EQ(children(ax, window(ax, 501)).size(), 3U);
    const auto journal = Desktop::Sim::journal();
    ASSERT_EQ(journal.size(), 3U);
    EXPECT_EQ(journal[0]["element"], "refuses");
    EXPECT_EQ(journal[0]["status"], cannotComplete);
    EXPECT_EQ(journal[1]["element"], "plain");
}

TEST(SimAccessibility, HungElementFailsAfterItsTimeoutOnVirtualTime) {
    auto& ax = axOn(R"({"accessibilityTrusted": true, "applications": [{"pid": 8, "responseTime": 0.1,
        "windows": [{"title": "Slow", "responseTime": 0.3}, {"title": "Quick"}]}]})");
    const auto slow = window(ax, 8, 0);
    const auto quick = window(ax, 8, 1);
    const double start = Desktop::Sim::clockNow();

    // The default time-out of 6 seconds outlasts the element: it answers after 0.3 s.
    EXPECT_EQ(stringOf(ax, slow, "AXTitle"), "Slow");
    EXPECT_DOUBLE_EQ(Desktop::Sim::clockNow() - start, 0.3);

    ASSERT_EQ(ax.setMessagingTimeout(slow, 0.25F), success);
    const auto hung = ax.copyAttributeValue(slow, "AXTitle");
    EXPECT_EQ(hung.code, cannotComplete);
    EXPECT_FALSE(hung.value.has_value());
    EXPECT_NEAR(Desktop::Sim::clockNow() - start, 0.55, 1e-6);

    // The application's own response time applies to elements that give none.
    EXPECT_EQ(stringOf(ax, quick, "AXTitle"), "Quick");
    EXPECT_NEAR(Desktop::Sim::clockNow() - start, 0.65, 1e-6);

    // The time-out belongs to the reference: a fresh one of the same window has the default again.
    EXPECT_EQ(stringOf(ax, window(ax, 8, 0), "AXTitle"), "Slow");
    EXPECT_EQ(ax.setMessagingTimeout(slow, -1.0F), illegalArgument);
}

TEST(SimAccessibility, ApplicationDisappearsMidWalk) {
    auto& ax = axOn(R"({"accessibilityTrusted": true, "applications": [{"pid": 9, "quitAfterRequests": 2,
        "windows": [{"title": "Going"}]}]})");
    const auto w = window(ax, 9);  // request 1
    EXPECT_EQ(stringOf(ax, w, "AXTitle"), "Going");
    EXPECT_EQ(ax.copyAttributeValue(w, "AXTitle").code, invalidUIElement);
    EXPECT_EQ(ax.copyAttributeValue(ax.applicationElement(9), "AXWindows").code, invalidUIElement);
}

TEST(SimAccessibility, NoTrustUnknownPidsAndInvalidElementsFailWithoutCrashing) {
    auto& untrusted = axOn(R"({"applications": [{"pid": 4, "windows": [{"title": "x"}]}]})");
    EXPECT_FALSE(untrusted.isProcessTrusted());
    EXPECT_EQ(untrusted.copyAttributeValue(untrusted.applicationElement(4), "AXWindows").code, apiDisabled);

    auto& ax =
        axOn(R"({"accessibilityTrusted": true, "applications": [{"pid": 4, "windows": [{"title": "x"}]}]})");
    EXPECT_EQ(ax.copyAttributeValue(ax.applicationElement(99), "AXWindows").code, cannotComplete);

    const Element null;
    EXPECT_EQ(ax.copyAttributeValue(null, "AXRole").code, illegalArgument);
    EXPECT_EQ(ax.copyMultipleAttributeValues(null, {"AXRole"}).code, illegalArgument);
    EXPECT_EQ(ax.copyAttributeNames(null).code, illegalArgument);
    EXPECT_EQ(ax.performAction(null, "AXPress"), illegalArgument);
    EXPECT_EQ(ax.setStringAttributeValue(null, "AXValue", "x"), illegalArgument);
    EXPECT_EQ(ax.setMessagingTimeout(null, 1.0F), illegalArgument);
    EXPECT_EQ(ax.hash(null), 0U);
    EXPECT_FALSE(ax.equal(null, ax.applicationElement(4)));
    EXPECT_TRUE(Desktop::Sim::journal().empty());

    // An element of an earlier scene is gone in the next one, even where the tree looks the same.
    const auto old = window(ax, 4);
    Desktop::Sim::loadScene(
        R"({"accessibilityTrusted": true, "applications": [{"pid": 4, "windows": [{}]}]})");
    EXPECT_EQ(ax.copyAttributeValue(old, "AXTitle").code, invalidUIElement);
    EXPECT_FALSE(ax.equal(old, window(ax, 4)));
}

TEST(SimAccessibility, NamesActionsAndSettableAttributes) {
    auto& ax = axOn(R"({"accessibilityTrusted": true, "applications": [{"pid": 6, "name": "Zoom", "windows": [
        {"id": "field", "role": "AXTextField", "value": "", "attributes": {"AXEnabled": true},
         "attributeNames": ["AXSelectedText", {"int": 3}], "actions": ["AXConfirm", 5],
         "settable": ["AXValue"]},
        {"id": "locked", "value": "fixed", "settable": ["AXValue"], "setError": -25200,
         "attributeNames": {"error": -25204}, "actions": {"error": "notImplemented"}}]}]})");
    const auto field = window(ax, 6, 0);
    const auto locked = window(ax, 6, 1);

    std::vector<std::string> names;
    const auto fieldNames = ax.copyAttributeNames(field);
    for (const auto& name : fieldNames.value.value()) {
        const auto* text = std::get_if<std::string>(&name.data);
        names.push_back(text != nullptr ? *text : "<not a string>");
    }
    EXPECT_EQ(names, (std::vector<std::string>{"AXRole", "AXValue", "AXEnabled", "AXChildren",
                                               "AXSelectedText", "<not a string>"}));
    const auto appNames = ax.copyAttributeNames(ax.applicationElement(6)).value.value();
    EXPECT_EQ(std::get<std::string>(appNames.at(0).data), "AXRole");
    EXPECT_EQ(stringOf(ax, ax.applicationElement(6), "AXRole"), "AXApplication");
    EXPECT_EQ(stringOf(ax, ax.applicationElement(6), "AXTitle"), "Zoom");

    EXPECT_EQ(ax.copyActionNames(field).value.value().size(), 2U);
    EXPECT_EQ(ax.copyAttributeNames(locked).code, cannotComplete);
    EXPECT_EQ(ax.copyActionNames(locked).code, Desktop::AxError::notImplemented);
    EXPECT_EQ(ax.isAttributeSettable(field, "AXValue").value, true);
    EXPECT_EQ(ax.isAttributeSettable(field, "AXTitle").value, false);

    EXPECT_EQ(ax.setStringAttributeValue(field, "AXValue", "812 3456 7890"), success);
    EXPECT_EQ(stringOf(ax, field, "AXValue"), "812 3456 7890");
    EXPECT_EQ(ax.setStringAttributeValue(field, "AXTitle", "x"), attributeUnsupported);
    EXPECT_EQ(ax.setStringAttributeValue(locked, "AXValue", "other"), Desktop::AxError::failure);
    EXPECT_EQ(stringOf(ax, locked, "AXValue"), "fixed");

    const auto journal = Desktop::Sim::journal();
    ASSERT_EQ(journal.size(), 3U);
    EXPECT_EQ(journal[0], (json{{"event", "setValue"},
                                {"element", "field"},
                                {"attribute", "AXValue"},
                                {"before", ""},
                                {"after", "812 3456 7890"},
                                {"status", 0}}));
    EXPECT_EQ(journal[2], (json{{"event", "setValue"},
                                {"element", "locked"},
                                {"attribute", "AXValue"},
                                {"before", "fixed"},
                                {"after", "fixed"},
                                {"status", -25200}}));
}

TEST(SimAccessibility, FocusedAndMainWindowsAndExplicitChildren) {
    auto& ax = axOn(R"({"accessibilityTrusted": true, "applications": [{"pid": 2,
        "windows": [{"title": "One"}, {"title": "Two", "focused": true}, {"title": "Three", "main": true}],
        "children": [{"role": "AXMenuBar"}]}]})");
    const auto app = ax.applicationElement(2);
    EXPECT_EQ(
        stringOf(ax, std::get<Element>(ax.copyAttributeValue(app, "AXFocusedWindow").value->data), "AXTitle"),
        "Two");
    EXPECT_EQ(
        stringOf(ax, std::get<Element>(ax.copyAttributeValue(app, "AXMainWindow").value->data), "AXTitle"),
        "Three");
    const auto kids = children(ax, app);
    ASSERT_EQ(kids.size(), 1U);
    EXPECT_EQ(stringOf(ax, kids[0], "AXRole"), "AXMenuBar");
    EXPECT_EQ(stringOf(ax, kids[0], "AXTitle"), std::nullopt);
}

}  // namespace
