#pragma once

// The Accessibility interface as the reader uses it when the program can be
// asked to stop: while the watch holds requests back, every request ends at
// once with ReadingStopped, before it reaches the client. Nothing of a held
// request is remembered anywhere, since none was answered; what was read
// before stays good for the close.

#include <string>
#include <string_view>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "RoomcodeCore/PopoverWatch.hpp"
#include "RoomcodeCore/system/ForwardingAccessibility.hpp"

namespace RoomcodeCore {

// The messaging time-out, hashes and equality go through as they are: they are
// settings of the reference and identity, not requests to the client.
class StoppableAccessibility final : public ForwardingAccessibility {
public:
    StoppableAccessibility(Desktop::Accessibility& client, const PopoverWatch& watch)
        : ForwardingAccessibility(client), watch_(watch) {}

    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& element,
                                                                 std::string_view attribute) override;
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& element,
                                const std::vector<std::string>& attributes) override;
    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& element) override;
    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& element) override;
    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element& element,
                                                      std::string_view attribute) override;
    std::int32_t setStringAttributeValue(const Desktop::Element& element, std::string_view attribute,
                                         std::string_view value) override;
    std::int32_t performAction(const Desktop::Element& element, std::string_view action) override;

private:
    const PopoverWatch& watch_;

    void unlessHeld() const;
};

}  // namespace RoomcodeCore
