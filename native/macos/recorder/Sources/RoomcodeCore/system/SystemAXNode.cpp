#include "RoomcodeCore/system/SystemAXNode.hpp"

#include <algorithm>

#include "AccessibilityValues/AccessibilityValues.hpp"

namespace RoomcodeCore {

using AccessibilityValues::stringEntries;
using AccessibilityValues::stringValue;

namespace {

// Positions in `requestedAttributes`.
enum Requested : std::size_t {
    roleAttribute,
    subroleAttribute,
    identifierAttribute,
    titleAttribute,
    valueAttribute,
    descriptionAttribute,
    helpAttribute,
    roleDescriptionAttribute,
    positionAttribute,
    sizeAttribute,
    enabledAttribute,
    childrenAttribute,
    requestedCount,
};

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

// Plain values only: the child nodes belong to the node that made them, so that
// an element listed below itself cannot make a node own itself.
struct ElementReading {
    std::uint64_t state = 0;
    std::vector<Desktop::PlatformResult<Desktop::AxValue>> attributes;  // empty until asked
    std::optional<std::vector<std::string>> actionNames;
};

void WindowState::changed() {
    ++current_;
    readings_.clear();
}

std::shared_ptr<ElementReading> WindowState::readingOf(Desktop::Accessibility& accessibility,
                                                       const Desktop::Element& element,
                                                       std::uint64_t hash) const {
    const auto bucket = readings_.find(hash);
    if (bucket == readings_.end()) return nullptr;
    for (const Known& known : bucket->second) {
        std::shared_ptr<ElementReading> reading = known.reading.lock();
        if (reading && accessibility.equal(known.element, element)) return reading;
    }
    return nullptr;
}

void WindowState::remember(const Desktop::Element& element, std::uint64_t hash,
                           const std::shared_ptr<ElementReading>& reading) {
    std::vector<Known>& bucket = readings_[hash];
    // Readings no node holds any more make room.
    std::erase_if(bucket, [](const Known& known) { return known.reading.expired(); });
    bucket.push_back(Known{.element = element, .reading = reading});
}

SystemAXNode::SystemAXNode(Desktop::Element element, Desktop::Pid pid, Desktop::Accessibility& accessibility,
                           std::shared_ptr<WindowState> state)
    : element_(std::move(element)), pid_(pid), accessibility_(&accessibility), state_(std::move(state)) {
    accessibility_->setMessagingTimeout(element_, messagingTimeout);
}

SystemAXNode::~SystemAXNode() = default;

const std::vector<std::string>& SystemAXNode::requestedAttributes() {
    static const std::vector<std::string> names = {
        "AXRole", "AXSubrole",         "AXIdentifier", "AXTitle", "AXValue",   "AXDescription",
        "AXHelp", "AXRoleDescription", "AXPosition",   "AXSize",  "AXEnabled", "AXChildren",
    };
    return names;
}

SearchFailure SystemAXNode::failureFor(std::int32_t axError) {
    switch (axError) {
        case Desktop::AxError::notImplemented:
        case Desktop::AxError::actionUnsupported:
        case Desktop::AxError::attributeUnsupported:
            return SearchFailure::notImplemented;
        default:
            return SearchFailure::cannotComplete;
    }
}

std::uint64_t SystemAXNode::hash() const {
    if (!hash_) hash_ = accessibility_->hash(element_);
    return *hash_;
}

ElementReading& SystemAXNode::reading() const {
    if (!reading_ || reading_->state != state_->current()) {
        // An element listed under two parents, or once more below itself, is
        // asked once, whichever of its nodes a walk reaches first.
        reading_ = state_->readingOf(*accessibility_, element_, hash());
        if (!reading_) {
            reading_ = std::make_shared<ElementReading>();
            reading_->state = state_->current();
            state_->remember(element_, hash(), reading_);
        }
    }
    return *reading_;
}

const Desktop::PlatformResult<Desktop::AxValue>& SystemAXNode::attribute(std::size_t index) const {
    ElementReading& current = reading();
    if (current.attributes.empty()) {
        current.attributes =
            AccessibilityValues::copyAttributes(*accessibility_, element_, requestedAttributes());
    }
    return current.attributes[index];
}

const std::string& SystemAXNode::nodeKey() const {
    // Read on first use, not when the node is made: an element with thousands of
    // children would otherwise cost a request per child, each up to the
    // time-out, before a walk could see its budget or deadline run out.
    if (!nodeKey_) {
        const std::string role = stringValue(attribute(roleAttribute)).value_or("");
        const std::string identifier = stringValue(attribute(identifierAttribute)).value_or("");
        nodeKey_ = std::to_string(pid_) + ":" + std::to_string(hash()) + ":" + role + ":" + identifier;
    }
    return *nodeKey_;
}

std::optional<std::string> SystemAXNode::role() const {
    return stringValue(attribute(roleAttribute));
}
std::optional<std::string> SystemAXNode::identifier() const {
    return stringValue(attribute(identifierAttribute));
}
std::optional<std::string> SystemAXNode::title() const {
    return stringValue(attribute(titleAttribute));
}
std::optional<std::string> SystemAXNode::accessibilityDescription() const {
    return stringValue(attribute(descriptionAttribute));
}
std::optional<std::string> SystemAXNode::help() const {
    return stringValue(attribute(helpAttribute));
}
std::optional<std::string> SystemAXNode::subrole() const {
    return stringValue(attribute(subroleAttribute));
}
std::optional<std::string> SystemAXNode::roleDescription() const {
    return stringValue(attribute(roleDescriptionAttribute));
}
std::optional<std::string> SystemAXNode::value() const {
    return stringValue(attribute(valueAttribute));
}

std::optional<Point> SystemAXNode::position() const {
    const auto point = AccessibilityValues::pointValue(attribute(positionAttribute));
    if (!point) return std::nullopt;
    return Point{.x = point->x, .y = point->y};
}

std::optional<Size> SystemAXNode::size() const {
    const auto extent = AccessibilityValues::sizeValue(attribute(sizeAttribute));
    if (!extent) return std::nullopt;
    return Size{.width = extent->width, .height = extent->height};
}

bool SystemAXNode::enabled() const {
    // Only an element that says so is disabled.
    return AccessibilityValues::flagValue(attribute(enabledAttribute)).value_or(true);
}

std::vector<AXNodePtr> SystemAXNode::children() const {
    if (!children_ || children_->state != state_->current()) {
        std::vector<AXNodePtr> nodes;
        auto elements = AccessibilityValues::elementListValue(attribute(childrenAttribute));
        for (Desktop::Element& child : elements.value_or(std::vector<Desktop::Element>{})) {
            nodes.push_back(std::make_shared<SystemAXNode>(std::move(child), pid_, *accessibility_, state_));
        }
        children_ = Children{.state = state_->current(), .nodes = std::move(nodes)};
    }
    return children_->nodes;
}

bool SystemAXNode::isSettable(std::string_view attribute) const {
    const auto result = accessibility_->isAttributeSettable(element_, attribute);
    return result.succeeded() && *result.value;
}

void SystemAXNode::setValue(std::string_view text) {
    if (!contains(supportedAttributeNames(), "AXValue")) throw SearchException(SearchFailure::notImplemented);
    if (!isSettable("AXValue")) throw SearchException(SearchFailure::notImplemented);
    const std::int32_t error = accessibility_->setStringAttributeValue(element_, "AXValue", text);
    // Even a write the client refused may have changed what it shows.
    state_->changed();
    if (error != Desktop::AxError::success) throw SearchException(failureFor(error));
}

bool SystemAXNode::supports(std::string_view action) const {
    return contains(actionNames(), action);
}

void SystemAXNode::perform(std::string_view action) {
    // An action the element does not list is never sent: the client could do
    // something else with a request it does not understand.
    if (!supports(action)) throw SearchException(SearchFailure::notImplemented);
    const std::int32_t error = accessibility_->performAction(element_, action);
    // Even an action the client reported as failed may have been carried out.
    state_->changed();
    if (error != Desktop::AxError::success) throw SearchException(failureFor(error));
}

std::vector<std::string> SystemAXNode::supportedAttributeNames() const {
    return stringEntries(accessibility_->copyAttributeNames(element_));
}

const std::vector<std::string>& SystemAXNode::actionNames() const {
    ElementReading& current = reading();
    if (!current.actionNames) current.actionNames = stringEntries(accessibility_->copyActionNames(element_));
    return *current.actionNames;
}

}  // namespace RoomcodeCore
