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

TEST(Parse, FindsTheMeetingIdOrRefuses) {
    const ParseCase cases[] = {
        {"LabelWithSpacedGroups", "Meeting ID: 123 456 7890", "1234567890"},
        {"UpperCaseHashLabelWithHyphens", "MEETING ID#123-456-789", "123456789"},
        {"LabelAfterOtherText", "Topic: Weekly sync  Meeting ID 98765432101", "98765432101"},
        {"EightDigitsAreTooFew", "Meeting ID: 1234 5678", std::nullopt},
        {"PasscodeAlone", "Passcode: 482913", std::nullopt},
        {"PasscodeAfterTheIdStopsAtTheLetter", "Meeting ID: 123 456 7890 Passcode: 12", "1234567890"},
        {"BarePasscodeOnTheNextLineJoinsTheRun", "Meeting ID: 123 456 7890\n482913", std::nullopt},
        {"PersonalMeetingId", "Personal Meeting ID 1234567890", std::nullopt},
        {"ParticipantId", "Participant ID: 12345678901", std::nullopt},
        {"NumericPasscode", "Meeting ID 123456789 numeric passcode", std::nullopt},
        {"PersonalLink", "Personal Link https://zoom.us/j/1234567890", std::nullopt},
        {"WebClientLinkInASentence", "Join at https://us02web.zoom.us/wc/1234567890 today", "1234567890"},
        {"JoinLinkIgnoresCase", "HTTPS://ZOOM.US/J/98765432101?pwd=abc", "98765432101"},
        {"SFormLink", "zoom.us/s/123456789", "123456789"},
        {"LinkWithEightDigits", "https://zoom.us/j/12345678", std::nullopt},
        // A longer number after the path is not a meeting ID; its first eleven
        // digits would be a wrong one.
        {"LinkWithTwelveDigitsGivesNothing", "https://zoom.us/j/123456789012", std::nullopt},
        {"LongLinkStillReadByItsLabel", "Meeting ID: 123 456 7890 https://zoom.us/j/123456789012",
         "1234567890"},
        {"OtherHost", "https://zoomus.example/j/1234567890", std::nullopt},
        {"BlankText", "  \n\t ", std::nullopt},
        {"DigitsWithoutLabel", "1234567890", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Roomcode> parsed = Roomcode::parse(c.text);
        ASSERT_EQ(parsed.has_value(), c.digits.has_value()) << c.text;
        if (parsed) {
            EXPECT_EQ(parsed->digits, *c.digits);
        }
    }
}

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
        SCOPED_TRACE(text);
        const std::optional<Roomcode> parsed = Roomcode::parseDigitsOnly(text);
        ASSERT_EQ(parsed.has_value(), digits.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->digits, *digits);
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
        SCOPED_TRACE(text);
        EXPECT_EQ(Roomcode::textLooksLikeMeetingIdLabel(text), expected);
    }
}

TEST(RoomcodeValue, EqualAndHashedByDigits) {
    std::unordered_set<Roomcode> codes{Roomcode{"123456789"}, Roomcode{"123456789"}, Roomcode{"987654321"}};
    EXPECT_EQ(codes.size(), 2U);
    EXPECT_NE(Roomcode{"123456789"}, Roomcode{"1234567890"});
}

}  // namespace
