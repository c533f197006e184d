#pragma once

// The simulated desktop's state: the scene it started from and everything the
// tools have changed since. The services of the platform share one world; a
// newly loaded scene replaces it whole, and elements of an earlier scene then
// read as gone.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Desktop/sim/Journal.hpp"
#include "Desktop/sim/RequestCounts.hpp"
#include "Desktop/sim/Scene.hpp"
#include "Desktop/sim/SimClock.hpp"

namespace Desktop::Sim {

struct SimWorld {
    SimClock clock;
    Journal journal{clock};
    RequestCounts counts;

    // Guards everything below. Held for the whole of one request, never while
    // time passes on the real clock.
    std::mutex mutex;
    std::shared_ptr<const Scene> scene = std::make_shared<const Scene>();
    std::uint64_t generation = 1;
    std::vector<bool> hidden;                                          // by node
    std::map<std::pair<NodeIndex, std::string>, std::string> written;  // string attributes set by tools
    std::vector<std::uint64_t> applicationRequests;                    // by application
    // Which elements have been asked anything, so that a benchmark can set the
    // requests against the elements they went to.
    std::vector<bool> asked;  // by node
    std::uint64_t elementsAsked = 0;
    SceneAudio audio;                    // the devices as they are now
    std::vector<bool> audioChangesMade;  // by the scene's audio change
    double loadedAt = 0;                 // the clock when the scene was loaded

    // A fresh desktop showing `next`: clock, journal in memory and counts start over.
    void load(Scene next);
    // Makes the scene's audio changes whose moment has come, earliest first,
    // each journaled as a "change" event. Called with `mutex` held at the start
    // of every audio request, so a tool sees the world as it is at that moment
    // on either clock, from any thread.
    void makeDueAudioChanges();
    // The earliest of the changes not made yet whose moment has come.
    std::optional<std::size_t> dueAudioChange() const;
    void apply(const RemoveDevice& change, nlohmann::ordered_json& entry);
    void apply(const AddDevice& change, nlohmann::ordered_json& entry);
    void apply(const SetDefaultOutput& change, nlohmann::ordered_json& entry);
    // How an element is named in the journal: its id, else its place in the scene.
    std::string elementName(NodeIndex node) const;
};

}  // namespace Desktop::Sim
