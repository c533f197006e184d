#pragma once

// The verdict for one candidate application.

#include <string>
#include <vector>

#include "ConferenceEvidence/EvidenceRecords.hpp"

namespace ConferenceEvidence {

struct CandidateArguments {
    std::string owner{};
    std::vector<std::string> windowTitles{};
    std::vector<std::string> axTitlesAndUrls{};
    std::vector<std::string> controlLabels{};
    std::vector<std::string> lobbyHints{};
    std::vector<std::string> inCallHints{};
    bool inputRunning{};
    // Without it the controls and hints were never read, so only window titles count.
    bool accessibilityTrusted{};
};

// Lobby wording vetoes everything; a running microphone is never enough by itself; call
// controls need a second sign. A rejected candidate still carries its evidence, family and
// fingerprint.
ConferenceScore scoreCandidate(const CandidateArguments& candidate);

}  // namespace ConferenceEvidence
