#include "ConferenceEvidence/Predicates.hpp"

#include <algorithm>

#include "ConferenceEvidence/PhraseSearch.hpp"
#include "Text/Text.hpp"

namespace ConferenceEvidence {

namespace {

const Text::Regex& meetCodeRegex() {
    static const Text::Regex regex(meetCodePattern);
    return regex;
}

// Browsers and web pages separate the parts of a title with typographic dashes as often
// as with a hyphen ("Meet – abc-defg-hij"), so a separator test reads every dash,
// U+2010 to U+2015 and the minus sign U+2212, as "-". All are three bytes in UTF-8.
std::string withDashesAsHyphens(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        if (byte(i) == 0xE2 && i + 2 < text.size()) {
            const bool generalPunctuationDash =
                byte(i + 1) == 0x80 && byte(i + 2) >= 0x90 && byte(i + 2) <= 0x95;
            const bool minusSign = byte(i + 1) == 0x88 && byte(i + 2) == 0x92;
            if (generalPunctuationDash || minusSign) {
                out.push_back('-');
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

bool namesMeetingProductWithoutUrl(std::string_view title, std::string_view lowered) {
    const auto separated = withDashesAsHyphens(lowered);
    return titleLooksLikeMeetCode(title) || textLooksLikeStandaloneMeetToken(lowered) ||
           Text::contains(lowered, "google meet") || Text::contains(lowered, "cisco webex") ||
           Text::equals(lowered, "webex") || Text::endsWith(separated, " - webex") ||
           textLooksLikeMicrosoftTeamsProduct(lowered) || Text::contains(lowered, "zoom meeting") ||
           Text::equals(lowered, "zoom") || Text::endsWith(separated, " - zoom");
}

}  // namespace

std::string shortOwner(std::string_view owner) {
    // Byte equality: the keys are the exact names the window list reports.
    for (const auto& [name, shortName] : ownerShortNames) {
        if (name == owner) return std::string(shortName);
    }
    return std::string(owner);
}

bool textSuggestsMeetingUrl(std::string_view text) {
    const auto lowered = Text::lowercase(text);
    if (Text::isBlank(lowered)) return false;
    return Text::containsAny(lowered, meetingUrlFragments);
}

bool textSuggestsStrongInCallTitle(std::string_view text) {
    const auto lowered = Text::lowercase(text);
    if (Text::isBlank(lowered)) return false;
    if (Text::containsAny(lowered, joinPromptPhrases)) return false;
    return Text::containsAny(lowered, strongInCallTitlePhrases);
}

bool textSuggestsMeetingUrlOrTitle(std::string_view text) {
    return textSuggestsMeetingUrl(text) || textSuggestsStrongInCallTitle(text) ||
           Text::containsAny(Text::lowercase(text), weakProductTitlePhrases);
}

bool isBrowserOwner(std::string_view owner) {
    return Text::containsAny(Text::lowercase(owner), browserOwnerTokens);
}

bool textSuggestsSchedulingSurface(std::string_view text) {
    return Text::containsAny(Text::lowercase(text), schedulingSurfaceFragments);
}

bool titleLooksLikeMeetCode(std::string_view title) {
    return meetCodeRegex().search(Text::lowercase(Text::trim(title)));
}

bool textLooksLikeStandaloneMeetToken(std::string_view text) {
    const auto trimmed = withDashesAsHyphens(Text::trim(text));
    if (trimmed.empty()) return false;
    return Text::equals(trimmed, "meet") || Text::endsWith(trimmed, " - meet") ||
           Text::startsWith(trimmed, "meet -") || Text::startsWith(trimmed, "meet |");
}

bool textLooksLikeMicrosoftTeamsProduct(std::string_view text) {
    const auto trimmed = Text::trim(Text::lowercase(text));
    if (trimmed.empty()) return false;
    return Text::contains(trimmed, teamsHostWithoutTld) ||
           Text::contains(trimmed, teamsConsumerHostWithoutTld) ||
           Text::contains(trimmed, "microsoft teams") || Text::endsWith(trimmed, " | microsoft teams");
}

bool hasMeetingUrl(const TitlesAndUrls& texts) {
    return PhraseSearch::anyOf(texts.windowTitles, texts.axTitlesAndUrls,
                               [](const std::string& text) { return textSuggestsMeetingUrl(text); });
}

bool hasStrongInCallTitle(const std::vector<std::string>& windowTitles) {
    return std::ranges::any_of(windowTitles,
                               [](const std::string& title) { return textSuggestsStrongInCallTitle(title); });
}

bool hasInCallSurface(const TitlesAndUrls& texts) {
    return hasStrongInCallTitle(texts.windowTitles) || hasMeetingUrl(texts);
}

bool hasStrongBrowserMeetingContext(const TitlesAndUrls& texts) {
    return hasMeetingUrl(texts) ||
           PhraseSearch::anyOf(texts.windowTitles, texts.axTitlesAndUrls,
                               [](const std::string& text) { return titleLooksLikeMeetCode(text); });
}

bool hasWeakBrowserProductTab(const std::vector<std::string>& windowTitles) {
    for (const auto& title : windowTitles) {
        const auto lowered = Text::lowercase(title);
        if (textSuggestsSchedulingSurface(lowered)) continue;
        if (namesMeetingProductWithoutUrl(title, lowered)) return true;
    }
    return false;
}

bool hasBrowserMeetingTabContext(const OwnerTitlesAndUrls& candidate) {
    if (!isBrowserOwner(candidate.owner)) return false;
    if (textSuggestsSchedulingSurface(
            PhraseSearch::joinedWithSpaces(candidate.windowTitles, candidate.axTitlesAndUrls))) {
        return false;
    }
    return hasStrongBrowserMeetingContext(
               {.windowTitles = candidate.windowTitles, .axTitlesAndUrls = candidate.axTitlesAndUrls}) ||
           hasWeakBrowserProductTab(candidate.windowTitles);
}

}  // namespace ConferenceEvidence
