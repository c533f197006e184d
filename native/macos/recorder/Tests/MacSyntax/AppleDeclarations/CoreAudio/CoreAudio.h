#pragma once

// Core Audio's object properties as the macOS desktop uses them, declared from
// Apple's published reference for the syntax check only. The four-character
// codes are written out in hexadecimal.

#include <CoreFoundation/CoreFoundation.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef UInt32 AudioObjectID;
typedef UInt32 AudioObjectPropertySelector;
typedef UInt32 AudioObjectPropertyScope;
typedef UInt32 AudioObjectPropertyElement;

struct AudioObjectPropertyAddress {
    AudioObjectPropertySelector mSelector;
    AudioObjectPropertyScope mScope;
    AudioObjectPropertyElement mElement;
};
typedef struct AudioObjectPropertyAddress AudioObjectPropertyAddress;

struct AudioBuffer {
    UInt32 mNumberChannels;
    UInt32 mDataByteSize;
    void* mData;
};
typedef struct AudioBuffer AudioBuffer;

struct AudioBufferList {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[1];
};
typedef struct AudioBufferList AudioBufferList;

enum : AudioObjectID {
    kAudioObjectUnknown = 0,
    kAudioObjectSystemObject = 1,
};

enum : AudioObjectPropertyScope {
    kAudioObjectPropertyScopeGlobal = 0x676c6f62,  // 'glob'
    kAudioObjectPropertyScopeInput = 0x696e7074,   // 'inpt'
    kAudioObjectPropertyScopeOutput = 0x6f757470,  // 'outp'
};

enum : AudioObjectPropertyElement { kAudioObjectPropertyElementMain = 0 };

enum : AudioObjectPropertySelector {
    kAudioObjectPropertyName = 0x6c6e616d,                      // 'lnam'
    kAudioHardwarePropertyDevices = 0x64657623,                 // 'dev#'
    kAudioHardwarePropertyDefaultInputDevice = 0x64496e20,      // 'dIn '
    kAudioHardwarePropertyDefaultOutputDevice = 0x644f7574,     // 'dOut'
    kAudioDevicePropertyDeviceUID = 0x75696420,                 // 'uid '
    kAudioDevicePropertyDeviceIsRunningSomewhere = 0x676f6e65,  // 'gone'
    kAudioDevicePropertyStreamConfiguration = 0x736c6179,       // 'slay'
    kAudioDevicePropertyMute = 0x6d757465,                      // 'mute'
};

enum : OSStatus {
    kAudioHardwareNoError = 0,
    kAudioHardwareUnspecifiedError = 0x77686174,       // 'what'
    kAudioHardwareUnknownPropertyError = 0x77686f3f,   // 'who?'
    kAudioHardwareIllegalOperationError = 0x6e6f7065,  // 'nope'
    kAudioHardwareBadObjectError = 0x216f626a,         // '!obj'
};

Boolean AudioObjectHasProperty(AudioObjectID inObjectID, const AudioObjectPropertyAddress* inAddress);
OSStatus AudioObjectGetPropertyDataSize(AudioObjectID inObjectID, const AudioObjectPropertyAddress* inAddress,
                                        UInt32 inQualifierDataSize, const void* inQualifierData,
                                        UInt32* outDataSize);
OSStatus AudioObjectGetPropertyData(AudioObjectID inObjectID, const AudioObjectPropertyAddress* inAddress,
                                    UInt32 inQualifierDataSize, const void* inQualifierData,
                                    UInt32* ioDataSize, void* outData);
OSStatus AudioObjectSetPropertyData(AudioObjectID inObjectID, const AudioObjectPropertyAddress* inAddress,
                                    UInt32 inQualifierDataSize, const void* inQualifierData,
                                    UInt32 inDataSize, const void* inData);

#ifdef __cplusplus
}
#endif
