// Candidate scoring and the label, family and fingerprint derived from it, on
// arbitrary owners, titles, labels and hints: the verdict must stay internally
// consistent, the lobby veto must hold, and whatever reaches the host's JSON
// line must be encodable.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ConferenceEvidence/ConferenceEvidence.hpp"
#include "FuzzSupport.hpp"
#include "Text/JsonLine.hpp"
#include "Text/Text.hpp"
#include "Text/Utf8.hpp"

using namespace ConferenceEvidence;
using Fuzz::require;

namespace {

constexpr std::string_view families[] = {"slack", "zoom", "teams", "webex", "facetime", "meet", "unknown"};

bool isAsciiDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void requireConsistent(const ConferenceScore& score) {
    require(score.callLikely == (score.confidence != MeetingConfidence::none));
    require(std::is_sorted(score.evidence.begin(), score.evidence.end()));
    require(std::adjacent_find(score.evidence.begin(), score.evidence.end()) == score.evidence.end());
    require(std::find(std::begin(families), std::end(families), score.sessionFamily) != std::end(families));
    if (!score.callLikely) require(score.subtitle == "Microphone" && score.alertTitle == "Meeting detected");
    if (score.meetingFingerprint) {
        const std::string& fingerprint = *score.meetingFingerprint;
        if (fingerprint.starts_with("meet:")) {
            const std::string code = fingerprint.substr(5);
            require(code.size() == 12 && code[3] == '-' && code[8] == '-');
        } else {
            require(fingerprint.starts_with("zoom:") && isAsciiDigits(fingerprint.substr(5)));
            require(fingerprint.size() >= 5 + 9);
        }
    }
    Text::JsonLine line;
    line.add("subtitle", score.subtitle).add("alertTitle", score.alertTitle);
    line.add("sessionFamily", score.sessionFamily);
    if (score.meetingFingerprint) line.add("meetingFingerprint", *score.meetingFingerprint);
    // Text that came in valid must go out encodable; invalid input may be refused.
    if (Text::detail::isValidUtf8(score.subtitle) && Text::detail::isValidUtf8(score.alertTitle))
        require(line.finish().has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    CandidateArguments candidate{
        .owner = input.ConsumeRandomLengthString(64),
        .windowTitles = Fuzz::texts(input, 4),
        .axTitlesAndUrls = Fuzz::texts(input, 4),
        .controlLabels = Fuzz::texts(input, 6),
        .lobbyHints = Fuzz::texts(input, 2),
        .inCallHints = Fuzz::texts(input, 3),
        .inputRunning = input.ConsumeBool(),
        .accessibilityTrusted = input.ConsumeBool(),
    };

    const ConferenceScore score = scoreCandidate(candidate);
    requireConsistent(score);

    // A lobby phrase among the hints vetoes the call, whatever else was seen.
    CandidateArguments inLobby = candidate;
    inLobby.lobbyHints.push_back(
        std::string(lobbyPhrases[input.ConsumeIntegralInRange<std::size_t>(0, lobbyPhrases.size() - 1)]));
    const ConferenceScore vetoed = scoreCandidate(inLobby);
    requireConsistent(vetoed);
    require(!vetoed.callLikely);
    require(vetoed.meetingFingerprint == score.meetingFingerprint);

    // A running microphone never decides by itself.
    const ConferenceScore micOnly = scoreCandidate({.owner = candidate.owner,
                                                    .inputRunning = true,
                                                    .accessibilityTrusted = candidate.accessibilityTrusted});
    require(!micOnly.callLikely);

    const std::string combined = Text::joinedWithSpaces(std::vector<std::string>{
        candidate.owner, candidate.windowTitles.empty() ? "" : candidate.windowTitles.front()});
    const CandidateLabel label = labelForCandidate({.owner = candidate.owner, .combinedText = combined});
    const std::string family =
        sessionFamily({.owner = candidate.owner, .combinedText = combined, .alertTitle = label.alertTitle});
    require(std::find(std::begin(families), std::end(families), family) != std::end(families));
    for (const auto& text : candidate.controlLabels)
        (void)classifyControlLabel(text);

    // Selection returns one of the scores it was given, or the empty verdict.
    const std::vector<ConferenceScore> scores{score, vetoed, micOnly};
    const ConferenceScore best = bestScore(scores);
    require(std::find(scores.begin(), scores.end(), best) != scores.end());
    for (const auto& other : scores)
        require(confidenceRank(best.confidence) >= confidenceRank(other.confidence));

    std::map<std::string, ConferenceScore> byOwner{{candidate.owner, score}};
    const std::string frontmost = input.ConsumeRandomLengthString(64);
    byOwner.emplace(frontmost + "x", vetoed);
    const ConferenceScore preferred =
        preferFrontmostScore({.scoresByOwner = byOwner, .frontmostOwner = frontmost});
    require(preferred == score || preferred == vetoed || preferred == noMeetingScore());
    if (!Text::isBlank(candidate.owner)) {
        // The owner's own name, in any case, finds its score.
        const ConferenceScore exact =
            preferFrontmostScore({.scoresByOwner = {{candidate.owner, score}},
                                  .frontmostOwner = Text::lowercase(candidate.owner)});
        require(exact == score || Text::trim(candidate.owner) != candidate.owner);
    }
    return 0;
}
