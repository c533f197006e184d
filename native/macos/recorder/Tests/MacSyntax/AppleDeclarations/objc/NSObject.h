#pragma once

// The root class and the few Objective-C runtime names the macOS desktop relies
// on, declared from Apple's published reference for the syntax check only.

#ifndef __OBJC__
#error "Objective-C only"
#endif

// Apple silicon: BOOL is the C++ bool.
typedef bool BOOL;
#define YES true
#define NO false
#ifndef nil
#define nil nullptr
#endif

@protocol NSObject
- (BOOL)isEqual:(id)object;
@end

__attribute__((objc_root_class))
@interface NSObject<NSObject>
+ (instancetype)alloc;
- (instancetype)init;
@end
