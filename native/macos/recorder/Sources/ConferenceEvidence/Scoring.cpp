#include "ConferenceEvidence/Scoring.hpp"

#include <optional>
#include <utility>

#include "ConferenceEvidence/ControlLabels.hpp"
#include "ConferenceEvidence/Labels.hpp"
#include "ConferenceEvidence/PhraseSearch.hpp"
#include "ConferenceEvidence/Predicates.hpp"
#include "Text/Text.hpp"

namespace ConferenceEvidence {

namespace {

struct Facts {
    bool urlSeen;
    bool browserTabSeen;
    bool strongBrowserContext;
    bool strongTitleSeen;
    bool controlsSeen;
    bool leaveSeen;
    bool lobbySeen;
    bool chromeSeen;
};

Facts factsOf(const CandidateArguments& c) {
    const TitlesAndUrls pages{.windowTitles = c.windowTitles, .axTitlesAndUrls = c.axTitlesAndUrls};
    const bool schedulingClear =
        !isBrowserOwner(c.owner) ||
        !textSuggestsSchedulingSurface(PhraseSearch::joinedWithSpaces(c.windowTitles, c.axTitlesAndUrls));
    return Facts{
        .urlSeen = hasMeetingUrl(pages),
        .browserTabSeen = hasBrowserMeetingTabContext(
            {.owner = c.owner, .windowTitles = c.windowTitles, .axTitlesAndUrls = c.axTitlesAndUrls}),
        .strongBrowserContext = hasStrongBrowserMeetingContext(pages) && schedulingClear,
        .strongTitleSeen = hasStrongInCallTitle(c.windowTitles),
        .controlsSeen = callControlsPresent(c.controlLabels),
        .leaveSeen = hasLeaveControl(c.controlLabels),
        .lobbySeen = hasLobbyHints({.windowTitles = c.windowTitles, .lobbyHints = c.lobbyHints}),
        .chromeSeen = hasInCallHints(c.inCallHints) || hasInCallHints(c.controlLabels),
    };
}

std::vector<MeetingEvidenceTag> evidenceOf(const Facts& facts, bool inputRunning) {
    std::vector<MeetingEvidenceTag> evidence;
    if (facts.urlSeen || facts.browserTabSeen || facts.strongTitleSeen) {
        evidence.push_back(MeetingEvidenceTag::meetingUrlOrTitle);
    }
    if (facts.chromeSeen || facts.controlsSeen || facts.leaveSeen) {
        evidence.push_back(MeetingEvidenceTag::callControlsPresent);
    }
    if (inputRunning) evidence.push_back(MeetingEvidenceTag::inputRunning);
    return evidence;
}

// The first rule that applies decides; absent means not likely.
std::optional<MeetingConfidence> verdictOf(const Facts& f, bool inputRunning, bool trusted) {
    if (f.lobbySeen) return std::nullopt;
    if (trusted && (f.urlSeen || f.browserTabSeen) && f.leaveSeen) return MeetingConfidence::high;
    if (trusted && f.strongBrowserContext && (inputRunning || f.chromeSeen)) return MeetingConfidence::high;
    if (trusted && f.controlsSeen && (f.strongTitleSeen || f.strongBrowserContext || inputRunning)) {
        return MeetingConfidence::high;
    }
    if (trusted && !f.controlsSeen && f.strongTitleSeen) {
        return inputRunning ? MeetingConfidence::high : MeetingConfidence::medium;
    }
    if (!trusted && f.strongTitleSeen) return MeetingConfidence::medium;
    return std::nullopt;
}

}  // namespace

ConferenceScore scoreCandidate(const CandidateArguments& candidate) {
    const auto facts = factsOf(candidate);
    auto evidence = evidenceOf(facts, candidate.inputRunning);

    std::vector<std::string> combined;
    combined.reserve(1 + candidate.windowTitles.size() + candidate.axTitlesAndUrls.size());
    combined.push_back(candidate.owner);
    combined.insert(combined.end(), candidate.windowTitles.begin(), candidate.windowTitles.end());
    combined.insert(combined.end(), candidate.axTitlesAndUrls.begin(), candidate.axTitlesAndUrls.end());
    const auto combinedText = Text::joinedWithSpaces(combined);

    auto label = labelForCandidate(
        {.owner = candidate.owner, .combinedText = combinedText, .windowTitles = candidate.windowTitles});
    auto family = sessionFamily(
        {.owner = candidate.owner, .combinedText = combinedText, .alertTitle = label.alertTitle});
    auto fingerprint = meetingFingerprint(
        {.windowTitles = candidate.windowTitles, .axTitlesAndUrls = candidate.axTitlesAndUrls});

    const auto confidence = verdictOf(facts, candidate.inputRunning, candidate.accessibilityTrusted);
    if (!confidence) {
        return emptyScore({.evidence = std::move(evidence),
                           .sessionFamily = std::move(family),
                           .meetingFingerprint = std::move(fingerprint)});
    }
    return ConferenceScore{
        .callLikely = true,
        .confidence = *confidence,
        .evidence = std::move(evidence),
        .subtitle = std::move(label.subtitle),
        .alertTitle = std::move(label.alertTitle),
        .sessionFamily = std::move(family),
        .meetingFingerprint = std::move(fingerprint),
    };
}

}  // namespace ConferenceEvidence
