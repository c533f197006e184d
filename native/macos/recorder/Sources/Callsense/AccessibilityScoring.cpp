#include "Callsense/AccessibilityScoring.hpp"

#include <map>

#include "Callsense/AxTreeScanner.hpp"
#include "Text/Text.hpp"

namespace Callsense {

namespace CE = ConferenceEvidence;

std::vector<std::string> splitCandidateTitles(std::string_view joined) {
    std::vector<std::string> titles;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const auto bar = joined.find('|', start);
        const auto end = bar == std::string_view::npos ? joined.size() : bar;
        if (auto piece = Text::trim(joined.substr(start, end - start)); !piece.empty()) {
            titles.push_back(std::move(piece));
        }
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return titles;
}

CE::ConferenceScore windowScanScore(std::string_view subtitle, std::string_view alertTitle,
                                    std::string_view frontmostName) {
    const std::string combinedText = std::string(subtitle) + " " + std::string(alertTitle);
    return CE::ConferenceScore{
        .callLikely = true,
        .confidence = CE::MeetingConfidence::medium,
        .evidence = {CE::MeetingEvidenceTag::meetingUrlOrTitle},
        .subtitle = std::string(subtitle),
        .alertTitle = std::string(alertTitle),
        .sessionFamily = CE::sessionFamily({.owner = std::string(frontmostName),
                                            .combinedText = combinedText,
                                            .alertTitle = std::string(alertTitle)}),
        .meetingFingerprint = std::nullopt,
    };
}

CE::ConferenceScore scoreWithAccessibility(Desktop::Platform& platform,
                                           const AccessibilityScoringRequest& request) {
    std::map<std::string, CE::ConferenceScore> scoresByOwner;
    for (const auto& candidate : request.candidates) {
        auto scan = AxTreeScanner::scanProcess(platform, candidate.pid);
        scoresByOwner.insert_or_assign(candidate.owner,
                                       CE::scoreCandidate({
                                           .owner = candidate.owner,
                                           .windowTitles = splitCandidateTitles(candidate.title),
                                           .axTitlesAndUrls = scan.urls,
                                           .controlLabels = scan.controlLabels,
                                           .lobbyHints = scan.lobbyHints,
                                           .inCallHints = scan.inCallHints,
                                           .inputRunning = request.inputRunning,
                                           .accessibilityTrusted = true,
                                       }));
    }

    // The window scan's verdict fills in where the walk found nothing better
    // under the same name.
    if (request.quartzLikely) {
        const std::string key(request.quartzSubtitle);
        const auto existing = scoresByOwner.find(key);
        if (existing == scoresByOwner.end() || existing->second.confidence == CE::MeetingConfidence::none) {
            scoresByOwner.insert_or_assign(
                key,
                windowScanScore(request.quartzSubtitle, request.quartzAlertTitle, request.frontmostName));
        }
    }

    if (scoresByOwner.empty()) return CE::noMeetingScore();
    auto best = CE::preferFrontmostScore(
        {.scoresByOwner = scoresByOwner, .frontmostOwner = std::string(request.frontmostName)});
    if (best.callLikely) return best;
    if (best.confidence != CE::MeetingConfidence::none) return best;
    // A single candidate speaks for the desktop even when its name does not
    // match the frontmost application's.
    if (scoresByOwner.size() == 1) return scoresByOwner.begin()->second;
    return CE::noMeetingScore();
}

}  // namespace Callsense
