#include "ConferenceEvidence/ControlLabels.hpp"

#include <algorithm>

#include "ConferenceEvidence/PhraseSearch.hpp"
#include "Text/Text.hpp"

namespace ConferenceEvidence {

namespace {

bool isMuteLabel(std::string_view s) {
    return Text::contains(s, "mute") || Text::contains(s, "microphone") || Text::equals(s, "mic") ||
           Text::startsWith(s, "mic ") || Text::endsWith(s, " mic");
}

bool isLeaveLabel(std::string_view s) {
    constexpr std::array<std::string_view, 8> leavePhrases{
        "leave call",  "leave meeting",  "leave huddle", "end call",
        "end meeting", "end video call", "hang up",      "hangup",
    };
    if (Text::containsAny(s, leavePhrases)) return true;
    if (Text::equals(s, "leave") || Text::startsWith(s, "leave ")) return true;
    if (Text::contains(s, "leave") &&
        (Text::contains(s, "call") || Text::contains(s, "meeting") || Text::contains(s, "video"))) {
        return true;
    }
    return Text::contains(s, "end") && Text::contains(s, "video") && Text::contains(s, "call");
}

bool isCameraLabel(std::string_view s) {
    return Text::contains(s, "camera") || Text::contains(s, "video");
}

bool isParticipantsOrShareLabel(std::string_view s) {
    constexpr std::array<std::string_view, 9> phrases{
        "participant",  "people",        "show everyone", "raise hand",      "captions",
        "share screen", "share content", "present now",   "stop presenting",
    };
    if (Text::containsAny(s, phrases)) return true;
    return Text::contains(s, "share") &&
           (Text::contains(s, "screen") || Text::contains(s, "content") || Text::contains(s, "present"));
}

}  // namespace

std::optional<CallControlClass> classifyControlLabel(std::string_view label) {
    const auto s = Text::trim(Text::lowercase(label));
    if (s.empty()) return std::nullopt;
    if (isMuteLabel(s)) return CallControlClass::mute;
    if (isLeaveLabel(s)) return CallControlClass::leave;
    if (isCameraLabel(s)) return CallControlClass::camera;
    if (isParticipantsOrShareLabel(s)) return CallControlClass::participantsOrShare;
    return std::nullopt;
}

std::set<CallControlClass> controlClasses(const std::vector<std::string>& labels) {
    std::set<CallControlClass> classes;
    for (const auto& label : labels) {
        if (const auto kind = classifyControlLabel(label)) classes.insert(*kind);
    }
    return classes;
}

bool hasLeaveControl(const std::vector<std::string>& labels) {
    return controlClasses(labels).contains(CallControlClass::leave);
}

bool callControlsPresent(const std::vector<std::string>& labels) {
    const auto classes = controlClasses(labels);
    const bool canTalkOrShow =
        classes.contains(CallControlClass::mute) || classes.contains(CallControlClass::camera);
    const bool belongsToCall =
        classes.contains(CallControlClass::leave) || classes.contains(CallControlClass::participantsOrShare);
    return canTalkOrShow && belongsToCall;
}

bool inCallControlsPresent(const std::vector<std::string>& labels) {
    return callControlsPresent(labels);
}

bool textSuggestsLobby(std::string_view text) {
    return Text::containsAny(Text::lowercase(text), lobbyPhrases);
}

bool textSuggestsInCallChrome(std::string_view text) {
    return Text::containsAny(Text::lowercase(text), inCallChromePhrases);
}

bool hasLobbyHints(const TitlesAndLobbyHints& texts) {
    return PhraseSearch::anyOf(texts.windowTitles, texts.lobbyHints,
                               [](const std::string& text) { return textSuggestsLobby(text); });
}

bool hasInCallHints(const std::vector<std::string>& hints) {
    return std::ranges::any_of(hints, [](const std::string& hint) { return textSuggestsInCallChrome(hint); });
}

}  // namespace ConferenceEvidence
