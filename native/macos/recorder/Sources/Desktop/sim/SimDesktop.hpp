#pragma once

// For tests and benchmarks in the same process: put a scene on the simulated
// desktop without a file, and look at what the code under test did to it.
// After a load, Desktop::current() shows that scene and no longer reads
// DESKTOP_SCENE.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "Desktop/sim/Scene.hpp"

namespace Desktop::Sim {

// Each load starts a fresh desktop: virtual clock at 0, no journal entries, no
// request counts. Elements of an earlier scene then read as gone. A broken scene
// throws SceneError and leaves the desktop as it was.
void loadScene(std::string_view json);
void loadSceneFile(const std::string& path);
void loadEmptyDesktop();

// The journal entries recorded since the last load, in order.
std::vector<nlohmann::json> journal();

// Requests since the last load (or reset), by kind, e.g. "accessibility.copyAttributeValue".
std::uint64_t requestCount(std::string_view kind);
std::map<std::string, std::uint64_t, std::less<>> requestCounts();
void resetRequestCounts();
// How many distinct elements have received at least one request since the last load.
std::uint64_t elementsAsked();

// The desktop's clock: seconds since the load on virtual time.
double clockNow();
void advanceClock(double seconds);

}  // namespace Desktop::Sim
