#pragma once

// Core Graphics as the macOS desktop uses it (geometry and the window list),
// declared from Apple's published reference for the syntax check only.

#include <CoreFoundation/CoreFoundation.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef double CGFloat;

struct CGPoint {
    CGFloat x;
    CGFloat y;
};
typedef struct CGPoint CGPoint;

struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;

struct CGRect {
    CGPoint origin;
    CGSize size;
};
typedef struct CGRect CGRect;

bool CGRectMakeWithDictionaryRepresentation(CFDictionaryRef dict, CGRect* rect);

typedef uint32_t CGWindowID;
#define kCGNullWindowID ((CGWindowID)0)

// Declared in the stricter of the two forms SDKs give option sets in C++ (an
// enum rather than an integer), so that code passing the constants fits both.
enum CGWindowListOption : uint32_t {
    kCGWindowListOptionAll = 0,
    kCGWindowListOptionOnScreenOnly = (1 << 0),
};
typedef enum CGWindowListOption CGWindowListOption;

CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);

#ifdef __cplusplus
}
#endif
