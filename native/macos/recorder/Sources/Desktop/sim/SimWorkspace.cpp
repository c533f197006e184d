#include "Desktop/sim/SimWorkspace.hpp"

namespace Desktop::Sim {

namespace {

RunningApplication running(const SceneApplication& app) {
    return RunningApplication{.pid = app.pid, .localizedName = app.name, .bundleIdentifier = app.bundleId};
}

}  // namespace

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
    world_.counts.add("workspace.frontmostApplication");
    std::lock_guard lock(world_.mutex);
    const auto& scene = *world_.scene;
    if (!scene.frontmost) return std::nullopt;
    return running(scene.applications[*scene.frontmost]);
}

std::vector<RunningApplication> SimWorkspace::runningApplications() {
    world_.counts.add("workspace.runningApplications");
    std::lock_guard lock(world_.mutex);
    std::vector<RunningApplication> apps;
    for (const auto& app : world_.scene->applications)
        apps.push_back(running(app));
    return apps;
}

}  // namespace Desktop::Sim
