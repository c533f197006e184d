#pragma once

// The window's own close, minimise and full-screen buttons, which the reader
// must never press while it looks for the meeting-information control.

#include "RoomcodeCore/AXNode.hpp"

namespace RoomcodeCore::WindowChromeButtons {

bool isWindowButton(const AXNode& node);

}  // namespace RoomcodeCore::WindowChromeButtons
