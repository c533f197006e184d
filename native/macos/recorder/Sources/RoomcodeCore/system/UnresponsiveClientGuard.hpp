#pragma once

// The Accessibility interface as the meeting-ID reader uses it: once the client
// has left several requests in a row unanswered, it is taken as hung, and reads
// of attributes fail at once instead of each waiting out the messaging
// time-out, until the client answers again. Without it, a client that stops
// answering after a walk has collected its nodes would cost a time-out for
// every read of every node.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "RoomcodeCore/system/ForwardingAccessibility.hpp"

namespace RoomcodeCore {

class UnresponsiveClientGuard final : public ForwardingAccessibility {
public:
    // Two seconds of silence at the reader's time-out.
    static constexpr int unansweredLimit = 8;

    explicit UnresponsiveClientGuard(Desktop::Accessibility& platform) : ForwardingAccessibility(platform) {}

    bool clientTakenAsHung() const { return unansweredInARow_ >= unansweredLimit; }

    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& element,
                                                                 std::string_view attribute) override;
    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& element,
                                const std::vector<std::string>& attributes) override;
    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& element) override;
    // Always asked, like writes and actions: every press depends on it, and
    // closing a popover the tool opened is worth a time-out even from a client
    // that looks hung. An answer also ends the hung state: the client is back.
    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& element) override;
    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element& element,
                                                      std::string_view attribute) override;
    std::int32_t setStringAttributeValue(const Desktop::Element& element, std::string_view attribute,
                                         std::string_view value) override;
    std::int32_t performAction(const Desktop::Element& element, std::string_view action) override;

private:
    int unansweredInARow_ = 0;

    // Sends a read unless the client is taken as hung, and counts its answer.
    template <typename Result, typename Request>
    Result read(Request request);
    void count(std::int32_t code);
};

}  // namespace RoomcodeCore
