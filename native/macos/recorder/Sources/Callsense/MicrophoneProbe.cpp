#include "Callsense/MicrophoneProbe.hpp"

namespace Callsense {

bool defaultInputIsRunning(Desktop::AudioHardware& audio) {
    const auto device = audio.readUInt32(Desktop::CoreAudio::systemObject,
                                         {.selector = Desktop::CoreAudio::defaultInputDevice});
    if (!device.succeeded()) return false;
    // The device ID is used as given, even kAudioObjectUnknown: the second read
    // then fails and answers "not running" on its own.
    const auto running =
        audio.readUInt32(*device.value, {.selector = Desktop::CoreAudio::deviceIsRunningSomewhere});
    return running.succeeded() && *running.value != 0;
}

}  // namespace Callsense
