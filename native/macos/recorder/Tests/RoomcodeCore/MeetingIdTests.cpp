#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <unordered_set>

#include "RoomcodeCore/MeetingId.hpp"

namespace {

using RoomcodeCore::Roomcode;

struct ParseCase {
    const char* name;
    std::string text;
    std::optional<std::string> digits;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, FindsTheMeetingIdOrRefuses) {
    const std::optional<Roomcode> parsed = Roomcode::parse(GetParam().text);
    ASSERT_EQ(parsed.has_value(), GetParam().digits.has_value()) << GetParam().text;
    if (parsed) {
        EXPECT_EQ(parsed->digits, *GetParam().digits);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseTest,
    ::testing::Values(
        ParseCase{"LabelWithSpacedGroups", "Meeting ID: 123 456 7890", "1234567890"},
        ParseCase{"UpperCaseHashLabelWithHyphens", "MEETING ID#123-456-789", "123456789"},
        ParseCase{"LabelAfterOtherText", "Topic: Weekly sync  Meeting ID 98765432101", "98765432101"},
        ParseCase{"EightDigitsAreTooFew", "Meeting ID: 1234 5678", std::nullopt},
        ParseCase{"PasscodeAlone", "Passcode: 482913", std::nullopt},
        ParseCase{"PasscodeAfterTheIdStopsAtTheLetter", "Meeting ID: 123 456 7890 Passcode: 12",
                  "1234567890"},
        ParseCase{"BarePasscodeOnTheNextLineJoinsTheRun", "Meeting ID: 123 456 7890\n482913", std::nullopt},
        ParseCase{"PersonalMeetingId", "Personal Meeting ID 1234567890", std::nullopt},
        ParseCase{"ParticipantId", "Participant ID: 12345678901", std::nullopt},
        ParseCase{"NumericPasscode", "Meeting ID 123456789 numeric passcode", std::nullopt},
        ParseCase{"PersonalLink", "Personal Link https://zoom.us/j/1234567890", std::nullopt},
        ParseCase{"WebClientLinkInASentence", "Join at https://us02web.zoom.us/wc/1234567890 today",
                  "1234567890"},
        ParseCase{"JoinLinkIgnoresCase", "HTTPS://ZOOM.US/J/98765432101?pwd=abc", "98765432101"},
        ParseCase{"SFormLink", "zoom.us/s/123456789", "123456789"},
        ParseCase{"LinkWithEightDigits", "https://zoom.us/j/12345678", std::nullopt},
        // A longer number after the path is not a meeting ID; its first eleven
        // digits would be a wrong one.
        ParseCase{"LinkWithTwelveDigitsGivesNothing", "https://zoom.us/j/123456789012", std::nullopt},
        ParseCase{"LongLinkStillReadByItsLabel", "Meeting ID: 123 456 7890 https://zoom.us/j/123456789012",
                  "1234567890"},
        ParseCase{"OtherHost", "https://zoomus.example/j/1234567890", std::nullopt},
        ParseCase{"BlankText", "  \n\t ", std::nullopt},
        ParseCase{"DigitsWithoutLabel", "1234567890", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseDigitsOnly, AcceptsNineToElevenNumericCharacters) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"", std::nullopt},
        {"12345678", std::nullopt},
        {"123456789", "123456789"},
        {"123 456 7890", "1234567890"},
        {"123-456-7890", "1234567890"},
        {"12345678901", "12345678901"},
        {"123456789012", std::nullopt},
        {"ID 123456789 passcode 123456", std::nullopt},
    };
    for (const auto& [text, digits] : cases) {
        const std::optional<Roomcode> parsed = Roomcode::parseDigitsOnly(text);
        ASSERT_EQ(parsed.has_value(), digits.has_value()) << text;
        if (parsed) {
            EXPECT_EQ(parsed->digits, *digits) << text;
        }
    }
}

TEST(ParseDigitsOnly, CountsDigitsOfOtherScriptsAsCharacters) {
    // Arabic-Indic digits are two bytes each; the count is of characters.
    const std::optional<Roomcode> parsed =
        Roomcode::parseDigitsOnly("\u0661\u0662\u0663\u0664\u0665\u0666\u0667\u0668\u0669");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->digits, "\u0661\u0662\u0663\u0664\u0665\u0666\u0667\u0668\u0669");
}

TEST(MeetingIdLabel, RecognisesLabelsAndRefusesLookalikes) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"Meeting ID", true},
        {"  MEETING ID \n", true},
        {"Meeting ID:", true},
        {"meeting identifier", true},
        {"Your meeting id is", true},
        {"participant meeting id", false},
        {"Personal Meeting ID", false},
        {"Participant ID", false},
        {"Passcode", false},
        {"Meeting ID and passcode", true},
        {"", false},
        {"   ", false},
        {"Meeting", false},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Roomcode::textLooksLikeMeetingIdLabel(text), expected) << text;
    }
}

TEST(RoomcodeValue, EqualAndHashedByDigits) {
    std::unordered_set<Roomcode> codes{Roomcode{"123456789"}, Roomcode{"123456789"}, Roomcode{"987654321"}};
    EXPECT_EQ(codes.size(), 2U);
    EXPECT_NE(Roomcode{"123456789"}, Roomcode{"1234567890"});
}

}  // namespace
