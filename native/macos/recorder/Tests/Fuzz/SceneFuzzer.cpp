// The scene reader on arbitrary bytes: it either gives a scene or refuses with
// a SceneError naming the place; nothing else may escape it. A scene it accepts
// is put on the simulated desktop and the meeting detector's scans run on it,
// so every shape the reader lets through is one the desktop can serve.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Callsense/AxTreeScanner.hpp"
#include "Callsense/MeetingWindowScan.hpp"
#include "Desktop/sim/Scene.hpp"
#include "Desktop/sim/SimDesktop.hpp"
#include "FuzzSupport.hpp"

using Fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    Desktop::Sim::Scene scene;
    try {
        scene = Desktop::Sim::parseScene(json);
    } catch (const Desktop::Sim::SceneError& error) {
        require(error.pointer().empty() || error.pointer().front() == '/');
        return 0;
    }
    // A real-time scene would make the scans below sleep for real.
    if (scene.realClock) return 0;

    Desktop::Sim::loadScene(json);
    Desktop::Platform& platform = Desktop::current();
    const auto frontmost = Callsense::frontmostApplication(platform.workspace());
    (void)Callsense::scanMeetingWindows(
        platform.windowServer(),
        {.frontmostName = frontmost ? frontmost->name : "", .frontmostPid = frontmost ? frontmost->pid : 0});
    for (std::size_t i = 0; i < scene.applications.size() && i < 4; ++i) {
        const double started = Desktop::Sim::clockNow();
        (void)Callsense::AxTreeScanner::scanProcess(platform, scene.applications[i].pid);
        // One request may run past the walk's deadline, never more than the longest time-out.
        require(Desktop::Sim::clockNow() - started <=
                Callsense::AxTreeScanner::walkSeconds + Desktop::Sim::defaultMessagingTimeout);
    }
    return 0;
}
