#include <gtest/gtest.h>

#include "HangingChildrenScene.hpp"
#include "RoomcodeCLI/SystemClock.hpp"
#include "RoomcodeCore/BoundedAXSearch.hpp"
#include "RoomcodeCore/system/SystemAXNode.hpp"

namespace {

using RoomcodeCore::BoundedAXSearch;
using RoomcodeCore::SearchBudget;
using RoomcodeCore::SystemAXNode;

// A window that lists its children at once, each of which hangs: a walk must
// not ask every child for its key before it can see its deadline pass.
TEST(BoundedSearchOnAHungClient, ManyHangingChildrenCostNoMoreThanTheDeadline) {
    Testing::SceneDesktop platform(RoomcodeTesting::windowWithChildren(300, 0));
    RoomcodeCLI::SystemClock clock(platform.clock());
    const auto app = std::make_shared<SystemAXNode>(platform.accessibility().applicationElement(501), 501,
                                                    platform.accessibility());
    const double started = platform.clockNow();
    const BoundedAXSearch search(
        SearchBudget::startingNow({.maxNodes = 1000, .maxDepth = 18, .seconds = 3}, clock), clock);
    const auto nodes = search.collectAll(app);

    // Each child is visited before the deadline, for the one request that reads
    // its key and its children, given up after the 0.25-second time-out.
    EXPECT_LE(platform.clockNow() - started, 3 + 0.25);
    EXPECT_GT(nodes.size(), 2U);
    EXPECT_LT(nodes.size(), 300U);
}

}  // namespace
