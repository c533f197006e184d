#pragma once

// Depth-first walks over accessibility trees that always end: a node budget, a
// depth limit and a deadline bound them, and each node (by key) is visited at
// most once, so a hung client or a cyclic tree cannot keep the tool waiting.
// Running out of budget is not an error; the walk ends with what it found.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "RoomcodeCore/AXNode.hpp"
#include "RoomcodeCore/Clock.hpp"

namespace RoomcodeCore {

struct SearchBudget {
    std::int64_t maxNodes = 0;
    // The root is at depth 0, so a walk covers maxDepth + 1 levels.
    std::int64_t maxDepth = 0;
    // Absolute time on the clock the search reads; nothing is visited after it.
    double deadline = 0;

    struct Limits {
        std::int64_t maxNodes = 0;
        std::int64_t maxDepth = 0;
        double seconds = 0;
    };
    // A budget whose deadline lies `seconds` from the clock's present moment.
    static SearchBudget startingNow(const Limits& limits, Clock& clock);
};

class BoundedAXSearch {
public:
    using Predicate = std::function<bool(const AXNodePtr&)>;

    BoundedAXSearch(SearchBudget budget, Clock& clock) : budget_(budget), clock_(&clock) {}

    const SearchBudget& budget() const { return budget_; }
    Clock& clock() const { return *clock_; }
    bool deadlinePassed() const { return clock_->now() > budget_.deadline; }

    // The first match in pre-order from the root (root included).
    std::optional<AXNodePtr> first(const AXNodePtr& root, const Predicate& matching) const;
    // Every match in pre-order; the walk goes on below a matching node.
    std::vector<AXNodePtr> collect(const AXNodePtr& root, const Predicate& matching) const;
    // Every node the budget reaches, in pre-order.
    std::vector<AXNodePtr> collectAll(const AXNodePtr& root) const;

private:
    SearchBudget budget_;
    Clock* clock_;
};

}  // namespace RoomcodeCore
