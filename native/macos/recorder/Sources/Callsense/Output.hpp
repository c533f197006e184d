#pragma once

// The report callsense prints: one compact JSON object on one line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConferenceEvidence/EvidenceRecords.hpp"

namespace Callsense {

// The owner the report names when no application is frontmost or it has no name.
inline constexpr std::string_view unknownOwner = "Unknown";

struct Output {
    bool inputRunning = false;
    bool meetingUiLikely = false;
    bool browserFrontmost = false;
    bool callLikely = false;
    std::string subtitle;
    std::string alertTitle;
    bool accessibilityTrusted = false;
    std::string confidence;
    std::vector<std::string> evidence;
    std::string frontmostOwner;
    std::string sessionFamily;
    std::optional<std::string> meetingFingerprint;

    bool operator==(const Output&) const = default;
};

// The report with the score's verdict in it, as the report prints it; the
// probes' fields stay as `report` has them.
Output withVerdict(Output report, const ConferenceEvidence::ConferenceScore& score);

// Printed in place of a report that cannot be encoded, so the host still gets a
// well-formed "nothing found" answer.
Output fallbackOutput();

// The JSON line with its trailing line feed; absent when a text in the report is
// not valid UTF-8.
std::optional<std::string> encodeOutput(const Output& output);

}  // namespace Callsense
