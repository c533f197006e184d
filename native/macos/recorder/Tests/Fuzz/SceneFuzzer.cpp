// The scene reader on arbitrary bytes: it either gives a scene or refuses with
// a SceneError naming the place; nothing else may escape it. A scene it accepts
// is put on the simulated desktop and the meeting detector's scans run on it,
// so every shape the reader lets through is one the desktop can serve.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "Callsense/AxTreeScanner.hpp"
#include "Callsense/MeetingWindowScan.hpp"
#include "Callsense/WindowDictionary.hpp"
#include "Callsense/WithheldWindowNames.hpp"
#include "Desktop/sim/Scene.hpp"
#include "Desktop/sim/SimPlatform.hpp"
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

    std::vector<Desktop::Pid> pids;
    for (std::size_t i = 0; i < scene.applications.size() && i < 4; ++i)
        pids.push_back(scene.applications[i].pid);
    Desktop::Sim::SimPlatform platform(std::move(scene));
    const auto frontmost = Callsense::frontmostApplication(platform.workspace());
    const Desktop::Pid frontmostPid = frontmost ? frontmost->pid : 0;
    auto windows = platform.windowServer().onScreenWindows();
    if (windows && platform.accessibility().isProcessTrusted()) {
        const auto before = *windows;
        const double started = platform.clockNow();
        Callsense::readWithheldWindowNames(platform, *windows, frontmostPid);
        // No request starts after the lookup's time, and none waits longer than its time-out.
        require(platform.clockNow() - started <=
                Callsense::withheldNameLookupSeconds + Callsense::withheldNameMessagingTimeout);
        // The lookup only gives a name, as a string, to a frontmost window that had none.
        require(windows->size() == before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (!before[i] || *before[i] == *(*windows)[i]) continue;
            auto named = *before[i];
            require(!named.contains(Callsense::WindowKey::name));
            require(Callsense::windowInt32(named, Callsense::WindowKey::ownerPid) == frontmostPid);
            const auto name = Callsense::windowString(*(*windows)[i], Callsense::WindowKey::name);
            require(name.has_value());
            named[Callsense::WindowKey::name] = *name;
            require(named == *(*windows)[i]);
        }
    }
    (void)Callsense::scanMeetingWindows(
        windows, {.frontmostName = frontmost ? frontmost->name : "", .frontmostPid = frontmostPid});
    for (const Desktop::Pid pid : pids) {
        const double started = platform.clockNow();
        (void)Callsense::AxTreeScanner::scanProcess(platform, pid);
        // One request may run past the walk's deadline, never more than the longest time-out.
        require(platform.clockNow() - started <=
                Callsense::AxTreeScanner::walkSeconds + Desktop::Sim::defaultMessagingTimeout);
    }
    return 0;
}
