#pragma once

// The Core Audio side of playing through the built-in speakers: which devices can
// play, which of them are the speakers, their names, and their mute and volume.
// Nothing here fails: platform errors become empty or absent results.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Desktop/AudioHardware.hpp"
#include "Noticeplay/OutputVolumeSnapshot.hpp"

namespace Noticeplay {

namespace OutputAddress {
inline constexpr Desktop::PropertyAddress devices{.selector = Desktop::CoreAudio::hardwareDevices};
inline constexpr Desktop::PropertyAddress defaultOutputDevice{.selector =
                                                                  Desktop::CoreAudio::defaultOutputDevice};
inline constexpr Desktop::PropertyAddress outputStreamConfiguration{
    .selector = Desktop::CoreAudio::streamConfiguration, .scope = Desktop::CoreAudio::scopeOutput};
inline constexpr Desktop::PropertyAddress name{.selector = Desktop::CoreAudio::objectName};
inline constexpr Desktop::PropertyAddress uid{.selector = Desktop::CoreAudio::deviceUID};
inline constexpr Desktop::PropertyAddress mute{.selector = Desktop::CoreAudio::mute,
                                               .scope = Desktop::CoreAudio::scopeOutput};
inline constexpr Desktop::PropertyAddress volume{.selector = Desktop::CoreAudio::virtualMainVolume,
                                                 .scope = Desktop::CoreAudio::scopeOutput};
}  // namespace OutputAddress

inline constexpr char builtInSpeakerUID[] = "BuiltInSpeakerDevice";
inline constexpr float playbackVolume = 0.85F;

// Devices with at least one output channel, in the order the system lists them.
std::vector<Desktop::AudioObjectId> allOutputDeviceIDs(Desktop::AudioHardware& hardware);

// The built-in speakers: by their UID first, then by a speaker-like name that
// does not belong to something worn on the head.
std::optional<Desktop::AudioObjectId> findBuiltInSpeakerDeviceID(Desktop::AudioHardware& hardware);

// The device's name, or "Device <id>" when it has none.
std::string audioObjectName(Desktop::AudioHardware& hardware, Desktop::AudioObjectId id);

std::optional<std::string> audioObjectUID(Desktop::AudioHardware& hardware, Desktop::AudioObjectId id);

// The device that carries `uid` now: `expected` when it still does, else the
// first listed device that does. A device that goes away and comes back (a
// Bluetooth headset reconnecting) gets a new ID but keeps its UID.
std::optional<Desktop::AudioObjectId> findDeviceByUID(Desktop::AudioHardware& hardware,
                                                      const std::string& uid,
                                                      Desktop::AudioObjectId expected);

// Unmutes the device and sets its volume for playback. `captured` receives the
// snapshot of the old values before anything is written, so the caller can make
// it restorable first. A value that could not be read is left as it is, since it
// could never be put back.
OutputVolumeSnapshot captureAndApplyPlaybackVolume(
    Desktop::AudioHardware& hardware, Desktop::AudioObjectId id,
    const std::function<void(const OutputVolumeSnapshot&)>& captured = {});

// Writes back what the snapshot holds; statuses are not examined since there is
// nothing left to try.
void restoreOutputVolume(Desktop::AudioHardware& hardware, const OutputVolumeSnapshot& snapshot);

}  // namespace Noticeplay
