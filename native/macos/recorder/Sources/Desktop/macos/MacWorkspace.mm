#include "Desktop/macos/MacWorkspace.hpp"

#include <AppKit/AppKit.h>

#include "Desktop/macos/CoreFoundationValues.hpp"

namespace Desktop::MacOS {

namespace {

std::optional<std::string> text(NSString* string) {
    if (string == nil) return std::nullopt;
    return utf8((__bridge CFStringRef)string);
}

RunningApplication runningApplication(NSRunningApplication* application) {
    return {.pid = application.processIdentifier,
            .localizedName = text(application.localizedName),
            .bundleIdentifier = text(application.bundleIdentifier)};
}

}  // namespace

std::optional<RunningApplication> MacWorkspace::frontmostApplication() {
    @autoreleasepool {
        NSRunningApplication* application = NSWorkspace.sharedWorkspace.frontmostApplication;
        if (application == nil) return std::nullopt;
        return runningApplication(application);
    }
}

std::vector<RunningApplication> MacWorkspace::runningApplications() {
    @autoreleasepool {
        std::vector<RunningApplication> applications;
        for (NSRunningApplication* application in NSWorkspace.sharedWorkspace.runningApplications)
            applications.push_back(runningApplication(application));
        return applications;
    }
}

}  // namespace Desktop::MacOS
