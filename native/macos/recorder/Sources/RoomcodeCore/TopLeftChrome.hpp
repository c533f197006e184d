#pragma once

// Where Zoom keeps its unlabelled meeting-information control: just left of the
// meeting title, or near the window's top-left corner. Two geometric rankings
// of the pressable controls, nearest first, for when no control says what it is.

#include <vector>

#include "RoomcodeCore/AXNode.hpp"
#include "RoomcodeCore/Clock.hpp"

namespace RoomcodeCore::TopLeftChrome {

struct Placement {
    AXNodePtr window;
    std::vector<AXNodePtr> pressables;
};

// Controls that start at most 80 points left of a meeting-title node and sit
// within 20 points of its height; a control beside two titles is listed twice.
std::vector<AXNodePtr> pressablesBesideMeetingTitle(const Placement& placement, Clock& clock);

// Controls in a box from 78 to 170 points right of the window's left edge and
// up to 48 points down from its top, nearest to (102, 22) from the corner first.
std::vector<AXNodePtr> rankedPressables(const Placement& placement);

}  // namespace RoomcodeCore::TopLeftChrome
