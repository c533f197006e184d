#include "Callsense/AxAttributes.hpp"

#include <variant>

#include "Text/NumberText.hpp"

namespace Callsense {

namespace {

template <typename T>
const T* valueOf(const AxResult& result) {
    if (!result.succeeded()) return nullptr;
    return std::get_if<T>(&result.value->data);
}

}  // namespace

std::optional<Desktop::Element> elementValue(const AxResult& result) {
    const auto* element = valueOf<Desktop::Element>(result);
    if (element == nullptr || element->isNull()) return std::nullopt;
    return *element;
}

std::optional<std::string> stringValue(const AxResult& result) {
    if (const auto* text = valueOf<std::string>(result)) return *text;
    if (const auto* integer = valueOf<std::int64_t>(result)) return Text::numberText(*integer);
    if (const auto* real = valueOf<double>(result)) return Text::numberText(*real);
    if (const auto* flag = valueOf<bool>(result)) return Text::numberText(*flag);
    return std::nullopt;
}

std::optional<std::string> urlStringValue(const AxResult& result) {
    if (const auto* url = valueOf<Desktop::Url>(result)) return url->absoluteString;
    if (const auto* text = valueOf<std::string>(result)) return *text;
    return std::nullopt;
}

std::optional<std::vector<Desktop::Element>> elementListValue(const AxResult& result) {
    const auto* list = valueOf<Desktop::AxList>(result);
    if (list == nullptr) return std::nullopt;
    std::vector<Desktop::Element> elements;
    elements.reserve(list->size());
    for (const auto& entry : *list) {
        const auto* element = std::get_if<Desktop::Element>(&entry.data);
        if (element == nullptr || element->isNull()) return std::nullopt;
        elements.push_back(*element);
    }
    return elements;
}

std::optional<Desktop::Point> pointValue(const AxResult& result) {
    if (const auto* point = valueOf<Desktop::Point>(result)) return *point;
    return std::nullopt;
}

std::optional<Desktop::Size> sizeValue(const AxResult& result) {
    if (const auto* size = valueOf<Desktop::Size>(result)) return *size;
    return std::nullopt;
}

std::optional<Desktop::Element> copyElementAttribute(Desktop::Accessibility& ax,
                                                     const Desktop::Element& element, std::string_view name) {
    return elementValue(ax.copyAttributeValue(element, name));
}

std::optional<std::string> copyStringAttribute(Desktop::Accessibility& ax, const Desktop::Element& element,
                                               std::string_view name) {
    return stringValue(ax.copyAttributeValue(element, name));
}

std::optional<std::string> copyURLString(Desktop::Accessibility& ax, const Desktop::Element& element) {
    return urlStringValue(ax.copyAttributeValue(element, "AXURL"));
}

std::optional<std::vector<Desktop::Element>> copyWindows(Desktop::Accessibility& ax,
                                                         const Desktop::Element& element,
                                                         std::string_view name) {
    return elementListValue(ax.copyAttributeValue(element, name));
}

std::vector<AxResult> copyAttributes(Desktop::Accessibility& ax, const Desktop::Element& element,
                                     const std::vector<std::string>& names) {
    auto batch = ax.copyMultipleAttributeValues(element, names);
    std::vector<AxResult> results;
    if (batch.code == 0 && batch.value) results = std::move(*batch.value);
    const std::int32_t missingCode = batch.code != 0 ? batch.code : Desktop::AxError::noValue;
    // A short answer leaves the attributes it did not cover absent.
    results.resize(names.size(), AxResult{.code = missingCode, .value = std::nullopt});
    return results;
}

}  // namespace Callsense
