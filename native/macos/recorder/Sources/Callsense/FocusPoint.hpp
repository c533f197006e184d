#pragma once

// Focus-point mode: where the frontmost application's current window sits, so
// the host can place its own panel over it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Desktop/Desktop.hpp"

namespace Callsense {

struct FocusPointOutput {
    double x = 0;
    double y = 0;
    Desktop::Pid pid = 0;
    std::optional<std::string> bundleId;

    bool operator==(const FocusPointOutput&) const = default;
};

std::optional<Desktop::Element> copyAXElement(Desktop::Accessibility& accessibility,
                                              const Desktop::Element& element, std::string_view attribute);
// AXWindows, only when it is a non-empty list of elements.
std::optional<std::vector<Desktop::Element>> copyAXWindowList(Desktop::Accessibility& accessibility,
                                                              const Desktop::Element& element);
std::optional<Desktop::Point> copyAXPoint(Desktop::Accessibility& accessibility,
                                          const Desktop::Element& element, std::string_view attribute);
std::optional<Desktop::Size> copyAXSize(Desktop::Accessibility& accessibility,
                                        const Desktop::Element& element, std::string_view attribute);

// The centre of the frontmost application's focused, main or first window;
// absent when any step finds nothing.
std::optional<FocusPointOutput> focusPoint(Desktop::Platform& platform);

// The JSON line with its line feed, absent when it cannot be encoded.
std::optional<std::string> encodeFocusPoint(const FocusPointOutput& output);

// Prints the line and exits with 0, or exits with 1 having printed nothing.
[[noreturn]] void runFocusPointModeAndExit(Desktop::Platform& platform);

}  // namespace Callsense
