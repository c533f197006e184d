#pragma once

// The verdict values the scoring library hands back to the detector.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ConferenceEvidence {

// What the report says when it has found no meeting to name.
inline constexpr std::string_view noMeetingSubtitle = "Microphone";
inline constexpr std::string_view noMeetingAlertTitle = "Meeting detected";
inline constexpr std::string_view unknownSessionFamily = "unknown";

enum class MeetingConfidence { high, medium, none };

enum class MeetingEvidenceTag { meetingUrlOrTitle, callControlsPresent, inputRunning };

enum class CallControlClass { mute, camera, leave, participantsOrShare };

// The raw values are what the detector's report prints.
std::string_view rawValue(MeetingConfidence confidence);
std::string_view rawValue(MeetingEvidenceTag tag);

// Exact, case-sensitive: "High" or "high " give nothing.
std::optional<MeetingConfidence> meetingConfidenceFromRaw(std::string_view raw);
std::optional<MeetingEvidenceTag> meetingEvidenceTagFromRaw(std::string_view raw);

// high 2, medium 1, none 0.
int confidenceRank(MeetingConfidence confidence);

struct ConferenceScore {
    bool callLikely{};
    MeetingConfidence confidence{MeetingConfidence::none};
    // Always in the order meetingUrlOrTitle, callControlsPresent, inputRunning; no repeats.
    std::vector<MeetingEvidenceTag> evidence{};
    std::string subtitle{};
    std::string alertTitle{};
    std::string sessionFamily{};
    // An empty fingerprint is a value of its own, distinct from none known.
    std::optional<std::string> meetingFingerprint{};

    bool operator==(const ConferenceScore&) const = default;
};

struct EmptyScoreArguments {
    std::vector<MeetingEvidenceTag> evidence{};
    std::string sessionFamily{};
    std::optional<std::string> meetingFingerprint{};
};

// A negative verdict that still reports what was seen.
ConferenceScore emptyScore(const EmptyScoreArguments& arguments);

// Nothing seen, nothing known: what selection falls back to.
ConferenceScore noMeetingScore();

}  // namespace ConferenceEvidence
