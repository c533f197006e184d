#include "Noticeplay/OutputDeviceControl.hpp"

#include <array>
#include <string_view>

#include "Text/Text.hpp"

namespace Noticeplay {

namespace {

using Desktop::AudioHardware;
using Desktop::AudioObjectId;

std::uint64_t outputChannelCount(AudioHardware& hardware, AudioObjectId id) {
    const auto size = hardware.propertyDataSize(id, OutputAddress::outputStreamConfiguration);
    if (!size.succeeded() || *size.value == 0) return 0;
    const auto buffers =
        hardware.readStreamConfiguration(id, OutputAddress::outputStreamConfiguration, *size.value);
    if (!buffers.succeeded()) return 0;
    std::uint64_t channels = 0;
    for (const auto count : *buffers.value)
        channels += count;
    return channels;
}

// Absent when the read fails or gives an empty text.
std::optional<std::string> readText(AudioHardware& hardware, AudioObjectId id,
                                    const Desktop::PropertyAddress& address) {
    auto text = hardware.readString(id, address);
    if (!text.succeeded() || text.value->empty()) return std::nullopt;
    return std::move(*text.value);
}

constexpr std::array<std::string_view, 5> wornOnTheHead = {"headphone", "headset", "airpods", "beats",
                                                           "earbud"};

// `name` is lower-cased. Head-worn devices are refused first, whatever else the name says.
bool nameLooksLikeBuiltInSpeakers(const std::string& name) {
    for (const auto worn : wornOnTheHead) {
        if (Text::contains(name, worn)) return false;
    }
    const bool speaker = Text::contains(name, "speaker");
    return (Text::contains(name, "macbook") && speaker) ||
           (Text::contains(name, "built-in") && (speaker || Text::contains(name, "output"))) ||
           Text::equals(name, "speakers") || Text::endsWith(name, " speakers");
}

// Every device the system lists; empty on any failure.
std::vector<AudioObjectId> allDeviceIDs(AudioHardware& hardware) {
    const auto size = hardware.propertyDataSize(Desktop::CoreAudio::systemObject, OutputAddress::devices);
    if (!size.succeeded()) return {};
    const std::uint32_t byteSize = *size.value / 4 * 4;
    auto ids = hardware.readObjectIds(Desktop::CoreAudio::systemObject, OutputAddress::devices, byteSize);
    if (!ids.succeeded()) return {};
    return std::move(*ids.value);
}

}  // namespace

std::vector<AudioObjectId> allOutputDeviceIDs(AudioHardware& hardware) {
    std::vector<AudioObjectId> outputs;
    for (const auto id : allDeviceIDs(hardware)) {
        if (outputChannelCount(hardware, id) >= 1) outputs.push_back(id);
    }
    return outputs;
}

std::optional<AudioObjectId> findBuiltInSpeakerDeviceID(AudioHardware& hardware) {
    const auto outputs = allOutputDeviceIDs(hardware);
    for (const auto id : outputs) {
        if (audioObjectUID(hardware, id) == builtInSpeakerUID) return id;
    }
    for (const auto id : outputs) {
        if (audioObjectUID(hardware, id) == builtInSpeakerUID) return id;
        if (nameLooksLikeBuiltInSpeakers(Text::lowercase(audioObjectName(hardware, id)))) return id;
    }
    return std::nullopt;
}

std::string audioObjectName(AudioHardware& hardware, AudioObjectId id) {
    if (auto name = readText(hardware, id, OutputAddress::name)) return std::move(*name);
    return "Device " + std::to_string(id);
}

std::optional<std::string> audioObjectUID(AudioHardware& hardware, AudioObjectId id) {
    return readText(hardware, id, OutputAddress::uid);
}

std::optional<AudioObjectId> findDeviceByUID(AudioHardware& hardware, const std::string& uid,
                                             AudioObjectId expected) {
    if (audioObjectUID(hardware, expected) == uid) return expected;
    for (const auto id : allDeviceIDs(hardware)) {
        if (id != expected && audioObjectUID(hardware, id) == uid) return id;
    }
    return std::nullopt;
}

OutputVolumeSnapshot captureAndApplyPlaybackVolume(
    AudioHardware& hardware, AudioObjectId id,
    const std::function<void(const OutputVolumeSnapshot&)>& captured) {
    OutputVolumeSnapshot snapshot{.deviceID = id};
    if (hardware.hasProperty(id, OutputAddress::mute)) {
        const auto muted = hardware.readUInt32(id, OutputAddress::mute);
        if (muted.succeeded()) {
            snapshot.hadMute = true;
            snapshot.muted = *muted.value;
        }
    }
    if (hardware.hasProperty(id, OutputAddress::volume)) {
        const auto volume = hardware.readFloat32(id, OutputAddress::volume);
        if (volume.succeeded()) {
            snapshot.hadVolume = true;
            snapshot.volume = *volume.value;
        }
    }
    if (captured) captured(snapshot);
    // Write statuses are not examined: a device that refuses still plays, only
    // at the level the user left it.
    if (snapshot.hadMute) hardware.writeUInt32(id, OutputAddress::mute, 0);
    if (snapshot.hadVolume) hardware.writeFloat32(id, OutputAddress::volume, playbackVolume);
    return snapshot;
}

void restoreOutputVolume(AudioHardware& hardware, const OutputVolumeSnapshot& snapshot) {
    if (snapshot.hadMute) hardware.writeUInt32(snapshot.deviceID, OutputAddress::mute, snapshot.muted);
    if (snapshot.hadVolume) hardware.writeFloat32(snapshot.deviceID, OutputAddress::volume, snapshot.volume);
}

}  // namespace Noticeplay
