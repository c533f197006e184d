#pragma once

// The node over a real accessibility element of the Zoom client. What the
// platform's loosely typed values read as is the shared accessibility value
// reader's business; what they mean for a node is decided here: when an
// element counts as disabled, which errors of an action mean "not offered" and
// which mean "try again later".
//
// Each request is a round trip to the client, so a node asks for all the
// attributes the tool reads in one request, and asks for its action names
// once, and keeps both, and its child nodes, for as long as its window state
// lasts. Pressing or writing through any node of the state ends the state:
// every node then reads afresh on its next use.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "RoomcodeCore/AXNode.hpp"

namespace RoomcodeCore {

// What one element gave in one window state.
struct ElementReading;

// How long what was read from the client stays true. The locator's
// classifiers, the search-root filters, the screen-sharing test and the
// reader's searches all look at the same windows; between two of the tool's
// own changes to the client's user interface (a press, a close, a write) they
// share one reading of each element, whichever node they reach it through. A
// change starts a new window state, and nothing read in an earlier one is
// used again.
class WindowState {
public:
    std::uint64_t current() const { return current_; }
    // The tool has sent the client something that may change what it shows.
    void changed();

    // The reading of this element in the current state, if a node has made one
    // and still holds it. Elements are told apart by hash first, then by equality.
    std::shared_ptr<ElementReading> readingOf(Desktop::Accessibility& accessibility,
                                              const Desktop::Element& element, std::uint64_t hash) const;
    void remember(const Desktop::Element& element, std::uint64_t hash,
                  const std::shared_ptr<ElementReading>& reading);

private:
    struct Known {
        Desktop::Element element;
        // Not owned: a reading lives as long as a node holds it.
        std::weak_ptr<ElementReading> reading;
    };

    std::uint64_t current_ = 0;
    std::unordered_map<std::uint64_t, std::vector<Known>> readings_;
};

class SystemAXNode final : public AXNode {
public:
    // A client that stops answering must not stall the tool: no request to an
    // element waits longer than this.
    static constexpr float messagingTimeout = 0.25F;

    // A node of a window state of its own; its children share it.
    SystemAXNode(Desktop::Element element, Desktop::Pid pid, Desktop::Accessibility& accessibility,
                 std::shared_ptr<WindowState> state = std::make_shared<WindowState>());
    ~SystemAXNode() override;

    const Desktop::Element& element() const { return element_; }
    Desktop::Pid pid() const { return pid_; }
    const std::shared_ptr<WindowState>& windowState() const { return state_; }

    // Its role and identifier are read on the first call, not when the node is
    // made; the key then stays, whatever later states read.
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

    // The attributes asked for in a node's one request, in request order.
    static const std::vector<std::string>& requestedAttributes();
    // How an AXError of a write or an action is reported.
    static SearchFailure failureFor(std::int32_t axError);

private:
    Desktop::Element element_;
    Desktop::Pid pid_;
    Desktop::Accessibility* accessibility_;
    std::shared_ptr<WindowState> state_;
    mutable std::optional<std::uint64_t> hash_;
    mutable std::optional<std::string> nodeKey_;
    mutable std::shared_ptr<ElementReading> reading_;
    struct Children {
        std::uint64_t state = 0;
        std::vector<AXNodePtr> nodes;
    };
    mutable std::optional<Children> children_;

    std::uint64_t hash() const;
    // What the element has given in the current window state, through this
    // node or another one of the same element.
    ElementReading& reading() const;
    const Desktop::PlatformResult<Desktop::AxValue>& attribute(std::size_t index) const;
    const std::vector<std::string>& actionNames() const;
    std::vector<std::string> supportedAttributeNames() const;
};

}  // namespace RoomcodeCore
