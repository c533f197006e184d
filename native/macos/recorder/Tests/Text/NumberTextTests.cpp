#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Text/NumberText.hpp"

namespace {

using Text::numberText;

TEST(NumberText, IntegersAndBooleansAsTheirStringValue) {
    EXPECT_EQ(numberText(std::int64_t{0}), "0");
    EXPECT_EQ(numberText(std::int64_t{-42}), "-42");
    EXPECT_EQ(numberText(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
    EXPECT_EQ(numberText(true), "1");
    EXPECT_EQ(numberText(false), "0");
}

TEST(NumberText, DoublesWithSixteenSignificantDigits) {
    const struct {
        double value;
        const char* text;
    } doubles[] = {
        {2.5, "2.5"},
        {3.0, "3"},
        {-0.25, "-0.25"},
        {0.1, "0.1"},
        // The shortest exact form would be "0.30000000000000004".
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.3333333333333333"},
        {100000.0, "100000"},
        {123456789.0, "123456789"},
        {123456789012.0, "123456789012"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {1e16, "1e+16"},
        {1e20, "1e+20"},
    };
    for (const auto& d : doubles)
        EXPECT_EQ(numberText(d.value), d.text) << d.value;
    EXPECT_EQ(numberText(std::nan("")), "nan");
    EXPECT_EQ(numberText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(numberText(-std::numeric_limits<double>::infinity()), "-inf");
}

}  // namespace
