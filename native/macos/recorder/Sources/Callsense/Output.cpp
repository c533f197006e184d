#include "Callsense/Output.hpp"

#include "Text/JsonLine.hpp"

namespace Callsense {

Output reportOf(const ConferenceEvidence::ConferenceScore& score, const Observations& observations) {
    std::vector<std::string> evidence;
    evidence.reserve(score.evidence.size());
    for (const auto tag : score.evidence)
        evidence.emplace_back(ConferenceEvidence::rawValue(tag));
    return Output{
        .inputRunning = observations.inputRunning,
        .meetingUiLikely = observations.meetingUiLikely,
        .browserFrontmost = observations.browserFrontmost,
        .callLikely = score.callLikely,
        .subtitle = score.subtitle,
        .alertTitle = score.alertTitle,
        .accessibilityTrusted = observations.accessibilityTrusted,
        .confidence = std::string(ConferenceEvidence::rawValue(score.confidence)),
        .evidence = std::move(evidence),
        .frontmostOwner =
            observations.frontmostName.empty() ? std::string(unknownOwner) : observations.frontmostName,
        .sessionFamily = score.sessionFamily,
        .meetingFingerprint = score.meetingFingerprint,
    };
}

Output fallbackOutput() {
    return reportOf(ConferenceEvidence::noMeetingScore(), {});
}

std::optional<std::string> encodeOutput(const Output& output) {
    Text::JsonLine line;
    line.add("inputRunning", output.inputRunning)
        .add("meetingUiLikely", output.meetingUiLikely)
        .add("browserFrontmost", output.browserFrontmost)
        .add("callLikely", output.callLikely)
        .add("subtitle", output.subtitle)
        .add("alertTitle", output.alertTitle)
        .add("accessibilityTrusted", output.accessibilityTrusted)
        .add("confidence", output.confidence)
        .add("evidence", output.evidence)
        .add("frontmostOwner", output.frontmostOwner)
        .add("sessionFamily", output.sessionFamily)
        .add("meetingFingerprint", output.meetingFingerprint);
    return line.finish();
}

}  // namespace Callsense
