#include "Callsense/WithheldWindowNames.hpp"

#include <algorithm>
#include <string>

#include "AccessibilityValues/AccessibilityValues.hpp"
#include "Callsense/WindowDictionary.hpp"

namespace Callsense {

using AccessibilityValues::AxResult;
using AccessibilityValues::copyAttributes;
using AccessibilityValues::elementListValue;
using AccessibilityValues::pointValue;
using AccessibilityValues::sizeValue;
using AccessibilityValues::stringValue;

namespace {

struct AxWindowFrame {
    Desktop::Rect frame;
    std::optional<std::string> title;
};

const std::vector<std::string> frameAttributes = {"AXTitle", "AXPosition", "AXSize"};
enum FrameAttribute { title, position, size };

// The client stopped answering, so a window left unread might have matched too.
bool unanswered(const std::vector<AxResult>& results) {
    return std::ranges::any_of(
        results, [](const AxResult& result) { return result.code == Desktop::AxError::cannotComplete; });
}

// The frontmost application's dictionaries that lack a name and carry readable bounds.
std::vector<Desktop::WindowDictionary*> namelessWindowsOf(WindowList& windows, Desktop::Pid frontmostPid) {
    std::vector<Desktop::WindowDictionary*> nameless;
    for (auto& window : windows) {
        if (windowInt32(*window, WindowKey::ownerPid) != frontmostPid) continue;
        if (window->contains(WindowKey::name)) continue;
        if (!windowRect(*window, WindowKey::bounds)) continue;
        nameless.push_back(&*window);
    }
    return nameless;
}

// The frame and title of each of the application's accessibility windows that
// has a frame; absent when the application leaves a request unanswered or the
// lookup runs out of time, since a window left unread might have matched too.
std::optional<std::vector<AxWindowFrame>> accessibilityWindowFrames(Desktop::Platform& platform,
                                                                    Desktop::Pid pid) {
    auto& accessibility = platform.accessibility();
    auto& clock = platform.clock();
    const double deadline = clock.now() + withheldNameLookupSeconds;

    const auto app = accessibility.applicationElement(pid);
    accessibility.setMessagingTimeout(app, withheldNameMessagingTimeout);
    const auto axWindows = elementListValue(accessibility.copyAttributeValue(app, "AXWindows"));
    if (!axWindows) return std::nullopt;

    std::vector<AxWindowFrame> frames;
    for (const auto& axWindow : *axWindows) {
        if (clock.now() > deadline) return std::nullopt;
        accessibility.setMessagingTimeout(axWindow, withheldNameMessagingTimeout);
        const auto results = copyAttributes(accessibility, axWindow, frameAttributes);
        if (unanswered(results)) return std::nullopt;
        const auto origin = pointValue(results[position]);
        const auto extent = sizeValue(results[size]);
        if (!origin || !extent) continue;
        frames.push_back(
            {.frame = {.origin = *origin, .size = *extent}, .title = stringValue(results[title])});
    }
    return frames;
}

// The title of the one window with exactly these bounds; none when no window or several have them.
std::optional<std::string> titleOfTheOneWindowAt(const std::vector<AxWindowFrame>& frames,
                                                 const Desktop::Rect& bounds) {
    const AxWindowFrame* match = nullptr;
    for (const auto& frame : frames) {
        if (frame.frame != bounds) continue;
        if (match != nullptr) return std::nullopt;
        match = &frame;
    }
    return match != nullptr ? match->title : std::nullopt;
}

}  // namespace

void readWithheldWindowNames(Desktop::Platform& platform, WindowList& windows, Desktop::Pid frontmostPid) {
    if (frontmostPid <= 0) return;
    // The scan reads nothing of a list that is not made of dictionaries throughout.
    if (std::ranges::any_of(windows, [](const auto& window) { return !window.has_value(); })) return;

    const auto nameless = namelessWindowsOf(windows, frontmostPid);
    if (nameless.empty()) return;
    const auto frames = accessibilityWindowFrames(platform, frontmostPid);
    if (!frames) return;
    for (auto* window : nameless) {
        if (auto title = titleOfTheOneWindowAt(*frames, *windowRect(*window, WindowKey::bounds))) {
            (*window)[WindowKey::name] = std::move(*title);
        }
    }
}

}  // namespace Callsense
