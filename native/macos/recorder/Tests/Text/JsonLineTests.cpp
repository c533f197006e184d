#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "Text/JsonLine.hpp"

namespace {

using Text::JsonLine;

TEST(JsonLine, EscapesLikeThePlatformEncoder) {
    struct Case {
        std::string value, encoded;
    } cases[] = {
        {"a/b", R"("a\/b")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\dir", R"("C:\\dir")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {std::string("\x00\x01\x1f", 3), R"("\u0000\u0001\u001f")"},
        {"\x7f", "\"\x7f\""},
        {"caf\xC3\xA9 \xF0\x9F\x91\x8D \xE2\x80\xA8", "\"caf\xC3\xA9 \xF0\x9F\x91\x8D \xE2\x80\xA8\""},
        {"", R"("")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(JsonLine().add("k", c.value).finish(), "{\"k\":" + c.encoded + "}\n");
    }
}

TEST(JsonLine, KeepsCallerOrderLeavesOutAbsentFieldsAndWritesEveryKind) {
    const std::optional<std::string> absent;
    const std::optional<std::string> present = "zoom:123456789";
    const auto line = JsonLine()
                          .add("z", true)
                          .add("a", false)
                          .add("fingerprint", absent)
                          .add("count", std::int64_t{-3})
                          .add("evidence", std::vector<std::string>{"inputRunning", "a/b"})
                          .add("none", std::vector<std::string>{})
                          .add("present", present)
                          .finish();
    EXPECT_EQ(line, R"({"z":true,"a":false,"count":-3,"evidence":["inputRunning","a\/b"],"none":[],)"
                    R"("present":"zoom:123456789"})"
                    "\n");
}

TEST(JsonLine, SortedKeysForCallersThatAskForThem) {
    const auto line = JsonLine(JsonLine::KeyOrder::sorted)
                          .add("ok", true)
                          .add("errorCode", "X")
                          .add("deviceId", std::uint32_t{73})
                          .add("restoredDefault", true)
                          .finish();
    EXPECT_EQ(line, R"({"deviceId":73,"errorCode":"X","ok":true,"restoredDefault":true})"
                    "\n");
}

TEST(JsonLine, DoublesReadBackExactly) {
    struct Case {
        double value;
        std::string text;
    } cases[] = {
        {350.5, "350.5"}, {500.0, "500"}, {-12.25, "-12.25"}, {0.1, "0.1"}, {-0.0, "-0"}, {1e21, "1e+21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(JsonLine().add("x", c.value).finish(), "{\"x\":" + c.text + "}\n");
    }
    const double third = 1.0 / 3.0;
    const auto line = JsonLine().add("x", third).finish();
    ASSERT_TRUE(line);
    EXPECT_EQ(std::stod(line->substr(5)), third);
}

TEST(JsonLine, ReportsWhatCannotBeEncoded) {
    EXPECT_FALSE(JsonLine().add("k", "bad \xFF byte").finish());
    EXPECT_FALSE(JsonLine().add("k", std::vector<std::string>{"ok", "\xC3"}).finish());
    EXPECT_FALSE(JsonLine().add("\xED\xA0\x80", "surrogate key").finish());
    EXPECT_FALSE(JsonLine().add("x", std::numeric_limits<double>::infinity()).finish());
    EXPECT_FALSE(JsonLine().add("x", std::numeric_limits<double>::quiet_NaN()).finish());
    EXPECT_EQ(JsonLine().finish(), "{}\n");
}

}  // namespace
