#pragma once

#include "Desktop/Desktop.hpp"
#include "Desktop/macos/MacAccessibility.hpp"
#include "Desktop/macos/MacAudioHardware.hpp"
#include "Desktop/macos/MacAudioPlayback.hpp"
#include "Desktop/macos/MacClock.hpp"
#include "Desktop/macos/MacFileSystem.hpp"
#include "Desktop/macos/MacTerminationSignals.hpp"
#include "Desktop/macos/MacWindowServer.hpp"
#include "Desktop/macos/MacWorkspace.hpp"

namespace Desktop::MacOS {

// The real desktop: every service of the seam, each a thin converter over the platform.
class MacPlatform final : public Platform {
public:
    Accessibility& accessibility() override { return accessibility_; }
    WindowServer& windowServer() override { return windowServer_; }
    Workspace& workspace() override { return workspace_; }
    AudioHardware& audioHardware() override { return audioHardware_; }
    AudioPlayback& audioPlayback() override { return audioPlayback_; }
    TerminationSignals& terminationSignals() override { return terminationSignals_; }
    Clock& clock() override { return clock_; }
    FileSystem& fileSystem() override { return fileSystem_; }

private:
    MacAccessibility accessibility_;
    MacWindowServer windowServer_;
    MacWorkspace workspace_;
    MacAudioHardware audioHardware_;
    MacAudioPlayback audioPlayback_;
    MacTerminationSignals terminationSignals_;
    MacClock clock_;
    MacFileSystem fileSystem_;
};

}  // namespace Desktop::MacOS
