#include "Desktop/sim/SimAccessibility.hpp"

#include <algorithm>
#include <optional>

namespace Desktop::Sim {

namespace {

// Which element of which load of a scene a reference names.
struct ElementIdentity {
    std::uint64_t generation = 0;
    Pid pid = 0;
    std::optional<NodeIndex> node;  // none: a pid no application of the scene has
};

struct SimElementHandle : Element::Handle {
    explicit SimElementHandle(const ElementIdentity& identity)
        : generation(identity.generation), pid(identity.pid), node(identity.node) {}

    std::uint64_t generation;
    Pid pid;
    std::optional<NodeIndex> node;
    // Per reference, as on the platform; 0 means the default. Guarded by the world's lock.
    mutable double timeout = 0;
};

const SimElementHandle* simHandle(const Element& element) {
    return dynamic_cast<const SimElementHandle*>(element.handle());
}

bool listsString(const SceneList& list, std::string_view name) {
    return std::ranges::any_of(list, [&](const SceneValue& value) {
        const auto* text = std::get_if<std::string>(&value.data);
        return text != nullptr && *text == name;
    });
}

}  // namespace

struct SimAccessibility::Target {
    const SimElementHandle* handle = nullptr;
    const SceneElement* element = nullptr;
    std::optional<NodeIndex> node;
};

std::int32_t SimAccessibility::enter(const Element& element, Target& target, double& delay) {
    delay = 0;
    target.handle = simHandle(element);
    if (target.handle == nullptr) return AxError::illegalArgument;
    const auto& scene = *world_.scene;
    if (target.handle->generation != world_.generation) return AxError::invalidUIElement;
    if (target.handle->node) {
        target.node = target.handle->node;
        target.element = &scene.elements[*target.node];
    }
    if (!scene.accessibilityTrusted) return AxError::apiDisabled;
    if (!target.node) return AxError::cannotComplete;

    if (!world_.asked[*target.node]) {
        world_.asked[*target.node] = true;
        ++world_.elementsAsked;
    }
    const auto app = target.element->application;
    const auto& application = scene.applications[app];
    const auto requests = ++world_.applicationRequests[app];
    if (application.quitAfterRequests && requests > *application.quitAfterRequests) {
        return AxError::invalidUIElement;
    }
    for (std::optional<NodeIndex> node = target.node; node; node = scene.elements[*node].parent) {
        if (world_.hidden[*node]) return AxError::invalidUIElement;
    }
    const double responseTime = target.element->responseTime.value_or(application.responseTime.value_or(0));
    const double timeout = target.handle->timeout > 0 ? target.handle->timeout : defaultMessagingTimeout;
    if (responseTime > timeout) {
        delay = timeout;
        return AxError::cannotComplete;
    }
    delay = responseTime;
    return AxError::success;
}

Element SimAccessibility::elementFor(NodeIndex node) {
    const auto& scene = *world_.scene;
    const Pid pid = scene.applications[scene.elements[node].application].pid;
    return Element(std::make_shared<SimElementHandle>(
        ElementIdentity{.generation = world_.generation, .pid = pid, .node = node}));
}

AxList SimAccessibility::visible(const std::vector<NodeIndex>& nodes) {
    AxList list;
    for (const auto node : nodes) {
        if (!world_.hidden[node]) list.push_back(AxValue{elementFor(node)});
    }
    return list;
}

AxValue SimAccessibility::convert(const SceneValue& value) {
    return std::visit(
        [&](const auto& v) -> AxValue {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, ElementRef>) {
                return AxValue{elementFor(v.node)};
            } else if constexpr (std::is_same_v<T, SceneList>) {
                AxList list;
                for (const auto& entry : v)
                    list.push_back(convert(entry));
                return AxValue{std::move(list)};
            } else if constexpr (std::is_same_v<T, NoValue>) {
                // Inside an array a missing value can only be a null object.
                return AxValue{OtherValue{"CFNull"}};
            } else {
                return AxValue{v};
            }
        },
        value.data);
}

PlatformResult<AxValue> SimAccessibility::read(const Target& target, std::string_view attribute) {
    const auto& element = *target.element;
    if (const auto found = world_.written.find({*target.node, std::string(attribute)});
        found != world_.written.end()) {
        return {AxError::success, AxValue{found->second}};
    }
    if (const auto* read = element.attribute(attribute)) {
        if (read->error != 0) return {read->error, std::nullopt};
        if (std::holds_alternative<NoValue>(read->value.data)) return {AxError::success, std::nullopt};
        return {AxError::success, convert(read->value)};
    }
    if (attribute == "AXChildren") return {AxError::success, AxValue{visible(element.children)}};
    if (element.isApplication) {
        if (attribute == "AXWindows") return {AxError::success, AxValue{visible(element.windows)}};
        if (attribute == "AXFocusedWindow" && element.focusedWindow) {
            return {AxError::success, AxValue{elementFor(*element.focusedWindow)}};
        }
        if (attribute == "AXMainWindow" && element.mainWindow) {
            return {AxError::success, AxValue{elementFor(*element.mainWindow)}};
        }
    }
    return {AxError::attributeUnsupported, std::nullopt};
}

// The shape every read request shares: count it, find its element under the
// world's lock, answer, and let the clock pass by the element's response time
// outside the lock.
template <typename T, typename Answer>
PlatformResult<T> SimAccessibility::readRequest(const char* kind, const Element& element, Answer answer) {
    world_.counts.add(kind);
    PlatformResult<T> result;
    double delay = 0;
    {
        std::lock_guard lock(world_.mutex);
        Target target;
        result.code = enter(element, target, delay);
        if (result.code == AxError::success) result = answer(target);
    }
    world_.clock.pass(delay);
    return result;
}

bool SimAccessibility::isProcessTrusted() {
    world_.counts.add("accessibility.isProcessTrusted");
    std::lock_guard lock(world_.mutex);
    return world_.scene->accessibilityTrusted;
}

Element SimAccessibility::applicationElement(Pid pid) {
    world_.counts.add("accessibility.applicationElement");
    std::lock_guard lock(world_.mutex);
    const auto* app = world_.scene->application(pid);
    return Element(std::make_shared<SimElementHandle>(
        ElementIdentity{.generation = world_.generation,
                        .pid = pid,
                        .node = app != nullptr ? std::optional(app->element) : std::nullopt}));
}

PlatformResult<AxValue> SimAccessibility::copyAttributeValue(const Element& element,
                                                             std::string_view attribute) {
    return readRequest<AxValue>("accessibility.copyAttributeValue", element,
                                [&](const Target& target) { return read(target, attribute); });
}

PlatformResult<std::vector<PlatformResult<AxValue>>> SimAccessibility::copyMultipleAttributeValues(
    const Element& element, const std::vector<std::string>& attributes) {
    return readRequest<std::vector<PlatformResult<AxValue>>>(
        "accessibility.copyMultipleAttributeValues", element, [&](const Target& target) {
            std::vector<PlatformResult<AxValue>> values;
            values.reserve(attributes.size());
            for (const auto& attribute : attributes)
                values.push_back(read(target, attribute));
            return PlatformResult<std::vector<PlatformResult<AxValue>>>{AxError::success, std::move(values)};
        });
}

PlatformResult<AxList> SimAccessibility::copyAttributeNames(const Element& element) {
    return readRequest<AxList>("accessibility.copyAttributeNames", element, [&](const Target& target) {
        const auto& e = *target.element;
        if (e.attributeNamesError) return PlatformResult<AxList>{*e.attributeNamesError, std::nullopt};
        AxList names;
        std::vector<std::string> seen;
        auto add = [&](const std::string& name) {
            if (std::ranges::find(seen, name) != seen.end()) return;
            seen.push_back(name);
            names.push_back(AxValue{name});
        };
        for (const auto& [name, read] : e.attributes)
            add(name);
        add("AXChildren");
        if (e.isApplication) {
            add("AXWindows");
            if (e.focusedWindow) add("AXFocusedWindow");
            if (e.mainWindow) add("AXMainWindow");
        }
        for (const auto& extra : e.extraAttributeNames)
            names.push_back(convert(extra));
        return PlatformResult<AxList>{AxError::success, std::move(names)};
    });
}

PlatformResult<AxList> SimAccessibility::copyActionNames(const Element& element) {
    return readRequest<AxList>("accessibility.copyActionNames", element, [&](const Target& target) {
        const auto& e = *target.element;
        if (e.actionNamesError) return PlatformResult<AxList>{*e.actionNamesError, std::nullopt};
        AxList names;
        for (const auto& action : e.actions)
            names.push_back(convert(action));
        return PlatformResult<AxList>{AxError::success, std::move(names)};
    });
}

PlatformResult<bool> SimAccessibility::isAttributeSettable(const Element& element,
                                                           std::string_view attribute) {
    return readRequest<bool>("accessibility.isAttributeSettable", element, [&](const Target& target) {
        const auto& settable = target.element->settable;
        return PlatformResult<bool>{AxError::success,
                                    std::ranges::find(settable, attribute) != settable.end()};
    });
}

// The shape every request that changes the application shares: count it, find
// its element under the world's lock, let `change` answer it and journal it when
// the element exists, and let the clock pass by the response time outside the lock.
template <typename Change>
std::int32_t SimAccessibility::changeRequest(const char* kind, const Element& element, Change change) {
    world_.counts.add(kind);
    std::int32_t code = 0;
    double delay = 0;
    {
        std::lock_guard lock(world_.mutex);
        Target target;
        code = enter(element, target, delay);
        if (target.node) code = change(target, code);
    }
    world_.clock.pass(delay);
    return code;
}

std::int32_t SimAccessibility::setStringAttributeValue(const Element& element, std::string_view attribute,
                                                       std::string_view value) {
    return changeRequest("accessibility.setStringAttributeValue", element,
                         [&](const Target& target, std::int32_t code) {
                             std::optional<std::string> before;
                             if (code == AxError::success) {
                                 const auto current = read(target, attribute);
                                 if (current.value) {
                                     if (const auto* text = std::get_if<std::string>(&current.value->data))
                                         before = *text;
                                 }
                                 code = write(target, attribute, value);
                             }
                             nlohmann::ordered_json entry{{"event", "setValue"},
                                                          {"element", world_.elementName(*target.node)},
                                                          {"attribute", attribute}};
                             if (before) entry["before"] = *before;
                             if (code == AxError::success) {
                                 entry["after"] = value;
                             } else if (before) {
                                 entry["after"] = *before;
                             }
                             entry["status"] = code;
                             world_.journal.record(entry);
                             return code;
                         });
}

std::int32_t SimAccessibility::write(const Target& target, std::string_view attribute,
                                     std::string_view value) {
    const auto& e = *target.element;
    if (e.setError) return *e.setError;
    if (std::ranges::find(e.settable, attribute) == e.settable.end()) return AxError::attributeUnsupported;
    world_.written[{*target.node, std::string(attribute)}] = std::string(value);
    return AxError::success;
}

std::int32_t SimAccessibility::performAction(const Element& element, std::string_view action) {
    return changeRequest(
        "accessibility.performAction", element, [&](const Target& target, std::int32_t code) {
            if (code == AxError::success) code = act(target, action);
            world_.journal.record(nlohmann::ordered_json{{"event", "perform"},
                                                         {"element", world_.elementName(*target.node)},
                                                         {"action", action},
                                                         {"status", code}});
            return code;
        });
}

std::int32_t SimAccessibility::act(const Target& target, std::string_view action) {
    const auto& e = *target.element;
    if (e.actionNamesError || !listsString(e.actions, action)) return AxError::actionUnsupported;
    if (action != "AXPress" || !e.press) return AxError::success;
    const auto& press = *e.press;
    if (press.error) return *press.error;
    for (const auto node : press.show)
        world_.hidden[node] = false;
    for (const auto node : press.hide)
        world_.hidden[node] = true;
    for (const auto node : press.toggle)
        world_.hidden[node] = !world_.hidden[node];
    return AxError::success;
}

std::int32_t SimAccessibility::setMessagingTimeout(const Element& element, float seconds) {
    world_.counts.add("accessibility.setMessagingTimeout");
    std::lock_guard lock(world_.mutex);
    const auto* handle = simHandle(element);
    if (handle == nullptr || !(seconds >= 0)) return AxError::illegalArgument;
    handle->timeout = seconds;
    return AxError::success;
}

std::uint64_t SimAccessibility::hash(const Element& element) {
    world_.counts.add("accessibility.hash");
    std::lock_guard lock(world_.mutex);
    const auto* handle = simHandle(element);
    if (handle == nullptr) return 0;
    if (handle->node && handle->generation == world_.generation)
        return world_.scene->elements[*handle->node].hash;
    return 0x5A000000ULL + static_cast<std::uint32_t>(handle->pid);
}

bool SimAccessibility::equal(const Element& a, const Element& b) {
    world_.counts.add("accessibility.equal");
    const auto* left = simHandle(a);
    const auto* right = simHandle(b);
    if (left == nullptr || right == nullptr) return left == right && a.handle() == b.handle();
    return left->generation == right->generation && left->pid == right->pid && left->node == right->node;
}

}  // namespace Desktop::Sim
