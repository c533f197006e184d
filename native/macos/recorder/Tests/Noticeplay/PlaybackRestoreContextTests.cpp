#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

// What happened to the outputs while the notice played, and what the restore
// must do about it. The headphones carry a UID here, so they can be found again
// when they come back under another ID.
TEST_F(RestoreContext, SwitchesBackToTheUsersDeviceAsItIsNowOrLeavesTheUsersNewChoice) {
    constexpr AudioObjectId reconnected = 9;
    constexpr AudioObjectId monitor = 11;
    const FakeDevice headset{
        .id = headphones, .name = "AirPods Pro", .uid = "AirPodsPro-1", .outputChannels = {2}};
    const FakeDevice display{.id = monitor, .name = "LG UltraFine", .uid = "LG-1", .outputChannels = {2}};
    const auto removeHeadphones = [](FakeAudioHardware& h) {
        std::erase_if(h.devices, [](const FakeDevice& d) { return d.id == headphones; });
    };
    struct Case {
        const char* what;
        bool headphonesHaveUID;
        std::function<void(FakeAudioHardware&)> meanwhile;
        std::vector<AudioObjectId> defaultWrites;  // by the restore
        bool restored;
        AudioObjectId defaultAfter;
    };
    const Case cases[] = {
        {"nothing changed", true, [](FakeAudioHardware&) {}, {headphones}, true, headphones},
        {"headphones reconnected under a new ID",
         true,
         [&](FakeAudioHardware& h) {
             removeHeadphones(h);
             auto back = headset;
             back.id = reconnected;
             h.devices.push_back(back);
         },
         {reconnected},
         true,
         reconnected},
        {"headphones gone", true, removeHeadphones, {headphones}, false, speakers},
        {"headphones without a UID, gone while another device came",
         false,
         [&](FakeAudioHardware& h) {
             removeHeadphones(h);
             h.devices.push_back(display);
         },
         {headphones},
         false,
         speakers},
        {"the user chose another output",
         true,
         [&](FakeAudioHardware& h) {
             h.devices.push_back(display);
             h.defaultOutput = monitor;
         },
         {},
         true,
         monitor},
        {"the user chose the headphones again",
         true,
         [](FakeAudioHardware& h) { h.defaultOutput = headphones; },
         {},
         true,
         headphones},
        {"the user chose the reconnected headphones",
         true,
         [&](FakeAudioHardware& h) {
             removeHeadphones(h);
             auto back = headset;
             back.id = reconnected;
             h.devices.push_back(back);
             h.defaultOutput = reconnected;
         },
         {},
         true,
         reconnected},
        {"the current default cannot be read",
         true,
         [](FakeAudioHardware& h) { h.defaultOutputReadFails = true; },
         {headphones},
         true,
         headphones},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeAudioHardware desk;
        setUpHeadphonesDesk(desk);
        if (c.headphonesHaveUID) desk.devices[0] = headset;
        PlaybackRestoreContext restore{desk};
        ASSERT_TRUE(restore.recordAndSwitchDefaultOutput(headphones, speakers));
        restore.recordAndApplyPlaybackVolume(speakers);
        c.meanwhile(desk);
        desk.writes.clear();

        EXPECT_EQ(restore.restoreAll(), c.restored);
        std::vector<AudioObjectId> defaultWrites;
        for (const auto& write : desk.writes) {
            if (write.selector == CA::defaultOutputDevice)
                defaultWrites.push_back(static_cast<AudioObjectId>(write.value));
        }
        EXPECT_EQ(defaultWrites, c.defaultWrites);
        desk.defaultOutputReadFails = false;
        EXPECT_EQ(desk.defaultOutput, c.defaultAfter);
        const auto& speakerDevice = *std::find_if(desk.devices.begin(), desk.devices.end(),
                                                  [](const FakeDevice& d) { return d.id == speakers; });
        EXPECT_EQ(speakerDevice.mute, 1U);
        EXPECT_EQ(speakerDevice.volume, 0.3F);
    }
}

// A refused switch left the speakers not the default; that is no choice of the
// user's, so the recorded default is written back as before.
TEST_F(RestoreContext, AfterARefusedSwitchTheRecordedDefaultIsWrittenBack) {
    hardware.switchFailsTo = {speakers};
    EXPECT_FALSE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    hardware.writes.clear();
    EXPECT_TRUE(context.restoreAll());
    EXPECT_EQ(hardware.writes, (std::vector<Write>{{CA::systemObject, CA::defaultOutputDevice, headphones}}));
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
