#pragma once

// Accessibility over the scene's element trees: trust, hanging applications,
// presses that open and close popovers, applications that vanish mid-walk.

#include "Desktop/Accessibility.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

class SimAccessibility : public Accessibility {
public:
    explicit SimAccessibility(SimWorld& world) : world_(world) {}

    bool isProcessTrusted() override;
    Element applicationElement(Pid pid) override;
    PlatformResult<AxValue> copyAttributeValue(const Element& element, std::string_view attribute) override;
    PlatformResult<std::vector<PlatformResult<AxValue>>> copyMultipleAttributeValues(
        const Element& element, const std::vector<std::string>& attributes) override;
    PlatformResult<AxList> copyAttributeNames(const Element& element) override;
    PlatformResult<AxList> copyActionNames(const Element& element) override;
    PlatformResult<bool> isAttributeSettable(const Element& element, std::string_view attribute) override;
    std::int32_t setStringAttributeValue(const Element& element, std::string_view attribute,
                                         std::string_view value) override;
    std::int32_t performAction(const Element& element, std::string_view action) override;
    std::int32_t setMessagingTimeout(const Element& element, float seconds) override;
    std::uint64_t hash(const Element& element) override;
    bool equal(const Element& a, const Element& b) override;

private:
    struct Target;
    // Everything a request goes through before the application answers it. The
    // world's lock is held; `delay` is the time the request takes.
    std::int32_t enter(const Element& element, Target& target, double& delay);
    PlatformResult<AxValue> read(const Target& target, std::string_view attribute);
    template <typename T, typename Answer>
    PlatformResult<T> readRequest(const char* kind, const Element& element, Answer answer);
    template <typename Change>
    std::int32_t changeRequest(const char* kind, const Element& element, Change change);
    // What a write or an action does to the application; the world's lock is held.
    std::int32_t write(const Target& target, std::string_view attribute, std::string_view value);
    std::int32_t act(const Target& target, std::string_view action);
    AxValue convert(const SceneValue& value);
    Element elementFor(NodeIndex node);
    AxList visible(const std::vector<NodeIndex>& nodes);

    SimWorld& world_;
};

}  // namespace Desktop::Sim
