#pragma once

// The node over a real accessibility element of the Zoom client. Every
// decision about the platform's loosely typed answers is made here: what a
// number reads as, when an element counts as disabled, which errors of an
// action mean "not offered" and which mean "try again later".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "RoomcodeCore/AXNode.hpp"

namespace RoomcodeCore {

class SystemAXNode final : public AXNode {
public:
    // A client that stops answering must not stall the tool: no request to an
    // element waits longer than this.
    static constexpr float messagingTimeout = 0.25F;

    SystemAXNode(Desktop::Element element, Desktop::Pid pid);
    SystemAXNode(Desktop::Element element, Desktop::Pid pid, Desktop::Accessibility& accessibility);

    const Desktop::Element& element() const { return element_; }
    Desktop::Pid pid() const { return pid_; }

    // Its role and identifier are read on the first call, not when the node is made.
    const std::string& nodeKey() const override;
    std::optional<std::string> role() const override;
    std::optional<std::string> identifier() const override;
    std::optional<std::string> title() const override;
    std::optional<std::string> accessibilityDescription() const override;
    std::optional<std::string> help() const override;
    std::optional<std::string> subrole() const override;
    std::optional<std::string> roleDescription() const override;
    std::optional<Point> position() const override;
    std::optional<Size> size() const override;
    std::optional<std::string> value() const override;
    bool enabled() const override;
    std::vector<AXNodePtr> children() const override;
    bool isSettable(std::string_view attribute) const override;
    void setValue(std::string_view text) override;
    bool supports(std::string_view action) const override;
    void perform(std::string_view action) override;

    // The text of an attribute as the platform's string bridging gives it: a
    // string unchanged, a number (a boolean too) as NSNumber's stringValue.
    static std::optional<std::string> copyString(Desktop::Accessibility& accessibility,
                                                 const Desktop::Element& element, std::string_view attribute);
    // The elements of a list attribute, or empty unless every entry is an element.
    static std::vector<Desktop::Element> copyElements(Desktop::Accessibility& accessibility,
                                                      const Desktop::Element& element,
                                                      std::string_view attribute);
    // How an AXError of a write or an action is reported.
    static SearchFailure failureFor(std::int32_t axError);

private:
    Desktop::Element element_;
    Desktop::Pid pid_;
    Desktop::Accessibility* accessibility_;
    mutable std::optional<std::string> nodeKey_;

    std::optional<std::string> stringAttribute(std::string_view attribute) const;
    std::vector<std::string> supportedAttributeNames() const;
    std::vector<std::string> actionNames() const;
};

// NSNumber's stringValue of a double: 2.5 reads "2.5", 3.0 reads "3".
std::string numberText(double value);

}  // namespace RoomcodeCore
