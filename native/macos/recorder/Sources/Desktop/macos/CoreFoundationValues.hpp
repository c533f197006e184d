#pragma once

// Conversions between Core Foundation values and the seam's plain values, shared
// by every part of the macOS desktop that reads or passes Core Foundation types.

#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "Desktop/WindowServer.hpp"
#include "Desktop/macos/CFReference.hpp"

namespace Desktop::MacOS {

// The whole string as UTF-8; each unpaired surrogate becomes U+FFFD.
std::string utf8(CFStringRef string);

// Null when the text is not valid UTF-8, which no CFString can hold.
CFReference<CFStringRef> makeString(std::string_view text);

// The platform's name for the value's type ("CFDictionary", "AXValue", ...).
std::string typeName(CFTypeRef value);

// A CFNumber keeps its kind: floating types as double, all others as integers.
std::variant<std::int64_t, double> numberValue(CFNumberRef number);

// A window-list value: strings, numbers and booleans as such, anything else by type name.
LooseValue looseValue(CFTypeRef value);

}  // namespace Desktop::MacOS
