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

}  // namespace

void readWithheldWindowNames(Desktop::Platform& platform, WindowList& windows, Desktop::Pid frontmostPid) {
    if (frontmostPid <= 0) return;
    // The scan reads nothing of a list that is not made of dictionaries throughout.
    if (std::ranges::any_of(windows, [](const auto& window) { return !window.has_value(); })) return;

    std::vector<Desktop::WindowDictionary*> nameless;
    for (auto& window : windows) {
        if (windowInt32(*window, WindowKey::ownerPid) != frontmostPid) continue;
        if (window->contains(WindowKey::name)) continue;
        if (!windowRect(*window, WindowKey::bounds)) continue;
        nameless.push_back(&*window);
    }
    if (nameless.empty()) return;

    auto& accessibility = platform.accessibility();
    auto& clock = platform.clock();
    const double deadline = clock.now() + withheldNameLookupSeconds;

    const auto app = accessibility.applicationElement(frontmostPid);
    accessibility.setMessagingTimeout(app, withheldNameMessagingTimeout);
    const auto list = accessibility.copyAttributeValue(app, "AXWindows");
    const auto axWindows = elementListValue(list);
    if (!axWindows) return;

    std::vector<AxWindowFrame> frames;
    for (const auto& axWindow : *axWindows) {
        if (clock.now() > deadline) return;
        accessibility.setMessagingTimeout(axWindow, withheldNameMessagingTimeout);
        const auto results = copyAttributes(accessibility, axWindow, frameAttributes);
        if (unanswered(results)) return;
        const auto origin = pointValue(results[position]);
        const auto extent = sizeValue(results[size]);
        if (!origin || !extent) continue;
        frames.push_back(
            {.frame = {.origin = *origin, .size = *extent}, .title = stringValue(results[title])});
    }

    for (auto* window : nameless) {
        const auto bounds = *windowRect(*window, WindowKey::bounds);
        const AxWindowFrame* match = nullptr;
        int matches = 0;
        for (const auto& frame : frames) {
            if (frame.frame == bounds) {
                match = &frame;
                ++matches;
            }
        }
        if (matches == 1 && match->title) (*window)[WindowKey::name] = *match->title;
    }
}

}  // namespace Callsense
