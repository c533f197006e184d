#pragma once

// What the platform's loosely typed accessibility values mean, for both tools.
// A read that failed, gave no value or gave a value of another type than the
// reader expects is absent; the callers carry on with less evidence.

#include <optional>
#include <string>
#include <vector>

#include "Desktop/Accessibility.hpp"

namespace AccessibilityValues {

using AxResult = Desktop::PlatformResult<Desktop::AxValue>;

// The text of an attribute as the platform's string bridging gives it: a
// string unchanged (an empty one stays empty), a number or boolean as its
// NSNumber stringValue.
std::optional<std::string> stringValue(const AxResult& result);
// A URL's absolute string, or a string as is.
std::optional<std::string> urlStringValue(const AxResult& result);
// A boolean, or a number read as one (zero is false), as an NSNumber reads as a BOOL.
std::optional<bool> flagValue(const AxResult& result);
// The value only when it is an accessibility element.
std::optional<Desktop::Element> elementValue(const AxResult& result);
// The value only when it is a list whose every entry is an accessibility element.
std::optional<std::vector<Desktop::Element>> elementListValue(const AxResult& result);
std::optional<Desktop::Point> pointValue(const AxResult& result);
std::optional<Desktop::Size> sizeValue(const AxResult& result);

// The entries of a name list (attribute or action names) that are strings, in
// order; empty when the request failed.
std::vector<std::string> stringEntries(const Desktop::PlatformResult<Desktop::AxList>& result);

// Several attributes in one request, one result per name in order. When the
// request as a whole fails, every attribute reads as failed with its code, and
// a short answer leaves the attributes it did not cover without a value, so
// each reader above still sees an absent value.
std::vector<AxResult> copyAttributes(Desktop::Accessibility& accessibility, const Desktop::Element& element,
                                     const std::vector<std::string>& names);

}  // namespace AccessibilityValues
