#include "Callsense/Output.hpp"

#include "Text/JsonLine.hpp"

namespace Callsense {

Output withVerdict(Output report, const ConferenceEvidence::ConferenceScore& score) {
    report.callLikely = score.callLikely;
    report.subtitle = score.subtitle;
    report.alertTitle = score.alertTitle;
    report.confidence = std::string(ConferenceEvidence::rawValue(score.confidence));
    report.evidence.clear();
    for (const auto tag : score.evidence)
        report.evidence.emplace_back(ConferenceEvidence::rawValue(tag));
    report.sessionFamily = score.sessionFamily;
    report.meetingFingerprint = score.meetingFingerprint;
    return report;
}

Output fallbackOutput() {
    Output report;
    report.frontmostOwner = std::string(unknownOwner);
    return withVerdict(std::move(report), ConferenceEvidence::noMeetingScore());
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
