#include "Desktop/sim/SimWorld.hpp"

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
    clock.reset(next.realClock);
    journal.clearMemory();
    counts.clear();
    scene = std::make_shared<const Scene>(std::move(next));
}

std::string SimWorld::elementName(NodeIndex node) const {
    const auto& element = scene->elements[node];
    return element.id ? *element.id : element.pointer;
}

}  // namespace Desktop::Sim
