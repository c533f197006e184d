#include "Callsense/Output.hpp"

#include "Text/JsonLine.hpp"

namespace Callsense {

Output fallbackOutput() {
    return Output{
        .inputRunning = false,
        .meetingUiLikely = false,
        .browserFrontmost = false,
        .callLikely = false,
        .subtitle = "Microphone",
        .alertTitle = "Meeting detected",
        .accessibilityTrusted = false,
        .confidence = "none",
        .evidence = {},
        .frontmostOwner = "Unknown",
        .sessionFamily = "unknown",
        .meetingFingerprint = std::nullopt,
    };
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
