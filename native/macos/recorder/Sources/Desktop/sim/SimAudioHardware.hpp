#pragma once

// Core Audio over the scene's devices. Writes change the devices for later
// reads and are journaled with the value before and after.

#include "Desktop/AudioHardware.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

class SimAudioHardware : public AudioHardware {
public:
    explicit SimAudioHardware(SimWorld& world) : world_(world) {}

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

private:
    SimWorld& world_;
};

}  // namespace Desktop::Sim
