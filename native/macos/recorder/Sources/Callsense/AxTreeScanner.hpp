#pragma once

// A bounded walk of one application's accessibility tree that sorts the texts it
// reads into the lists the meeting scoring looks at. It decides only where a
// text goes; what the lists mean is the scoring's business.

#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"

namespace Callsense {

struct WindowScan {
    std::vector<std::string> urls;
    std::vector<std::string> controlLabels;
    std::vector<std::string> lobbyHints;
    std::vector<std::string> inCallHints;

    bool empty() const {
        return urls.empty() && controlLabels.empty() && lobbyHints.empty() && inCallHints.empty();
    }
    bool operator==(const WindowScan&) const = default;
};

namespace AxTreeScanner {

// Shared by every root of one process scan, the application fallback included.
inline constexpr int nodeBudget = 800;
inline constexpr int maxDepth = 16;
inline constexpr double walkSeconds = 2.5;

// A point in time on the desktop's clock. Without a clock it never passes.
struct Deadline {
    Desktop::Clock* clock = nullptr;
    double at = 0;

    bool passed() const { return clock != nullptr && clock->now() > at; }
};

struct Walk {
    Desktop::Accessibility& accessibility;
    Deadline deadline;
    int nodesVisited = 0;
    WindowScan found;
};

struct Roots {
    std::vector<Desktop::Element> windowRoots;
    bool includeAppFallback = true;
};

WindowScan scanProcess(Desktop::Platform& platform, Desktop::Pid pid);

// The focused window, the main window, the meeting-looking windows, then the
// rest, each element once. Once the deadline has passed no further window title
// is read: nothing after that point would be walked anyway.
Roots prioritizedRoots(Desktop::Accessibility& accessibility, const Desktop::Element& app,
                       const Deadline& deadline = {});

// Appends `element` unless an element equal to it (CFEqual) is already there.
void appendUnique(Desktop::Accessibility& accessibility, const Desktop::Element& element,
                  std::vector<Desktop::Element>& roots);

// Visits one element and, depth first, its children, within the walk's budget.
void collect(Walk& walk, const Desktop::Element& element, int depth);

}  // namespace AxTreeScanner

}  // namespace Callsense
