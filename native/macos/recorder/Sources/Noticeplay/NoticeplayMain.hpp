#pragma once

// noticeplay: plays a consent notice through the built-in speakers at a known
// volume, whatever output the user has chosen, and puts the user's output device,
// mute and volume back on every way out.

#include <string>
#include <vector>

#include "Desktop/AudioHardware.hpp"
#include "Desktop/AudioPlayback.hpp"
#include "Desktop/System.hpp"
#include "Noticeplay/PlayResponse.hpp"
#include "Noticeplay/PlaybackRestoreContext.hpp"

namespace Noticeplay {

struct PlayerServices {
    Desktop::AudioHardware& audioHardware;
    Desktop::AudioPlayback& audioPlayback;
    Desktop::Clock& clock;
    Desktop::FileSystem& fileSystem;
};

// The response to print and the status to exit with, decided after everything
// was put back and the exit claimed from the termination handlers.
struct Completion {
    PlayResponse response;
    int exitStatus = 1;
};

namespace Messages {
inline constexpr char usage[] = "Usage: noticeplay play-speakers --file <path>";
inline constexpr char unknownCommand[] = "Unknown command: ";
inline constexpr char unexpectedArgument[] = "Unexpected argument: ";
inline constexpr char missingFile[] = "Missing --file";
inline constexpr char fileNotFound[] = "Audio file not found: ";
inline constexpr char speakersNotFound[] =
    "Built-in speakers device not found (headphones may have disabled it)";
inline constexpr char defaultOutputUnknown[] = "Could not read the current default output device";
inline constexpr char switchFailed[] = "Could not switch system default output to built-in speakers";
inline constexpr char playRefused[] = "AVAudioPlayer.play() returned false";
inline constexpr char playStalled[] = "Playback did not finish";
}  // namespace Messages

class NoticeplayMain {
public:
    NoticeplayMain(PlayerServices services, PlaybackRestoreContext& context)
        : services_(services), context_(context) {}

    // The program on the desktop it runs on: installs the termination handlers,
    // runs the command, prints the response and exits.
    [[noreturn]] static void main(int argc, char** argv);

    // Prints the response line and gives the status to exit with.
    static int respond(const Completion& completion);

    // The command line without the program name.
    Completion run(const std::vector<std::string>& arguments);
    // The arguments after "play-speakers".
    Completion runPlaySpeakers(const std::vector<std::string>& arguments);

    static constexpr double settleAfterSwitchSeconds = 0.15;
    static constexpr double playbackPollSeconds = 0.05;
    static constexpr double tailAfterPlaybackSeconds = 0.1;
    // A player still playing this long after the file's duration is taken as
    // stalled: the user's audio must not stay switched for as long as it hangs.
    static constexpr double stallGraceSeconds = 2.0;

private:
    Completion fail(std::string code, std::string message);

    PlayerServices services_;
    PlaybackRestoreContext& context_;
};

}  // namespace Noticeplay
