#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <map>

#include "FakeAudio.hpp"
#include "Noticeplay/NoticeplayMain.hpp"
#include "Noticeplay/TerminationHandlers.hpp"
#include "Support/RecordingSignals.hpp"

namespace {

using namespace NoticeplayTesting;
using Noticeplay::Completion;
using Noticeplay::NoticeplayMain;
using Noticeplay::PlaybackRestoreContext;
using Noticeplay::PlayResponse;
namespace CA = Desktop::CoreAudio;

constexpr AudioObjectId headphones = deskHeadphones;
constexpr AudioObjectId speakers = deskSpeakers;
const std::string notice = "/tmp/notice.wav";

PlayResponse failure(const char* code, const std::string& message) {
    return PlayResponse::failure(code, message);
}

struct Desk {
    Desk() {
        setUpHeadphonesDesk(hardware);
        files.paths = {notice};
    }

    Completion run(const std::vector<std::string>& arguments) {
        NoticeplayMain program(
            {.audioHardware = hardware, .audioPlayback = playback, .clock = clock, .fileSystem = files},
            context);
        return program.run(arguments);
    }

    FakeAudioHardware hardware;
    FakeAudioPlayback playback;
    ManualClock clock;
    FakeFileSystem files;
    PlaybackRestoreContext context{hardware};
};

class PlaySequence : public ::testing::Test, protected Desk {};

TEST_F(PlaySequence, CommandLineErrorsTouchNothing) {
    struct Case {
        std::vector<std::string> arguments;
        PlayResponse response;
    };
    const Case cases[] = {
        {{}, failure("USAGE", "Usage: noticeplay play-speakers --file <path>")},
        {{"play"}, failure("USAGE", "Unknown command: play")},
        {{"--file", notice}, failure("USAGE", "Unknown command: --file")},
        {{"play-speakers"}, failure("MISSING_FILE", "Missing --file")},
        {{"play-speakers", "--file"}, failure("USAGE", "Unexpected argument: --file")},
        {{"play-speakers", "--path", notice}, failure("USAGE", "Unexpected argument: --path")},
        {{"play-speakers", "--file", notice, "--loud"}, failure("USAGE", "Unexpected argument: --loud")},
        {{"play-speakers", "--file", notice, "--file"}, failure("USAGE", "Unexpected argument: --file")},
        {{"play-speakers", "--file", ""}, failure("MISSING_FILE", "Missing --file")},
        {{"play-speakers", "--file", notice, "--file", ""}, failure("MISSING_FILE", "Missing --file")},
        {{"play-speakers", "--file", notice, "--file", "/tmp/missing.wav"},
         failure("FILE_NOT_FOUND", "Audio file not found: /tmp/missing.wav")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const auto completion = run(c.arguments);
        EXPECT_EQ(completion.response, c.response);
        EXPECT_EQ(completion.exitStatus, 1);
    }
    EXPECT_TRUE(hardware.writes.empty());
    EXPECT_TRUE(playback.log->calls.empty());
}

TEST_F(PlaySequence, TheLastFilePairWins) {
    const auto completion = run({"play-speakers", "--file", "/tmp/missing.wav", "--file", notice});
    EXPECT_EQ(completion.response, success("BuiltInSpeakerDevice", "MacBook Pro Speakers", true));
}

TEST_F(PlaySequence, PlaysThroughTheSpeakersAndPutsEverythingBack) {
    const auto before = hardware.state();
    playback.files[notice] = {.pollsWhilePlaying = 3};

    const auto completion = run({"play-speakers", "--file", notice});

    EXPECT_EQ(completion.response, success("BuiltInSpeakerDevice", "MacBook Pro Speakers", true));
    EXPECT_EQ(completion.exitStatus, 0);
    EXPECT_EQ(hardware.writes, (std::vector<Write>{{CA::systemObject, CA::defaultOutputDevice, speakers},
                                                   {speakers, CA::mute, 0},
                                                   {speakers, CA::virtualMainVolume, 0.85F},
                                                   {speakers, CA::mute, 1},
                                                   {speakers, CA::virtualMainVolume, 0.3F},
                                                   {CA::systemObject, CA::defaultOutputDevice, headphones}}));
    EXPECT_EQ(hardware.state(), before);
    EXPECT_EQ(playback.log->calls, (std::vector<std::string>{"setVolume", "prepareToPlay", "play"}));
    EXPECT_EQ(playback.log->volume, 1.0F);
    EXPECT_EQ(clock.sleeps, (std::vector<double>{0.15, 0.05, 0.05, 0.05, 0.1}));
}

TEST_F(PlaySequence, SpeakersAlreadyTheDefaultAreSwitchedAnywayButNotBack) {
    hardware.defaultOutput = speakers;
    const auto completion = run({"play-speakers", "--file", notice});
    EXPECT_EQ(completion.response, success("BuiltInSpeakerDevice", "MacBook Pro Speakers", true));
    EXPECT_EQ(hardware.writes.front(), (Write{CA::systemObject, CA::defaultOutputDevice, speakers}));
    EXPECT_EQ(std::count_if(hardware.writes.begin(), hardware.writes.end(),
                            [](const Write& w) { return w.selector == CA::defaultOutputDevice; }),
              1);
    EXPECT_EQ(hardware.defaultOutput, speakers);
}

TEST_F(PlaySequence, AFailedSwitchBackIsStillASuccessfulPlay) {
    hardware.switchFailsTo = {headphones};
    const auto completion = run({"play-speakers", "--file", notice});
    EXPECT_EQ(completion.response, success("BuiltInSpeakerDevice", "MacBook Pro Speakers", false));
    EXPECT_EQ(completion.exitStatus, 0);
    EXPECT_EQ(hardware.devices[1].mute, 1U);
    EXPECT_EQ(hardware.devices[1].volume, 0.3F);
}

TEST_F(PlaySequence, SpeakersWithoutUIDOrVolumeArePlayedAsTheyAre) {
    hardware.devices[1] = {.id = speakers, .name = "MacBook Air Speakers", .outputChannels = {2}, .mute = 1};
    const auto before = hardware.state();
    const auto completion = run({"play-speakers", "--file", notice});
    EXPECT_EQ(completion.response, success(std::nullopt, "MacBook Air Speakers", true));
    for (const auto& write : hardware.writes)
        EXPECT_NE(write.selector, CA::virtualMainVolume);
    EXPECT_EQ(hardware.state(), before);
}

TEST_F(PlaySequence, FailuresOnTheWayPutBackWhatWasChangedBeforeAnswering) {
    struct Case {
        const char* what;
        std::function<void(Desk&)> arrange;
        PlayResponse response;
        std::size_t writes;  // all of them undone by the time the response exists
    };
    const Case cases[] = {
        {"no speakers", [](Desk& t) { t.hardware.devices.pop_back(); },
         failure("SPEAKERS_NOT_FOUND",
                 "Built-in speakers device not found (headphones may have disabled it)"),
         0},
        {"default output unreadable", [](Desk& t) { t.hardware.defaultOutputReadFails = true; },
         failure("DEFAULT_OUTPUT_UNKNOWN", "Could not read the current default output device"), 0},
        {"switch refused", [](Desk& t) { t.hardware.switchFailsTo = {speakers}; },
         failure("SWITCH_FAILED", "Could not switch system default output to built-in speakers"), 2},
        {"not an audio file",
         [](Desk& t) {
             t.playback.files[notice] = {
                 .loadError = "The operation couldn\xE2\x80\x99t be completed. (OSStatus error 1954115647.)"};
         },
         failure("PLAY_FAILED",
                 "The operation couldn\xE2\x80\x99t be completed. (OSStatus error 1954115647.)"),
         6},
        {"player refuses", [](Desk& t) { t.playback.files[notice] = {.playRefused = true}; },
         failure("PLAY_FAILED", "AVAudioPlayer.play() returned false"), 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        c.arrange(desk);
        const auto before = desk.hardware.state();

        const auto completion = desk.run({"play-speakers", "--file", notice});
        EXPECT_EQ(completion.response, c.response);
        EXPECT_EQ(completion.exitStatus, 1);
        EXPECT_EQ(desk.hardware.writes.size(), c.writes);
        EXPECT_EQ(desk.hardware.state(), before);
    }
}

// The wait for the end of playback ends 2 s after the file's duration: a player
// that is still playing then is stopped, and everything is put back.
TEST_F(PlaySequence, APlayerThatNeverFinishesIsStoppedAndEverythingPutBack) {
    struct Case {
        const char* what;
        PlayerScript script;
        std::optional<double> stoppedAfter;  // seconds of playback; absent: it finished
    };
    const Case cases[] = {
        {"stalls", {.stalls = true, .duration = 0.15}, 2.15},
        {"stalls with a duration that is no number", {.stalls = true, .duration = std::nan("")}, 2.0},
        {"plays well past its duration, but not by 2 s",
         {.pollsWhilePlaying = 60, .duration = 1.2},
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        const auto before = desk.hardware.state();
        desk.playback.files[notice] = c.script;

        const double started = desk.clock.time;
        const auto completion = desk.run({"play-speakers", "--file", notice});

        EXPECT_EQ(desk.hardware.state(), before);
        const double played = desk.clock.time - started - NoticeplayMain::settleAfterSwitchSeconds;
        if (c.stoppedAfter) {
            EXPECT_EQ(completion.response, failure("PLAY_STALLED", "Playback did not finish"));
            EXPECT_EQ(completion.exitStatus, 1);
            EXPECT_EQ(desk.playback.log->calls.back(), "stop");
            EXPECT_GE(played, *c.stoppedAfter - 1e-9);
            EXPECT_LT(played, *c.stoppedAfter + NoticeplayMain::playbackPollSeconds);
        } else {
            EXPECT_EQ(completion.response, success("BuiltInSpeakerDevice", "MacBook Pro Speakers", true));
            EXPECT_EQ(desk.playback.log->calls.back(), "play");
        }
    }
}

using Testing::RecordingSignals;

using TerminationHandlersDeathTest = PlaySequence;

TEST_F(TerminationHandlersDeathTest, BothSignalsAreIgnoredThenWatchedAndEndTheProcessAfterRestoring) {
    RecordingSignals signals;
    Noticeplay::installTerminationHandlers(signals, context);
    EXPECT_EQ(signals.calls, (std::vector<std::string>{"ignore 15", "ignore 2", "watch 15", "watch 2"}));

    ASSERT_TRUE(context.recordAndSwitchDefaultOutput(headphones, speakers));
    context.recordAndApplyPlaybackVolume(speakers);
    const auto restoreThenExit = [&](int signal) {
        signals.handlers.at(signal)();
        // Only reached when the handler did not end the process.
        std::_Exit(hardware.state().defaultOutput == headphones ? 0 : 99);
    };
    EXPECT_EXIT(restoreThenExit(SIGTERM), ::testing::ExitedWithCode(143), "");
    EXPECT_EXIT(restoreThenExit(SIGINT), ::testing::ExitedWithCode(130), "");

    // Once the main thread has claimed the exit, a handler returns and changes nothing.
    context.restoreAllForExit();
    hardware.writes.clear();
    EXPECT_EXIT(restoreThenExit(SIGTERM), ::testing::ExitedWithCode(0), "");
}

}  // namespace

namespace {

// The fallback line says the run failed, so the exit status must not say success.
TEST(NoticeplayRespond, AResponseThatCannotBeEncodedEndsWithStatusOne) {
    Completion played{.response = success("BuiltInSpeakerDevice", "Speakers \xFF", true), .exitStatus = 0};
    ::testing::internal::CaptureStdout();
    const int status = NoticeplayMain::respond(played);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "{\"ok\":false,\"errorCode\":\"ENCODE_FAILED\"}\n");
    EXPECT_EQ(status, 1);

    played.response.deviceName = "Speakers";
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(NoticeplayMain::respond(played), 0);
    EXPECT_EQ(
        ::testing::internal::GetCapturedStdout(),
        R"({"deviceId":"BuiltInSpeakerDevice","deviceName":"Speakers","ok":true,"restoredDefault":true})"
        "\n");
}

}  // namespace
