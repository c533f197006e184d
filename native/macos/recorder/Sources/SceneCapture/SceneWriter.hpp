#pragma once

// A captured desktop as a scene file for the simulated desktop: every element
// once, in the place its tree gives it, and every further mention of it as a
// reference to its id.

#include <string>

#include "SceneCapture/DesktopCapture.hpp"

namespace SceneCapture {

struct WriteOptions {
    std::string description = "Desktop captured by scenecapture";
    bool redact = false;
};

// The scene as JSON text, ending in a line feed.
std::string writeScene(const CapturedDesktop& desktop, const WriteOptions& options);

// Seconds an element that left a request unanswered is written to take: longer
// than any tool waits, so that a replay times out where the capture did.
inline constexpr double unansweredResponseTime = 1000;

}  // namespace SceneCapture
