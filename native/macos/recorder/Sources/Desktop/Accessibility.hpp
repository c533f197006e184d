#pragma once

// The Accessibility interface: one operation for each AXUIElement call the tools
// make. Values come back converted, never interpreted: a number stays a number,
// a boolean a boolean, and a value of any other type is reported as such.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Desktop/PlatformResult.hpp"

namespace Desktop {

using Pid = std::int32_t;

// AXError codes as the platform defines them.
namespace AxError {
inline constexpr std::int32_t success = 0;
inline constexpr std::int32_t failure = -25200;
inline constexpr std::int32_t illegalArgument = -25201;
inline constexpr std::int32_t invalidUIElement = -25202;
inline constexpr std::int32_t invalidUIElementObserver = -25203;
inline constexpr std::int32_t cannotComplete = -25204;
inline constexpr std::int32_t attributeUnsupported = -25205;
inline constexpr std::int32_t actionUnsupported = -25206;
inline constexpr std::int32_t notificationUnsupported = -25207;
inline constexpr std::int32_t notImplemented = -25208;
inline constexpr std::int32_t notificationAlreadyRegistered = -25209;
inline constexpr std::int32_t notificationNotRegistered = -25210;
inline constexpr std::int32_t apiDisabled = -25211;
inline constexpr std::int32_t noValue = -25212;
inline constexpr std::int32_t parameterizedAttributeUnsupported = -25213;
inline constexpr std::int32_t notEnoughPrecision = -25214;
}  // namespace AxError

// One accessibility element (AXUIElementRef). Copies share the platform
// reference, which is released with the last copy.
class Element {
public:
    // Implemented by each desktop; opaque above the seam.
    struct Handle {
        virtual ~Handle() = default;
    };

    Element() = default;
    explicit Element(std::shared_ptr<const Handle> handle) : handle_(std::move(handle)) {}

    bool isNull() const { return handle_ == nullptr; }
    const Handle* handle() const { return handle_.get(); }

private:
    std::shared_ptr<const Handle> handle_;
};

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Url {
    std::string absoluteString;
    bool operator==(const Url&) const = default;
};

// A value of a type the tools never read (an AXValue range, a date, data, ...),
// with the platform's name for its type.
struct OtherValue {
    std::string typeName;
    bool operator==(const OtherValue&) const = default;
};

struct AxValue;
using AxList = std::vector<AxValue>;

// A CFNumber keeps its kind: integer types arrive as `std::int64_t`, floating
// types as `double`. A CFBoolean arrives as `bool`.
struct AxValue {
    std::variant<std::string, std::int64_t, double, bool, Element, AxList, Point, Size, Url, OtherValue> data;
};

class Accessibility {
public:
    virtual ~Accessibility() = default;

    // AXIsProcessTrusted
    virtual bool isProcessTrusted() = 0;
    // AXUIElementCreateApplication
    virtual Element applicationElement(Pid pid) = 0;
    // AXUIElementCopyAttributeValue
    virtual PlatformResult<AxValue> copyAttributeValue(const Element& element,
                                                       std::string_view attribute) = 0;
    // AXUIElementCopyMultipleAttributeValues without stopping on errors: one entry
    // per requested attribute, in request order, each with its own value or error.
    // The call as a whole can fail too (then `code` is its error).
    virtual PlatformResult<std::vector<PlatformResult<AxValue>>> copyMultipleAttributeValues(
        const Element& element, const std::vector<std::string>& attributes) = 0;
    // AXUIElementCopyAttributeNames; entries as the platform gives them (normally strings).
    virtual PlatformResult<AxList> copyAttributeNames(const Element& element) = 0;
    // AXUIElementCopyActionNames
    virtual PlatformResult<AxList> copyActionNames(const Element& element) = 0;
    // AXUIElementIsAttributeSettable
    virtual PlatformResult<bool> isAttributeSettable(const Element& element, std::string_view attribute) = 0;
    // AXUIElementSetAttributeValue with a string value; returns the AXError.
    virtual std::int32_t setStringAttributeValue(const Element& element, std::string_view attribute,
                                                 std::string_view value) = 0;
    // AXUIElementPerformAction; returns the AXError.
    virtual std::int32_t performAction(const Element& element, std::string_view action) = 0;
    // AXUIElementSetMessagingTimeout; returns the AXError.
    virtual std::int32_t setMessagingTimeout(const Element& element, float seconds) = 0;
    // CFHash
    virtual std::uint64_t hash(const Element& element) = 0;
    // CFEqual
    virtual bool equal(const Element& a, const Element& b) = 0;
};

}  // namespace Desktop
