#include "FakeAudio.hpp"

namespace NoticeplayTesting {

void setUpHeadphonesDesk(FakeAudioHardware& hardware) {
    hardware.devices = {
        {.id = deskHeadphones, .name = "AirPods Pro", .outputChannels = {2}, .mute = 0, .volume = 0.6F},
        {.id = deskSpeakers,
         .name = "MacBook Pro Speakers",
         .uid = "BuiltInSpeakerDevice",
         .outputChannels = {2},
         .mute = 1,
         .volume = 0.3F},
    };
    hardware.defaultOutput = deskHeadphones;
}

namespace CA = Desktop::CoreAudio;
using Desktop::PlatformResult;
using Desktop::PropertyAddress;

namespace {

constexpr std::int32_t failed = CA::unspecifiedError;

template <typename T>
PlatformResult<T> ok(T value) {
    return {.code = CA::noError, .value = std::move(value)};
}

template <typename T>
PlatformResult<T> error(std::int32_t code = failed) {
    return {.code = code, .value = std::nullopt};
}

class FakePlayer : public Desktop::AudioPlayer {
public:
    FakePlayer(PlayerScript script, std::shared_ptr<PlayerLog> log) : script_(script), log_(std::move(log)) {}
    void setVolume(float volume) override {
        log_->calls.push_back("setVolume");
        log_->volume = volume;
    }
    bool prepareToPlay() override {
        log_->calls.push_back("prepareToPlay");
        return true;
    }
    bool play() override {
        log_->calls.push_back("play");
        playing_ = !script_.playRefused;
        return playing_;
    }
    bool isPlaying() override {
        if (playing_ && !script_.stalls && polls_++ >= script_.pollsWhilePlaying) playing_ = false;
        return playing_;
    }
    double duration() override { return script_.duration; }
    void stop() override {
        log_->calls.push_back("stop");
        playing_ = false;
    }

private:
    PlayerScript script_;
    std::shared_ptr<PlayerLog> log_;
    bool playing_ = false;
    int polls_ = 0;
};

}  // namespace

FakeDevice* FakeAudioHardware::find(AudioObjectId id) {
    for (auto& device : devices) {
        if (device.id == id) return &device;
    }
    return nullptr;
}

AudioState FakeAudioHardware::state() const {
    AudioState state{.defaultOutput = defaultOutput};
    for (const auto& device : devices) {
        state.mute[device.id] = device.mute;
        state.volume[device.id] = device.volume;
    }
    return state;
}

bool FakeAudioHardware::hasProperty(AudioObjectId object, const PropertyAddress& address) {
    auto* device = find(object);
    if (!device) return false;
    if (address.selector == CA::mute) return device->mute.has_value();
    if (address.selector == CA::virtualMainVolume) return device->volume.has_value();
    return true;
}

PlatformResult<std::uint32_t> FakeAudioHardware::propertyDataSize(AudioObjectId object,
                                                                  const PropertyAddress& address) {
    if (object == CA::systemObject && address.selector == CA::hardwareDevices) {
        if (deviceListFails) return error<std::uint32_t>();
        return ok(static_cast<std::uint32_t>(devices.size() * 4));
    }
    auto* device = find(object);
    if (!device) return error<std::uint32_t>(CA::badObjectError);
    if (address.selector == CA::streamConfiguration && address.scope == CA::scopeOutput) {
        // An AudioBufferList: a count, then 16 bytes per buffer.
        return ok(static_cast<std::uint32_t>(8 + 16 * device->outputChannels.size()));
    }
    return error<std::uint32_t>(CA::unknownPropertyError);
}

PlatformResult<std::uint32_t> FakeAudioHardware::readUInt32(AudioObjectId object,
                                                            const PropertyAddress& address) {
    if (object == CA::systemObject && address.selector == CA::defaultOutputDevice) {
        if (defaultOutputReadFails || !defaultOutput) return error<std::uint32_t>();
        return ok(*defaultOutput);
    }
    auto* device = find(object);
    if (device && address.selector == CA::mute && device->mute && !device->muteReadFails)
        return ok(*device->mute);
    return error<std::uint32_t>(CA::unknownPropertyError);
}

PlatformResult<float> FakeAudioHardware::readFloat32(AudioObjectId object, const PropertyAddress& address) {
    auto* device = find(object);
    if (device && address.selector == CA::virtualMainVolume && device->volume && !device->volumeReadFails) {
        return ok(*device->volume);
    }
    return error<float>(CA::unknownPropertyError);
}

PlatformResult<std::vector<AudioObjectId>> FakeAudioHardware::readObjectIds(AudioObjectId object,
                                                                            const PropertyAddress& address,
                                                                            std::uint32_t byteSize) {
    if (object != CA::systemObject || address.selector != CA::hardwareDevices || deviceListFails) {
        return error<std::vector<AudioObjectId>>();
    }
    std::vector<AudioObjectId> ids;
    for (const auto& device : devices) {
        if (ids.size() * 4 >= byteSize) break;
        ids.push_back(device.id);
    }
    return ok(std::move(ids));
}

PlatformResult<std::string> FakeAudioHardware::readString(AudioObjectId object,
                                                          const PropertyAddress& address) {
    auto* device = find(object);
    if (!device) return error<std::string>(CA::badObjectError);
    const auto& text = address.selector == CA::objectName  ? device->name
                       : address.selector == CA::deviceUID ? device->uid
                                                           : std::optional<std::string>();
    if (!text) return error<std::string>(CA::unknownPropertyError);
    return ok(*text);
}

PlatformResult<std::vector<std::uint32_t>> FakeAudioHardware::readStreamConfiguration(
    AudioObjectId object, const PropertyAddress& address, std::uint32_t byteSize) {
    auto* device = find(object);
    if (!device || address.scope != CA::scopeOutput || byteSize < 8 + 16 * device->outputChannels.size()) {
        return error<std::vector<std::uint32_t>>();
    }
    return ok(device->outputChannels);
}

std::int32_t FakeAudioHardware::writeUInt32(AudioObjectId object, const PropertyAddress& address,
                                            std::uint32_t value) {
    writes.push_back({object, address.selector, static_cast<double>(value)});
    if (object == CA::systemObject && address.selector == CA::defaultOutputDevice) {
        if (switchFailsTo.contains(value) || !find(value)) return failed;
        defaultOutput = value;
        return CA::noError;
    }
    auto* device = find(object);
    if (!device || address.selector != CA::mute || !device->mute) return CA::unknownPropertyError;
    device->mute = value;
    return CA::noError;
}

std::int32_t FakeAudioHardware::writeFloat32(AudioObjectId object, const PropertyAddress& address,
                                             float value) {
    writes.push_back({object, address.selector, static_cast<double>(value)});
    auto* device = find(object);
    if (!device || address.selector != CA::virtualMainVolume || !device->volume)
        return CA::unknownPropertyError;
    device->volume = value;
    return CA::noError;
}

std::variant<std::unique_ptr<Desktop::AudioPlayer>, std::string> FakeAudioPlayback::createPlayer(
    const std::string& path) {
    const auto found = files.find(path);
    const PlayerScript script = found == files.end() ? PlayerScript{} : found->second;
    if (script.loadError) return *script.loadError;
    return std::make_unique<FakePlayer>(script, log);
}

}  // namespace NoticeplayTesting
