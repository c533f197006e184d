#include "RoomcodeCore/BoundedAXSearch.hpp"

#include <string>
#include <unordered_set>

namespace RoomcodeCore {

SearchBudget SearchBudget::startingNow(const Limits& limits, Clock& clock) {
    return SearchBudget{
        .maxNodes = limits.maxNodes, .maxDepth = limits.maxDepth, .deadline = clock.now() + limits.seconds};
}

namespace {

class Walk {
public:
    Walk(const SearchBudget& budget, Clock& clock, const BoundedAXSearch::Predicate& matching,
         bool collectAll, std::function<void(const AXNodePtr&)> onMatch)
        : budget_(budget),
          clock_(clock),
          matching_(matching),
          collectAll_(collectAll),
          onMatch_(std::move(onMatch)) {}

    // Returns whether the walk must stop.
    bool visit(const AXNodePtr& node, std::int64_t depth) {
        // Time comes first so that an expired walk unwinds without another
        // request to a client that may be hanging.
        if (clock_.now() > budget_.deadline) return false;
        if (!node) return false;
        if (depth > budget_.maxDepth) return false;
        // The budget before the key: reading a key may be a request to the client.
        if (visitedCount_ >= budget_.maxNodes) return false;
        const std::string& key = node->nodeKey();
        if (visited_.contains(key)) return false;
        visited_.insert(key);
        ++visitedCount_;

        if (matching_(node)) {
            onMatch_(node);
            if (!collectAll_) return true;
        }
        for (const AXNodePtr& child : node->children()) {
            if (visit(child, depth + 1)) return true;
        }
        return false;
    }

private:
    const SearchBudget& budget_;
    Clock& clock_;
    const BoundedAXSearch::Predicate& matching_;
    bool collectAll_;
    std::function<void(const AXNodePtr&)> onMatch_;
    std::unordered_set<std::string> visited_;
    std::int64_t visitedCount_ = 0;
};

}  // namespace

std::optional<AXNodePtr> BoundedAXSearch::first(const AXNodePtr& root, const Predicate& matching) const {
    std::optional<AXNodePtr> found;
    Walk walk(budget_, *clock_, matching, false, [&](const AXNodePtr& node) { found = node; });
    walk.visit(root, 0);
    return found;
}

std::vector<AXNodePtr> BoundedAXSearch::collect(const AXNodePtr& root, const Predicate& matching) const {
    std::vector<AXNodePtr> found;
    Walk walk(budget_, *clock_, matching, true, [&](const AXNodePtr& node) { found.push_back(node); });
    walk.visit(root, 0);
    return found;
}

std::vector<AXNodePtr> BoundedAXSearch::collectAll(const AXNodePtr& root) const {
    return collect(root, [](const AXNodePtr&) { return true; });
}

}  // namespace RoomcodeCore
