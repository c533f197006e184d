#pragma once

// The verdict when the Accessibility permission is held: each candidate's tree is
// walked and scored, the window scan's own verdict stands by as a fallback, and
// the score of the frontmost application wins.

#include <string_view>
#include <vector>

#include "Callsense/MeetingWindowScan.hpp"
#include "ConferenceEvidence/ConferenceEvidence.hpp"
#include "Desktop/Desktop.hpp"

namespace Callsense {

struct AccessibilityScoringRequest {
    const std::vector<WindowCandidate>& candidates;
    bool quartzLikely = false;
    std::string_view quartzSubtitle;
    std::string_view quartzAlertTitle;
    bool inputRunning = false;
    // The raw localized name, empty when there is none.
    std::string_view frontmostName;
};

ConferenceEvidence::ConferenceScore scoreWithAccessibility(Desktop::Platform& platform,
                                                           const AccessibilityScoringRequest& request);

// The window scan's own verdict as a score: a meeting by its window title, of
// the family its labels and the frontmost application's raw name point to.
ConferenceEvidence::ConferenceScore windowScanScore(std::string_view subtitle, std::string_view alertTitle,
                                                    std::string_view frontmostName);

// The candidate's joined titles split again at "|", trimmed, blanks dropped.
std::vector<std::string> splitCandidateTitles(std::string_view joined);

}  // namespace Callsense
