#include "ConferenceEvidence/Labels.hpp"

#include <algorithm>

#include "ConferenceEvidence/EvidenceRecords.hpp"
#include "Text/Text.hpp"

namespace ConferenceEvidence {

namespace {

const Text::Regex& meetCodePrefixRegex() {
    static const Text::Regex regex(meetCodePrefixPattern);
    return regex;
}

const Text::Regex& meetUrlRegex() {
    static const Text::Regex regex(meetUrlPattern);
    return regex;
}

const Text::Regex& zoomUrlRegex() {
    static const Text::Regex regex(zoomUrlPattern);
    return regex;
}

constexpr std::string_view slackAlert = "Slack Huddle detected";
constexpr std::string_view zoomAlert = "Zoom Meeting detected";
constexpr std::string_view teamsAlert = "Microsoft Teams meeting detected";
constexpr std::string_view webexAlert = "Webex meeting detected";

CandidateLabel label(std::string_view subtitle, std::string_view alertTitle) {
    return {.subtitle = std::string(subtitle), .alertTitle = std::string(alertTitle)};
}

// Both patterns end in their capture group, so the group is the last "/"-separated piece.
std::optional<std::string> capturedIdentifier(const Text::Regex& regex, std::string_view text) {
    const auto match = regex.firstMatch(text);
    if (!match || match->groups.empty() || !match->groups.front()) return std::nullopt;
    return *match->groups.front();
}

std::optional<std::string> fingerprintOf(std::string_view text) {
    const auto t = Text::lowercase(Text::trim(text));
    if (titleLooksLikeMeetCode(t)) {
        if (const auto code = meetCodePrefixRegex().firstMatch(t)) return "meet:" + code->matched;
    }
    if (const auto code = capturedIdentifier(meetUrlRegex(), t)) return "meet:" + *code;
    if (const auto number = capturedIdentifier(zoomUrlRegex(), t)) return "zoom:" + *number;
    return std::nullopt;
}

}  // namespace

CandidateLabel labelForCandidate(const LabelArguments& arguments) {
    const auto o = Text::lowercase(arguments.owner);
    const auto t = Text::lowercase(arguments.combinedText);
    const auto s = shortOwner(arguments.owner);

    if (Text::contains(o, "slack")) return label(s, slackAlert);
    if (Text::contains(o, "zoom")) return label("Zoom", zoomAlert);
    if (Text::contains(o, "teams")) return label("Teams", teamsAlert);
    if (Text::contains(o, "webex")) return label(s, webexAlert);
    if (Text::contains(o, "facetime")) return label("FaceTime", "FaceTime call detected");

    if (Text::contains(t, zoomWebDomain) || Text::contains(t, "zoom meeting"))
        return label("Zoom", zoomAlert);
    if (textLooksLikeMicrosoftTeamsProduct(t)) return label("Teams", teamsAlert);
    if (Text::contains(t, "webex")) return label(s, webexAlert);
    if (Text::contains(t, "google meet") || Text::contains(t, meetHostWithoutTld) ||
        textLooksLikeStandaloneMeetToken(t) || titleLooksLikeMeetCode(arguments.combinedText) ||
        std::ranges::any_of(arguments.windowTitles,
                            [](const std::string& title) { return titleLooksLikeMeetCode(title); })) {
        return label(s, "Google Meet detected");
    }
    if (Text::contains(t, "huddle") || (Text::contains(t, "slack") && Text::contains(t, "call"))) {
        return label(s, slackAlert);
    }
    if (Text::isBlank(arguments.owner)) return label(noMeetingSubtitle, noMeetingAlertTitle);
    return label(s, s + " meeting detected");
}

std::string sessionFamily(const SessionFamilyArguments& arguments) {
    const auto o = Text::lowercase(arguments.owner);
    const auto h = Text::lowercase(arguments.combinedText + " " + arguments.alertTitle);

    if (Text::contains(o, "slack") || Text::contains(h, "slack huddle") ||
        Text::contains(h, "huddle detected")) {
        return "slack";
    }
    if (Text::contains(o, "zoom") || Text::contains(h, "zoom meeting") || Text::contains(h, zoomWebDomain)) {
        return "zoom";
    }
    if (Text::contains(o, "teams") || textLooksLikeMicrosoftTeamsProduct(h)) return "teams";
    if (Text::contains(o, "webex") || Text::contains(h, "webex")) return "webex";
    if (Text::contains(o, "facetime") || Text::contains(h, "facetime")) return "facetime";
    if (Text::contains(h, "google meet") || Text::contains(h, meetHostWithoutTld) ||
        textLooksLikeStandaloneMeetToken(h)) {
        return "meet";
    }
    return std::string(unknownSessionFamily);
}

std::optional<std::string> meetingFingerprint(const TitlesAndUrls& texts) {
    for (const auto* list : {&texts.windowTitles, &texts.axTitlesAndUrls}) {
        for (const auto& text : *list) {
            if (auto fingerprint = fingerprintOf(text)) return fingerprint;
        }
    }
    return std::nullopt;
}

}  // namespace ConferenceEvidence
