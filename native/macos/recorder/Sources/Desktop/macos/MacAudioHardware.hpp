#pragma once

#include "Desktop/AudioHardware.hpp"

namespace Desktop::MacOS {

// Core Audio object properties (AudioObject*PropertyData).
class MacAudioHardware final : public AudioHardware {
public:
    bool hasProperty(AudioObjectId object, const PropertyAddress& address) override;
    PlatformResult<std::uint32_t> propertyDataSize(AudioObjectId object,
                                                   const PropertyAddress& address) override;
    PlatformResult<std::uint32_t> readUInt32(AudioObjectId object, const PropertyAddress& address) override;
    PlatformResult<float> readFloat32(AudioObjectId object, const PropertyAddress& address) override;
    PlatformResult<std::vector<AudioObjectId>> readObjectIds(AudioObjectId object,
                                                             const PropertyAddress& address,
                                                             std::uint32_t byteSize) override;
    PlatformResult<std::string> readString(AudioObjectId object, const PropertyAddress& address) override;
    PlatformResult<std::vector<std::uint32_t>> readStreamConfiguration(AudioObjectId object,
                                                                       const PropertyAddress& address,
                                                                       std::uint32_t byteSize) override;
    std::int32_t writeUInt32(AudioObjectId object, const PropertyAddress& address,
                             std::uint32_t value) override;
    std::int32_t writeFloat32(AudioObjectId object, const PropertyAddress& address, float value) override;
};

}  // namespace Desktop::MacOS
