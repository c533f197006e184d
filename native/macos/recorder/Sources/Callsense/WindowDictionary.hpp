#pragma once

// Reading the loosely typed window dictionaries of the window server. A key that
// is missing or holds a value of another type reads as absent, never as an error.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Desktop/WindowServer.hpp"

namespace Callsense {

// The window server's list as it gave it; an entry that is not a dictionary is absent.
using WindowList = std::vector<std::optional<Desktop::WindowDictionary>>;

namespace WindowKey {
inline constexpr char ownerPid[] = "kCGWindowOwnerPID";
inline constexpr char name[] = "kCGWindowName";
inline constexpr char layer[] = "kCGWindowLayer";
inline constexpr char ownerName[] = "kCGWindowOwnerName";
inline constexpr char bounds[] = "kCGWindowBounds";
}  // namespace WindowKey

// A string value; numbers are not strings here.
std::optional<std::string> windowString(const Desktop::WindowDictionary& window, std::string_view key);

// A value that reads as a 32-bit signed integer the way an NSNumber bridges to
// Int32: an integer that fits, a floating-point number with an exact integral
// value that fits, or a boolean as 1 or 0. Strings and anything else are absent.
std::optional<std::int32_t> windowInt32(const Desktop::WindowDictionary& window, std::string_view key);

// A rectangle value, such as the window's bounds.
std::optional<Desktop::Rect> windowRect(const Desktop::WindowDictionary& window, std::string_view key);

}  // namespace Callsense
