#pragma once

// A hand-built audio desktop: devices with their properties, failures where a
// test asks for them, and a log of every write. Writes change the state, so a
// test can compare what the user had before with what is left afterwards.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "Desktop/AudioHardware.hpp"
#include "Desktop/AudioPlayback.hpp"
#include "Desktop/System.hpp"
#include "Noticeplay/PlayResponse.hpp"
#include "Support/ManualClock.hpp"

namespace NoticeplayTesting {

using Desktop::AudioObjectId;

struct FakeDevice {
    AudioObjectId id = 0;
    std::optional<std::string> name{};
    std::optional<std::string> uid{};
    std::vector<std::uint32_t> outputChannels{};  // per buffer; empty: no output streams
    std::optional<std::uint32_t> mute{};          // absent: no mute property
    std::optional<float> volume{};                // absent: no volume property
    bool muteReadFails = false;
    bool volumeReadFails = false;
};

// The state a user would notice.
struct AudioState {
    std::optional<AudioObjectId> defaultOutput{};
    std::map<AudioObjectId, std::optional<std::uint32_t>> mute{};
    std::map<AudioObjectId, std::optional<float>> volume{};
    bool operator==(const AudioState&) const = default;
};

struct Write {
    AudioObjectId object{};
    std::uint32_t selector{};
    double value{};
    bool operator==(const Write&) const = default;
};

class FakeAudioHardware;

// The usual desk: headphones are the default output; the built-in speakers are
// muted and quiet, so a restore that forgets anything shows.
inline constexpr AudioObjectId deskHeadphones = 3;
inline constexpr AudioObjectId deskSpeakers = 7;
void setUpHeadphonesDesk(FakeAudioHardware& hardware);

class FakeAudioHardware : public Desktop::AudioHardware {
public:
    std::vector<FakeDevice> devices{};
    std::optional<AudioObjectId> defaultOutput{};
    bool deviceListFails = false;
    bool defaultOutputReadFails = false;
    std::set<AudioObjectId> switchFailsTo{};  // writing these as the default output fails
    std::vector<Write> writes{};

    AudioState state() const;

    bool hasProperty(AudioObjectId object, const Desktop::PropertyAddress& address) override;
    Desktop::PlatformResult<std::uint32_t> propertyDataSize(AudioObjectId object,
                                                            const Desktop::PropertyAddress& address) override;
    Desktop::PlatformResult<std::uint32_t> readUInt32(AudioObjectId object,
                                                      const Desktop::PropertyAddress& address) override;
    Desktop::PlatformResult<float> readFloat32(AudioObjectId object,
                                               const Desktop::PropertyAddress& address) override;
    Desktop::PlatformResult<std::vector<AudioObjectId>> readObjectIds(AudioObjectId object,
                                                                      const Desktop::PropertyAddress& address,
                                                                      std::uint32_t byteSize) override;
    Desktop::PlatformResult<std::string> readString(AudioObjectId object,
                                                    const Desktop::PropertyAddress& address) override;
    Desktop::PlatformResult<std::vector<std::uint32_t>> readStreamConfiguration(
        AudioObjectId object, const Desktop::PropertyAddress& address, std::uint32_t byteSize) override;
    std::int32_t writeUInt32(AudioObjectId object, const Desktop::PropertyAddress& address,
                             std::uint32_t value) override;
    std::int32_t writeFloat32(AudioObjectId object, const Desktop::PropertyAddress& address,
                              float value) override;

private:
    FakeDevice* find(AudioObjectId id);
};

// A player that plays for a number of polls.
struct PlayerScript {
    std::optional<std::string> loadError{};
    bool playRefused = false;
    int pollsWhilePlaying = 3;
    bool stalls = false;  // reports playing until stopped
    double duration = 0.15;
};

struct PlayerLog {
    std::vector<std::string> calls{};
    float volume = -1.0F;
};

class FakeAudioPlayback : public Desktop::AudioPlayback {
public:
    std::map<std::string, PlayerScript> files{};
    std::shared_ptr<PlayerLog> log = std::make_shared<PlayerLog>();

    std::variant<std::unique_ptr<Desktop::AudioPlayer>, std::string> createPlayer(
        const std::string& path) override;
};

using Testing::ManualClock;

// The response of a play that reached its end.
inline Noticeplay::PlayResponse success(std::optional<std::string> uid, std::string name,
                                        bool restoredDefault) {
    Noticeplay::PlayResponse response;
    response.ok = true;
    response.deviceId = std::move(uid);
    response.deviceName = std::move(name);
    response.restoredDefault = restoredDefault;
    return response;
}

class FakeFileSystem : public Desktop::FileSystem {
public:
    std::set<std::string> paths{};
    bool exists(const std::string& path) override { return paths.contains(path); }
};

}  // namespace NoticeplayTesting
