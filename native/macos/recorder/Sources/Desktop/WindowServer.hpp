#pragma once

// The window server's list of on-screen windows, as loosely typed as the
// platform gives it, so that missing and mistyped keys stay visible above.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Desktop/Accessibility.hpp"

namespace Desktop {

// A CGRect, in global screen coordinates with y growing downwards, as
// kCGWindowBounds holds it.
struct Rect {
    Point origin;
    Size size;
    bool operator==(const Rect&) const = default;
};

// A dictionary value: CFString, CFNumber (integer or floating kind), CFBoolean, a
// dictionary that CGRectMakeWithDictionaryRepresentation reads as a rectangle, or
// anything else by type name (another dictionary, an array, ...).
using LooseValue = std::variant<std::string, std::int64_t, double, bool, OtherValue, Rect>;

using WindowDictionary = std::map<std::string, LooseValue>;

class WindowServer {
public:
    virtual ~WindowServer() = default;

    // CGWindowListCopyWindowInfo(kCGWindowListOptionOnScreenOnly, kCGNullWindowID).
    // Absent when the call gives nothing; an entry that is not a dictionary is absent.
    virtual std::optional<std::vector<std::optional<WindowDictionary>>> onScreenWindows() = 0;
};

}  // namespace Desktop
