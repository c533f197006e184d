#include <gtest/gtest.h>

#include "FakeAudio.hpp"
#include "Noticeplay/OutputDeviceControl.hpp"

namespace {

using namespace NoticeplayTesting;
using Noticeplay::OutputVolumeSnapshot;
namespace CA = Desktop::CoreAudio;

FakeDevice output(AudioObjectId id, std::optional<std::string> name, std::optional<std::string> uid = {}) {
    return {.id = id, .name = std::move(name), .uid = std::move(uid), .outputChannels = {2}};
}

FakeDevice inputOnly(AudioObjectId id, std::optional<std::string> name, std::optional<std::string> uid = {}) {
    return {.id = id, .name = std::move(name), .uid = std::move(uid), .outputChannels = {}};
}

TEST(OutputDeviceControl, ListsOnlyDevicesWithOutputChannelsInSystemOrder) {
    FakeAudioHardware hardware;
    hardware.devices = {
        output(40, "Display Audio"),
        inputOnly(41, "MacBook Pro Microphone"),
        {.id = 42, .name = "Zero-channel buffers", .outputChannels = {0, 0}},
        {.id = 43, .name = "Second buffer carries the channels", .outputChannels = {0, 2}},
        output(44, "MacBook Pro Speakers"),
    };
    EXPECT_EQ(Noticeplay::allOutputDeviceIDs(hardware), (std::vector<AudioObjectId>{40, 43, 44}));

    hardware.deviceListFails = true;
    EXPECT_TRUE(Noticeplay::allOutputDeviceIDs(hardware).empty());
}

TEST(OutputDeviceControl, ChoosesTheBuiltInSpeakers) {
    struct Case {
        const char* what;
        std::vector<FakeDevice> devices;
        std::optional<AudioObjectId> chosen;
    };
    const Case cases[] = {
        {"the built-in UID wins over an earlier speaker-like name",
         {output(10, "MacBook Pro Speakers", "SomeOther"),
          output(11, "Lautsprecher", "BuiltInSpeakerDevice")},
         11},
        {"a nameless device is matched by its UID alone",
         {output(12, std::nullopt, "BuiltInSpeakerDevice")},
         12},
        {"MacBook and speaker in any letter case",
         {output(20, "USB DAC"), output(21, "MacBook Pro Speakers")},
         21},
        {"built-in output", {output(22, "BUILT-IN OUTPUT")}, 22},
        {"built-in speaker", {output(23, "Built-in Speaker")}, 23},
        {"the whole name is speakers", {output(24, "Speakers")}, 24},
        {"a name ending in ' speakers'", {output(25, "Studio Display Speakers")}, 25},
        {"the first match in system order",
         {output(26, "Left Speakers"), output(27, "MacBook Speakers")},
         26},
        {"headphones never", {output(30, "MacBook Pro Speakers (Headphones)")}, std::nullopt},
        {"headsets never", {output(31, "Built-in Headset Output")}, std::nullopt},
        {"AirPods never", {output(32, "AirPods Pro Speakers")}, std::nullopt},
        {"Beats and earbuds never",
         {output(33, "Beats Speakers"), output(34, "Earbuds speakers")},
         std::nullopt},
        {"a head-worn device is passed over, the next one chosen",
         {output(35, "Headphones Speakers"), output(36, "MacBook Air Speakers")},
         36},
        {"an input-only device with the built-in UID is not a speaker",
         {inputOnly(40, "Built-in Speaker", "BuiltInSpeakerDevice")},
         std::nullopt},
        {"the UID comparison is exact", {output(41, "Internal", "builtinspeakerdevice")}, std::nullopt},
        {"a nameless device without the UID is never chosen by its fallback name",
         {output(42, std::nullopt)},
         std::nullopt},
        {"'speakers' needs its space", {output(43, "Minispeakers")}, std::nullopt},
        {"an empty name falls back too", {output(44, "")}, std::nullopt},
        {"no devices", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeAudioHardware hardware;
        hardware.devices = c.devices;
        EXPECT_EQ(Noticeplay::findBuiltInSpeakerDeviceID(hardware), c.chosen);
    }
}

TEST(OutputDeviceControl, NameFallsBackToTheDeviceNumberAndUIDMayBeAbsent) {
    FakeAudioHardware hardware;
    hardware.devices = {output(7, "MacBook Pro Speakers", "BuiltInSpeakerDevice"), output(4242, std::nullopt),
                        output(8, "", "")};
    EXPECT_EQ(Noticeplay::audioObjectName(hardware, 7), "MacBook Pro Speakers");
    EXPECT_EQ(Noticeplay::audioObjectName(hardware, 4242), "Device 4242");
    EXPECT_EQ(Noticeplay::audioObjectName(hardware, 8), "Device 8");
    EXPECT_EQ(Noticeplay::audioObjectUID(hardware, 7), "BuiltInSpeakerDevice");
    EXPECT_EQ(Noticeplay::audioObjectUID(hardware, 4242), std::nullopt);
    EXPECT_EQ(Noticeplay::audioObjectUID(hardware, 8), std::nullopt);
}

TEST(OutputDeviceControl, SnapshotIsTakenBeforeUnmutingAndSettingTheVolume) {
    struct Case {
        const char* what;
        FakeDevice device;
        OutputVolumeSnapshot snapshot;
        std::vector<Write> writes;
    };
    const Case cases[] = {
        {"muted and quiet",
         {.id = 5, .outputChannels = {2}, .mute = 1, .volume = 0.25F},
         {.deviceID = 5, .hadMute = true, .muted = 1, .hadVolume = true, .volume = 0.25F},
         {{5, CA::mute, 0}, {5, CA::virtualMainVolume, 0.85F}}},
        {"louder than playback is still set to playback volume",
         {.id = 5, .outputChannels = {2}, .mute = 0, .volume = 1.0F},
         {.deviceID = 5, .hadMute = true, .muted = 0, .hadVolume = true, .volume = 1.0F},
         {{5, CA::mute, 0}, {5, CA::virtualMainVolume, 0.85F}}},
        {"no volume property: volume left alone",
         {.id = 5, .outputChannels = {2}, .mute = 1},
         {.deviceID = 5, .hadMute = true, .muted = 1},
         {{5, CA::mute, 0}}},
        {"neither property", {.id = 5, .outputChannels = {2}}, {.deviceID = 5}, {}},
        // A value that cannot be read cannot be put back, so it is not changed.
        {"mute unreadable",
         {.id = 5, .outputChannels = {2}, .mute = 1, .volume = 0.5F, .muteReadFails = true},
         {.deviceID = 5, .hadVolume = true, .volume = 0.5F},
         {{5, CA::virtualMainVolume, 0.85F}}},
        {"volume unreadable",
         {.id = 5, .outputChannels = {2}, .mute = 1, .volume = 0.5F, .volumeReadFails = true},
         {.deviceID = 5, .hadMute = true, .muted = 1},
         {{5, CA::mute, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeAudioHardware hardware;
        hardware.devices = {c.device};
        std::optional<std::size_t> writesWhenCaptured;
        const auto snapshot =
            Noticeplay::captureAndApplyPlaybackVolume(hardware, 5, [&](const OutputVolumeSnapshot& captured) {
                writesWhenCaptured = hardware.writes.size();
                EXPECT_EQ(captured, c.snapshot);
            });
        EXPECT_EQ(writesWhenCaptured, 0U);
        EXPECT_EQ(snapshot, c.snapshot);
        EXPECT_EQ(hardware.writes, c.writes);

        // Putting the snapshot back leaves the device as it was found.
        FakeAudioHardware untouched;
        untouched.devices = {c.device};
        const auto before = untouched.state();
        Noticeplay::restoreOutputVolume(hardware, snapshot);
        EXPECT_EQ(hardware.state(), before);
    }
}

}  // namespace
