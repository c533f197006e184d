#pragma once

// Hand-built accessibility trees: nodes with whatever attributes a test gives
// them, a log of every press in order, and presses that change the tree (show
// or hide a popover) or fail.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "RoomcodeCore/AXNode.hpp"
#include "Support/ManualClock.hpp"

namespace RoomcodeTesting {

using RoomcodeCore::AXNodePtr;
using RoomcodeCore::Point;
using RoomcodeCore::SearchFailure;
using RoomcodeCore::Size;

using Testing::ManualClock;

// Shared by the nodes of one tree: what was pressed, in order.
struct PressLog {
    std::vector<std::string> presses{};
};

struct NodeAttributes {
    std::string key;
    std::optional<std::string> role{};
    std::optional<std::string> identifier{};
    std::optional<std::string> title{};
    std::optional<std::string> description{};
    std::optional<std::string> help{};
    std::optional<std::string> subrole{};
    std::optional<std::string> roleDescription{};
    std::optional<Point> position{};
    std::optional<Size> size{};
    std::optional<std::string> value{};
    bool enabled = true;
    bool pressable = false;
};

class FakeNode final : public RoomcodeCore::AXNode {
public:
    explicit FakeNode(NodeAttributes given) : attributes(std::move(given)) {}

    NodeAttributes attributes;
    std::vector<AXNodePtr> kids{};
    bool hidden = false;  // a hidden node is left out of its parent's children
    std::optional<SearchFailure> pressFails{};
    std::function<void()> onPress{};
    std::function<void()> onChildren{};  // before the children are read; may throw
    std::shared_ptr<PressLog> log{};
    std::set<std::string> settable{};
    mutable int childrenReads = 0;
    // After this many questions the node no longer offers the press (negative: never).
    int offersPressForQueries = -1;
    mutable int pressQueries = 0;
    std::optional<std::string> writtenValue{};

    const std::string& nodeKey() const override { return attributes.key; }
    std::optional<std::string> role() const override { return attributes.role; }
    std::optional<std::string> identifier() const override { return attributes.identifier; }
    std::optional<std::string> title() const override { return attributes.title; }
    std::optional<std::string> accessibilityDescription() const override { return attributes.description; }
    std::optional<std::string> help() const override { return attributes.help; }
    std::optional<std::string> subrole() const override { return attributes.subrole; }
    std::optional<std::string> roleDescription() const override { return attributes.roleDescription; }
    std::optional<Point> position() const override { return attributes.position; }
    std::optional<Size> size() const override { return attributes.size; }
    std::optional<std::string> value() const override { return attributes.value; }
    bool enabled() const override { return attributes.enabled; }
    std::vector<AXNodePtr> children() const override;
    bool isSettable(std::string_view attribute) const override {
        return settable.contains(std::string(attribute));
    }
    void setValue(std::string_view text) override;
    bool supports(std::string_view action) const override;
    void perform(std::string_view action) override;
};

using FakeNodePtr = std::shared_ptr<FakeNode>;

// A node with the given children (the log is handed down by `tree`).
FakeNodePtr node(NodeAttributes attributes, std::vector<FakeNodePtr> children = {});

// Gives every node of the tree the same press log and returns it.
std::shared_ptr<PressLog> attachLog(const FakeNodePtr& root);

// A chain of `length` nodes, each the only child of the one before.
FakeNodePtr chain(const std::string& prefix, int length);

// The keys of the nodes, in order.
std::vector<std::string> keys(const std::vector<AXNodePtr>& nodes);

}  // namespace RoomcodeTesting
