#pragma once

// AppKit's workspace and running applications, declared from Apple's published
// reference for the syntax check only.

#include <Foundation/Foundation.h>
#include <sys/types.h>

#pragma clang assume_nonnull begin

@interface NSRunningApplication : NSObject
@property(readonly) pid_t processIdentifier;
@property(readonly, nullable, copy) NSString* localizedName;
@property(readonly, nullable, copy) NSString* bundleIdentifier;
@end

@interface NSWorkspace : NSObject
@property(class, readonly, strong) NSWorkspace* sharedWorkspace;
@property(readonly, nullable, strong) NSRunningApplication* frontmostApplication;
@property(readonly, copy) NSArray<NSRunningApplication*>* runningApplications;
@end

#pragma clang assume_nonnull end
