#pragma once

// Telling Zoom's windows apart by their accessibility trees alone: the home
// window, the live meeting, a join preview, a waiting room, the companion
// window shown while sharing, a meeting-information surface. The tests only
// read; a walk cut short leaves the evidence it gathered so far.

#include <string>
#include <string_view>
#include <vector>

#include "RoomcodeCore/AXNode.hpp"
#include "RoomcodeCore/Clock.hpp"

namespace RoomcodeCore::WindowClassifiers {

// The texts that name a control: title, value, description, help and role
// description, in that order, without the absent and empty ones.
std::vector<std::string> controlLabels(const AXNode& node);

// Every node a walk of the window reaches (1000 nodes, depth 18, 3 seconds),
// the window first.
std::vector<AXNodePtr> collectedNodes(const AXNodePtr& window, Clock& clock);

// The control labels of the nodes, one per line, lower-cased.
std::string controlText(const std::vector<AXNodePtr>& nodes);

// Both take a label already trimmed and lower-cased.
bool isLeaveControl(std::string_view label);
bool isMuteControl(std::string_view label);

bool isHomeWindow(const AXNode& window);
bool isShareCompanion(const AXNode& window);
bool isJoinPreviewWindow(const AXNodePtr& window, Clock& clock);
bool isWaitingRoomWindow(const AXNodePtr& window, Clock& clock);
bool isLiveMeetingWindow(const AXNodePtr& window, Clock& clock);
bool looksLikeMeetingInfoSurface(const AXNodePtr& window, Clock& clock);
// The control text of the meeting window names a sharing control.
bool meetingWindowShowsSharing(const AXNodePtr& meetingWindow, Clock& clock);

bool sameWindow(const AXNode& a, const AXNode& b);

}  // namespace RoomcodeCore::WindowClassifiers
