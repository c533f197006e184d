#include "Callsense/FocusPoint.hpp"

#include <cstdio>
#include <cstdlib>

#include "AccessibilityValues/AccessibilityValues.hpp"
#include "Text/JsonLine.hpp"

namespace Callsense {

using AccessibilityValues::elementListValue;
using AccessibilityValues::elementValue;
using AccessibilityValues::pointValue;
using AccessibilityValues::sizeValue;

std::optional<Desktop::Element> copyAXElement(Desktop::Accessibility& accessibility,
                                              const Desktop::Element& element, std::string_view attribute) {
    return elementValue(accessibility.copyAttributeValue(element, attribute));
}

std::optional<std::vector<Desktop::Element>> copyAXWindowList(Desktop::Accessibility& accessibility,
                                                              const Desktop::Element& element) {
    auto windows = elementListValue(accessibility.copyAttributeValue(element, "AXWindows"));
    if (!windows || windows->empty()) return std::nullopt;
    return windows;
}

std::optional<Desktop::Point> copyAXPoint(Desktop::Accessibility& accessibility,
                                          const Desktop::Element& element, std::string_view attribute) {
    return pointValue(accessibility.copyAttributeValue(element, attribute));
}

std::optional<Desktop::Size> copyAXSize(Desktop::Accessibility& accessibility,
                                        const Desktop::Element& element, std::string_view attribute) {
    return sizeValue(accessibility.copyAttributeValue(element, attribute));
}

std::optional<FocusPointOutput> focusPoint(Desktop::Platform& platform) {
    const auto frontmost = platform.workspace().frontmostApplication();
    if (!frontmost) return std::nullopt;
    auto& ax = platform.accessibility();
    const auto app = ax.applicationElement(frontmost->pid);

    auto window = copyAXElement(ax, app, "AXFocusedWindow");
    if (!window) window = copyAXElement(ax, app, "AXMainWindow");
    if (!window) {
        if (auto windows = copyAXWindowList(ax, app)) window = windows->front();
    }
    if (!window) return std::nullopt;

    const auto position = copyAXPoint(ax, *window, "AXPosition");
    if (!position) return std::nullopt;
    const auto size = copyAXSize(ax, *window, "AXSize");
    if (!size) return std::nullopt;

    return FocusPointOutput{
        .x = size->width * 0.5 + position->x,
        .y = size->height * 0.5 + position->y,
        .pid = frontmost->pid,
        .bundleId = frontmost->bundleIdentifier,
    };
}

std::optional<std::string> encodeFocusPoint(const FocusPointOutput& output) {
    Text::JsonLine line;
    line.add("x", output.x).add("y", output.y).add("pid", output.pid).add("bundleId", output.bundleId);
    return line.finish();
}

void runFocusPointModeAndExit(Desktop::Platform& platform) {
    const auto point = focusPoint(platform);
    const auto line = point ? encodeFocusPoint(*point) : std::nullopt;
    if (!line) std::exit(1);
    std::fwrite(line->data(), 1, line->size(), stdout);
    std::fflush(stdout);
    std::exit(0);
}

}  // namespace Callsense
