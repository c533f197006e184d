#pragma once

// A hand-built Accessibility interface: elements with attribute values of any
// type or read errors, action lists, write and action results, and a record
// of the messaging time-outs set and the actions sent.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Desktop/Accessibility.hpp"
#include "Desktop/Workspace.hpp"

namespace Testing {

using Desktop::AxValue;
using Desktop::PlatformResult;

struct FakeElement {
    std::uint64_t hash = 0;
    std::map<std::string, PlatformResult<AxValue>> attributes{};
    PlatformResult<Desktop::AxList> attributeNames{.code = 0, .value = Desktop::AxList{}};
    PlatformResult<Desktop::AxList> actionNames{.code = 0, .value = Desktop::AxList{}};
    std::map<std::string, PlatformResult<bool>> settable{};
    std::int32_t setResult = 0;
    std::int32_t performResult = 0;
    // Non-zero: a multiple-attribute request fails as a whole with this error.
    std::int32_t multipleResult = 0;
    // A multiple-attribute request answers only this many of the attributes asked.
    std::optional<std::size_t> multipleAnswers{};
};

class FakeAccessibility final : public Desktop::Accessibility {
public:
    std::vector<FakeElement> elements{};
    std::map<Desktop::Pid, int> applications{};  // pid to element index
    std::vector<std::pair<int, float>> timeouts{};
    std::vector<std::pair<int, std::string>> performed{};
    std::vector<std::pair<int, std::string>> written{};
    // Requests that reach the client, by operation: "copyAttributeValue",
    // "copyMultipleAttributeValues", "copyActionNames".
    std::map<std::string, int> requests{};

    // Adds an element and returns its handle.
    Desktop::Element add(FakeElement element);
    static int indexOf(const Desktop::Element& element);

    bool isProcessTrusted() override { return true; }
    Desktop::Element applicationElement(Desktop::Pid pid) override;
    PlatformResult<AxValue> copyAttributeValue(const Desktop::Element& element,
                                               std::string_view attribute) override;
    PlatformResult<std::vector<PlatformResult<AxValue>>> copyMultipleAttributeValues(
        const Desktop::Element& element, const std::vector<std::string>& attributes) override;
    PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& element) override;
    PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& element) override;
    PlatformResult<bool> isAttributeSettable(const Desktop::Element& element,
                                             std::string_view attribute) override;
    std::int32_t setStringAttributeValue(const Desktop::Element& element, std::string_view attribute,
                                         std::string_view value) override;
    std::int32_t performAction(const Desktop::Element& element, std::string_view action) override;
    std::int32_t setMessagingTimeout(const Desktop::Element& element, float seconds) override;
    std::uint64_t hash(const Desktop::Element& element) override;
    bool equal(const Desktop::Element& a, const Desktop::Element& b) override;

private:
    std::vector<Desktop::Element> handles_{};

    PlatformResult<AxValue> attributeOf(const Desktop::Element& element, std::string_view attribute) const;
};

// A successful read of a value.
PlatformResult<AxValue> read(AxValue value);
// A read that fails with this AXError.
PlatformResult<AxValue> readError(std::int32_t code);

class FakeWorkspace final : public Desktop::Workspace {
public:
    std::vector<Desktop::RunningApplication> running{};

    std::optional<Desktop::RunningApplication> frontmostApplication() override { return std::nullopt; }
    std::vector<Desktop::RunningApplication> runningApplications() override { return running; }
};

}  // namespace Testing
