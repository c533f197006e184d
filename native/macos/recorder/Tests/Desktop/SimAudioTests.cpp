#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/SimDesktop.hpp"

namespace {

namespace CA = Desktop::CoreAudio;
using Desktop::PropertyAddress;
using nlohmann::json;

constexpr PropertyAddress devices{.selector = CA::hardwareDevices};
constexpr PropertyAddress defaultOutput{.selector = CA::defaultOutputDevice};
constexpr PropertyAddress defaultInput{.selector = CA::defaultInputDevice};
constexpr PropertyAddress outputStreams{.selector = CA::streamConfiguration, .scope = CA::scopeOutput};
constexpr PropertyAddress inputStreams{.selector = CA::streamConfiguration, .scope = CA::scopeInput};
constexpr PropertyAddress name{.selector = CA::objectName};
constexpr PropertyAddress uid{.selector = CA::deviceUID};
constexpr PropertyAddress running{.selector = CA::deviceIsRunningSomewhere};
constexpr PropertyAddress mute{.selector = CA::mute, .scope = CA::scopeOutput};
constexpr PropertyAddress volume{.selector = CA::virtualMainVolume, .scope = CA::scopeOutput};

constexpr std::int32_t nope = static_cast<std::int32_t>(Desktop::fourCharCode("nope"));

constexpr const char* studio = R"({"audio": {
    "defaultInput": {"error": "what"},
    "defaultOutput": 43,
    "devices": [
      {"id": 40, "name": "MacBook Pro Microphone", "uid": "BuiltInMicrophoneDevice", "inputChannels": [1],
       "running": true},
      {"id": 41, "name": "MacBook Pro Speakers", "uid": "BuiltInSpeakerDevice", "outputChannels": [2],
       "mute": 1, "volume": 0.25},
      {"id": 42, "name": {"error": "who?"}, "uid": null, "outputChannels": [1, 1, 2], "inputChannels": {"error": 7},
       "mute": {"value": 0, "writeError": "nope"}, "volume": {"error": "what"}},
      {"id": 43, "name": "External Headphones", "outputChannels": [2]}]}})";

Desktop::AudioHardware& audioOn(std::string_view scene) {
    Desktop::Sim::loadScene(scene);
    return Desktop::current().audioHardware();
}

TEST(SimAudioHardware, SizesAndStreamConfigurations) {
    auto& audio = audioOn(studio);
    struct Case {
        Desktop::AudioObjectId object;
        PropertyAddress address;
        std::int32_t code;
        std::uint32_t size;
    };
    for (const auto& c : {
             Case{CA::systemObject, devices, 0, 16},
             Case{CA::systemObject, defaultOutput, 0, 4},
             Case{40, inputStreams, 0, 24},
             Case{40, outputStreams, 0, 0},
             Case{42, outputStreams, 0, 56},
             Case{42, inputStreams, 7, 0},
             Case{41, name, 0, 8},
             Case{41, volume, 0, 4},
             Case{43, volume, CA::unknownPropertyError, 0},
             Case{99, name, CA::badObjectError, 0},
         }) {
        SCOPED_TRACE(testing::Message() << c.object << " " << c.address.selector);
        const auto size = audio.propertyDataSize(c.object, c.address);
        EXPECT_EQ(size.code, c.code);
        if (c.code == 0) {
            EXPECT_EQ(size.value, c.size);
        }
    }

    const auto ids = audio.readObjectIds(CA::systemObject, devices, 16);
    EXPECT_EQ(ids.value, (std::vector<Desktop::AudioObjectId>{40, 41, 42, 43}));
    EXPECT_EQ(audio.readObjectIds(CA::systemObject, devices, 8).value,
              (std::vector<Desktop::AudioObjectId>{40, 41}));
    EXPECT_EQ(audio.readStreamConfiguration(42, outputStreams, 56).value,
              (std::vector<std::uint32_t>{1, 1, 2}));
    EXPECT_NE(audio.readStreamConfiguration(42, outputStreams, 24).code, 0) << "the buffer is too small";
    EXPECT_EQ(audio.readStreamConfiguration(40, outputStreams, 0).value, std::vector<std::uint32_t>{});
}

TEST(SimAudioHardware, ReadsPresentMissingAndFailing) {
    auto& audio = audioOn(studio);
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultInput).code, Desktop::fourCharCode("what"));
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, 43U);
    EXPECT_EQ(audio.readUInt32(40, running).value, 1U);
    EXPECT_EQ(audio.readUInt32(41, running).value, 0U);
    EXPECT_EQ(audio.readString(41, name).value, "MacBook Pro Speakers");
    EXPECT_EQ(audio.readString(42, name).code, CA::unknownPropertyError);
    const auto nullUid = audio.readString(42, uid);
    EXPECT_EQ(nullUid.code, 0);
    EXPECT_FALSE(nullUid.value.has_value());
    EXPECT_EQ(audio.readString(43, uid).value, std::nullopt);

    EXPECT_TRUE(audio.hasProperty(41, mute));
    EXPECT_TRUE(audio.hasProperty(42, volume)) << "present, though its reads fail";
    EXPECT_FALSE(audio.hasProperty(43, mute));
    EXPECT_FALSE(audio.hasProperty(41, PropertyAddress{.selector = CA::mute, .scope = CA::scopeInput}));
    EXPECT_FALSE(audio.hasProperty(99, name));
    EXPECT_EQ(audio.readFloat32(41, volume).value, 0.25F);
    EXPECT_EQ(audio.readFloat32(42, volume).code, Desktop::fourCharCode("what"));
    EXPECT_EQ(audio.readUInt32(43, mute).code, CA::unknownPropertyError);
}

TEST(SimAudioHardware, WritesChangeTheDeviceAndAreJournaledWithBeforeAndAfter) {
    auto& audio = audioOn(studio);
    EXPECT_EQ(audio.writeUInt32(CA::systemObject, defaultOutput, 41), 0);
    EXPECT_EQ(audio.writeUInt32(41, mute, 0), 0);
    EXPECT_EQ(audio.writeFloat32(41, volume, 0.85F), 0);
    EXPECT_EQ(audio.writeUInt32(42, mute, 1), nope);
    EXPECT_EQ(audio.writeFloat32(42, volume, 0.5F), 0);
    EXPECT_EQ(audio.writeUInt32(CA::systemObject, defaultOutput, 77), CA::badObjectError);
    EXPECT_NE(audio.writeUInt32(43, mute, 0), 0);

    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, 41U);
    EXPECT_EQ(audio.readUInt32(41, mute).value, 0U);
    EXPECT_EQ(audio.readFloat32(41, volume).value, 0.85F);
    EXPECT_EQ(audio.readUInt32(42, mute).value, 0U);

    const auto journal = Desktop::Sim::journal();
    ASSERT_EQ(journal.size(), 7U);
    EXPECT_EQ(journal[0],
              (json{{"event", "setDefaultOutput"}, {"before", 43}, {"after", 41}, {"status", 0}}));
    EXPECT_EQ(journal[1],
              (json{{"event", "setMute"}, {"device", 41}, {"before", 1}, {"after", 0}, {"status", 0}}));
    EXPECT_EQ(
        journal[2],
        (json{{"event", "setVolume"}, {"device", 41}, {"before", 0.25}, {"after", 0.85}, {"status", 0}}));
    EXPECT_EQ(journal[3],
              (json{{"event", "setMute"}, {"device", 42}, {"before", 0}, {"after", 0}, {"status", nope}}));
    EXPECT_EQ(journal[4], (json{{"event", "setVolume"}, {"device", 42}, {"after", 0.5}, {"status", 0}}))
        << "an unreadable volume has no before";
    EXPECT_EQ(
        journal[5],
        (json{{"event", "setDefaultOutput"}, {"before", 41}, {"after", 41}, {"status", CA::badObjectError}}));
    EXPECT_EQ(journal[6]["event"], "audioWrite");
}

TEST(SimAudioHardware, DefaultOutputSwitchThatFails) {
    auto& audio = audioOn(R"({"audio": {"defaultOutput": {"value": 43, "writeError": "nope"},
        "devices": [{"id": 41, "outputChannels": [2]}, {"id": 43, "outputChannels": [2]}]}})");
    EXPECT_EQ(audio.writeUInt32(CA::systemObject, defaultOutput, 41), nope);
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, 43U);
}

TEST(SimAudioHardware, NoDeviceListAtAll) {
    auto& audio = audioOn(R"({"audio": {"deviceListError": "what", "devices": [{"id": 41}]}})");
    EXPECT_EQ(audio.propertyDataSize(CA::systemObject, devices).code, Desktop::fourCharCode("what"));
    EXPECT_EQ(audio.readObjectIds(CA::systemObject, devices, 4).code, Desktop::fourCharCode("what"));
}

// A headset that drops out during playback and comes back with a new ID, and
// the user choosing an output of their own, timed from the play.
constexpr const char* changingDesk = R"({
  "files": {"/virtual/notice.wav": {"duration": 1}},
  "audio": {
    "defaultOutput": 42,
    "devices": [
      {"id": 41, "name": "MacBook Pro Speakers", "uid": "BuiltInSpeakerDevice", "outputChannels": [2]},
      {"id": 42, "name": "AirPods Pro", "uid": "AirPodsPro-1", "outputChannels": [2]}],
    "changes": [
      {"afterEvent": "change", "after": 0.2, "addDevice": {"id": 50, "name": "AirPods Pro", "uid": "AirPodsPro-1",
                                                         "outputChannels": [2]}},
      {"afterEvent": "play", "after": 0.3, "removeDevice": 42},
      {"afterEvent": "play", "after": 0.9, "setDefaultOutput": 50}]}})";

std::vector<Desktop::AudioObjectId> listedDevices(Desktop::AudioHardware& audio) {
    const auto size = audio.propertyDataSize(CA::systemObject, devices);
    return audio.readObjectIds(CA::systemObject, devices, *size.value)
        .value.value_or(std::vector<Desktop::AudioObjectId>{});
}

TEST(SimAudioChanges, HappenOnTheClockFromTheirEventEarliestFirstAndAreJournaled) {
    auto& audio = audioOn(changingDesk);
    auto& clock = Desktop::current().clock();
    clock.sleep(5);
    EXPECT_EQ(listedDevices(audio), (std::vector<Desktop::AudioObjectId>{41, 42}))
        << "nothing before the play";
    EXPECT_EQ(audio.writeUInt32(CA::systemObject, defaultOutput, 41), 0);

    auto player = std::get<std::unique_ptr<Desktop::AudioPlayer>>(
        Desktop::current().audioPlayback().createPlayer("/virtual/notice.wav"));
    ASSERT_TRUE(player->play());
    clock.sleep(0.29);
    EXPECT_EQ(listedDevices(audio), (std::vector<Desktop::AudioObjectId>{41, 42}));
    clock.sleep(0.02);
    EXPECT_EQ(listedDevices(audio), (std::vector<Desktop::AudioObjectId>{41}));
    EXPECT_EQ(audio.readString(42, uid).code, CA::badObjectError) << "a removed device is gone";
    // Both remaining changes are due by now; the re-added headset comes first.
    clock.sleep(1.0);
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, 50U);
    EXPECT_EQ(listedDevices(audio), (std::vector<Desktop::AudioObjectId>{41, 50}));
    EXPECT_EQ(audio.readString(50, uid).value, "AirPodsPro-1");
    EXPECT_EQ(audio.writeUInt32(CA::systemObject, defaultOutput, 41), 0)
        << "after a user's choice, writes still work";
    EXPECT_EQ(audio.writeUInt32(CA::systemObject, defaultOutput, 42), CA::badObjectError);

    const auto journal = Desktop::Sim::journal();
    std::vector<json> events;
    for (const auto& entry : journal) {
        auto event = entry;
        event.erase("before");
        event.erase("after");
        event.erase("status");
        event.erase("path");
        event.erase("duration");
        events.push_back(event);
    }
    EXPECT_EQ(events, (std::vector<json>{{{"event", "setDefaultOutput"}},
                                         {{"event", "play"}},
                                         {{"event", "change"}, {"removeDevice", 42}},
                                         {{"event", "change"}, {"addDevice", 50}},
                                         {{"event", "change"}, {"setDefaultOutput", 50}},
                                         {{"event", "setDefaultOutput"}},
                                         {{"event", "setDefaultOutput"}}}));
}

TEST(SimAudioChanges, RemovingTheDefaultOutputFallsBackToADeviceThatCanPlay) {
    auto& audio = audioOn(R"({"audio": {"defaultOutput": 42, "devices": [
        {"id": 40, "inputChannels": [1]}, {"id": 41, "outputChannels": [2]}, {"id": 42, "outputChannels": [2]}],
        "changes": [{"after": 0.5, "removeDevice": 42}, {"after": 0.6, "removeDevice": 41}]}})");
    auto& clock = Desktop::current().clock();
    clock.sleep(0.5);
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, 41U) << "counted from the start";
    clock.sleep(0.1);
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, CA::unknownObject);
    EXPECT_EQ(Desktop::Sim::journal(),
              (std::vector<json>{{{"event", "change"}, {"removeDevice", 42}, {"defaultOutput", 41}},
                                 {{"event", "change"}, {"removeDevice", 41}, {"defaultOutput", 0}}}));
}

TEST(SimAudioChanges, WaitForTheirEventHoweverLongItTakes) {
    auto& audio = audioOn(R"({"audio": {"defaultOutput": 41, "devices": [{"id": 41, "outputChannels": [2]},
        {"id": 42, "outputChannels": [2]}], "changes": [{"afterEvent": "play", "setDefaultOutput": 42}]}})");
    Desktop::current().clock().sleep(100);
    EXPECT_EQ(audio.readUInt32(CA::systemObject, defaultOutput).value, 41U);
    EXPECT_TRUE(Desktop::Sim::journal().empty());
}

class SimAudioPlaybackTest : public testing::Test {
protected:
    std::filesystem::path dir_;

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("sim-audio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& file, const std::string& bytes) {
        const auto path = (dir_ / file).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string le32(std::uint32_t v) {
        return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    }

    // 16-bit stereo at 8000 Hz (32000 bytes a second), with a chunk before "fmt " to skip.
    static std::string wav(std::uint32_t dataBytes) {
        std::string fmt = std::string("\x01\x00\x02\x00", 4) + le32(8000) + le32(32000) +
                          std::string("\x04\x00\x10\x00", 4);
        std::string body = "WAVE" + std::string("LIST") + le32(3) + "abc" + std::string(1, '\0') + "fmt " +
                           le32(16) + fmt + "data" + le32(dataBytes) + std::string(dataBytes, '\0');
        return "RIFF" + le32(static_cast<std::uint32_t>(body.size())) + body;
    }
};

TEST_F(SimAudioPlaybackTest, WavPlaysForItsDurationOnTheClock) {
    const auto path = write("notice.wav", wav(16000));
    Desktop::Sim::loadEmptyDesktop();
    auto created = Desktop::current().audioPlayback().createPlayer(path);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<Desktop::AudioPlayer>>(created));
    auto& player = *std::get<std::unique_ptr<Desktop::AudioPlayer>>(created);
    EXPECT_FALSE(player.isPlaying());
    player.setVolume(1.0F);
    EXPECT_TRUE(player.prepareToPlay());
    EXPECT_TRUE(player.play());
    EXPECT_TRUE(player.isPlaying());
    Desktop::current().clock().sleep(0.49);
    EXPECT_TRUE(player.isPlaying());
    Desktop::current().clock().sleep(0.02);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(Desktop::Sim::journal(),
              (std::vector<json>{{{"event", "play"}, {"path", path}, {"duration", 0.5}}}));
}

TEST_F(SimAudioPlaybackTest, FilesThatAreNotAudioFailWithThePlatformsText) {
    const std::string notAudio = "The operation couldn\u2019t be completed. (OSStatus error 1954115647.)";
    Desktop::Sim::loadEmptyDesktop();
    auto& playback = Desktop::current().audioPlayback();
    for (const auto& bytes : {std::string("plain text, not audio"), std::string(), wav(0).substr(0, 20),
                              std::string("RIFF") + le32(4) + "WAVE"}) {
        const auto created = playback.createPlayer(write("bad.wav", bytes));
        ASSERT_TRUE(std::holds_alternative<std::string>(created));
        EXPECT_EQ(std::get<std::string>(created), notAudio);
    }
    const auto missing = playback.createPlayer((dir_ / "absent.wav").string());
    EXPECT_NE(std::get<std::string>(missing).find("2003334207"), std::string::npos);
}

TEST_F(SimAudioPlaybackTest, SceneOverridesWhatAPathPlays) {
    Desktop::Sim::loadScene(R"({"files": {
        "/virtual/two.wav": {"duration": 2},
        "/virtual/refused.wav": {"duration": 1, "playReturns": false},
        "/virtual/broken.wav": {"loadError": "The file is damaged."},
        "/virtual/gone.wav": {"exists": false}}})");
    auto& desktop = Desktop::current();
    EXPECT_TRUE(desktop.fileSystem().exists("/virtual/two.wav"));
    EXPECT_FALSE(desktop.fileSystem().exists("/virtual/gone.wav"));
    EXPECT_FALSE(desktop.fileSystem().exists("/virtual/unlisted.wav"));
    EXPECT_TRUE(desktop.fileSystem().exists(dir_.string())) << "unlisted paths are looked up for real";

    auto two = std::get<std::unique_ptr<Desktop::AudioPlayer>>(
        desktop.audioPlayback().createPlayer("/virtual/two.wav"));
    EXPECT_TRUE(two->play());
    desktop.clock().sleep(1.9);
    EXPECT_TRUE(two->isPlaying());
    auto refused = std::get<std::unique_ptr<Desktop::AudioPlayer>>(
        desktop.audioPlayback().createPlayer("/virtual/refused.wav"));
    EXPECT_FALSE(refused->play());
    EXPECT_FALSE(refused->isPlaying());
    EXPECT_EQ(std::get<std::string>(desktop.audioPlayback().createPlayer("/virtual/broken.wav")),
              "The file is damaged.");
    EXPECT_EQ(Desktop::Sim::journal().size(), 1U) << "only a started play is journaled";
}

TEST_F(SimAudioPlaybackTest, AStallingPlayerPlaysUntilStopped) {
    Desktop::Sim::loadScene(R"({"files": {"/virtual/stuck.wav": {"duration": 0.5, "stalls": true}}})");
    auto& desktop = Desktop::current();
    auto stuck = std::get<std::unique_ptr<Desktop::AudioPlayer>>(
        desktop.audioPlayback().createPlayer("/virtual/stuck.wav"));
    EXPECT_EQ(stuck->duration(), 0.5);
    EXPECT_FALSE(stuck->isPlaying());
    ASSERT_TRUE(stuck->play());
    desktop.clock().sleep(60);
    EXPECT_TRUE(stuck->isPlaying());
    stuck->stop();
    EXPECT_FALSE(stuck->isPlaying());
    stuck->stop();
    EXPECT_EQ(Desktop::Sim::journal(),
              (std::vector<json>{{{"event", "play"}, {"path", "/virtual/stuck.wav"}, {"duration", 0.5}},
                                 {{"event", "stop"}, {"path", "/virtual/stuck.wav"}}}))
        << "only the stop of a playing player is journaled";
}

}  // namespace
