#pragma once

// Desktop scenes of a Zoom client in a meeting, of any size: a meeting window
// of a given number of accessibility elements, the home window and further
// client windows (participants, chat, apps, ...), every request answered after
// the same response time. The information button is at the top left of the
// meeting window, its popover comes before the meeting controls, and the
// participants' video tiles fill the rest, so that the readers' node budgets
// reach the controls however large the window grows.

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace Bench {

enum class MeetingIdShown {
    // Only the meeting-information popover shows the ID: it must be opened.
    inPopover,
    // The meeting window shows the ID already.
    inWindow,
};

struct ZoomClientShape {
    // Elements of the meeting window, the window included (at least 40).
    std::int64_t meetingWindowNodes = 1000;
    // Client windows, the meeting window included: the second is the home
    // window, the others are panels popped out of the meeting.
    int windows = 1;
    MeetingIdShown idShown = MeetingIdShown::inPopover;
    // Seconds the client takes to answer each Accessibility request.
    double responseTime = 0.0002;
};

// The meeting's ID as the scenes show it, digits only.
inline constexpr const char* meetingIdDigits = "81234567890";

nlohmann::ordered_json zoomClientScene(const ZoomClientShape& shape);

// Elements of the home window and of each further panel, for a meeting window of that size.
std::int64_t homeWindowNodes(std::int64_t meetingWindowNodes);
std::int64_t panelWindowNodes(std::int64_t meetingWindowNodes);

}  // namespace Bench
