#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Callsense/WindowDictionary.hpp"

namespace Callsense {
namespace {

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
        SCOPED_TRACE(c.key);
        EXPECT_EQ(windowInt32(window, c.key), c.integer);
        EXPECT_EQ(windowString(window, c.key), c.text);
    }
    EXPECT_EQ(windowInt32({{"min", std::int64_t{-2147483648}}}, "min"),
              std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace Callsense
