#include "SceneCapture/Redaction.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "ConferenceEvidence/ControlLabels.hpp"
#include "ConferenceEvidence/Predicates.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "Text/Text.hpp"

namespace SceneCapture {

namespace {

// Words of a meeting client's interface that the window, control and popover
// tests look for. A short text holding one is a label of the interface, not a
// person's words; a long one is kept only when a test itself takes it.
constexpr std::array<std::string_view, 45> interfaceWords = {
    "zoom",     "meeting",  "meetings", "webinar",    "participant", "participants", "passcode", "invite",
    "link",     "host",     "share",    "sharing",    "screen",      "leave",        "end",      "mute",
    "unmute",   "video",    "camera",   "audio",      "microphone",  "close",        "minimize", "fullscreen",
    "full",     "info",     "information", "i",       "\u2139",      "waiting",      "room",     "preview",
    "start",    "join",     "let",      "lets",       "notified",    "wait",         "stop",     "pause",
    "resume",   "view",     "workplace", "call",      "chat",
};

constexpr std::size_t fewWords = 6;

std::vector<std::string> words(std::string_view lowered) {
    std::vector<std::string> out;
    std::string current;
    for (const auto& character : Text::graphemes(lowered)) {
        const bool separator = Text::isBlank(character) ||
                               (character.size() == 1 && character[0] != '\'' &&
                                (character[0] == '-' || character[0] == '_' || character[0] == ':' ||
                                 character[0] == ',' || character[0] == '.' || character[0] == '(' ||
                                 character[0] == ')' || character[0] == '/' || character[0] == '|'));
        if (separator) {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
        } else {
            current += character;
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

bool passesATest(std::string_view text, const std::string& lowered) {
    using namespace ConferenceEvidence;
    return textSuggestsMeetingUrlOrTitle(text) || textSuggestsSchedulingSurface(text) ||
           titleLooksLikeMeetCode(text) || textLooksLikeStandaloneMeetToken(lowered) ||
           textLooksLikeMicrosoftTeamsProduct(lowered) || textSuggestsLobby(text) ||
           textSuggestsInCallChrome(text) || classifyControlLabel(text).has_value() ||
           Text::contains(lowered, "meet") || Text::contains(lowered, "webex") ||
           Text::contains(lowered, "huddle") || Text::contains(lowered, "://") ||
           RoomcodeCore::Roomcode::parse(text).has_value() ||
           RoomcodeCore::Roomcode::parseDigitsOnly(text).has_value() ||
           RoomcodeCore::Roomcode::textLooksLikeMeetingIdLabel(text);
}

bool isMaskable(const std::string& character) {
    if (Text::isBlank(character) || Text::isNumericCharacter(character)) return false;
    if (character.size() == 1) {
        const auto c = static_cast<unsigned char>(character[0]);
        if (c < 0x80 && !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

}  // namespace

bool isKeptText(std::string_view text) {
    const auto characters = Text::graphemes(text);
    if (std::ranges::none_of(characters, isMaskable)) return true;
    const std::string lowered = Text::lowercase(text);
    if (passesATest(text, lowered)) return true;
    const auto found = words(lowered);
    if (found.size() > fewWords) return false;
    return std::ranges::any_of(found, [](const std::string& word) {
        return std::ranges::find(interfaceWords, word) != interfaceWords.end();
    });
}

std::string maskedText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const auto& character : Text::graphemes(text))
        out += isMaskable(character) ? std::string("x") : character;
    return out;
}

std::string redactedText(std::string_view text) {
    return isKeptText(text) ? std::string(text) : maskedText(text);
}

bool isStructuralAttribute(std::string_view attribute) {
    constexpr std::array<std::string_view, 6> structural = {
        "AXRole", "AXSubrole", "AXRoleDescription", "AXIdentifier", "AXDOMIdentifier", "AXDOMClassList",
    };
    return std::ranges::find(structural, attribute) != structural.end();
}

}  // namespace SceneCapture
