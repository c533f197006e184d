#pragma once

#include "Desktop/Accessibility.hpp"

namespace Desktop::MacOS {

// The Accessibility interface of ApplicationServices (AXUIElement).
class MacAccessibility final : public Accessibility {
public:
    bool isProcessTrusted() override;
    Element applicationElement(Pid pid) override;
    PlatformResult<AxValue> copyAttributeValue(const Element& element, std::string_view attribute) override;
    PlatformResult<std::vector<PlatformResult<AxValue>>> copyMultipleAttributeValues(
        const Element& element, const std::vector<std::string>& attributes) override;
    PlatformResult<AxList> copyAttributeNames(const Element& element) override;
    PlatformResult<AxList> copyActionNames(const Element& element) override;
    PlatformResult<bool> isAttributeSettable(const Element& element, std::string_view attribute) override;
    std::int32_t setStringAttributeValue(const Element& element, std::string_view attribute,
                                         std::string_view value) override;
    std::int32_t performAction(const Element& element, std::string_view action) override;
    std::int32_t setMessagingTimeout(const Element& element, float seconds) override;
    std::uint64_t hash(const Element& element) override;
    bool equal(const Element& a, const Element& b) override;
};

}  // namespace Desktop::MacOS
