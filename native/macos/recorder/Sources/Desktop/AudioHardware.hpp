#pragma once

// Core Audio object properties: one operation per AudioObject call, for the
// value kinds the tools read and write. Results carry the OSStatus.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Desktop/PlatformResult.hpp"

namespace Desktop {

using AudioObjectId = std::uint32_t;

constexpr std::uint32_t fourCharCode(const char (&code)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}

// The platform's constants, by value.
namespace CoreAudio {
inline constexpr AudioObjectId systemObject = 1;   // kAudioObjectSystemObject
inline constexpr AudioObjectId unknownObject = 0;  // kAudioObjectUnknown
inline constexpr std::uint32_t elementMain = 0;    // kAudioObjectPropertyElementMain

inline constexpr std::uint32_t scopeGlobal = fourCharCode("glob");
inline constexpr std::uint32_t scopeInput = fourCharCode("inpt");
inline constexpr std::uint32_t scopeOutput = fourCharCode("outp");

inline constexpr std::uint32_t hardwareDevices = fourCharCode("dev#");  // kAudioHardwarePropertyDevices
inline constexpr std::uint32_t defaultInputDevice =
    fourCharCode("dIn ");  // kAudioHardwarePropertyDefaultInputDevice
inline constexpr std::uint32_t defaultOutputDevice =
    fourCharCode("dOut");  // kAudioHardwarePropertyDefaultOutputDevice
inline constexpr std::uint32_t deviceIsRunningSomewhere =
    fourCharCode("gone");  // kAudioDevicePropertyDeviceIsRunningSomewhere
inline constexpr std::uint32_t streamConfiguration =
    fourCharCode("slay");                                          // kAudioDevicePropertyStreamConfiguration
inline constexpr std::uint32_t objectName = fourCharCode("lnam");  // kAudioObjectPropertyName
inline constexpr std::uint32_t deviceUID = fourCharCode("uid ");   // kAudioDevicePropertyDeviceUID
inline constexpr std::uint32_t mute = fourCharCode("mute");        // kAudioDevicePropertyMute
inline constexpr std::uint32_t virtualMainVolume =
    fourCharCode("vmvc");  // kAudioHardwareServiceDeviceProperty_VirtualMainVolume

// A few OSStatus values the simulated desktop reports.
inline constexpr std::int32_t noError = 0;
inline constexpr std::int32_t unknownPropertyError =
    fourCharCode("who?");                                               // kAudioHardwareUnknownPropertyError
inline constexpr std::int32_t badObjectError = fourCharCode("!obj");    // kAudioHardwareBadObjectError
inline constexpr std::int32_t unspecifiedError = fourCharCode("what");  // kAudioHardwareUnspecifiedError
inline constexpr std::int32_t illegalOperationError =
    fourCharCode("nope");  // kAudioHardwareIllegalOperationError
}  // namespace CoreAudio

struct PropertyAddress {
    std::uint32_t selector = 0;
    std::uint32_t scope = CoreAudio::scopeGlobal;
    std::uint32_t element = CoreAudio::elementMain;
};

class AudioHardware {
public:
    virtual ~AudioHardware() = default;

    // AudioObjectHasProperty
    virtual bool hasProperty(AudioObjectId object, const PropertyAddress& address) = 0;
    // AudioObjectGetPropertyDataSize, in bytes
    virtual PlatformResult<std::uint32_t> propertyDataSize(AudioObjectId object,
                                                           const PropertyAddress& address) = 0;

    // AudioObjectGetPropertyData for the value kinds the tools read.
    virtual PlatformResult<std::uint32_t> readUInt32(AudioObjectId object,
                                                     const PropertyAddress& address) = 0;
    virtual PlatformResult<float> readFloat32(AudioObjectId object, const PropertyAddress& address) = 0;
    // A list of object IDs read into a buffer of `byteSize` bytes (as sized by the caller).
    virtual PlatformResult<std::vector<AudioObjectId>> readObjectIds(AudioObjectId object,
                                                                     const PropertyAddress& address,
                                                                     std::uint32_t byteSize) = 0;
    // A CFStringRef property converted to UTF-8; a null reference gives no value.
    virtual PlatformResult<std::string> readString(AudioObjectId object, const PropertyAddress& address) = 0;
    // An AudioBufferList read into a buffer of `byteSize` bytes, as its buffers'
    // channel counts in order.
    virtual PlatformResult<std::vector<std::uint32_t>> readStreamConfiguration(AudioObjectId object,
                                                                               const PropertyAddress& address,
                                                                               std::uint32_t byteSize) = 0;

    // AudioObjectSetPropertyData; returns the OSStatus.
    virtual std::int32_t writeUInt32(AudioObjectId object, const PropertyAddress& address,
                                     std::uint32_t value) = 0;
    virtual std::int32_t writeFloat32(AudioObjectId object, const PropertyAddress& address, float value) = 0;
};

}  // namespace Desktop
