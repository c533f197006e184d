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

namespace RoomcodeCore {

class StoppableAccessibility final : public Desktop::Accessibility {
public:
    StoppableAccessibility(Desktop::Accessibility& client, const PopoverWatch& watch)
        : client_(client), watch_(watch) {}

    bool isProcessTrusted() override { return client_.isProcessTrusted(); }
    Desktop::Element applicationElement(Desktop::Pid pid) override { return client_.applicationElement(pid); }
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
    // Settings of the reference and identity, not requests to the client.
    std::int32_t setMessagingTimeout(const Desktop::Element& element, float seconds) override {
        return client_.setMessagingTimeout(element, seconds);
    }
    std::uint64_t hash(const Desktop::Element& element) override { return client_.hash(element); }
    bool equal(const Desktop::Element& a, const Desktop::Element& b) override { return client_.equal(a, b); }

private:
    Desktop::Accessibility& client_;
    const PopoverWatch& watch_;

    void unlessHeld() const;
};

}  // namespace RoomcodeCore
