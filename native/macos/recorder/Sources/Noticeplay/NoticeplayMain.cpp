#include "Noticeplay/NoticeplayMain.hpp"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <variant>

#include "Desktop/Desktop.hpp"
#include "Noticeplay/OutputDeviceControl.hpp"
#include "Noticeplay/TerminationHandlers.hpp"

namespace Noticeplay {

void NoticeplayMain::main(int argc, char** argv) {
    auto& platform = Desktop::current();
    auto& context = PlaybackRestoreContext::shared();
    installTerminationHandlers(platform.terminationSignals(), context);

    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    NoticeplayMain program({.audioHardware = platform.audioHardware(),
                            .audioPlayback = platform.audioPlayback(),
                            .clock = platform.clock(),
                            .fileSystem = platform.fileSystem()},
                           context);
    std::exit(respond(program.run(arguments)));
}

int NoticeplayMain::respond(const Completion& completion) {
    // The fallback line reports a failure, so the status must not say success.
    return emit(completion.response) ? completion.exitStatus : 1;
}

Completion NoticeplayMain::run(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return fail("USAGE", Messages::usage);
    if (arguments.front() == "play-speakers") {
        return runPlaySpeakers(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    }
    return fail("USAGE", Messages::unknownCommand + arguments.front());
}

Completion NoticeplayMain::runPlaySpeakers(const std::vector<std::string>& arguments) {
    std::optional<std::string> path;
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        if (arguments[i] != "--file" || i + 1 >= arguments.size()) {
            return fail("USAGE", Messages::unexpectedArgument + arguments[i]);
        }
        path = arguments[i + 1];
    }
    if (!path || path->empty()) return fail("MISSING_FILE", Messages::missingFile);
    if (!services_.fileSystem.exists(*path)) return fail("FILE_NOT_FOUND", Messages::fileNotFound + *path);

    auto& hardware = services_.audioHardware;
    const auto speakers = findBuiltInSpeakerDeviceID(hardware);
    if (!speakers) return fail("SPEAKERS_NOT_FOUND", Messages::speakersNotFound);
    const auto previousDefault =
        hardware.readUInt32(Desktop::CoreAudio::systemObject, OutputAddress::defaultOutputDevice);
    if (!previousDefault.succeeded()) return fail("DEFAULT_OUTPUT_UNKNOWN", Messages::defaultOutputUnknown);

    if (!context_.recordAndSwitchDefaultOutput(*previousDefault.value, *speakers)) {
        return fail("SWITCH_FAILED", Messages::switchFailed);
    }
    context_.recordAndApplyPlaybackVolume(*speakers);
    services_.clock.sleep(settleAfterSwitchSeconds);

    auto created = services_.audioPlayback.createPlayer(*path);
    if (auto* error = std::get_if<std::string>(&created)) return fail("PLAY_FAILED", std::move(*error));
    auto& player = *std::get<std::unique_ptr<Desktop::AudioPlayer>>(created);
    player.setVolume(1.0F);
    player.prepareToPlay();
    if (!player.play()) return fail("PLAY_FAILED", Messages::playRefused);
    const double startedAt = services_.clock.now();
    const double duration = player.duration();
    // A duration that is no number at all gives the bound for an empty file.
    const double stalledAfter = (std::isfinite(duration) && duration > 0 ? duration : 0) + stallGraceSeconds;
    while (player.isPlaying()) {
        if (services_.clock.now() - startedAt >= stalledAfter) {
            player.stop();
            return fail("PLAY_STALLED", Messages::playStalled);
        }
        services_.clock.sleep(playbackPollSeconds);
    }
    services_.clock.sleep(tailAfterPlaybackSeconds);

    PlayResponse response;
    response.ok = true;
    response.restoredDefault = context_.restoreAllForExit();
    response.deviceId = audioObjectUID(hardware, *speakers);
    response.deviceName = audioObjectName(hardware, *speakers);
    return {.response = std::move(response), .exitStatus = 0};
}

Completion NoticeplayMain::fail(std::string code, std::string message) {
    context_.restoreAllForExit();
    return {.response = PlayResponse::failure(std::move(code), std::move(message)), .exitStatus = 1};
}

}  // namespace Noticeplay
