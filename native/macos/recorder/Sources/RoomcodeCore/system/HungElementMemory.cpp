#include "RoomcodeCore/system/HungElementMemory.hpp"

namespace RoomcodeCore {

bool HungElementMemory::known(const Desktop::Element& element) {
    if (hung_.empty()) return false;
    const auto bucket = hung_.find(client_.hash(element));
    if (bucket == hung_.end()) return false;
    for (const Desktop::Element& hung : bucket->second) {
        if (client_.equal(hung, element)) return true;
    }
    return false;
}

template <typename Result, typename Request>
Result HungElementMemory::read(const Desktop::Element& element, Request request) {
    if (known(element)) return Result{.code = Desktop::AxError::cannotComplete, .value = {}};
    // A read the guard turned away never reached the element, so it says
    // nothing about it.
    const bool reachesClient = !client_.clientTakenAsHung();
    Result result = request();
    if (reachesClient && result.code == Desktop::AxError::cannotComplete) {
        hung_[client_.hash(element)].push_back(element);
    }
    return result;
}

Desktop::PlatformResult<Desktop::AxValue> HungElementMemory::copyAttributeValue(
    const Desktop::Element& element, std::string_view attribute) {
    return read<Desktop::PlatformResult<Desktop::AxValue>>(
        element, [&] { return client_.copyAttributeValue(element, attribute); });
}

Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
HungElementMemory::copyMultipleAttributeValues(const Desktop::Element& element,
                                               const std::vector<std::string>& attributes) {
    return read<Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>>(
        element, [&] { return client_.copyMultipleAttributeValues(element, attributes); });
}

Desktop::PlatformResult<Desktop::AxList> HungElementMemory::copyAttributeNames(
    const Desktop::Element& element) {
    return read<Desktop::PlatformResult<Desktop::AxList>>(
        element, [&] { return client_.copyAttributeNames(element); });
}

Desktop::PlatformResult<bool> HungElementMemory::isAttributeSettable(const Desktop::Element& element,
                                                                     std::string_view attribute) {
    return read<Desktop::PlatformResult<bool>>(
        element, [&] { return client_.isAttributeSettable(element, attribute); });
}

}  // namespace RoomcodeCore
