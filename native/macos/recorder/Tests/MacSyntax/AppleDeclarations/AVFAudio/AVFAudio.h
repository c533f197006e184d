#pragma once

// AVFAudio's file player, declared from Apple's published reference for the
// syntax check only.

#include <Foundation/Foundation.h>

#pragma clang assume_nonnull begin

@interface AVAudioPlayer : NSObject
- (nullable instancetype)initWithContentsOfURL:(NSURL*)url error:(NSError**)outError;
@property float volume;
@property(readonly, getter=isPlaying) BOOL playing;
@property(readonly) NSTimeInterval duration;
- (BOOL)prepareToPlay;
- (BOOL)play;
- (void)stop;
@end

#pragma clang assume_nonnull end
