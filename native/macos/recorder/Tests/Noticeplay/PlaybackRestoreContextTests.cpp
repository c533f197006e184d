#include <gtest/gtest.h>

#include <future>

#include "FakeAudio.hpp"
#include "Noticeplay/PlaybackRestoreContext.hpp"

namespace {

using namespace NoticeplayTesting;
using Noticeplay::PlaybackRestoreContext;
namespace CA = Desktop::CoreAudio;

constexpr AudioObjectId headphones = deskHeadphones;
constexpr AudioObjectId speakers = deskSpeakers;

class RestoreContext : public ::testing::Test {
protected:
    RestoreContext() { setUpHeadphonesDesk(hardware); }

    FakeAudioHardware hardware;
    PlaybackRestoreContext context{hardware};
};

TEST_F(RestoreContext, EmptyContextWritesNothing) {
    EXPECT_TRUE(context.restoreAll());
    EXPECT_TRUE(hardware.writes.empty());
}

TEST_F(RestoreContext, PutsMuteAndVolumeBackFirstAndTheDefaultOutputLastThenForgets) {
    const auto before = hardware.state();
    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    context.recordAndApplyPlaybackVolume(speakers);
    hardware.writes.clear();

    EXPECT_TRUE(context.restoreAll());
    EXPECT_EQ(hardware.writes, (std::vector<Write>{{speakers, CA::mute, 1},
                                                   {speakers, CA::virtualMainVolume, 0.3F},
                                                   {CA::systemObject, CA::defaultOutputDevice, headphones}}));
    EXPECT_EQ(hardware.state(), before);
    EXPECT_EQ(context.previousDefault(), std::nullopt);
    EXPECT_EQ(context.speakersID(), std::nullopt);
    EXPECT_EQ(context.volumeSnapshot(), std::nullopt);

    hardware.writes.clear();
    EXPECT_TRUE(context.restoreAll());
    EXPECT_TRUE(hardware.writes.empty());
}

// Every step records what it changes in the same locked operation, so a restore
// that comes between any two steps finds everything that was changed.
TEST_F(RestoreContext, RestoreBetweenAnyTwoStepsLeavesNothingChanged) {
    const auto before = hardware.state();
    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    EXPECT_EQ(context.previousDefault(), headphones);
    EXPECT_TRUE(context.restoreAll());
    EXPECT_EQ(hardware.state(), before);

    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    context.recordAndApplyPlaybackVolume(speakers);
    EXPECT_EQ(context.volumeSnapshot()->volume, 0.3F) << "the snapshot holds the user's volume, not ours";
    EXPECT_TRUE(context.restoreAll());
    EXPECT_EQ(hardware.state(), before);
}

TEST_F(RestoreContext, SpeakersAlreadyTheDefaultAreNotSwitchedBack) {
    hardware.defaultOutput = speakers;
    const auto before = hardware.state();
    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(speakers, speakers));
    context.recordAndApplyPlaybackVolume(speakers);
    hardware.writes.clear();

    EXPECT_TRUE(context.restoreAll());
    EXPECT_EQ(hardware.writes,
              (std::vector<Write>{{speakers, CA::mute, 1}, {speakers, CA::virtualMainVolume, 0.3F}}));
    EXPECT_EQ(hardware.state(), before);
}

TEST_F(RestoreContext, FailedSwitchBackIsReportedAfterTheVolumeWasRestored) {
    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    context.recordAndApplyPlaybackVolume(speakers);
    hardware.switchFailsTo = {headphones};

    EXPECT_FALSE(context.restoreAll());
    EXPECT_EQ(hardware.devices[1].mute, 1U);
    EXPECT_EQ(hardware.devices[1].volume, 0.3F);
    EXPECT_TRUE(context.restoreAll()) << "nothing is left to try a second time";
}

TEST_F(RestoreContext, UnreadableValuesAreNeverWrittenBack) {
    hardware.devices[1].muteReadFails = true;
    hardware.devices[1].volumeReadFails = true;
    const auto before = hardware.state();
    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    context.recordAndApplyPlaybackVolume(speakers);
    EXPECT_TRUE(context.restoreAll());
    EXPECT_EQ(hardware.writes, (std::vector<Write>{{CA::systemObject, CA::defaultOutputDevice, speakers},
                                                   {CA::systemObject, CA::defaultOutputDevice, headphones}}));
    EXPECT_EQ(hardware.state(), before);
}

TEST_F(RestoreContext, AHandlerAfterTheMainThreadClaimedTheExitLeavesItToTheMainThread) {
    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    EXPECT_TRUE(context.restoreAllForExit());
    hardware.writes.clear();

    // The handler runs on another thread; it must come back rather than end the process.
    auto handler = std::async(std::launch::async, [this] { return context.restoreAllForSignal(); });
    EXPECT_FALSE(handler.get());
    EXPECT_TRUE(hardware.writes.empty());
}

TEST(SharedRestoreContext, EveryThreadGetsTheSameInstance) {
    auto first = std::async(std::launch::async, [] { return &PlaybackRestoreContext::shared(); });
    auto second = std::async(std::launch::async, [] { return &PlaybackRestoreContext::shared(); });
    auto* const fromFirst = first.get();
    EXPECT_EQ(fromFirst, second.get());
    EXPECT_EQ(fromFirst, &PlaybackRestoreContext::shared());
}

}  // namespace
