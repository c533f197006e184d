#include "RoomcodeCore/TopLeftChrome.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "RoomcodeCore/BoundedAXSearch.hpp"
#include "Text/Text.hpp"

namespace RoomcodeCore::TopLeftChrome {

namespace {

using Scored = std::vector<std::pair<AXNodePtr, double>>;

std::vector<AXNodePtr> nearestFirst(Scored scored) {
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& left, const auto& right) { return left.second < right.second; });
    std::vector<AXNodePtr> nodes;
    nodes.reserve(scored.size());
    for (auto& [node, score] : scored)
        nodes.push_back(std::move(node));
    return nodes;
}

// The title search has a budget of its own, smaller than the reader's: the
// title sits near the top of the tree.
std::vector<AXNodePtr> collectMeetingTitleNodes(const AXNodePtr& window, Clock& clock) {
    const BoundedAXSearch search(
        SearchBudget::startingNow({.maxNodes = 400, .maxDepth = 12, .seconds = 1.5}, clock), clock);
    return search.collect(window, [](const AXNodePtr& node) {
        const std::string text = node->title().value_or("") + " " + node->value().value_or("");
        return Text::contains(Text::lowercase(text), "zoom meeting");
    });
}

}  // namespace

std::vector<AXNodePtr> pressablesBesideMeetingTitle(const Placement& placement, Clock& clock) {
    Scored scored;
    for (const AXNodePtr& title : collectMeetingTitleNodes(placement.window, clock)) {
        const std::optional<Point> titlePosition = title->position();
        if (!titlePosition) continue;
        for (const AXNodePtr& pressable : placement.pressables) {
            const std::optional<Point> position = pressable->position();
            if (!position) continue;
            // Written as "unless within" so that a coordinate that is not a
            // number never ranks.
            const double dy = position->y - titlePosition->y;
            if (!(std::abs(dy) <= 20)) continue;
            const double dx = titlePosition->x - position->x;
            if (!(dx > 0 && dx <= 80)) continue;
            scored.emplace_back(pressable, dx * dx + dy * dy);
        }
    }
    return nearestFirst(std::move(scored));
}

std::vector<AXNodePtr> rankedPressables(const Placement& placement) {
    const std::optional<Point> corner = placement.window->position();
    if (!corner) return {};
    Scored scored;
    for (const AXNodePtr& pressable : placement.pressables) {
        const std::optional<Point> position = pressable->position();
        if (!position) continue;
        const double dx = position->x - corner->x;
        if (!(dx >= 78 && dx <= 170)) continue;
        const double dy = position->y - corner->y;
        if (!(dy >= 0 && dy <= 48)) continue;
        const double fromX = position->x - (corner->x + 102);
        const double fromY = position->y - (corner->y + 22);
        scored.emplace_back(pressable, fromX * fromX + fromY * fromY);
    }
    return nearestFirst(std::move(scored));
}

}  // namespace RoomcodeCore::TopLeftChrome
