#pragma once

#include <cstdint>

#include "Desktop/AudioHardware.hpp"

namespace Noticeplay {

// What must be put back on the speakers after playback. A value is only marked
// as held when it was actually read: writing back a value that was never read
// would mute or silence the user's speakers instead of restoring them.
struct OutputVolumeSnapshot {
    Desktop::AudioObjectId deviceID = Desktop::CoreAudio::unknownObject;
    bool hadMute = false;     // the mute value below was read from the device
    std::uint32_t muted = 0;  // meaningful only when hadMute
    bool hadVolume = false;   // the volume value below was read from the device
    float volume = 0.0F;      // meaningful only when hadVolume

    bool operator==(const OutputVolumeSnapshot&) const = default;
};

}  // namespace Noticeplay
