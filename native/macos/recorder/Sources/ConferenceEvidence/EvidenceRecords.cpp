#include "ConferenceEvidence/EvidenceRecords.hpp"

#include <array>
#include <utility>

namespace ConferenceEvidence {

namespace {

constexpr std::array<std::pair<MeetingConfidence, std::string_view>, 3> confidenceNames{{
    {MeetingConfidence::high, "high"},
    {MeetingConfidence::medium, "medium"},
    {MeetingConfidence::none, "none"},
}};

constexpr std::array<std::pair<MeetingEvidenceTag, std::string_view>, 3> evidenceNames{{
    {MeetingEvidenceTag::meetingUrlOrTitle, "meetingUrlOrTitle"},
    {MeetingEvidenceTag::callControlsPresent, "callControlsPresent"},
    {MeetingEvidenceTag::inputRunning, "inputRunning"},
}};

template <typename Enum, std::size_t N>
std::string_view nameOf(const std::array<std::pair<Enum, std::string_view>, N>& names, Enum value) {
    for (const auto& [candidate, name] : names) {
        if (candidate == value) return name;
    }
    return {};
}

// Byte equality on purpose: the raw values are ASCII and must match exactly.
template <typename Enum, std::size_t N>
std::optional<Enum> valueOf(const std::array<std::pair<Enum, std::string_view>, N>& names,
                            std::string_view raw) {
    for (const auto& [value, name] : names) {
        if (name == raw) return value;
    }
    return std::nullopt;
}

}  // namespace

std::string_view rawValue(MeetingConfidence confidence) {
    return nameOf(confidenceNames, confidence);
}

std::string_view rawValue(MeetingEvidenceTag tag) {
    return nameOf(evidenceNames, tag);
}

std::optional<MeetingConfidence> meetingConfidenceFromRaw(std::string_view raw) {
    return valueOf(confidenceNames, raw);
}

std::optional<MeetingEvidenceTag> meetingEvidenceTagFromRaw(std::string_view raw) {
    return valueOf(evidenceNames, raw);
}

int confidenceRank(MeetingConfidence confidence) {
    switch (confidence) {
        case MeetingConfidence::high:
            return 2;
        case MeetingConfidence::medium:
            return 1;
        case MeetingConfidence::none:
            return 0;
    }
    return 0;
}

ConferenceScore emptyScore(const EmptyScoreArguments& arguments) {
    return ConferenceScore{
        .callLikely = false,
        .confidence = MeetingConfidence::none,
        .evidence = arguments.evidence,
        .subtitle = std::string(noMeetingSubtitle),
        .alertTitle = std::string(noMeetingAlertTitle),
        .sessionFamily = arguments.sessionFamily,
        .meetingFingerprint = arguments.meetingFingerprint,
    };
}

ConferenceScore noMeetingScore() {
    return emptyScore({.evidence = {},
                       .sessionFamily = std::string(unknownSessionFamily),
                       .meetingFingerprint = std::nullopt});
}

}  // namespace ConferenceEvidence
