#include "FakeNodes.hpp"

#include "RoomcodeCore/AXNode.hpp"

namespace RoomcodeTesting {

std::vector<AXNodePtr> FakeNode::children() const {
    ++childrenReads;
    if (onChildren) onChildren();
    std::vector<AXNodePtr> visible;
    for (const AXNodePtr& kid : kids) {
        if (!static_cast<const FakeNode&>(*kid).hidden) visible.push_back(kid);
    }
    return visible;
}

void FakeNode::setValue(std::string_view text) {
    if (!settable.contains("AXValue")) throw RoomcodeCore::SearchException(SearchFailure::notImplemented);
    writtenValue = std::string(text);
}

bool FakeNode::supports(std::string_view action) const {
    ++pressQueries;
    if (offersPressForQueries >= 0 && pressQueries > offersPressForQueries) return false;
    return attributes.pressable && action == RoomcodeCore::pressAction;
}

void FakeNode::perform(std::string_view action) {
    if (!supports(action)) throw RoomcodeCore::SearchException(SearchFailure::notImplemented);
    if (pressFails) throw RoomcodeCore::SearchException(*pressFails);
    if (log) log->presses.push_back(attributes.key);
    if (onPress) onPress();
}

FakeNodePtr node(NodeAttributes attributes, std::vector<FakeNodePtr> children) {
    auto made = std::make_shared<FakeNode>(std::move(attributes));
    for (FakeNodePtr& child : children)
        made->kids.push_back(std::move(child));
    return made;
}

namespace {

void giveLog(FakeNode& node, const std::shared_ptr<PressLog>& log) {
    node.log = log;
    for (const AXNodePtr& kid : node.kids)
        giveLog(static_cast<FakeNode&>(*kid), log);
}

}  // namespace

std::shared_ptr<PressLog> attachLog(const FakeNodePtr& root) {
    auto log = std::make_shared<PressLog>();
    giveLog(*root, log);
    return log;
}

FakeNodePtr chain(const std::string& prefix, int length) {
    FakeNodePtr top;
    for (int level = length - 1; level >= 0; --level) {
        std::vector<FakeNodePtr> below;
        if (top) below.push_back(top);
        top = node({.key = prefix + std::to_string(level)}, below);
    }
    return top;
}

std::vector<std::string> keys(const std::vector<AXNodePtr>& nodes) {
    std::vector<std::string> result;
    for (const AXNodePtr& each : nodes)
        result.push_back(each->nodeKey());
    return result;
}

}  // namespace RoomcodeTesting
