#include "Support/FakeAccessibility.hpp"

#include <memory>

namespace Testing {

namespace {

struct Handle final : Desktop::Element::Handle {
    explicit Handle(int at) : index(at) {}
    int index;
};

}  // namespace

Desktop::Element FakeAccessibility::add(FakeElement element) {
    elements.push_back(std::move(element));
    handles_.emplace_back(std::make_shared<const Handle>(static_cast<int>(elements.size()) - 1));
    return handles_.back();
}

int FakeAccessibility::indexOf(const Desktop::Element& element) {
    return static_cast<const Handle*>(element.handle())->index;
}

Desktop::Element FakeAccessibility::applicationElement(Desktop::Pid pid) {
    const auto found = applications.find(pid);
    if (found == applications.end()) return add(FakeElement{});
    return handles_[static_cast<std::size_t>(found->second)];
}

PlatformResult<AxValue> FakeAccessibility::copyAttributeValue(const Desktop::Element& element,
                                                              std::string_view attribute) {
    ++requests["copyAttributeValue"];
    return attributeOf(element, attribute);
}

PlatformResult<AxValue> FakeAccessibility::attributeOf(const Desktop::Element& element,
                                                       std::string_view attribute) const {
    const FakeElement& fake = elements[static_cast<std::size_t>(indexOf(element))];
    const auto found = fake.attributes.find(std::string(attribute));
    if (found == fake.attributes.end()) return {.code = Desktop::AxError::attributeUnsupported, .value = {}};
    return found->second;
}

PlatformResult<std::vector<PlatformResult<AxValue>>> FakeAccessibility::copyMultipleAttributeValues(
    const Desktop::Element& element, const std::vector<std::string>& attributes) {
    ++requests["copyMultipleAttributeValues"];
    const std::int32_t whole = elements[static_cast<std::size_t>(indexOf(element))].multipleResult;
    if (whole != 0) return {.code = whole, .value = {}};
    std::vector<PlatformResult<AxValue>> values;
    for (const std::string& attribute : attributes)
        values.push_back(attributeOf(element, attribute));
    if (const auto answered = elements[static_cast<std::size_t>(indexOf(element))].multipleAnswers;
        answered && *answered < values.size()) {
        values.resize(*answered);
    }
    return {.code = 0, .value = std::move(values)};
}

PlatformResult<Desktop::AxList> FakeAccessibility::copyAttributeNames(const Desktop::Element& element) {
    return elements[static_cast<std::size_t>(indexOf(element))].attributeNames;
}

PlatformResult<Desktop::AxList> FakeAccessibility::copyActionNames(const Desktop::Element& element) {
    ++requests["copyActionNames"];
    return elements[static_cast<std::size_t>(indexOf(element))].actionNames;
}

PlatformResult<bool> FakeAccessibility::isAttributeSettable(const Desktop::Element& element,
                                                            std::string_view attribute) {
    const FakeElement& fake = elements[static_cast<std::size_t>(indexOf(element))];
    const auto found = fake.settable.find(std::string(attribute));
    if (found == fake.settable.end()) return {.code = 0, .value = false};
    return found->second;
}

std::int32_t FakeAccessibility::setStringAttributeValue(const Desktop::Element& element,
                                                        std::string_view attribute, std::string_view value) {
    written.emplace_back(indexOf(element), std::string(attribute) + "=" + std::string(value));
    return elements[static_cast<std::size_t>(indexOf(element))].setResult;
}

std::int32_t FakeAccessibility::performAction(const Desktop::Element& element, std::string_view action) {
    performed.emplace_back(indexOf(element), std::string(action));
    return elements[static_cast<std::size_t>(indexOf(element))].performResult;
}

std::int32_t FakeAccessibility::setMessagingTimeout(const Desktop::Element& element, float seconds) {
    timeouts.emplace_back(indexOf(element), seconds);
    return 0;
}

std::uint64_t FakeAccessibility::hash(const Desktop::Element& element) {
    return elements[static_cast<std::size_t>(indexOf(element))].hash;
}

bool FakeAccessibility::equal(const Desktop::Element& a, const Desktop::Element& b) {
    return indexOf(a) == indexOf(b);
}

PlatformResult<AxValue> read(AxValue value) {
    return {.code = 0, .value = std::move(value)};
}

PlatformResult<AxValue> readError(std::int32_t code) {
    return {.code = code, .value = {}};
}

}  // namespace Testing
