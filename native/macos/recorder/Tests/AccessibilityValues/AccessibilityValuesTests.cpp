#include <gtest/gtest.h>

#include <memory>

#include "AccessibilityValues/AccessibilityValues.hpp"
#include "Support/FakeAccessibility.hpp"

namespace AccessibilityValues {
namespace {

using Desktop::AxList;
using Desktop::AxValue;
using Desktop::Point;
using Desktop::Size;
using Desktop::Url;
using Testing::FakeAccessibility;
using Testing::read;
using Testing::readError;
namespace AxError = Desktop::AxError;

struct Handle final : Desktop::Element::Handle {};

const Desktop::Element element(std::make_shared<const Handle>());

AxValue string(const char* text) {
    return AxValue{std::string(text)};
}

// What each reader makes of one value; absent unless a case says otherwise.
struct Readings {
    std::optional<std::string> text{};
    std::optional<std::string> url{};
    std::optional<bool> flag{};
    bool element = false;
    std::optional<std::size_t> elements{};  // how many, when it is a list of elements
    std::optional<Point> point{};
    std::optional<Size> size{};
};

TEST(AccessibilityValues, EachReaderTakesOnlyTheTypesItKnows) {
    const struct {
        const char* name;
        AxResult result;
        Readings readings;
    } cases[] = {
        {"a string", read(string("Mute")), {.text = "Mute", .url = "Mute"}},
        {"an empty string stays a string", read(string("")), {.text = "", .url = ""}},
        {"a string that says false is no flag", read(string("false")), {.text = "false", .url = "false"}},
        {"a negative integer", read(AxValue{std::int64_t{-42}}), {.text = "-42", .flag = true}},
        {"integer zero", read(AxValue{std::int64_t{0}}), {.text = "0", .flag = false}},
        {"true", read(AxValue{true}), {.text = "1", .flag = true}},
        {"false", read(AxValue{false}), {.text = "0", .flag = false}},
        {"a fraction", read(AxValue{2.5}), {.text = "2.5", .flag = true}},
        {"a whole double", read(AxValue{3.0}), {.text = "3", .flag = true}},
        {"double zero", read(AxValue{0.0}), {.text = "0", .flag = false}},
        {"one tenth", read(AxValue{0.1}), {.text = "0.1", .flag = true}},
        {"sixteen significant digits", read(AxValue{0.1 + 0.2}), {.text = "0.3", .flag = true}},
        {"a large double", read(AxValue{1e20}), {.text = "1e+20", .flag = true}},
        {"a URL", read(AxValue{Url{"https://zoom.us/j/123456789"}}), {.url = "https://zoom.us/j/123456789"}},
        {"an element", read(AxValue{element}), {.element = true}},
        {"a null element", read(AxValue{Desktop::Element{}}), {}},
        {"a list of elements", read(AxValue{AxList{AxValue{element}, AxValue{element}}}), {.elements = 2}},
        {"an empty list", read(AxValue{AxList{}}), {.elements = 0}},
        {"a list with a string among its elements", read(AxValue{AxList{AxValue{element}, string("x")}}), {}},
        {"a list with a null element", read(AxValue{AxList{AxValue{Desktop::Element{}}}}), {}},
        {"a point", read(AxValue{Point{-10, 5}}), {.point = Point{-10, 5}}},
        {"a size", read(AxValue{Size{1, 2}}), {.size = Size{1, 2}}},
        {"a type no reader knows", read(AxValue{Desktop::OtherValue{"AXTextMarker"}}), {}},
        {"an error", readError(AxError::noValue), {}},
        {"an error with a stale value", {.code = AxError::cannotComplete, .value = string("stale")}, {}},
        {"success without a value", {.code = AxError::success, .value = std::nullopt}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(stringValue(c.result), c.readings.text);
        EXPECT_EQ(urlStringValue(c.result), c.readings.url);
        EXPECT_EQ(flagValue(c.result), c.readings.flag);
        EXPECT_EQ(elementValue(c.result).has_value(), c.readings.element);
        const auto elements = elementListValue(c.result);
        EXPECT_EQ(elements ? std::optional(elements->size()) : std::nullopt, c.readings.elements);
        EXPECT_EQ(pointValue(c.result), c.readings.point);
        EXPECT_EQ(sizeValue(c.result), c.readings.size);
    }
}

TEST(AccessibilityValues, NameListsKeepTheirStringsInOrder) {
    const auto listed = [](AxList list) { return Desktop::PlatformResult<AxList>{.code = 0, .value = list}; };
    EXPECT_EQ(stringEntries(listed({string("AXPress"), string("AXShowMenu")})),
              (std::vector<std::string>{"AXPress", "AXShowMenu"}));
    // Entries that are not strings are skipped, not fatal.
    EXPECT_EQ(stringEntries(listed({AxValue{std::int64_t{1}}, string("AXPress"), AxValue{element}})),
              (std::vector<std::string>{"AXPress"}));
    EXPECT_TRUE(stringEntries({.code = AxError::cannotComplete, .value = AxList{string("AXPress")}}).empty());
    EXPECT_TRUE(stringEntries({.code = 0, .value = std::nullopt}).empty());
}

TEST(AccessibilityValues, OneRequestGivesEachAttributeItsOwnResult) {
    FakeAccessibility ax;
    const auto button = ax.add({.attributes = {{"AXRole", read(string("AXButton"))},
                                               {"AXTitle", readError(AxError::cannotComplete)}}});
    const auto results = copyAttributes(ax, button, {"AXRole", "AXTitle", "AXHelp"});
    ASSERT_EQ(results.size(), 3U);
    EXPECT_EQ(stringValue(results[0]), "AXButton");
    EXPECT_EQ(results[1].code, AxError::cannotComplete);
    EXPECT_EQ(results[2].code, AxError::attributeUnsupported);
    EXPECT_EQ(ax.requests, (std::map<std::string, int>{{"copyMultipleAttributeValues", 1}}));

    // A request that fails as a whole fails every attribute with its error.
    const auto unanswered = ax.add(
        {.attributes = {{"AXRole", read(string("AXButton"))}}, .multipleResult = AxError::cannotComplete});
    for (const auto& result : copyAttributes(ax, unanswered, {"AXRole", "AXTitle"})) {
        EXPECT_EQ(result.code, AxError::cannotComplete);
        EXPECT_EQ(stringValue(result), std::nullopt);
    }
}

TEST(AccessibilityValues, AShortAnswerLeavesTheAttributesItDidNotCoverWithoutAValue) {
    FakeAccessibility ax;
    const auto button = ax.add({.attributes = {{"AXRole", read(string("AXButton"))}}, .multipleAnswers = 1});
    const auto results = copyAttributes(ax, button, {"AXRole", "AXTitle"});
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(stringValue(results[0]), "AXButton");
    EXPECT_EQ(results[1].code, AxError::noValue);
    EXPECT_FALSE(results[1].value.has_value());
}

}  // namespace
}  // namespace AccessibilityValues
