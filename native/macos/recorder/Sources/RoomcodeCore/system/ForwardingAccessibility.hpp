#pragma once

// An Accessibility interface in front of another one: every request goes through
// unchanged, except those the class deriving from it takes over.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Desktop/Accessibility.hpp"

namespace RoomcodeCore {

class ForwardingAccessibility : public Desktop::Accessibility {
public:
    explicit ForwardingAccessibility(Desktop::Accessibility& next) : next_(next) {}
    // Not copied: a copy made from a forwarding interface would skip it and talk to the one behind.
    ForwardingAccessibility(const ForwardingAccessibility&) = delete;
    ForwardingAccessibility& operator=(const ForwardingAccessibility&) = delete;

    bool isProcessTrusted() override { return next_.isProcessTrusted(); }
    Desktop::Element applicationElement(Desktop::Pid pid) override { return next_.applicationElement(pid); }
    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& element,
                                                                 std::string_view attribute) override {
        return next_.copyAttributeValue(element, attribute);
    }
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& element,
                                const std::vector<std::string>& attributes) override {
        return next_.copyMultipleAttributeValues(element, attributes);
    }
    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& element) override {
        return next_.copyAttributeNames(element);
    }
    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& element) override {
        return next_.copyActionNames(element);
    }
    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element& element,
                                                      std::string_view attribute) override {
        return next_.isAttributeSettable(element, attribute);
    }
    std::int32_t setStringAttributeValue(const Desktop::Element& element, std::string_view attribute,
                                         std::string_view value) override {
        return next_.setStringAttributeValue(element, attribute, value);
    }
    std::int32_t performAction(const Desktop::Element& element, std::string_view action) override {
        return next_.performAction(element, action);
    }
    std::int32_t setMessagingTimeout(const Desktop::Element& element, float seconds) override {
        return next_.setMessagingTimeout(element, seconds);
    }
    std::uint64_t hash(const Desktop::Element& element) override { return next_.hash(element); }
    bool equal(const Desktop::Element& a, const Desktop::Element& b) override { return next_.equal(a, b); }

protected:
    Desktop::Accessibility& next() { return next_; }

private:
    Desktop::Accessibility& next_;
};

}  // namespace RoomcodeCore
