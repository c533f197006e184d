#pragma once

// What to call a candidate, which product family it belongs to and which meeting it is.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConferenceEvidence/Predicates.hpp"

namespace ConferenceEvidence {

inline constexpr std::string_view meetCodePrefixPattern = "^[a-z]{3}-[a-z]{4}-[a-z]{3}";
inline constexpr std::string_view meetUrlPattern = R"(meet\.google\.com/([a-z]{3}-[a-z]{4}-[a-z]{3}))";
// Nine digits at least: shorter numbers are not meeting numbers.
inline constexpr std::string_view zoomUrlPattern = R"(zoom\.us/(?:j|w|s)/(\d{9,}))";

struct CandidateLabel {
    std::string subtitle;
    std::string alertTitle;

    bool operator==(const CandidateLabel&) const = default;
};

struct LabelArguments {
    std::string owner{};
    std::string combinedText{};
    // The candidate's own window titles, also part of the combined text: a browser that
    // shows only the page title shows a bare Meet code, which the combined text, starting
    // with the owner's name, can never begin with.
    std::vector<std::string> windowTitles{};
};

// The owner's own name decides before anything its windows mention.
CandidateLabel labelForCandidate(const LabelArguments& arguments);

struct SessionFamilyArguments {
    std::string owner{};
    std::string combinedText{};
    std::string alertTitle{};
};

// One of "slack", "zoom", "teams", "webex", "facetime", "meet" or "unknown".
std::string sessionFamily(const SessionFamilyArguments& arguments);

// "meet:<code>" or "zoom:<number>" from the first text that names a meeting; window titles
// come before accessibility texts, and within a text a bare Meet code before a Meet URL
// before a Zoom URL.
std::optional<std::string> meetingFingerprint(const TitlesAndUrls& texts);

}  // namespace ConferenceEvidence
