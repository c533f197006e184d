#include "RoomcodeCore/system/UnresponsiveClientGuard.hpp"

namespace RoomcodeCore {

void UnresponsiveClientGuard::count(std::int32_t code) {
    // kAXErrorCannotComplete is the platform's word for a client that is busy
    // or does not answer; any other result, errors included, is an answer.
    if (code == Desktop::AxError::cannotComplete) {
        ++unansweredInARow_;
    } else {
        unansweredInARow_ = 0;
    }
}

template <typename Result, typename Request>
Result UnresponsiveClientGuard::read(Request request) {
    if (clientTakenAsHung()) return Result{.code = Desktop::AxError::cannotComplete, .value = {}};
    Result result = request();
    count(result.code);
    return result;
}

Desktop::PlatformResult<Desktop::AxValue> UnresponsiveClientGuard::copyAttributeValue(
    const Desktop::Element& element, std::string_view attribute) {
    return read<Desktop::PlatformResult<Desktop::AxValue>>(
        [&] { return next().copyAttributeValue(element, attribute); });
}

Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
UnresponsiveClientGuard::copyMultipleAttributeValues(const Desktop::Element& element,
                                                     const std::vector<std::string>& attributes) {
    return read<Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>>(
        [&] { return next().copyMultipleAttributeValues(element, attributes); });
}

Desktop::PlatformResult<Desktop::AxList> UnresponsiveClientGuard::copyAttributeNames(
    const Desktop::Element& element) {
    return read<Desktop::PlatformResult<Desktop::AxList>>([&] { return next().copyAttributeNames(element); });
}

Desktop::PlatformResult<Desktop::AxList> UnresponsiveClientGuard::copyActionNames(
    const Desktop::Element& element) {
    Desktop::PlatformResult<Desktop::AxList> result = next().copyActionNames(element);
    count(result.code);
    return result;
}

Desktop::PlatformResult<bool> UnresponsiveClientGuard::isAttributeSettable(const Desktop::Element& element,
                                                                           std::string_view attribute) {
    return read<Desktop::PlatformResult<bool>>(
        [&] { return next().isAttributeSettable(element, attribute); });
}

std::int32_t UnresponsiveClientGuard::setStringAttributeValue(const Desktop::Element& element,
                                                              std::string_view attribute,
                                                              std::string_view value) {
    const std::int32_t code = next().setStringAttributeValue(element, attribute, value);
    count(code);
    return code;
}

std::int32_t UnresponsiveClientGuard::performAction(const Desktop::Element& element,
                                                    std::string_view action) {
    const std::int32_t code = next().performAction(element, action);
    count(code);
    return code;
}

}  // namespace RoomcodeCore
