#include <gtest/gtest.h>

#include "FakeNodes.hpp"
#include "RoomcodeCore/BoundedAXSearch.hpp"

namespace {

using namespace RoomcodeTesting;
using RoomcodeCore::BoundedAXSearch;
using RoomcodeCore::SearchBudget;

const auto everything = [](const AXNodePtr&) { return true; };

BoundedAXSearch searchWith(ManualClock& clock, std::int64_t maxNodes, std::int64_t maxDepth,
                           double seconds = 3.0) {
    return BoundedAXSearch(
        SearchBudget::startingNow({.maxNodes = maxNodes, .maxDepth = maxDepth, .seconds = seconds}, clock),
        clock);
}

// w has children a (with b and c) and d (with e); a, b and e are titled "x".
FakeNodePtr smallTree() {
    return node({.key = "w"},
                {node({.key = "a", .title = "x"}, {node({.key = "b", .title = "x"}), node({.key = "c"})}),
                 node({.key = "d"}, {node({.key = "e", .title = "x"})})});
}

TEST(BoundedAXSearch, CollectsInPreOrderAndGoesOnBelowMatches) {
    ManualClock clock;
    const auto search = searchWith(clock, 1000, 18);
    EXPECT_EQ(keys(search.collectAll(smallTree())), (std::vector<std::string>{"w", "a", "b", "c", "d", "e"}));
    const auto titled = search.collect(smallTree(), [](const AXNodePtr& n) { return n->title() == "x"; });
    EXPECT_EQ(keys(titled), (std::vector<std::string>{"a", "b", "e"}));
}

TEST(BoundedAXSearch, FirstStopsAtTheFirstMatchWithoutReadingItsChildren) {
    ManualClock clock;
    const FakeNodePtr tree = smallTree();
    const auto a = std::static_pointer_cast<FakeNode>(tree->kids[0]);
    const auto found =
        searchWith(clock, 1000, 18).first(tree, [](const AXNodePtr& n) { return n->title() == "x"; });
    ASSERT_TRUE(found);
    EXPECT_EQ((*found)->nodeKey(), "a");
    EXPECT_EQ(a->childrenReads, 0);
    EXPECT_EQ(std::static_pointer_cast<FakeNode>(tree->kids[1])->childrenReads, 0);

    EXPECT_EQ((*searchWith(clock, 1000, 0).first(tree, everything))->nodeKey(), "w");
    EXPECT_FALSE(searchWith(clock, 1000, 18).first(tree, [](const AXNodePtr&) { return false; }));
}

TEST(BoundedAXSearch, NodeBudgetCountsVisitedNodesInPreOrder) {
    ManualClock clock;
    EXPECT_EQ(keys(searchWith(clock, 3, 18).collectAll(smallTree())),
              (std::vector<std::string>{"w", "a", "b"}));
    EXPECT_TRUE(searchWith(clock, 0, 18).collectAll(smallTree()).empty());
    EXPECT_FALSE(searchWith(clock, 0, 18).first(smallTree(), everything));

    // A wide tree larger than the reader's budget gives its first 1000 nodes.
    std::vector<FakeNodePtr> rows;
    for (int i = 0; i < 1500; ++i)
        rows.push_back(node({.key = "n" + std::to_string(i)}));
    const auto collected = searchWith(clock, 1000, 18).collectAll(node({.key = "root"}, rows));
    ASSERT_EQ(collected.size(), 1000U);
    EXPECT_EQ(collected.back()->nodeKey(), "n998");
}

TEST(BoundedAXSearch, DepthLimitCountsTheRootAsZero) {
    ManualClock clock;
    const FakeNodePtr deep = chain("level", 30);
    EXPECT_EQ(searchWith(clock, 1000, 18).collectAll(deep).size(), 19U);

    // With depth 0 the root's children are fetched but none is visited.
    const FakeNodePtr tree = smallTree();
    EXPECT_EQ(keys(searchWith(clock, 1000, 0).collectAll(tree)), (std::vector<std::string>{"w"}));
    EXPECT_EQ(tree->childrenReads, 1);
    EXPECT_EQ(std::static_pointer_cast<FakeNode>(tree->kids[0])->childrenReads, 0);
}

TEST(BoundedAXSearch, EqualKeysAreOneNodeAndCyclesEnd) {
    ManualClock clock;
    // The twin comes later in pre-order: it and everything under it are skipped.
    const FakeNodePtr twin = node({.key = "a"}, {node({.key = "under-twin"})});
    const FakeNodePtr tree = node({.key = "w"}, {node({.key = "a"}), twin, node({.key = "z"})});
    EXPECT_EQ(keys(searchWith(clock, 1000, 18).collectAll(tree)), (std::vector<std::string>{"w", "a", "z"}));
    EXPECT_EQ(twin->childrenReads, 0);

    // An element reported as its own descendant.
    const FakeNodePtr loop = node({.key = "loop"});
    const FakeNodePtr inner = node({.key = "inner"});
    inner->kids.push_back(loop);
    loop->kids.push_back(inner);
    EXPECT_EQ(keys(searchWith(clock, 1000, 18).collectAll(loop)),
              (std::vector<std::string>{"loop", "inner"}));
    loop->kids.clear();  // break the reference cycle
}

TEST(BoundedAXSearch, NothingIsVisitedOrReadAfterTheDeadline) {
    ManualClock clock;
    const auto expired = searchWith(clock, 1000, 18, -1.0);
    const FakeNodePtr tree = smallTree();
    EXPECT_TRUE(expired.collectAll(tree).empty());
    EXPECT_FALSE(expired.first(tree, everything));
    EXPECT_EQ(tree->childrenReads, 0);

    // The deadline is absolute: time that passes during the walk ends it, and
    // the walk unwinds without reading further children.
    clock.stepPerRead = 1.0;
    const auto slow = searchWith(clock, 1000, 18, 2.5);
    const FakeNodePtr tree2 = smallTree();
    EXPECT_EQ(keys(slow.collectAll(tree2)), (std::vector<std::string>{"w", "a"}));
    EXPECT_EQ(std::static_pointer_cast<FakeNode>(tree2->kids[1])->childrenReads, 0);
}

TEST(BoundedAXSearch, ABudgetBuiltOnceIsSharedByLaterSearches) {
    ManualClock clock;
    const auto search = searchWith(clock, 1000, 18, 3.0);
    EXPECT_EQ(search.collectAll(smallTree()).size(), 6U);
    clock.sleep(2.0);
    EXPECT_EQ(search.collectAll(smallTree()).size(), 6U);
    EXPECT_FALSE(search.deadlinePassed());
    clock.sleep(1.5);
    EXPECT_TRUE(search.deadlinePassed());
    EXPECT_TRUE(search.collectAll(smallTree()).empty());
}

}  // namespace
