#pragma once

// The simulated desktop behind Desktop::current(): one world, shared by all
// its services, for the life of the process.

#include <atomic>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/SimAccessibility.hpp"
#include "Desktop/sim/SimAudioHardware.hpp"
#include "Desktop/sim/SimAudioPlayback.hpp"
#include "Desktop/sim/SimSystem.hpp"
#include "Desktop/sim/SimTerminationSignals.hpp"
#include "Desktop/sim/SimWindowServer.hpp"
#include "Desktop/sim/SimWorkspace.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

class SimPlatform : public Platform {
public:
    // The one instance; created empty, never destroyed (signal threads may
    // still use it while the process exits).
    static SimPlatform& instance();

    SimWorld& world() { return world_; }

    // A scene was loaded in-process, so the environment is not consulted.
    std::atomic<bool> sceneGiven{false};

    Accessibility& accessibility() override { return accessibility_; }
    WindowServer& windowServer() override { return windowServer_; }
    Workspace& workspace() override { return workspace_; }
    AudioHardware& audioHardware() override { return audioHardware_; }
    AudioPlayback& audioPlayback() override { return audioPlayback_; }
    TerminationSignals& terminationSignals() override { return terminationSignals_; }
    Clock& clock() override { return clock_; }
    FileSystem& fileSystem() override { return fileSystem_; }

private:
    SimPlatform() = default;

    SimWorld world_;
    SimAccessibility accessibility_{world_};
    SimWindowServer windowServer_{world_};
    SimWorkspace workspace_{world_};
    SimAudioHardware audioHardware_{world_};
    SimAudioPlayback audioPlayback_{world_};
    SimTerminationSignals terminationSignals_{world_.counts};
    SimClockService clock_{world_};
    SimFileSystem fileSystem_{world_};
};

}  // namespace Desktop::Sim
