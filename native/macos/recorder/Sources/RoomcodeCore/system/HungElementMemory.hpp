#pragma once

// The Accessibility interface as the meeting-ID reader uses it, in front of the
// unresponsive-client guard: an element that has once left a read unanswered is
// taken as hung for the rest of the run, and its attributes read as absent at
// once. The guard alone cannot help when only some elements hang: answers from
// the others keep resetting its count, and every later read of a hung element
// would wait out the time-out again — every walk, every label pass, every
// search for a close control. Here each hung element costs one time-out.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "RoomcodeCore/system/UnresponsiveClientGuard.hpp"

namespace RoomcodeCore {

// Actions, their list and writes always reach the client, as through the guard:
// a popover the tool opened is worth a time-out to close.
class HungElementMemory final : public ForwardingAccessibility {
public:
    explicit HungElementMemory(UnresponsiveClientGuard& client)
        : ForwardingAccessibility(static_cast<Desktop::Accessibility&>(client)), client_(client) {}

    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& element,
                                                                 std::string_view attribute) override;
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& element,
                                const std::vector<std::string>& attributes) override;
    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& element) override;
    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element& element,
                                                      std::string_view attribute) override;

private:
    UnresponsiveClientGuard& client_;
    // By hash; elements that share one are told apart by equality.
    std::unordered_map<std::uint64_t, std::vector<Desktop::Element>> hung_;

    bool known(const Desktop::Element& element);
    template <typename Result, typename Request>
    Result read(const Desktop::Element& element, Request request);
};

}  // namespace RoomcodeCore
