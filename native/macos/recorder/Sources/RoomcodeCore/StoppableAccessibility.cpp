#include "RoomcodeCore/StoppableAccessibility.hpp"

namespace RoomcodeCore {

void StoppableAccessibility::unlessHeld() const {
    if (watch_.requestsHeld()) throw ReadingStopped();
}

Desktop::PlatformResult<Desktop::AxValue> StoppableAccessibility::copyAttributeValue(
    const Desktop::Element& element, std::string_view attribute) {
    unlessHeld();
    return client_.copyAttributeValue(element, attribute);
}

Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
StoppableAccessibility::copyMultipleAttributeValues(const Desktop::Element& element,
                                                    const std::vector<std::string>& attributes) {
    unlessHeld();
    return client_.copyMultipleAttributeValues(element, attributes);
}

Desktop::PlatformResult<Desktop::AxList> StoppableAccessibility::copyAttributeNames(
    const Desktop::Element& element) {
    unlessHeld();
    return client_.copyAttributeNames(element);
}

Desktop::PlatformResult<Desktop::AxList> StoppableAccessibility::copyActionNames(
    const Desktop::Element& element) {
    unlessHeld();
    return client_.copyActionNames(element);
}

Desktop::PlatformResult<bool> StoppableAccessibility::isAttributeSettable(const Desktop::Element& element,
                                                                          std::string_view attribute) {
    unlessHeld();
    return client_.isAttributeSettable(element, attribute);
}

std::int32_t StoppableAccessibility::setStringAttributeValue(const Desktop::Element& element,
                                                             std::string_view attribute,
                                                             std::string_view value) {
    unlessHeld();
    return client_.setStringAttributeValue(element, attribute, value);
}

std::int32_t StoppableAccessibility::performAction(const Desktop::Element& element, std::string_view action) {
    unlessHeld();
    return client_.performAction(element, action);
}

}  // namespace RoomcodeCore
