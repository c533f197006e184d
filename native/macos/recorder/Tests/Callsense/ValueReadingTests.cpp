#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "Callsense/AxAttributes.hpp"
#include "Callsense/WindowDictionary.hpp"

namespace Callsense {
namespace {

using Desktop::AxValue;

TEST(WindowDictionary, ReadsKeysOfTheExpectedTypeOnly) {
    const Desktop::WindowDictionary window = {
        {"text", std::string("Zoom Meeting")},
        {"integer", std::int64_t{1234}},
        {"wholeDouble", 7.0},
        {"fraction", 7.5},
        {"tooBig", std::int64_t{3'000'000'000}},
        {"tooNegative", -3e9},
        {"nan", std::nan("")},
        {"yes", true},
        {"numericText", std::string("12")},
        {"other", Desktop::OtherValue{"CFDictionary"}},
    };
    const struct {
        const char* key;
        std::optional<std::int32_t> integer;
        std::optional<std::string> text;
    } cases[] = {
        {"text", std::nullopt, "Zoom Meeting"},  {"integer", 1234, std::nullopt},
        {"wholeDouble", 7, std::nullopt},        {"fraction", std::nullopt, std::nullopt},
        {"tooBig", std::nullopt, std::nullopt},  {"tooNegative", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},     {"yes", 1, std::nullopt},
        {"numericText", std::nullopt, "12"},     {"other", std::nullopt, std::nullopt},
        {"missing", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windowInt32(window, c.key), c.integer) << c.key;
        EXPECT_EQ(windowString(window, c.key), c.text) << c.key;
    }
    EXPECT_EQ(windowInt32({{"min", std::int64_t{-2147483648}}}, "min"),
              std::numeric_limits<std::int32_t>::min());
}

struct TestHandle : Desktop::Element::Handle {};

AxResult ok(AxValue value) {
    return {.code = 0, .value = std::move(value)};
}

TEST(AxAttributes, ReadersAcceptOnlyTheirTypes) {
    const Desktop::Element element(std::make_shared<TestHandle>());
    const AxResult failed{.code = Desktop::AxError::noValue, .value = AxValue{std::string("stale")}};
    const AxResult succeededWithoutValue{.code = 0, .value = std::nullopt};

    EXPECT_EQ(stringValue(ok({std::string("Mute")})), "Mute");
    EXPECT_EQ(stringValue(ok({std::int64_t{3}})), "3");
    EXPECT_EQ(stringValue(ok({2.5})), "2.5");
    EXPECT_EQ(stringValue(ok({true})), "1");
    EXPECT_EQ(stringValue(ok({Desktop::Url{"https://zoom.us/j/1"}})), std::nullopt);
    EXPECT_EQ(stringValue(ok({element})), std::nullopt);
    EXPECT_EQ(stringValue(failed), std::nullopt);
    EXPECT_EQ(stringValue(succeededWithoutValue), std::nullopt);

    EXPECT_EQ(urlStringValue(ok({Desktop::Url{"https://meet.google.com/abc-defg-hij"}})),
              "https://meet.google.com/abc-defg-hij");
    EXPECT_EQ(urlStringValue(ok({std::string("about:blank")})), "about:blank");
    EXPECT_EQ(urlStringValue(ok({std::int64_t{1}})), std::nullopt);

    EXPECT_TRUE(elementValue(ok({element})).has_value());
    EXPECT_FALSE(elementValue(ok({std::string("window")})).has_value());
    EXPECT_FALSE(elementValue(ok({Desktop::AxList{AxValue{element}}})).has_value());

    EXPECT_EQ(elementListValue(ok({Desktop::AxList{AxValue{element}, AxValue{element}}}))->size(), 2u);
    EXPECT_EQ(elementListValue(ok({Desktop::AxList{}}))->size(), 0u);
    EXPECT_FALSE(
        elementListValue(ok({Desktop::AxList{AxValue{element}, AxValue{std::string("x")}}})).has_value());
    EXPECT_FALSE(elementListValue(ok({element})).has_value());

    EXPECT_EQ(pointValue(ok({Desktop::Point{-10, 5}})), (Desktop::Point{-10, 5}));
    EXPECT_EQ(pointValue(ok({Desktop::Size{1, 2}})), std::nullopt);
    EXPECT_EQ(sizeValue(ok({Desktop::Size{1, 2}})), (Desktop::Size{1, 2}));
    EXPECT_EQ(sizeValue(ok({Desktop::Point{1, 2}})), std::nullopt);
}

}  // namespace
}  // namespace Callsense
