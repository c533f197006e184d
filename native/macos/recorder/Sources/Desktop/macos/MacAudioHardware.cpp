#include "Desktop/macos/MacAudioHardware.hpp"

#include <CoreAudio/CoreAudio.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Desktop/macos/CFReference.hpp"
#include "Desktop/macos/CoreFoundationValues.hpp"

namespace Desktop::MacOS {

// The seam names Core Audio's constants by value; they must be Core Audio's.
static_assert(CoreAudio::systemObject == kAudioObjectSystemObject);
static_assert(CoreAudio::unknownObject == kAudioObjectUnknown);
static_assert(CoreAudio::elementMain == kAudioObjectPropertyElementMain);
static_assert(CoreAudio::scopeGlobal == kAudioObjectPropertyScopeGlobal);
static_assert(CoreAudio::scopeInput == kAudioObjectPropertyScopeInput);
static_assert(CoreAudio::scopeOutput == kAudioObjectPropertyScopeOutput);
static_assert(CoreAudio::hardwareDevices == kAudioHardwarePropertyDevices);
static_assert(CoreAudio::defaultInputDevice == kAudioHardwarePropertyDefaultInputDevice);
static_assert(CoreAudio::defaultOutputDevice == kAudioHardwarePropertyDefaultOutputDevice);
static_assert(CoreAudio::deviceIsRunningSomewhere == kAudioDevicePropertyDeviceIsRunningSomewhere);
static_assert(CoreAudio::streamConfiguration == kAudioDevicePropertyStreamConfiguration);
static_assert(CoreAudio::objectName == kAudioObjectPropertyName);
static_assert(CoreAudio::deviceUID == kAudioDevicePropertyDeviceUID);
static_assert(CoreAudio::mute == kAudioDevicePropertyMute);
static_assert(CoreAudio::noError == kAudioHardwareNoError);
static_assert(CoreAudio::unknownPropertyError == kAudioHardwareUnknownPropertyError);
static_assert(CoreAudio::badObjectError == kAudioHardwareBadObjectError);
static_assert(CoreAudio::unspecifiedError == kAudioHardwareUnspecifiedError);
static_assert(CoreAudio::illegalOperationError == kAudioHardwareIllegalOperationError);
static_assert(sizeof(AudioObjectId) == sizeof(AudioObjectID));

namespace {

AudioObjectPropertyAddress platformAddress(const PropertyAddress& address) {
    return {.mSelector = address.selector, .mScope = address.scope, .mElement = address.element};
}

// A property of fixed size and plain type; it has a value only when the read succeeds.
template <typename Value>
PlatformResult<Value> readValue(AudioObjectId object, const PropertyAddress& address) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    Value value{};
    UInt32 size = static_cast<UInt32>(sizeof(value));
    const OSStatus status = AudioObjectGetPropertyData(object, &platform, 0, nullptr, &size, &value);
    if (status != kAudioHardwareNoError) return {.code = status, .value = std::nullopt};
    return {.code = status, .value = value};
}

template <typename Value>
std::int32_t writeValue(AudioObjectId object, const PropertyAddress& address, Value value) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    return AudioObjectSetPropertyData(object, &platform, 0, nullptr, static_cast<UInt32>(sizeof(value)),
                                      &value);
}

}  // namespace

bool MacAudioHardware::hasProperty(AudioObjectId object, const PropertyAddress& address) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    return AudioObjectHasProperty(object, &platform) != 0;
}

PlatformResult<std::uint32_t> MacAudioHardware::propertyDataSize(AudioObjectId object,
                                                                 const PropertyAddress& address) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    UInt32 size = 0;
    const OSStatus status = AudioObjectGetPropertyDataSize(object, &platform, 0, nullptr, &size);
    if (status != kAudioHardwareNoError) return {.code = status, .value = std::nullopt};
    return {.code = status, .value = size};
}

PlatformResult<std::uint32_t> MacAudioHardware::readUInt32(AudioObjectId object,
                                                           const PropertyAddress& address) {
    return readValue<UInt32>(object, address);
}

PlatformResult<float> MacAudioHardware::readFloat32(AudioObjectId object, const PropertyAddress& address) {
    return readValue<Float32>(object, address);
}

PlatformResult<std::vector<AudioObjectId>> MacAudioHardware::readObjectIds(AudioObjectId object,
                                                                           const PropertyAddress& address,
                                                                           std::uint32_t byteSize) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    std::vector<AudioObjectID> ids((byteSize + sizeof(AudioObjectID) - 1) / sizeof(AudioObjectID));
    UInt32 size = byteSize;
    const OSStatus status = AudioObjectGetPropertyData(object, &platform, 0, nullptr, &size, ids.data());
    if (status != kAudioHardwareNoError) return {.code = status, .value = std::nullopt};
    // Only whole IDs within what the call says it wrote.
    ids.resize(std::min<std::size_t>(ids.size(), size / sizeof(AudioObjectID)));
    return {.code = status, .value = std::move(ids)};
}

PlatformResult<std::string> MacAudioHardware::readString(AudioObjectId object,
                                                         const PropertyAddress& address) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    // Core Audio hands over its CFString properties; the reader releases them. A
    // driver can put any Core Foundation object there, so its type is checked
    // before it is read as a string: anything else is a read without a string.
    CFReference<CFTypeRef> text;
    UInt32 size = static_cast<UInt32>(sizeof(CFStringRef));
    const OSStatus status = AudioObjectGetPropertyData(object, &platform, 0, nullptr, &size, text.receive());
    if (status != kAudioHardwareNoError || !text || CFGetTypeID(text.get()) != CFStringGetTypeID())
        return {.code = status, .value = std::nullopt};
    return {.code = status, .value = utf8(static_cast<CFStringRef>(text.get()))};
}

PlatformResult<std::vector<std::uint32_t>> MacAudioHardware::readStreamConfiguration(
    AudioObjectId object, const PropertyAddress& address, std::uint32_t byteSize) {
    const AudioObjectPropertyAddress platform = platformAddress(address);
    // Storage from operator new is aligned for the list and its buffers.
    const std::unique_ptr<std::byte[]> storage(new std::byte[byteSize]);
    UInt32 size = byteSize;
    const OSStatus status = AudioObjectGetPropertyData(object, &platform, 0, nullptr, &size, storage.get());
    if (status != kAudioHardwareNoError) return {.code = status, .value = std::nullopt};
    size = std::min(size, byteSize);

    // Read field by field, and only the buffers that lie within what the call wrote.
    std::vector<std::uint32_t> channels;
    constexpr std::size_t buffersOffset = offsetof(AudioBufferList, mBuffers);
    if (size < sizeof(UInt32)) return {.code = status, .value = std::move(channels)};
    UInt32 bufferCount = 0;
    std::memcpy(&bufferCount, storage.get(), sizeof(bufferCount));
    const std::size_t fitting = size >= buffersOffset ? (size - buffersOffset) / sizeof(AudioBuffer) : 0;
    const std::size_t count = std::min<std::size_t>(bufferCount, fitting);
    channels.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        AudioBuffer buffer{};
        std::memcpy(&buffer, storage.get() + buffersOffset + index * sizeof(AudioBuffer), sizeof(buffer));
        channels.push_back(buffer.mNumberChannels);
    }
    return {.code = status, .value = std::move(channels)};
}

std::int32_t MacAudioHardware::writeUInt32(AudioObjectId object, const PropertyAddress& address,
                                           std::uint32_t value) {
    return writeValue<UInt32>(object, address, value);
}

std::int32_t MacAudioHardware::writeFloat32(AudioObjectId object, const PropertyAddress& address,
                                            float value) {
    return writeValue<Float32>(object, address, value);
}

}  // namespace Desktop::MacOS
