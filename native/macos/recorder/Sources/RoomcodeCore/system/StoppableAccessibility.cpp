#include "RoomcodeCore/system/StoppableAccessibility.hpp"

namespace RoomcodeCore {

void StoppableAccessibility::unlessHeld() const {
    if (watch_.requestsHeld()) throw ReadingStopped();
}

Desktop::PlatformResult<Desktop::AxValue> StoppableAccessibility::copyAttributeValue(
    const Desktop::Element& element, std::string_view attribute) {
    unlessHeld();
    return next().copyAttributeValue(element, attribute);
}

Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
StoppableAccessibility::copyMultipleAttributeValues(const Desktop::Element& element,
                                                    const std::vector<std::string>& attributes) {
    unlessHeld();
    return next().copyMultipleAttributeValues(element, attributes);
}

Desktop::PlatformResult<Desktop::AxList> StoppableAccessibility::copyAttributeNames(
    const Desktop::Element& element) {
    unlessHeld();
    return next().copyAttributeNames(element);
}

Desktop::PlatformResult<Desktop::AxList> StoppableAccessibility::copyActionNames(
    const Desktop::Element& element) {
    unlessHeld();
    return next().copyActionNames(element);
}

Desktop::PlatformResult<bool> StoppableAccessibility::isAttributeSettable(const Desktop::Element& element,
                                                                          std::string_view attribute) {
    unlessHeld();
    return next().isAttributeSettable(element, attribute);
}

std::int32_t StoppableAccessibility::setStringAttributeValue(const Desktop::Element& element,
                                                             std::string_view attribute,
                                                             std::string_view value) {
    unlessHeld();
    return next().setStringAttributeValue(element, attribute, value);
}

std::int32_t StoppableAccessibility::performAction(const Desktop::Element& element, std::string_view action) {
    unlessHeld();
    return next().performAction(element, action);
}

}  // namespace RoomcodeCore
