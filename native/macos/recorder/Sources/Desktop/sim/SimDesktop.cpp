#include "Desktop/sim/SimDesktop.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>

#include "Desktop/sim/SimPlatform.hpp"

namespace Desktop::Sim {

namespace {

[[noreturn]] void stop(const std::string& message) {
    const std::string line = message + "\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, line.data(), line.size());
    // 70 (EX_SOFTWARE): the desktop the program was meant to run on does not exist.
    std::_Exit(70);
}

std::string& requestCountsPath() {
    static auto* const path = new std::string();
    return *path;
}

void writeRequestCounts() {
    nlohmann::ordered_json counts = nlohmann::ordered_json::object();
    auto& platform = SimPlatform::instance();
    for (const auto& [kind, count] : platform.requestCounts())
        counts[kind] = count;
    counts["elementsAsked"] = platform.elementsAsked();
    std::ofstream(requestCountsPath(), std::ios::trunc) << counts.dump() << "\n";
}

std::string& clockAtExitPath() {
    static auto* const path = new std::string();
    return *path;
}

// How much virtual time the run took, so that a bound on it can be checked from
// outside; a real clock has no such reading (null).
void writeClockAtExit() {
    const auto& clock = SimPlatform::instance().world().clock;
    const nlohmann::json seconds = clock.isReal() ? nlohmann::json(nullptr) : nlohmann::json(clock.now());
    std::ofstream(clockAtExitPath(), std::ios::trunc) << seconds.dump() << "\n";
}

// Only the simulated desktop reads the environment: which scene, where the
// journal goes, where the request counts and the clock go at exit.
void loadFromEnvironment(SimPlatform& platform) {
    auto& world = platform.world();
    if (const char* journal = std::getenv("DESKTOP_JOURNAL"); journal != nullptr && *journal != '\0') {
        if (!world.journal.openFile(journal)) {
            stop(std::string("desktop journal ") + journal + ": " + std::strerror(errno));
        }
    }
    if (const char* counts = std::getenv("DESKTOP_REQUEST_COUNTS"); counts != nullptr && *counts != '\0') {
        requestCountsPath() = counts;
        std::atexit(writeRequestCounts);
    }
    if (const char* clock = std::getenv("DESKTOP_CLOCK_AT_EXIT"); clock != nullptr && *clock != '\0') {
        clockAtExitPath() = clock;
        std::atexit(writeClockAtExit);
    }
    const char* scenePath = std::getenv("DESKTOP_SCENE");
    if (scenePath == nullptr || *scenePath == '\0') return;
    try {
        world.load(readSceneFile(scenePath));
    } catch (const SceneError& error) {
        stop(describeSceneError(scenePath, error));
    }
}

}  // namespace

SimPlatform::SimPlatform(Scene scene) {
    world_.load(std::move(scene));
}

SimPlatform& SimPlatform::instance() {
    static auto* const platform = new SimPlatform();
    return *platform;
}

void SimPlatform::load(Scene scene) {
    sceneGiven = true;
    world_.load(std::move(scene));
}

std::vector<nlohmann::json> SimPlatform::journal() {
    std::vector<nlohmann::json> entries;
    for (const auto& entry : world_.journal.entries()) {
        entries.push_back(nlohmann::json::parse(entry.dump()));
    }
    return entries;
}

std::uint64_t SimPlatform::requestCount(std::string_view kind) {
    return world_.counts.count(kind);
}

std::map<std::string, std::uint64_t, std::less<>> SimPlatform::requestCounts() {
    return world_.counts.all();
}

void SimPlatform::resetRequestCounts() {
    world_.counts.clear();
}

std::uint64_t SimPlatform::elementsAsked() {
    std::lock_guard lock(world_.mutex);
    return world_.elementsAsked;
}

double SimPlatform::clockNow() {
    return world_.clock.now();
}

void SimPlatform::advanceClock(double seconds) {
    world_.clock.pass(seconds);
}

void loadScene(std::string_view json) {
    SimPlatform::instance().load(parseScene(json));
}

void loadSceneFile(const std::string& path) {
    SimPlatform::instance().load(readSceneFile(path));
}

void loadEmptyDesktop() {
    loadScene("{}");
}

std::vector<nlohmann::json> journal() {
    return SimPlatform::instance().journal();
}

std::uint64_t requestCount(std::string_view kind) {
    return SimPlatform::instance().requestCount(kind);
}

std::map<std::string, std::uint64_t, std::less<>> requestCounts() {
    return SimPlatform::instance().requestCounts();
}

std::uint64_t elementsAsked() {
    return SimPlatform::instance().elementsAsked();
}

void resetRequestCounts() {
    SimPlatform::instance().resetRequestCounts();
}

double clockNow() {
    return SimPlatform::instance().clockNow();
}

void advanceClock(double seconds) {
    SimPlatform::instance().advanceClock(seconds);
}

}  // namespace Desktop::Sim

namespace Desktop {

Platform& current() {
    auto& platform = Sim::SimPlatform::instance();
    static std::once_flag once;
    std::call_once(once, [&platform] {
        if (!platform.sceneGiven) Sim::loadFromEnvironment(platform);
    });
    return platform;
}

}  // namespace Desktop
