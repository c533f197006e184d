#include "Desktop/macos/MacAccessibility.hpp"

#include <ApplicationServices/ApplicationServices.h>

#include <memory>
#include <utility>

#include "Desktop/macos/CFReference.hpp"
#include "Desktop/macos/CoreFoundationValues.hpp"

namespace Desktop::MacOS {

// The seam names the platform's error codes by value; they must be the platform's.
static_assert(AxError::success == kAXErrorSuccess);
static_assert(AxError::failure == kAXErrorFailure);
static_assert(AxError::illegalArgument == kAXErrorIllegalArgument);
static_assert(AxError::invalidUIElement == kAXErrorInvalidUIElement);
static_assert(AxError::invalidUIElementObserver == kAXErrorInvalidUIElementObserver);
static_assert(AxError::cannotComplete == kAXErrorCannotComplete);
static_assert(AxError::attributeUnsupported == kAXErrorAttributeUnsupported);
static_assert(AxError::actionUnsupported == kAXErrorActionUnsupported);
static_assert(AxError::notificationUnsupported == kAXErrorNotificationUnsupported);
static_assert(AxError::notImplemented == kAXErrorNotImplemented);
static_assert(AxError::notificationAlreadyRegistered == kAXErrorNotificationAlreadyRegistered);
static_assert(AxError::notificationNotRegistered == kAXErrorNotificationNotRegistered);
static_assert(AxError::apiDisabled == kAXErrorAPIDisabled);
static_assert(AxError::noValue == kAXErrorNoValue);
static_assert(AxError::parameterizedAttributeUnsupported == kAXErrorParameterizedAttributeUnsupported);
static_assert(AxError::notEnoughPrecision == kAXErrorNotEnoughPrecision);

namespace {

struct AxElementHandle final : Element::Handle {
    explicit AxElementHandle(CFReference<AXUIElementRef> ref) : element(std::move(ref)) {}
    CFReference<AXUIElementRef> element;
};

Element makeElement(CFReference<AXUIElementRef> ref) {
    if (!ref) return Element();
    return Element(std::make_shared<const AxElementHandle>(std::move(ref)));
}

// Null for a null element, or one that some other desktop made.
AXUIElementRef axElement(const Element& element) {
    const auto* handle = dynamic_cast<const AxElementHandle*>(element.handle());
    return handle != nullptr ? handle->element.get() : nullptr;
}

AxValue axValue(CFTypeRef value);

AxList axList(CFArrayRef array) {
    AxList list;
    const CFIndex count = CFArrayGetCount(array);
    list.reserve(static_cast<std::size_t>(count));
    for (CFIndex index = 0; index < count; ++index)
        list.push_back(axValue(CFArrayGetValueAtIndex(array, index)));
    return list;
}

AxValue axValue(CFTypeRef value) {
    // An array that holds a null has nothing whose type could be named.
    if (value == nullptr) return {OtherValue{}};
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) return {utf8(static_cast<CFStringRef>(value))};
    // A CFBoolean is not a CFNumber, but it is asked first so that it can never pass for one.
    if (type == CFBooleanGetTypeID()) return {CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0};
    if (type == CFNumberGetTypeID()) {
        return std::visit([](auto number) { return AxValue{number}; },
                          numberValue(static_cast<CFNumberRef>(value)));
    }
    if (type == CFArrayGetTypeID()) return {axList(static_cast<CFArrayRef>(value))};
    if (type == AXUIElementGetTypeID())
        return {makeElement(CFReference<AXUIElementRef>::retain(static_cast<AXUIElementRef>(value)))};
    if (type == CFURLGetTypeID()) {
        const auto absolute =
            CFReference<CFURLRef>::adopt(CFURLCopyAbsoluteURL(static_cast<CFURLRef>(value)));
        if (absolute) return {Url{utf8(CFURLGetString(absolute.get()))}};
    }
    if (type == AXValueGetTypeID()) {
        const auto wrapped = static_cast<AXValueRef>(value);
        switch (AXValueGetType(wrapped)) {
            case kAXValueTypeCGPoint: {
                CGPoint point{};
                if (AXValueGetValue(wrapped, kAXValueTypeCGPoint, &point)) return {Point{point.x, point.y}};
                break;
            }
            case kAXValueTypeCGSize: {
                CGSize size{};
                if (AXValueGetValue(wrapped, kAXValueTypeCGSize, &size))
                    return {Size{size.width, size.height}};
                break;
            }
            default:
                break;
        }
    }
    return {OtherValue{typeName(value)}};
}

// One entry of a multiple-attribute read that did not stop on errors: the
// platform puts an attribute's error in its place as an AXValue of error type,
// and may put a CFNull where an attribute has nothing to give.
PlatformResult<AxValue> multipleAttributeEntry(CFTypeRef value) {
    if (value != nullptr && CFGetTypeID(value) == AXValueGetTypeID()) {
        const auto wrapped = static_cast<AXValueRef>(value);
        AXError error = kAXErrorSuccess;
        if (AXValueGetType(wrapped) == kAXValueTypeAXError &&
            AXValueGetValue(wrapped, kAXValueTypeAXError, &error))
            return {.code = error, .value = std::nullopt};
    }
    if (value == nullptr || CFGetTypeID(value) == CFNullGetTypeID())
        return {.code = kAXErrorSuccess, .value = {}};
    return {.code = kAXErrorSuccess, .value = axValue(value)};
}

PlatformResult<AxList> copyNames(AXError (*copy)(AXUIElementRef, CFArrayRef*), const Element& element) {
    const AXUIElementRef ax = axElement(element);
    if (ax == nullptr) return {.code = kAXErrorIllegalArgument, .value = std::nullopt};
    CFReference<CFArrayRef> names;
    const AXError error = copy(ax, names.receive());
    if (!names) return {.code = error, .value = std::nullopt};
    return {.code = error, .value = axList(names.get())};
}

}  // namespace

// Every call below first makes sure it has an element and CFStrings to pass. A
// null element, or a text that is not UTF-8, is answered as the platform answers
// a NIL argument, without handing the platform a null it might not survive.

bool MacAccessibility::isProcessTrusted() {
    return AXIsProcessTrusted() != 0;
}

Element MacAccessibility::applicationElement(Pid pid) {
    return makeElement(CFReference<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid)));
}

PlatformResult<AxValue> MacAccessibility::copyAttributeValue(const Element& element,
                                                             std::string_view attribute) {
    const AXUIElementRef ax = axElement(element);
    const auto name = makeString(attribute);
    if (ax == nullptr || !name) return {.code = kAXErrorIllegalArgument, .value = std::nullopt};
    CFReference<CFTypeRef> value;
    const AXError error = AXUIElementCopyAttributeValue(ax, name.get(), value.receive());
    if (!value) return {.code = error, .value = std::nullopt};
    return {.code = error, .value = axValue(value.get())};
}

PlatformResult<std::vector<PlatformResult<AxValue>>> MacAccessibility::copyMultipleAttributeValues(
    const Element& element, const std::vector<std::string>& attributes) {
    const AXUIElementRef ax = axElement(element);
    if (ax == nullptr) return {.code = kAXErrorIllegalArgument, .value = std::nullopt};
    std::vector<CFReference<CFStringRef>> names;
    std::vector<const void*> rawNames;
    names.reserve(attributes.size());
    rawNames.reserve(attributes.size());
    for (const auto& attribute : attributes) {
        names.push_back(makeString(attribute));
        if (!names.back()) return {.code = kAXErrorIllegalArgument, .value = std::nullopt};
        rawNames.push_back(names.back().get());
    }
    const auto request = CFReference<CFArrayRef>::adopt(CFArrayCreate(
        kCFAllocatorDefault, rawNames.data(), static_cast<CFIndex>(rawNames.size()), &kCFTypeArrayCallBacks));

    CFReference<CFArrayRef> values;
    // No options: an attribute's error takes its place in the answer instead of ending the call.
    const auto noOptions = static_cast<AXCopyMultipleAttributeOptions>(0);
    const AXError error =
        AXUIElementCopyMultipleAttributeValues(ax, request.get(), noOptions, values.receive());
    if (!values) return {.code = error, .value = std::nullopt};
    std::vector<PlatformResult<AxValue>> entries;
    const CFIndex count = CFArrayGetCount(values.get());
    entries.reserve(static_cast<std::size_t>(count));
    for (CFIndex index = 0; index < count; ++index)
        entries.push_back(multipleAttributeEntry(CFArrayGetValueAtIndex(values.get(), index)));
    return {.code = error, .value = std::move(entries)};
}

PlatformResult<AxList> MacAccessibility::copyAttributeNames(const Element& element) {
    return copyNames(AXUIElementCopyAttributeNames, element);
}

PlatformResult<AxList> MacAccessibility::copyActionNames(const Element& element) {
    return copyNames(AXUIElementCopyActionNames, element);
}

PlatformResult<bool> MacAccessibility::isAttributeSettable(const Element& element,
                                                           std::string_view attribute) {
    const AXUIElementRef ax = axElement(element);
    const auto name = makeString(attribute);
    if (ax == nullptr || !name) return {.code = kAXErrorIllegalArgument, .value = std::nullopt};
    Boolean settable = false;
    const AXError error = AXUIElementIsAttributeSettable(ax, name.get(), &settable);
    if (error != kAXErrorSuccess) return {.code = error, .value = std::nullopt};
    return {.code = error, .value = settable != 0};
}

std::int32_t MacAccessibility::setStringAttributeValue(const Element& element, std::string_view attribute,
                                                       std::string_view value) {
    const AXUIElementRef ax = axElement(element);
    const auto name = makeString(attribute);
    const auto text = makeString(value);
    if (ax == nullptr || !name || !text) return kAXErrorIllegalArgument;
    return AXUIElementSetAttributeValue(ax, name.get(), text.get());
}

std::int32_t MacAccessibility::performAction(const Element& element, std::string_view action) {
    const AXUIElementRef ax = axElement(element);
    const auto name = makeString(action);
    if (ax == nullptr || !name) return kAXErrorIllegalArgument;
    return AXUIElementPerformAction(ax, name.get());
}

std::int32_t MacAccessibility::setMessagingTimeout(const Element& element, float seconds) {
    const AXUIElementRef ax = axElement(element);
    if (ax == nullptr) return kAXErrorIllegalArgument;
    return AXUIElementSetMessagingTimeout(ax, seconds);
}

// CFHash and CFEqual have no answer for a null reference, so a null element
// hashes to zero and equals only another null element.
std::uint64_t MacAccessibility::hash(const Element& element) {
    const AXUIElementRef ax = axElement(element);
    return ax != nullptr ? static_cast<std::uint64_t>(CFHash(ax)) : 0;
}

bool MacAccessibility::equal(const Element& a, const Element& b) {
    const AXUIElementRef first = axElement(a);
    const AXUIElementRef second = axElement(b);
    if (first == nullptr || second == nullptr) return first == second;
    return CFEqual(first, second) != 0;
}

}  // namespace Desktop::MacOS
