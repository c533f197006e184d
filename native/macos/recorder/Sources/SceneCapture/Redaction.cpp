#include "SceneCapture/Redaction.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "ConferenceEvidence/ControlLabels.hpp"
#include "ConferenceEvidence/Labels.hpp"
#include "ConferenceEvidence/Predicates.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "Text/Text.hpp"

namespace SceneCapture {

namespace {

// Words of meeting clients' interfaces and product names, lower case, that the
// tools' window, control, popover and title tests look for. They say what a
// control or panel is, not who someone is.
constexpr std::array<std::string_view, 94> interfaceWords = {
    "zoom",    "meeting",   "meetings",    "webinar",   "participant", "participants", "passcode",
    "invite",  "link",      "host",        "co",        "share",       "sharing",      "screen",
    "content", "leave",     "end",         "mute",      "unmute",      "muted",        "video",
    "camera",  "audio",     "microphone",  "mic",       "close",       "minimize",     "fullscreen",
    "full",    "info",      "information", "i",         "\u2139",      "id",           "waiting",
    "room",    "preview",   "start",       "join",      "let",         "lets",         "you",
    "in",      "the",       "notified",    "wait",      "stop",        "pause",        "resume",
    "view",    "workplace", "call",        "chat",      "people",      "raise",        "lower",
    "hand",    "captions",  "present",     "now",       "everyone",    "hang",         "up",
    "lobby",   "huddle",    "teams",       "microsoft", "google",      "meet",         "webex",
    "cisco",   "slack",     "for",         "will",      "soon",        "someone",      "please",
    "has",     "have",      "been",        "placed",    "always",      "show",         "this",
    "when",    "joining",   "your",        "are",       "personal",    "presenting",   "ask",
    "to",      "only",      "details",
};

// A user-perceived character that could be part of someone's name or words.
bool isMaskable(const std::string& character) {
    if (Text::isBlank(character) || Text::isNumericCharacter(character)) return false;
    if (character.size() == 1) {
        const auto c = static_cast<unsigned char>(character[0]);
        if (c < 0x80 && !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

bool isInterfaceWord(const std::string& word) {
    const std::string lowered = Text::lowercase(word);
    return std::ranges::find(interfaceWords, lowered) != interfaceWords.end();
}

// What roomcode's window, popover and chrome tests look for, beyond the
// meeting-ID rules: phrases anywhere in the lower-cased text, whole labels and
// label beginnings.
constexpr std::array<std::string_view, 37> roomcodePhrases = {
    "waiting room",
    "waiting for the host",
    "host will let you in",
    "will let you in soon",
    "someone lets you in",
    "you have been placed in the waiting room",
    "the host has been notified",
    "please wait for the host",
    "always show this preview",
    "preview when joining",
    "show this preview",
    "zoom workplace",
    "sharing screen",
    "you are sharing",
    "meeting information",
    "meeting info",
    "invite link",
    "view meeting info",
    "stop share",
    "stop sharing",
    "sharing your screen",
    "pause share",
    "resume share",
    "participant",
    "passcode",
    "host",
    "zoom meeting",
    "full screen",
    "full-screen",
    "close button",
    "minimize",
    "leave meeting",
    "end meeting",
    "end webinar",
    "personal meeting id",
    "personal link",
    "meeting id",
};
constexpr std::array<std::string_view, 12> roomcodeLabels = {
    "start", "join", "leave", "end", "mute", "unmute", "close", "minimize", "zoom", "i", "info", "\u2139",
};
constexpr std::array<std::string_view, 4> roomcodeLabelBeginnings = {"leave ", "end ", "mute ", "unmute "};

// Everything the tools' text tests answer about a text.
struct Answers {
    std::vector<bool> tests;
    std::optional<ConferenceEvidence::CallControlClass> control;
    std::optional<RoomcodeCore::Roomcode> meetingId;
    std::optional<RoomcodeCore::Roomcode> digitsOnly;
    std::optional<std::string> fingerprint;

    bool operator==(const Answers&) const = default;
};

Answers answers(std::string_view text) {
    using namespace ConferenceEvidence;
    const std::string lowered = Text::lowercase(text);
    Answers a;
    a.tests = {
        textSuggestsMeetingUrl(text),
        textSuggestsStrongInCallTitle(text),
        textSuggestsMeetingUrlOrTitle(text),
        textSuggestsSchedulingSurface(text),
        titleLooksLikeMeetCode(text),
        textLooksLikeStandaloneMeetToken(lowered),
        textLooksLikeMicrosoftTeamsProduct(lowered),
        textSuggestsLobby(text),
        textSuggestsInCallChrome(text),
        RoomcodeCore::Roomcode::textLooksLikeMeetingIdLabel(text),
        Text::contains(lowered, "://"),
    };
    // The phrases are plain lower-case words, so a byte search of the lower-cased
    // text answers as roomcode's comparisons do, without a pass of its own per
    // phrase over a text of megabytes.
    const std::string label = Text::lowercase(Text::trim(text));
    for (const auto phrase : roomcodePhrases)
        a.tests.push_back(lowered.find(phrase) != std::string::npos);
    for (const auto whole : roomcodeLabels)
        a.tests.push_back(label == whole);
    for (const auto beginning : roomcodeLabelBeginnings)
        a.tests.push_back(label.starts_with(beginning));
    a.control = classifyControlLabel(text);
    a.meetingId = RoomcodeCore::Roomcode::parse(text);
    a.digitsOnly = RoomcodeCore::Roomcode::parseDigitsOnly(text);
    // The same text as a window title and as an accessibility text or URL.
    a.fingerprint = meetingFingerprint({.windowTitles = {std::string(text)}, .axTitlesAndUrls = {}});
    if (!a.fingerprint)
        a.fingerprint = meetingFingerprint({.windowTitles = {}, .axTitlesAndUrls = {std::string(text)}});
    return a;
}

}  // namespace

std::string maskedText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::string word;
    const auto endWord = [&] {
        out += isInterfaceWord(word) ? word : std::string(Text::graphemeCount(word), 'x');
        word.clear();
    };
    for (const auto& character : Text::graphemes(text)) {
        if (isMaskable(character)) {
            word += character;
            continue;
        }
        if (!word.empty()) endWord();
        out += character;
    }
    if (!word.empty()) endWord();
    return out;
}

std::string redactedText(std::string_view text) {
    // Far longer than a name or a chat line; checking that masking changes no
    // rule's answer would cost seconds for each such text, which a hostile
    // application can hand over by the hundred.
    if (text.size() > longestMaskedText) return std::string(text);
    std::string masked = maskedText(text);
    if (masked == text) return masked;
    // A text whose masking would change what a rule reads is something the rules
    // need, whoever it mentions.
    if (answers(masked) != answers(text)) return std::string(text);
    return masked;
}

bool isStructuralAttribute(std::string_view attribute) {
    constexpr std::array<std::string_view, 6> structural = {
        "AXRole", "AXSubrole", "AXRoleDescription", "AXIdentifier", "AXDOMIdentifier", "AXDOMClassList",
    };
    return std::ranges::find(structural, attribute) != structural.end();
}

}  // namespace SceneCapture
