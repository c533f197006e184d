#include <gtest/gtest.h>

#include "ConferenceEvidence/EvidenceRecords.hpp"

namespace CE = ConferenceEvidence;
using CE::MeetingConfidence;
using CE::MeetingEvidenceTag;

namespace {

TEST(EvidenceRecords, RawValuesRoundTrip) {
    for (const auto confidence :
         {MeetingConfidence::high, MeetingConfidence::medium, MeetingConfidence::none}) {
        EXPECT_EQ(CE::meetingConfidenceFromRaw(CE::rawValue(confidence)), confidence);
    }
    for (const auto tag : {MeetingEvidenceTag::meetingUrlOrTitle, MeetingEvidenceTag::callControlsPresent,
                           MeetingEvidenceTag::inputRunning}) {
        EXPECT_EQ(CE::meetingEvidenceTagFromRaw(CE::rawValue(tag)), tag);
    }
    EXPECT_EQ(CE::rawValue(MeetingConfidence::medium), "medium");
    EXPECT_EQ(CE::rawValue(MeetingEvidenceTag::callControlsPresent), "callControlsPresent");
}

TEST(EvidenceRecords, RawConstructionIsExactAndCaseSensitive) {
    EXPECT_EQ(CE::meetingConfidenceFromRaw("none"), MeetingConfidence::none);
    for (const auto raw : {"High", "high ", " high", "", "NONE", "med"}) {
        SCOPED_TRACE(testing::Message() << '"' << raw << '"');
        EXPECT_EQ(CE::meetingConfidenceFromRaw(raw), std::nullopt);
    }
    for (const auto raw : {"inputrunning", "InputRunning", "inputRunning ", "", "callControls"}) {
        SCOPED_TRACE(testing::Message() << '"' << raw << '"');
        EXPECT_EQ(CE::meetingEvidenceTagFromRaw(raw), std::nullopt);
    }
}

TEST(EvidenceRecords, ScoresCompareFieldByField) {
    const CE::ConferenceScore base{
        .callLikely = true,
        .confidence = MeetingConfidence::high,
        .evidence = {MeetingEvidenceTag::meetingUrlOrTitle, MeetingEvidenceTag::inputRunning},
        .subtitle = "Zoom",
        .alertTitle = "Zoom Meeting detected",
        .sessionFamily = "zoom",
        .meetingFingerprint = std::nullopt,
    };
    EXPECT_EQ(base, base);

    auto reordered = base;
    reordered.evidence = {MeetingEvidenceTag::inputRunning, MeetingEvidenceTag::meetingUrlOrTitle};
    EXPECT_NE(base, reordered);

    auto emptyFingerprint = base;
    emptyFingerprint.meetingFingerprint = "";
    EXPECT_NE(base, emptyFingerprint);

    auto otherFamily = base;
    otherFamily.sessionFamily = "meet";
    EXPECT_NE(base, otherFamily);
}

TEST(EvidenceRecords, EmptyScoreKeepsWhatWasSeen) {
    const auto score = CE::emptyScore({.evidence = {MeetingEvidenceTag::inputRunning},
                                       .sessionFamily = "zoom",
                                       .meetingFingerprint = "zoom:123456789"});
    EXPECT_FALSE(score.callLikely);
    EXPECT_EQ(score.confidence, MeetingConfidence::none);
    EXPECT_EQ(score.evidence, std::vector{MeetingEvidenceTag::inputRunning});
    EXPECT_EQ(score.subtitle, "Microphone");
    EXPECT_EQ(score.alertTitle, "Meeting detected");
    EXPECT_EQ(score.sessionFamily, "zoom");
    EXPECT_EQ(score.meetingFingerprint, "zoom:123456789");
}

TEST(EvidenceRecords, NoMeetingScore) {
    const CE::ConferenceScore expected{
        .callLikely = false,
        .confidence = MeetingConfidence::none,
        .evidence = {},
        .subtitle = "Microphone",
        .alertTitle = "Meeting detected",
        .sessionFamily = "unknown",
        .meetingFingerprint = std::nullopt,
    };
    EXPECT_EQ(CE::noMeetingScore(), expected);
}

}  // namespace
