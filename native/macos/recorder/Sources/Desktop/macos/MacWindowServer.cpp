#include "Desktop/macos/MacWindowServer.hpp"

#include <CoreGraphics/CoreGraphics.h>

#include "Desktop/macos/CFReference.hpp"
#include "Desktop/macos/CoreFoundationValues.hpp"

namespace Desktop::MacOS {

namespace {

// kCGWindowBounds is a dictionary in the form CGRectCreateDictionaryRepresentation makes.
LooseValue windowValue(CFTypeRef value) {
    if (value != nullptr && CFGetTypeID(value) == CFDictionaryGetTypeID()) {
        CGRect rect;
        if (CGRectMakeWithDictionaryRepresentation(static_cast<CFDictionaryRef>(value), &rect)) {
            return Rect{.origin = {.x = rect.origin.x, .y = rect.origin.y},
                        .size = {.width = rect.size.width, .height = rect.size.height}};
        }
    }
    return looseValue(value);
}

WindowDictionary windowDictionary(CFDictionaryRef dictionary) {
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void*> keys(static_cast<std::size_t>(count));
    std::vector<const void*> values(static_cast<std::size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    WindowDictionary window;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        // Window-list keys are strings; a key of another kind could not be named by one.
        if (keys[index] == nullptr || CFGetTypeID(keys[index]) != CFStringGetTypeID()) continue;
        window.emplace(utf8(static_cast<CFStringRef>(keys[index])), windowValue(values[index]));
    }
    return window;
}

}  // namespace

std::optional<std::vector<std::optional<WindowDictionary>>> MacWindowServer::onScreenWindows() {
    const auto list = CFReference<CFArrayRef>::adopt(
        CGWindowListCopyWindowInfo(kCGWindowListOptionOnScreenOnly, kCGNullWindowID));
    if (!list) return std::nullopt;
    std::vector<std::optional<WindowDictionary>> windows;
    const CFIndex count = CFArrayGetCount(list.get());
    windows.reserve(static_cast<std::size_t>(count));
    for (CFIndex index = 0; index < count; ++index) {
        const CFTypeRef entry = CFArrayGetValueAtIndex(list.get(), index);
        if (entry != nullptr && CFGetTypeID(entry) == CFDictionaryGetTypeID())
            windows.emplace_back(windowDictionary(static_cast<CFDictionaryRef>(entry)));
        else
            windows.emplace_back(std::nullopt);
    }
    return windows;
}

}  // namespace Desktop::MacOS
