#include "Desktop/sim/SimWorld.hpp"

#include <algorithm>
#include <variant>

namespace Desktop::Sim {

void SimWorld::load(Scene next) {
    std::lock_guard lock(mutex);
    ++generation;
    hidden.assign(next.elements.size(), false);
    for (NodeIndex node = 0; node < next.elements.size(); ++node)
        hidden[node] = next.elements[node].hidden;
    written.clear();
    applicationRequests.assign(next.applications.size(), 0);
    asked.assign(next.elements.size(), false);
    elementsAsked = 0;
    audio = next.audio;
    audioChangesMade.assign(next.audioChanges.size(), false);
    clock.reset(next.realClock);
    loadedAt = clock.now();
    journal.clearMemory();
    counts.clear();
    scene = std::make_shared<const Scene>(std::move(next));
}

namespace {

bool hasOutputChannels(const SceneDevice& device) {
    for (const auto channels : device.outputChannels.buffers) {
        if (channels > 0) return true;
    }
    return false;
}

}  // namespace

void SimWorld::makeDueAudioChanges() {
    const auto& changes = scene->audioChanges;
    if (changes.empty()) return;
    while (const auto next = dueAudioChange()) {
        audioChangesMade[*next] = true;
        nlohmann::ordered_json entry{{"event", "change"}};
        std::visit([&](const auto& change) { apply(change, entry); }, changes[*next].what);
        journal.record(entry);
    }
}

std::optional<std::size_t> SimWorld::dueAudioChange() const {
    const auto& changes = scene->audioChanges;
    const double now = clock.now();
    std::optional<std::size_t> next;
    double nextAt = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (audioChangesMade[i]) continue;
        const auto from = changes[i].afterEvent ? journal.firstRecorded(*changes[i].afterEvent) : loadedAt;
        if (!from) continue;
        const double at = *from + changes[i].after;
        if (at <= now && (!next || at < nextAt)) {
            next = i;
            nextAt = at;
        }
    }
    return next;
}

void SimWorld::apply(const RemoveDevice& change, nlohmann::ordered_json& entry) {
    entry["removeDevice"] = change.id;
    std::erase_if(audio.devices, [&](const SceneDevice& d) { return d.id == change.id; });
    // As the system does when the default output goes away: it falls back to
    // another device that can play.
    if (audio.defaultOutput.value == change.id) {
        const auto fallback = std::find_if(audio.devices.begin(), audio.devices.end(), hasOutputChannels);
        audio.defaultOutput.value = fallback == audio.devices.end() ? CoreAudio::unknownObject : fallback->id;
        entry["defaultOutput"] = *audio.defaultOutput.value;
    }
}

void SimWorld::apply(const AddDevice& change, nlohmann::ordered_json& entry) {
    entry["addDevice"] = change.device.id;
    const auto present = std::find_if(audio.devices.begin(), audio.devices.end(),
                                      [&](const SceneDevice& d) { return d.id == change.device.id; });
    if (present != audio.devices.end()) {
        *present = change.device;
    } else {
        audio.devices.push_back(change.device);
    }
}

void SimWorld::apply(const SetDefaultOutput& change, nlohmann::ordered_json& entry) {
    entry["setDefaultOutput"] = change.id;
    audio.defaultOutput.value = change.id;
}

std::string SimWorld::elementName(NodeIndex node) const {
    const auto& element = scene->elements[node];
    return element.id ? *element.id : element.pointer;
}

}  // namespace Desktop::Sim
