#include "ConferenceEvidence/Selection.hpp"

#include "Text/Text.hpp"

namespace ConferenceEvidence {

namespace {

bool looselyMatches(std::string_view ownerLowered, std::string_view frontmostLowered) {
    if (Text::contains(ownerLowered, frontmostLowered)) return true;
    if (Text::contains(frontmostLowered, ownerLowered)) return true;
    for (const auto token : frontmostOwnerTokens) {
        if (Text::contains(ownerLowered, token) && Text::contains(frontmostLowered, token)) return true;
    }
    return false;
}

}  // namespace

ConferenceScore bestScore(const std::vector<ConferenceScore>& scores) {
    if (scores.empty()) return noMeetingScore();
    const ConferenceScore* best = &scores.front();
    for (const auto& score : scores) {
        const int rank = confidenceRank(score.confidence);
        const int bestRank = confidenceRank(best->confidence);
        if (rank > bestRank || (rank == bestRank && score.evidence.size() > best->evidence.size()))
            best = &score;
    }
    return *best;
}

ConferenceScore preferFrontmostScore(const FrontmostArguments& arguments) {
    const auto frontmost = Text::trim(arguments.frontmostOwner);
    if (frontmost.empty()) return noMeetingScore();
    const auto frontmostLowered = Text::lowercase(frontmost);

    for (const auto& [owner, score] : arguments.scoresByOwner) {
        if (Text::equals(Text::lowercase(owner), frontmostLowered)) return score;
    }
    for (const auto& [owner, score] : arguments.scoresByOwner) {
        if (looselyMatches(Text::lowercase(owner), frontmostLowered)) return score;
    }
    return noMeetingScore();
}

}  // namespace ConferenceEvidence
