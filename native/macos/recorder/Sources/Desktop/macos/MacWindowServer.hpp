#pragma once

#include "Desktop/WindowServer.hpp"

namespace Desktop::MacOS {

// The window server's list of on-screen windows (Core Graphics).
class MacWindowServer final : public WindowServer {
public:
    std::optional<std::vector<std::optional<WindowDictionary>>> onScreenWindows() override;
};

}  // namespace Desktop::MacOS
