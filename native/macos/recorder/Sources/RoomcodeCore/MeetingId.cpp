#include "RoomcodeCore/MeetingId.hpp"

#include "Text/Text.hpp"

namespace RoomcodeCore {

namespace {

// Compiled once for the process: the rules run on every text of every element
// read, and compiling a pattern costs far more than a search with it.
const Text::Regex& meetingIdLabelPattern() {
    static const Text::Regex pattern(R"(meeting\s*id\s*[:#]?\s*([0-9][0-9\s\-]{7,}))",
                                     Text::Regex::Options::caseInsensitive);
    return pattern;
}

const Text::Regex& joinLinkPattern() {
    static const Text::Regex pattern(R"(zoom\.us/(?:j|w|s|wc)/(\d{9,11})(?!\d))");
    return pattern;
}

bool hasMeetingIdLength(const std::string& digits) {
    const std::size_t count = Text::graphemeCount(digits);
    return count >= 9 && count <= 11;
}

}  // namespace

bool Roomcode::isRejectedIdContext(std::string_view lower) {
    for (std::string_view phrase :
         {"participant id", "numeric passcode", "personal meeting id", "personal link"}) {
        if (Text::contains(lower, phrase)) return true;
    }
    // A combined line that names the meeting ID next to its passcode still
    // carries the ID.
    return Text::contains(lower, "passcode") && !Text::contains(lower, "meeting id");
}

std::optional<std::string> Roomcode::labeledMeetingIdDigits(std::string_view text) {
    // Greedy on purpose: a passcode that follows the ID after nothing but spaces
    // joins the run and pushes it past 11 digits, so the text is refused rather
    // than read as a wrong ID.
    const std::optional<Text::Match> match = meetingIdLabelPattern().firstMatch(text);
    if (!match || match->groups.empty() || !match->groups[0]) return std::nullopt;
    std::string digits = Text::numericCharacters(*match->groups[0]);
    if (!hasMeetingIdLength(digits)) return std::nullopt;
    return digits;
}

std::optional<Roomcode> Roomcode::parse(std::string_view text) {
    const std::string trimmed = Text::trim(text);
    if (trimmed.empty()) return std::nullopt;
    const std::string lower = Text::lowercase(trimmed);
    if (isRejectedIdContext(lower)) return std::nullopt;

    // A join link carries the whole number; a longer run of digits after the
    // path is some other number, and its first eleven digits would be a wrong ID.
    if (const std::optional<Text::Match> match = joinLinkPattern().firstMatch(lower);
        match && !match->groups.empty() && match->groups[0]) {
        return Roomcode{*match->groups[0]};
    }

    if (std::optional<std::string> digits = labeledMeetingIdDigits(trimmed))
        return Roomcode{std::move(*digits)};
    return std::nullopt;
}

std::optional<Roomcode> Roomcode::parseDigitsOnly(std::string_view text) {
    std::string digits = Text::numericCharacters(text);
    if (!hasMeetingIdLength(digits)) return std::nullopt;
    return Roomcode{std::move(digits)};
}

bool Roomcode::textLooksLikeMeetingIdLabel(std::string_view text) {
    const std::string lower = Text::lowercase(Text::trim(text));
    if (lower.empty()) return false;
    if (isRejectedIdContext(lower)) return false;
    if (lower == "meeting id" || Text::startsWith(lower, "meeting id:") ||
        Text::startsWith(lower, "meeting id ")) {
        return true;
    }
    return Text::contains(lower, "meeting id") && !Text::contains(lower, "participant");
}

}  // namespace RoomcodeCore
