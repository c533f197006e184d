#pragma once

// The one seam between the tools and the desktop they run on. Every platform
// service reaches the tools through these interfaces; every decision about what
// a value means is made above them.

#include "Desktop/Accessibility.hpp"
#include "Desktop/AudioHardware.hpp"
#include "Desktop/AudioPlayback.hpp"
#include "Desktop/System.hpp"
#include "Desktop/WindowServer.hpp"
#include "Desktop/Workspace.hpp"

namespace Desktop {

class Platform {
public:
    virtual ~Platform() = default;

    virtual Accessibility& accessibility() = 0;
    virtual WindowServer& windowServer() = 0;
    virtual Workspace& workspace() = 0;
    virtual AudioHardware& audioHardware() = 0;
    virtual AudioPlayback& audioPlayback() = 0;
    virtual TerminationSignals& terminationSignals() = 0;
    virtual Clock& clock() = 0;
    virtual FileSystem& fileSystem() = 0;
};

// The desktop this program runs on: the real one on macOS, the simulated one
// elsewhere. Chosen at link time; lives until the process ends.
Platform& current();

}  // namespace Desktop
