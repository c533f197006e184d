#pragma once

// Choosing the one score that stands for the user's current situation.

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ConferenceEvidence/EvidenceRecords.hpp"

namespace ConferenceEvidence {

// Lower case, in stored order: a frontmost name and an owner name that share one of these
// are the same product even when neither name contains the other.
inline constexpr std::array<std::string_view, 11> frontmostOwnerTokens{
    "zoom", "slack", "teams", "webex", "facetime", "chrome", "safari", "edge", "brave", "firefox", "arc",
};

// Higher confidence wins, then the longer evidence list; on a tie the earlier score stays.
ConferenceScore bestScore(const std::vector<ConferenceScore>& scores);

struct FrontmostArguments {
    // Visited in ascending owner-name order, so a choice among several matches is repeatable.
    std::map<std::string, ConferenceScore> scoresByOwner{};
    std::string frontmostOwner{};
};

// An exact (case-insensitive) owner match anywhere beats every loose match.
ConferenceScore preferFrontmostScore(const FrontmostArguments& arguments);

}  // namespace ConferenceEvidence
