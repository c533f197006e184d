#pragma once

// A simulated desktop: one world, shared by all its services. The one behind
// Desktop::current() lives for the life of the process; a test or benchmark
// can make a desktop of its own from a scene and hand it to the code under
// test, and look at what that code did to it.

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

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
    // A desktop showing `scene` (an empty desktop by default).
    explicit SimPlatform(Scene scene = {});
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // The one behind Desktop::current(); created empty, never destroyed
    // (signal threads may still use it while the process exits).
    static SimPlatform& instance();

    SimWorld& world() { return world_; }

    // A fresh desktop showing `scene`: virtual clock at 0, no journal entries,
    // no request counts. Elements of an earlier scene then read as gone.
    void load(Scene scene);
    // The journal entries recorded since the last load, in order.
    std::vector<nlohmann::json> journal();
    // Requests since the last load (or reset), by kind, e.g. "accessibility.copyAttributeValue".
    std::uint64_t requestCount(std::string_view kind);
    std::map<std::string, std::uint64_t, std::less<>> requestCounts();
    void resetRequestCounts();
    // How many distinct elements have received at least one request since the last load.
    std::uint64_t elementsAsked();
    // Seconds since the load on virtual time.
    double clockNow();
    void advanceClock(double seconds);

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
