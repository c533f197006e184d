#pragma once

// Typed reads of accessibility attributes. A read that fails, gives no value or
// gives a value of another type than the reader expects is absent; the callers
// carry on with less evidence.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Desktop/Accessibility.hpp"

namespace Callsense {

using AxResult = Desktop::PlatformResult<Desktop::AxValue>;

// The value only when it is an accessibility element.
std::optional<Desktop::Element> elementValue(const AxResult& result);
// A string as is; a number or boolean as its NSNumber stringValue.
std::optional<std::string> stringValue(const AxResult& result);
// A URL's absolute string, or a string as is.
std::optional<std::string> urlStringValue(const AxResult& result);
// The value only when it is a list whose every entry is an accessibility element.
std::optional<std::vector<Desktop::Element>> elementListValue(const AxResult& result);
std::optional<Desktop::Point> pointValue(const AxResult& result);
std::optional<Desktop::Size> sizeValue(const AxResult& result);

std::optional<Desktop::Element> copyElementAttribute(Desktop::Accessibility& ax,
                                                     const Desktop::Element& element, std::string_view name);
std::optional<std::string> copyStringAttribute(Desktop::Accessibility& ax, const Desktop::Element& element,
                                               std::string_view name);
// Reads AXURL.
std::optional<std::string> copyURLString(Desktop::Accessibility& ax, const Desktop::Element& element);
// Serves both AXWindows and AXChildren.
std::optional<std::vector<Desktop::Element>> copyWindows(Desktop::Accessibility& ax,
                                                         const Desktop::Element& element,
                                                         std::string_view name);

// Several attributes in one request, one result per name in order. When the request
// as a whole fails, every attribute reads as failed with its code, so each reader
// above still sees an absent value.
std::vector<AxResult> copyAttributes(Desktop::Accessibility& ax, const Desktop::Element& element,
                                     const std::vector<std::string>& names);

}  // namespace Callsense
