#include "Desktop/sim/SimAudioHardware.hpp"

#include <algorithm>

namespace Desktop::Sim {

namespace {

// kAudioHardwareBadPropertySizeError: the caller's buffer does not fit the value.
constexpr std::int32_t badPropertySizeError = static_cast<std::int32_t>(fourCharCode("!siz"));

enum class Property {
    devices,
    defaultInput,
    defaultOutput,
    running,
    inputStreams,
    outputStreams,
    name,
    uid,
    mute,
    volume,
    unknown,  // the object has no such property
    badObject,
};

// What an address names on an object of the current audio state; mute and
// volume exist only where the scene gave them.
Property classify(SceneAudio& audio, AudioObjectId object, const PropertyAddress& address,
                  SceneDevice** device) {
    if (object == CoreAudio::systemObject) {
        if (address.element != CoreAudio::elementMain) return Property::unknown;
        switch (address.selector) {
            case CoreAudio::hardwareDevices:
                return Property::devices;
            case CoreAudio::defaultInputDevice:
                return Property::defaultInput;
            case CoreAudio::defaultOutputDevice:
                return Property::defaultOutput;
            default:
                return Property::unknown;
        }
    }
    SceneDevice* found = nullptr;
    for (auto& candidate : audio.devices) {
        if (candidate.id == object) found = &candidate;
    }
    if (found == nullptr) return Property::badObject;
    *device = found;
    if (address.element != CoreAudio::elementMain) return Property::unknown;
    switch (address.selector) {
        case CoreAudio::objectName:
            return Property::name;
        case CoreAudio::deviceUID:
            return Property::uid;
        case CoreAudio::deviceIsRunningSomewhere:
            return Property::running;
        case CoreAudio::streamConfiguration:
            if (address.scope == CoreAudio::scopeInput) return Property::inputStreams;
            if (address.scope == CoreAudio::scopeOutput) return Property::outputStreams;
            return Property::unknown;
        case CoreAudio::mute:
            return address.scope == CoreAudio::scopeOutput && found->mute ? Property::mute
                                                                          : Property::unknown;
        case CoreAudio::virtualMainVolume:
            return address.scope == CoreAudio::scopeOutput && found->volume ? Property::volume
                                                                            : Property::unknown;
        default:
            return Property::unknown;
    }
}

bool isDevice(const SceneAudio& audio, AudioObjectId id) {
    return std::any_of(audio.devices.begin(), audio.devices.end(),
                       [id](const SceneDevice& device) { return device.id == id; });
}

std::int32_t missing(Property property) {
    return property == Property::badObject ? CoreAudio::badObjectError : CoreAudio::unknownPropertyError;
}

std::string fourCharText(std::uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += static_cast<char>((code >> shift) & 0xFF);
    return text;
}

// The shape every read shares: count it, hold the world, make the audio changes
// whose moment has come, and let `answer` read what the address names; an
// address that names nothing answers with the platform's status for that.
template <typename T, typename Answer>
PlatformResult<T> audioRead(SimWorld& world, const char* kind, AudioObjectId object,
                            const PropertyAddress& address, Answer answer) {
    world.counts.add(kind);
    std::lock_guard lock(world.mutex);
    world.makeDueAudioChanges();
    SceneDevice* device = nullptr;
    const auto property = classify(world.audio, object, address, &device);
    if (property == Property::unknown || property == Property::badObject)
        return {missing(property), std::nullopt};
    return answer(property, device);
}

// The journal entry of a write the platform refused before it reached a property.
std::int32_t refusedWrite(SimWorld& world, AudioObjectId object, const PropertyAddress& address,
                          nlohmann::ordered_json value, std::int32_t status) {
    world.journal.record(nlohmann::ordered_json{{"event", "audioWrite"},
                                                {"object", object},
                                                {"selector", fourCharText(address.selector)},
                                                {"scope", fourCharText(address.scope)},
                                                {"value", std::move(value)},
                                                {"status", status}});
    return status;
}

// A write to a property, as its journal entry tells it.
struct Write {
    bool readable = false;  // the value before it could be read
    nlohmann::ordered_json before;
    nlohmann::ordered_json written;
    std::int32_t status = 0;
};

// The value after a write is the one before it when the write failed.
void recordWrite(SimWorld& world, nlohmann::ordered_json entry, const Write& write) {
    if (write.readable) entry["before"] = write.before;
    if (write.status == 0) {
        entry["after"] = write.written;
    } else if (write.readable) {
        entry["after"] = write.before;
    }
    entry["status"] = write.status;
    world.journal.record(entry);
}

}  // namespace

bool SimAudioHardware::hasProperty(AudioObjectId object, const PropertyAddress& address) {
    world_.counts.add("audioHardware.hasProperty");
    std::lock_guard lock(world_.mutex);
    world_.makeDueAudioChanges();
    SceneDevice* device = nullptr;
    const auto property = classify(world_.audio, object, address, &device);
    return property != Property::unknown && property != Property::badObject;
}

PlatformResult<std::uint32_t> SimAudioHardware::propertyDataSize(AudioObjectId object,
                                                                 const PropertyAddress& address) {
    return audioRead<std::uint32_t>(
        world_, "audioHardware.propertyDataSize", object, address,
        [&](Property property, const SceneDevice* device) -> PlatformResult<std::uint32_t> {
            switch (property) {
                case Property::devices:
                    if (world_.audio.deviceListError != 0)
                        return {world_.audio.deviceListError, std::nullopt};
                    return {0, static_cast<std::uint32_t>(4 * world_.audio.devices.size())};
                case Property::inputStreams:
                case Property::outputStreams: {
                    const auto& layout =
                        property == Property::inputStreams ? device->inputChannels : device->outputChannels;
                    if (layout.error != 0) return {layout.error, std::nullopt};
                    // sizeof(AudioBufferList) with n buffers on a 64-bit system.
                    const auto n = static_cast<std::uint32_t>(layout.buffers.size());
                    return {0, n == 0 ? 0 : 8 + 16 * n};
                }
                case Property::name:
                case Property::uid:
                    return {0, 8};  // a CFStringRef
                default:
                    return {0, 4};
            }
        });
}

PlatformResult<std::uint32_t> SimAudioHardware::readUInt32(AudioObjectId object,
                                                           const PropertyAddress& address) {
    return audioRead<std::uint32_t>(
        world_, "audioHardware.readUInt32", object, address,
        [&](Property property, const SceneDevice* device) -> PlatformResult<std::uint32_t> {
            const AudioProperty<std::uint32_t>* source = nullptr;
            switch (property) {
                case Property::defaultInput:
                    source = &world_.audio.defaultInput;
                    break;
                case Property::defaultOutput:
                    source = &world_.audio.defaultOutput;
                    break;
                case Property::running:
                    source = &device->running;
                    break;
                case Property::mute:
                    source = &*device->mute;
                    break;
                default:
                    return {badPropertySizeError, std::nullopt};
            }
            if (source->readError != 0) return {source->readError, std::nullopt};
            return {0, source->value.value_or(0)};
        });
}

PlatformResult<float> SimAudioHardware::readFloat32(AudioObjectId object, const PropertyAddress& address) {
    return audioRead<float>(world_, "audioHardware.readFloat32", object, address,
                            [](Property property, const SceneDevice* device) -> PlatformResult<float> {
                                if (property != Property::volume) return {badPropertySizeError, std::nullopt};
                                if (device->volume->readError != 0)
                                    return {device->volume->readError, std::nullopt};
                                return {0, device->volume->value.value_or(0.0F)};
                            });
}

PlatformResult<std::vector<AudioObjectId>> SimAudioHardware::readObjectIds(AudioObjectId object,
                                                                           const PropertyAddress& address,
                                                                           std::uint32_t byteSize) {
    return audioRead<std::vector<AudioObjectId>>(
        world_, "audioHardware.readObjectIds", object, address,
        [&](Property property, const SceneDevice*) -> PlatformResult<std::vector<AudioObjectId>> {
            if (property != Property::devices) return {badPropertySizeError, std::nullopt};
            if (world_.audio.deviceListError != 0) return {world_.audio.deviceListError, std::nullopt};
            // The list is cut to what the caller's buffer holds, as the platform does.
            std::vector<AudioObjectId> ids;
            for (const auto& d : world_.audio.devices) {
                if (ids.size() >= byteSize / 4) break;
                ids.push_back(d.id);
            }
            return {0, std::move(ids)};
        });
}

PlatformResult<std::string> SimAudioHardware::readString(AudioObjectId object,
                                                         const PropertyAddress& address) {
    return audioRead<std::string>(
        world_, "audioHardware.readString", object, address,
        [](Property property, const SceneDevice* device) -> PlatformResult<std::string> {
            if (property != Property::name && property != Property::uid)
                return {badPropertySizeError, std::nullopt};
            const auto& source = property == Property::name ? device->name : device->uid;
            if (source.readError != 0) return {source.readError, std::nullopt};
            return {0, source.value};
        });
}

PlatformResult<std::vector<std::uint32_t>> SimAudioHardware::readStreamConfiguration(
    AudioObjectId object, const PropertyAddress& address, std::uint32_t byteSize) {
    return audioRead<std::vector<std::uint32_t>>(
        world_, "audioHardware.readStreamConfiguration", object, address,
        [&](Property property, const SceneDevice* device) -> PlatformResult<std::vector<std::uint32_t>> {
            if (property != Property::inputStreams && property != Property::outputStreams) {
                return {badPropertySizeError, std::nullopt};
            }
            const auto& layout =
                property == Property::inputStreams ? device->inputChannels : device->outputChannels;
            if (layout.error != 0) return {layout.error, std::nullopt};
            const auto n = static_cast<std::uint32_t>(layout.buffers.size());
            if (n > 0 && byteSize < 8 + 16 * n) return {badPropertySizeError, std::nullopt};
            return {0, layout.buffers};
        });
}

std::int32_t SimAudioHardware::writeUInt32(AudioObjectId object, const PropertyAddress& address,
                                           std::uint32_t value) {
    world_.counts.add("audioHardware.writeUInt32");
    std::lock_guard lock(world_.mutex);
    world_.makeDueAudioChanges();
    SceneDevice* device = nullptr;
    const auto property = classify(world_.audio, object, address, &device);
    AudioProperty<std::uint32_t>* target = nullptr;
    nlohmann::ordered_json entry;
    switch (property) {
        case Property::defaultInput:
        case Property::defaultOutput:
            target =
                property == Property::defaultInput ? &world_.audio.defaultInput : &world_.audio.defaultOutput;
            entry["event"] = property == Property::defaultInput ? "setDefaultInput" : "setDefaultOutput";
            break;
        case Property::mute:
            target = &*device->mute;
            entry["event"] = "setMute";
            entry["device"] = object;
            break;
        case Property::unknown:
        case Property::badObject:
            return refusedWrite(world_, object, address, value, missing(property));
        case Property::volume:
            return refusedWrite(world_, object, address, value, badPropertySizeError);
        default:
            return refusedWrite(world_, object, address, value, CoreAudio::illegalOperationError);
    }
    const bool readable = target->readError == 0;
    const std::uint32_t before = target->value.value_or(0);
    std::int32_t status = target->writeError;
    if (status == 0 && property != Property::mute && !isDevice(world_.audio, value)) {
        status = CoreAudio::badObjectError;
    }
    if (status == 0) target->value = value;
    recordWrite(world_, std::move(entry),
                {.readable = readable, .before = before, .written = value, .status = status});
    return status;
}

std::int32_t SimAudioHardware::writeFloat32(AudioObjectId object, const PropertyAddress& address,
                                            float value) {
    world_.counts.add("audioHardware.writeFloat32");
    std::lock_guard lock(world_.mutex);
    world_.makeDueAudioChanges();
    SceneDevice* device = nullptr;
    const auto property = classify(world_.audio, object, address, &device);
    if (property != Property::volume) {
        return refusedWrite(world_, object, address, floatNumber(value),
                            property == Property::unknown || property == Property::badObject
                                ? missing(property)
                                : badPropertySizeError);
    }
    auto& volume = *device->volume;
    const bool readable = volume.readError == 0;
    const float before = volume.value.value_or(0.0F);
    const std::int32_t status = volume.writeError;
    if (status == 0) volume.value = value;
    recordWrite(world_, {{"event", "setVolume"}, {"device", object}},
                {.readable = readable,
                 .before = floatNumber(before),
                 .written = floatNumber(value),
                 .status = status});
    return status;
}

}  // namespace Desktop::Sim
