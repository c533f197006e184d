#include "AccessibilityValues/AccessibilityValues.hpp"

#include <variant>

#include "Text/NumberText.hpp"

namespace AccessibilityValues {

namespace {

template <typename T>
const T* valueOf(const AxResult& result) {
    if (!result.succeeded()) return nullptr;
    return std::get_if<T>(&result.value->data);
}

}  // namespace

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

std::optional<bool> flagValue(const AxResult& result) {
    if (const auto* flag = valueOf<bool>(result)) return *flag;
    if (const auto* integer = valueOf<std::int64_t>(result)) return *integer != 0;
    if (const auto* real = valueOf<double>(result)) return *real != 0;
    return std::nullopt;
}

std::optional<Desktop::Element> elementValue(const AxResult& result) {
    const auto* element = valueOf<Desktop::Element>(result);
    if (element == nullptr || element->isNull()) return std::nullopt;
    return *element;
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

std::vector<std::string> stringEntries(const Desktop::PlatformResult<Desktop::AxList>& result) {
    std::vector<std::string> names;
    if (!result.succeeded()) return names;
    for (const auto& entry : *result.value) {
        if (const auto* name = std::get_if<std::string>(&entry.data)) names.push_back(*name);
    }
    return names;
}

std::vector<AxResult> copyAttributes(Desktop::Accessibility& accessibility, const Desktop::Element& element,
                                     const std::vector<std::string>& names) {
    auto batch = accessibility.copyMultipleAttributeValues(element, names);
    std::vector<AxResult> results;
    if (batch.code == Desktop::AxError::success && batch.value) results = std::move(*batch.value);
    const std::int32_t missing =
        batch.code != Desktop::AxError::success ? batch.code : Desktop::AxError::noValue;
    results.resize(names.size(), AxResult{.code = missing, .value = std::nullopt});
    return results;
}

}  // namespace AccessibilityValues
