#include <gtest/gtest.h>

#include "Text/Text.hpp"
#include "Text/Utf8.hpp"

namespace {

using namespace Text;

// "é" precomposed (U+00E9) and decomposed (e + U+0301).
const std::string precomposedE = "\xC3\xA9";
const std::string decomposedE = "e\xCC\x81";
const std::string invalid = "ab\xFF\xC3(cd";  // a stray byte and a truncated sequence

TEST(Lowercase, MapsNonAsciiLettersIndependentlyOfLocale) {
    EXPECT_EQ(lowercase("ZOOM Meeting"), "zoom meeting");
    EXPECT_EQ(lowercase("\xC3\x89TAT"), "\xC3\xA9tat");  // ÉTAT
    // ΟΔΟΣ: the full mapping gives the final form of sigma at the end of a word.
    EXPECT_EQ(lowercase("\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3"), "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82");
    // Turkish dotted capital I keeps its dot as a combining mark in the root locale.
    EXPECT_EQ(lowercase("\xC4\xB0"), "i\xCC\x87");
    EXPECT_EQ(lowercase("I"), "i");
}

TEST(Lowercase, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(lowercase("A\xFF"
                        "B"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(lowercase("\xC3\x89\xC3"), "\xC3\xA9\xEF\xBF\xBD");
}

TEST(Trim, RemovesUnicodeSpacesAndLineBreaksAtBothEnds) {
    struct Case {
        std::string input, expected;
    } cases[] = {
        {"  a b  ", "a b"},
        {"\t\n\v\f\rx\r\n", "x"},
        {"\xC2\xA0x\xC2\xA0", "x"},          // U+00A0 no-break space
        {"\xE2\x80\xA8x\xE2\x80\xA9", "x"},  // line and paragraph separators
        {"\xE3\x80\x80x\xE3\x80\x80", "x"},  // U+3000 ideographic space
        {"\xC2\x85x", "x"},                  // U+0085 next line
        {"\xE2\x80\x8Bx", "\xE2\x80\x8Bx"},  // zero-width space is Cf, not white space
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(trim(c.input), c.expected);
    }
}

TEST(Trim, KeepsInvalidBytesAndNeverSplitsThem) {
    EXPECT_EQ(trim(" \xFF "), "\xFF");
    EXPECT_EQ(trim("\xC3 "), "\xC3");
    EXPECT_FALSE(isBlank("\xFF"));
    EXPECT_TRUE(isBlank(" \xC2\xA0\n"));
    EXPECT_TRUE(isBlank(""));
}

TEST(Comparison, CanonicalEquivalenceBothWays) {
    const std::string cafePre = "caf" + precomposedE;
    const std::string cafeDec = "caf" + decomposedE;
    for (const auto& [text, needle] : std::vector<std::pair<std::string, std::string>>{
             {cafePre, cafeDec}, {cafeDec, cafePre}, {cafePre, cafePre}}) {
        SCOPED_TRACE(testing::Message() << text << " / " << needle);
        EXPECT_TRUE(contains("le " + text + " noir", needle));
        EXPECT_TRUE(startsWith(text + " noir", needle));
        EXPECT_TRUE(endsWith("au " + text, needle));
        EXPECT_TRUE(equals(text, needle));
    }
}

TEST(Comparison, MatchNeverEndsInsideACharacter) {
    EXPECT_FALSE(contains("caf" + decomposedE, "cafe"));
    EXPECT_FALSE(contains(precomposedE, "e"));
    EXPECT_FALSE(startsWith(decomposedE + "x", "e"));
    EXPECT_FALSE(equals(precomposedE, "e"));
    EXPECT_TRUE(endsWith("x" + decomposedE, precomposedE));
    EXPECT_FALSE(endsWith("x" + decomposedE, "\xCC\x81"));  // a lone combining mark is not a character of it
}

TEST(Comparison, EmptyNeedleNeverMatches) {
    EXPECT_FALSE(contains("", ""));
    EXPECT_FALSE(contains("abc", ""));
    EXPECT_FALSE(startsWith("abc", ""));
    EXPECT_FALSE(endsWith("abc", ""));
    EXPECT_TRUE(equals("", ""));
}

TEST(Comparison, CaseSensitiveAndPlain) {
    EXPECT_TRUE(contains("zoom meeting", "meeting"));
    EXPECT_FALSE(contains("Zoom Meeting", "meeting"));
    EXPECT_FALSE(contains("ab", "abc"));
    EXPECT_TRUE(startsWith("meet - x", "meet -"));
    EXPECT_FALSE(endsWith("x", "xx"));
}

TEST(Comparison, InvalidUtf8ComparesAsReplacementCharacter) {
    EXPECT_TRUE(contains(invalid, "ab"));
    EXPECT_TRUE(contains(invalid, "(cd"));
    EXPECT_TRUE(contains(invalid, "\xEF\xBF\xBD"));
    EXPECT_FALSE(contains("abc", "\xFF"));
    EXPECT_TRUE(equals("\xFF", "\xFE"));  // both read as one U+FFFD
}

TEST(FromUtf16, LoneSurrogateBecomesOneReplacementCharacterAndTheRestIsKept) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        std::u16string input;
        std::string expected;
    } cases[] = {
        {u"Zoom Meeting", "Zoom Meeting"},
        {u"caf\u00E9 \u20AC", "caf\xC3\xA9 \xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},  // a pair
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},  // the last code point
        {u"", ""},
        {std::u16string(u"\0a", 2), std::string("\0a", 2)},
        // A title cut in the middle of an emoji: its high half is left, and what follows stays.
        {u"Standup \xD83D| Zoom", "Standup " + replacement + "| Zoom"},
        {u"\xD83D", replacement},                                   // high half at the end
        {u"\xDE00 after", replacement + " after"},                  // low half first
        {u"\xDE00\xD83D", replacement + replacement},               // reversed pair: two lone halves
        {u"\xD83D\xD83D\xDE00", replacement + "\xF0\x9F\x98\x80"},  // the second high half pairs
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::string out = fromUtf16(c.input);
        EXPECT_EQ(out, c.expected);
        EXPECT_TRUE(detail::isValidUtf8(out));
    }
}

TEST(Comparison, ContainsAnyNeedleByTheSameRules) {
    EXPECT_TRUE(containsAny("in a zoom meeting", {"webex", "zoom"}));
    EXPECT_TRUE(containsAny("caf" + precomposedE, {"x", "caf" + decomposedE}));
    EXPECT_FALSE(containsAny("caf" + decomposedE, {"cafe"}));
    EXPECT_FALSE(containsAny("abc", {"", "d"}));
    EXPECT_FALSE(containsAny("abc", {}));
}

TEST(Join, JoinsWithTheSeparatorBetweenNeighbours) {
    EXPECT_EQ(joinedWithSpaces({}), "");
    EXPECT_EQ(joinedWithSpaces({"a"}), "a");
    EXPECT_EQ(joinedWithSpaces({"a", "", "b c"}), "a  b c");
    EXPECT_EQ(joined({}, " | "), "");
    EXPECT_EQ(joined({"Zoom Meeting"}, " | "), "Zoom Meeting");
    EXPECT_EQ(joined({"Zoom Meeting", "", "Zoom Workplace"}, " | "), "Zoom Meeting |  | Zoom Workplace");
}

TEST(Graphemes, CountsUserPerceivedCharacters) {
    struct Case {
        std::string text;
        std::size_t count;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"caf" + decomposedE, 4},
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", 1},  // thumbs up with skin tone modifier
        // family: man, ZWJ, woman, ZWJ, girl
        {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", 1},
        {"\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA", 1},  // flag: two regional indicators
        {"\r\n", 1},
        {"a\xFF"
         "b",
         3},
        {"\xE1\x84\x80\xE1\x85\xA1", 1},  // conjoining jamo form one syllable
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(graphemeCount(c.text), c.count);
        EXPECT_EQ(graphemes(c.text).size(), c.count);
    }
}

TEST(Numeric, RecognisesNumbersOfEveryScript) {
    struct Case {
        std::string character;
        bool numeric;
    } cases[] = {
        {"7", true},
        {"\xD9\xA3", true},      // Arabic-Indic digit three (Nd)
        {"\xC2\xB2", true},      // superscript two (No)
        {"\xC2\xBD", true},      // vulgar fraction one half (No)
        {"\xE2\x85\xAB", true},  // Roman numeral twelve (Nl)
        {"a", false},
        {"-", false},
        {" ", false},
        {"\xFF", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.character);
        EXPECT_EQ(isNumericCharacter(c.character), c.numeric);
    }
    EXPECT_EQ(numericCharacters("12 3-4\xD9\xA3x\xC2\xB2"), "1234\xD9\xA3\xC2\xB2");
    // A digit carrying a combining mark is one numeric character, kept whole.
    EXPECT_EQ(numericCharacters("1\xE2\x83\xA3"
                                "2"),
              "1\xE2\x83\xA3"
              "2");
}

TEST(Regex, IcuClassesApplyToNonAsciiText) {
    EXPECT_TRUE(Regex("^\\d+$").search("\xD9\xA1\xD9\xA2\xD9\xA3"));  // Arabic-Indic digits are \d
    EXPECT_FALSE(Regex("^\\d$").search("\xC2\xB2"));                  // superscript two is not Nd
    EXPECT_TRUE(
        Regex("a\\sb").search("a\xC2\xA0"
                              "b"));  // no-break space is \s
    EXPECT_TRUE(
        Regex("a\\sb").search("a\xE3\x80\x80"
                              "b"));
    EXPECT_TRUE(Regex("\\bcaf\xC3\xA9\\b").search("au caf\xC3\xA9 noir"));
    EXPECT_FALSE(Regex("\\bcaf\\b").search("caf\xC3\xA9"));  // é is a word character
}

TEST(Regex, CaseInsensitiveSearchAndGroups) {
    const Regex label("meeting\\s*id\\s*[:#]?\\s*([0-9][0-9\\s\\-]{7,})", Regex::Options::caseInsensitive);
    auto m = label.firstMatch("Your MEETING ID# 123-456-789 today");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->matched, "MEETING ID# 123-456-789 ");
    ASSERT_EQ(m->groups.size(), 1u);
    EXPECT_EQ(m->groups[0], "123-456-789 ");
    EXPECT_FALSE(Regex("meeting").search("MEETING"));
    EXPECT_TRUE(Regex("meeting", Regex::Options::caseInsensitive).search("MEETING"));
    EXPECT_TRUE(Regex("caf\xC3\xA9", Regex::Options::caseInsensitive).search("CAF\xC3\x89"));
}

TEST(Regex, GroupsThatDidNotTakePartAreAbsentAndOffsetsAreNonAsciiSafe) {
    const Regex r("(x)?(\xC3\xA9+)");
    auto m = r.firstMatch("\xF0\x9F\x98\x80\xC3\xA9\xC3\xA9!");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->matched, "\xC3\xA9\xC3\xA9");
    EXPECT_FALSE(m->groups[0].has_value());
    EXPECT_EQ(m->groups[1], "\xC3\xA9\xC3\xA9");
    EXPECT_FALSE(r.firstMatch("nothing"));
}

TEST(Regex, InvalidUtf8AndBadPatterns) {
    EXPECT_TRUE(
        Regex("a.b").search("a\xFF"
                            "b"));
    EXPECT_TRUE(Regex("zoom\\.us").search("\xC3zoom.us\xFF"));
    EXPECT_THROW(Regex("(unclosed"), std::invalid_argument);
}

}  // namespace
