#pragma once

// Since macOS 10.15 the window server gives other applications' window names only to
// a process that may record the screen; without that permission every dictionary
// lacks kCGWindowName and the window scan sees no titles at all. A process that holds
// the Accessibility permission can still read the titles from the application itself:
// the window whose position and size are the dictionary's bounds is the same window.

#include "Callsense/WindowDictionary.hpp"
#include "Desktop/Desktop.hpp"

namespace Callsense {

// Answers slower than this are not waited for: the lookup only adds titles to the
// window scan, and the walk that follows has its own deadline.
inline constexpr float withheldNameMessagingTimeout = 0.5f;
// No request of the lookup starts later than this after its first one.
inline constexpr double withheldNameLookupSeconds = 1.0;

// Fills in kCGWindowName for the frontmost application's window dictionaries that lack
// the key and carry readable kCGWindowBounds, from that application's accessibility
// windows (one request for the window list, one for each window): a dictionary takes
// the AXTitle of the one window whose AXPosition and AXSize equal its bounds, and
// stays without a name when no window or several match. Nothing is read when no
// dictionary needs a name, and a lookup that the application leaves unanswered, or
// that runs out of time, fills in nothing. The caller checks the Accessibility
// permission first.
void readWithheldWindowNames(Desktop::Platform& platform, WindowList& windows, Desktop::Pid frontmostPid);

}  // namespace Callsense
