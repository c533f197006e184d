#include "RoomcodeCore/SystemAXNode.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <variant>

#include "Desktop/Desktop.hpp"

namespace RoomcodeCore {

namespace {

std::vector<std::string> stringEntries(const Desktop::PlatformResult<Desktop::AxList>& result) {
    std::vector<std::string> names;
    if (!result.succeeded()) return names;
    for (const Desktop::AxValue& entry : *result.value) {
        if (const auto* name = std::get_if<std::string>(&entry.data)) names.push_back(*name);
    }
    return names;
}

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::string numberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    // The shortest digits that read back as the same value, laid out as %.16g
    // would: fixed unless the decimal exponent is below -4 or 16 and more.
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (error != std::errc{}) return "0";
    const std::string scientific(buffer, end);
    const std::size_t ePosition = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + ePosition + 1);
    if (exponent < -4 || exponent >= 16) {
        // Mantissa as is, exponent with a sign and at least two digits.
        std::string mantissa = scientific.substr(0, ePosition);
        const int magnitude = std::abs(exponent);
        std::string exponentText = std::to_string(magnitude);
        if (exponentText.size() < 2) exponentText.insert(0, "0");
        return mantissa + "e" + (exponent < 0 ? "-" : "+") + exponentText;
    }
    const auto [fixedEnd, fixedError] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (fixedError != std::errc{}) return scientific;
    return std::string(buffer, fixedEnd);
}

SystemAXNode::SystemAXNode(Desktop::Element element, Desktop::Pid pid)
    : SystemAXNode(std::move(element), pid, Desktop::current().accessibility()) {}

SystemAXNode::SystemAXNode(Desktop::Element element, Desktop::Pid pid, Desktop::Accessibility& accessibility)
    : element_(std::move(element)), pid_(pid), accessibility_(&accessibility) {
    accessibility_->setMessagingTimeout(element_, messagingTimeout);
}

const std::string& SystemAXNode::nodeKey() const {
    // Read on first use, not when the node is made: an element with thousands of
    // children would otherwise cost two requests per child, each up to the
    // time-out, before a walk could see its budget or deadline run out.
    if (!nodeKey_) {
        const std::string role = copyString(*accessibility_, element_, "AXRole").value_or("");
        const std::string identifier = copyString(*accessibility_, element_, "AXIdentifier").value_or("");
        nodeKey_ = std::to_string(pid_) + ":" + std::to_string(accessibility_->hash(element_)) + ":" + role +
                   ":" + identifier;
    }
    return *nodeKey_;
}

std::optional<std::string> SystemAXNode::copyString(Desktop::Accessibility& accessibility,
                                                    const Desktop::Element& element,
                                                    std::string_view attribute) {
    const Desktop::PlatformResult<Desktop::AxValue> result =
        accessibility.copyAttributeValue(element, attribute);
    if (!result.succeeded()) return std::nullopt;
    const auto& data = result.value->data;
    if (const auto* text = std::get_if<std::string>(&data)) return *text;
    if (const auto* integer = std::get_if<std::int64_t>(&data)) return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&data)) return numberText(*real);
    if (const auto* flag = std::get_if<bool>(&data)) return std::string(*flag ? "1" : "0");
    return std::nullopt;
}

std::vector<Desktop::Element> SystemAXNode::copyElements(Desktop::Accessibility& accessibility,
                                                         const Desktop::Element& element,
                                                         std::string_view attribute) {
    const Desktop::PlatformResult<Desktop::AxValue> result =
        accessibility.copyAttributeValue(element, attribute);
    if (!result.succeeded()) return {};
    const auto* list = std::get_if<Desktop::AxList>(&result.value->data);
    if (list == nullptr) return {};
    std::vector<Desktop::Element> elements;
    elements.reserve(list->size());
    for (const Desktop::AxValue& entry : *list) {
        const auto* child = std::get_if<Desktop::Element>(&entry.data);
        if (child == nullptr || child->isNull()) return {};
        elements.push_back(*child);
    }
    return elements;
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

std::optional<std::string> SystemAXNode::stringAttribute(std::string_view attribute) const {
    return copyString(*accessibility_, element_, attribute);
}

std::optional<std::string> SystemAXNode::role() const {
    return stringAttribute("AXRole");
}
std::optional<std::string> SystemAXNode::identifier() const {
    return stringAttribute("AXIdentifier");
}
std::optional<std::string> SystemAXNode::title() const {
    return stringAttribute("AXTitle");
}
std::optional<std::string> SystemAXNode::accessibilityDescription() const {
    return stringAttribute("AXDescription");
}
std::optional<std::string> SystemAXNode::help() const {
    return stringAttribute("AXHelp");
}
std::optional<std::string> SystemAXNode::subrole() const {
    return stringAttribute("AXSubrole");
}
std::optional<std::string> SystemAXNode::roleDescription() const {
    return stringAttribute("AXRoleDescription");
}
std::optional<std::string> SystemAXNode::value() const {
    return stringAttribute("AXValue");
}

std::optional<Point> SystemAXNode::position() const {
    const auto result = accessibility_->copyAttributeValue(element_, "AXPosition");
    if (!result.succeeded()) return std::nullopt;
    const auto* point = std::get_if<Desktop::Point>(&result.value->data);
    if (point == nullptr) return std::nullopt;
    return Point{.x = point->x, .y = point->y};
}

std::optional<Size> SystemAXNode::size() const {
    const auto result = accessibility_->copyAttributeValue(element_, "AXSize");
    if (!result.succeeded()) return std::nullopt;
    const auto* size = std::get_if<Desktop::Size>(&result.value->data);
    if (size == nullptr) return std::nullopt;
    return Size{.width = size->width, .height = size->height};
}

bool SystemAXNode::enabled() const {
    const auto result = accessibility_->copyAttributeValue(element_, "AXEnabled");
    if (!result.succeeded()) return true;
    const auto& data = result.value->data;
    if (const auto* flag = std::get_if<bool>(&data)) return *flag;
    if (const auto* integer = std::get_if<std::int64_t>(&data)) return *integer != 0;
    if (const auto* real = std::get_if<double>(&data)) return *real != 0;
    return true;
}

std::vector<AXNodePtr> SystemAXNode::children() const {
    std::vector<AXNodePtr> nodes;
    for (Desktop::Element& child : copyElements(*accessibility_, element_, "AXChildren")) {
        nodes.push_back(std::make_shared<SystemAXNode>(std::move(child), pid_, *accessibility_));
    }
    return nodes;
}

bool SystemAXNode::isSettable(std::string_view attribute) const {
    const auto result = accessibility_->isAttributeSettable(element_, attribute);
    return result.succeeded() && *result.value;
}

void SystemAXNode::setValue(std::string_view text) {
    if (!contains(supportedAttributeNames(), "AXValue")) throw SearchException(SearchFailure::notImplemented);
    if (!isSettable("AXValue")) throw SearchException(SearchFailure::notImplemented);
    const std::int32_t error = accessibility_->setStringAttributeValue(element_, "AXValue", text);
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
    if (error != Desktop::AxError::success) throw SearchException(failureFor(error));
}

std::vector<std::string> SystemAXNode::supportedAttributeNames() const {
    return stringEntries(accessibility_->copyAttributeNames(element_));
}

std::vector<std::string> SystemAXNode::actionNames() const {
    return stringEntries(accessibility_->copyActionNames(element_));
}

}  // namespace RoomcodeCore
