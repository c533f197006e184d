#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ConferenceEvidence/Selection.hpp"

namespace CE = ConferenceEvidence;
using CE::MeetingConfidence;
using Tag = CE::MeetingEvidenceTag;

namespace {

CE::ConferenceScore scoreNamed(std::string subtitle, MeetingConfidence confidence,
                               std::vector<Tag> evidence = {}) {
    return {.callLikely = confidence != MeetingConfidence::none,
            .confidence = confidence,
            .evidence = std::move(evidence),
            .subtitle = std::move(subtitle),
            .alertTitle = "Meeting detected",
            .sessionFamily = "unknown",
            .meetingFingerprint = std::nullopt};
}

TEST(Selection, BestScoreRanksConfidenceThenEvidenceCount) {
    const auto mediumTwo =
        scoreNamed("medium two", MeetingConfidence::medium, {Tag::meetingUrlOrTitle, Tag::inputRunning});
    const auto mediumOne = scoreNamed("medium one", MeetingConfidence::medium, {Tag::meetingUrlOrTitle});
    const auto mediumNone = scoreNamed("medium none", MeetingConfidence::medium);
    const auto highFirst = scoreNamed("high first", MeetingConfidence::high, {Tag::inputRunning});
    const auto highSecond = scoreNamed("high second", MeetingConfidence::high, {Tag::meetingUrlOrTitle});
    const auto noneThree = scoreNamed("none three", MeetingConfidence::none,
                                      {Tag::meetingUrlOrTitle, Tag::callControlsPresent, Tag::inputRunning});

    struct Case {
        std::vector<CE::ConferenceScore> scores;
        CE::ConferenceScore expected;
    };
    const std::vector<Case> cases{
        {{mediumTwo, highFirst}, highFirst},
        {{mediumOne, mediumTwo}, mediumTwo},
        {{mediumTwo, mediumOne}, mediumTwo},
        {{highFirst, highSecond}, highFirst},
        {{noneThree, mediumNone}, mediumNone},
        {{mediumOne}, mediumOne},
        {{}, CE::noMeetingScore()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.subtitle);
        EXPECT_EQ(CE::bestScore(c.scores), c.expected);
    }
}

TEST(Selection, PreferFrontmostScore) {
    const auto chrome = scoreNamed("chrome", MeetingConfidence::high, {Tag::meetingUrlOrTitle});
    const auto shortChrome = scoreNamed("short chrome", MeetingConfidence::medium);
    const auto zoom = scoreNamed("zoom", MeetingConfidence::high, {Tag::inputRunning});
    const auto teams = scoreNamed("teams", MeetingConfidence::medium);
    const auto nameless = scoreNamed("nameless", MeetingConfidence::high);

    struct Case {
        std::string name;
        std::map<std::string, CE::ConferenceScore> scores;
        std::string frontmost;
        CE::ConferenceScore expected;
    };
    const std::vector<Case> cases{
        {"blank frontmost name", {{"Google Chrome", chrome}}, " \t", CE::noMeetingScore()},
        {"no scores", {}, "Google Chrome", CE::noMeetingScore()},
        {"exact after trimming the frontmost name", {{"Google Chrome", chrome}}, " Google Chrome\n", chrome},
        {"exact ignoring case", {{"google chrome", chrome}}, "Google Chrome", chrome},
        // "Chrome" is visited first and matches loosely; the exact entry still wins.
        {"exact before loose", {{"Chrome", shortChrome}, {"Google Chrome", chrome}}, "Google Chrome", chrome},
        {"owner contains the frontmost name", {{"Microsoft Teams", teams}}, "Teams", teams},
        {"frontmost name contains the owner", {{"Microsoft Teams", teams}}, "Microsoft Teams (work)", teams},
        {"shared product token", {{"zoom.us", zoom}}, "Zoom Workplace", zoom},
        {"an empty owner name never matches", {{"", nameless}}, "Safari", CE::noMeetingScore()},
        {"nothing in common", {{"zoom.us", zoom}, {"Microsoft Teams", teams}}, "Notes", CE::noMeetingScore()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CE::preferFrontmostScore({.scoresByOwner = c.scores, .frontmostOwner = c.frontmost}),
                  c.expected);
    }
}

}  // namespace
