#include "SceneCapture/DesktopCapture.hpp"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <string_view>
#include <variant>

#include "AccessibilityValues/AccessibilityValues.hpp"

namespace SceneCapture {

namespace {

using Desktop::AxList;
using Desktop::AxValue;
using Desktop::Element;
using Desktop::PlatformResult;

// Asked of every element in the same batch as its listed attributes, whether
// listed or not: the tools read them directly, and an application may answer an
// attribute its names list leaves out.
constexpr std::array<std::string_view, 16> attributesTheToolsRead = {
    "AXRole",        "AXSubrole", "AXRoleDescription", "AXTitle",
    "AXDescription", "AXHelp",    "AXIdentifier",      "AXValue",
    "AXURL",         "AXEnabled", "AXPosition",        "AXSize",
    "AXChildren",    "AXWindows", "AXFocusedWindow",   "AXMainWindow",
};

// The zoom client's bundle identifier, whose tree roomcode reads whether or not it shows a window.
constexpr std::string_view zoomBundleIdentifier = "us.zoom.xos";

const std::int64_t* integerEntry(const Desktop::WindowDictionary& window, const std::string& key) {
    const auto found = window.find(key);
    return found == window.end() ? nullptr : std::get_if<std::int64_t>(&found->second);
}

bool ownsLayerZeroWindow(
    const Desktop::RunningApplication& application,
    const std::optional<std::vector<std::optional<Desktop::WindowDictionary>>>& windows) {
    if (!windows) return false;
    for (const auto& window : *windows) {
        if (!window) continue;
        const auto* pid = integerEntry(*window, "kCGWindowOwnerPID");
        const auto* layer = integerEntry(*window, "kCGWindowLayer");
        if (pid != nullptr && layer != nullptr && *pid == application.pid && *layer == 0) return true;
    }
    return false;
}

bool isNamed(const std::vector<std::string>& named, const Desktop::RunningApplication& application) {
    return std::ranges::any_of(named, [&](const std::string& name) {
        return name == std::to_string(application.pid) || name == application.localizedName ||
               name == application.bundleIdentifier;
    });
}

void collectElements(const AxValue& value, std::vector<Element>& out) {
    if (const auto* element = std::get_if<Element>(&value.data)) {
        if (!element->isNull()) out.push_back(*element);
    } else if (const auto* list = std::get_if<AxList>(&value.data)) {
        for (const auto& entry : *list)
            collectElements(entry, out);
    }
}

class TreeReader {
public:
    TreeReader(Desktop::Platform& platform, CapturedDesktop& desktop)
        : ax_(platform.accessibility()),
          clock_(platform.clock()),
          desktop_(desktop),
          limits_(desktop.limits) {}

    void readApplication(std::size_t applicationIndex) {
        auto& application = desktop_.applications[applicationIndex];
        const Element root = ax_.applicationElement(application.running.pid);
        const std::size_t rootNode = nodeFor(root, std::nullopt);
        application.root = rootNode;
        application.treeCaptured = true;
        place(rootNode, {.parent = std::nullopt, .application = applicationIndex, .depth = 0});
        std::deque<std::size_t> queue{rootNode};
        int unansweredInARow = 0;
        for (;;) {
            while (!queue.empty()) {
                const std::size_t node = queue.front();
                queue.pop_front();
                visit(node, application, unansweredInARow, queue);
            }
            // Elements that only an attribute named, read once the tree is done so that
            // a later tree list can still give them their own place.
            if (!adoptOrphans(applicationIndex, queue)) break;
        }
    }

private:
    Desktop::Accessibility& ax_;
    Desktop::Clock& clock_;
    CapturedDesktop& desktop_;
    const CaptureLimits& limits_;
    std::multimap<std::uint64_t, std::size_t> byHash_;

    std::vector<CapturedElement>& elements() { return desktop_.elements; }

    double timeout() const { return limits_.timeout.value_or(platformMessagingTimeout); }

    // A request that failed only after waiting out the whole time-out.
    bool unanswered(std::int32_t code, double seconds) const {
        return code == Desktop::AxError::cannotComplete && seconds >= timeout() - 1e-3;
    }

    // The one entry for an element, found by its hash and CFEqual, so that an element
    // named in several places is read once and written once.
    std::size_t nodeFor(const Element& element, std::optional<std::size_t> referrer) {
        if (const auto known = desktop_.elementEntries.find(element.handle());
            known != desktop_.elementEntries.end())
            return known->second;
        const std::uint64_t hash = ax_.hash(element);
        const auto [first, last] = byHash_.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            if (ax_.equal(elements()[it->second].element, element)) {
                desktop_.elementEntries.emplace(element.handle(), it->second);
                return it->second;
            }
        }
        CapturedElement captured;
        captured.element = element;
        captured.hash = hash;
        captured.firstReferrer = referrer;
        elements().push_back(std::move(captured));
        const std::size_t node = elements().size() - 1;
        byHash_.emplace(hash, node);
        desktop_.elementEntries.emplace(element.handle(), node);
        return node;
    }

    // Where an element is written: under its parent, at its depth, in its application's tree.
    struct Placement {
        std::optional<std::size_t> parent;
        std::size_t application = 0;
        int depth = 0;
    };

    void place(std::size_t node, const Placement& placement) {
        auto& element = elements()[node];
        element.placed = true;
        element.parent = placement.parent;
        element.application = placement.application;
        element.depth = placement.depth;
    }

    void visit(std::size_t node, CapturedApplication& application, int& unansweredInARow,
               std::deque<std::size_t>& queue) {
        auto& element = elements()[node];
        if (application.stoppedAnswering) {
            element.state = CapturedElement::State::unanswered;
            element.unreadReason = "not asked: the application had stopped answering";
            return;
        }
        if (element.depth > limits_.depth) {
            element.unreadReason = "not read: deeper than " + std::to_string(limits_.depth) + " levels";
            ++application.elementsUnread;
            return;
        }
        if (application.elementsRead >= limits_.elementsPerApplication) {
            element.unreadReason = "not read: the limit of " +
                                   std::to_string(limits_.elementsPerApplication) +
                                   " elements for the application was reached";
            ++application.elementsUnread;
            return;
        }
        ++application.elementsRead;
        if (!read(node)) {
            if (++unansweredInARow >= unansweredInARowForHung) application.stoppedAnswering = true;
            return;
        }
        unansweredInARow = 0;
        const CapturedElement& done = elements()[node];
        for (const auto* list : {&done.windows, &done.children}) {
            for (const std::size_t child : *list) {
                if (elements()[child].placed) continue;
                place(child, {.parent = node,
                              .application = elements()[node].application,
                              .depth = elements()[node].depth + 1});
                queue.push_back(child);
            }
        }
    }

    bool adoptOrphans(std::size_t application, std::deque<std::size_t>& queue) {
        for (std::size_t node = 0; node < elements().size(); ++node) {
            auto& orphan = elements()[node];
            if (orphan.placed || !orphan.firstReferrer) continue;
            const std::size_t referrer = *orphan.firstReferrer;
            if (!elements()[referrer].placed || elements()[referrer].application != application) continue;
            place(node,
                  {.parent = referrer, .application = application, .depth = elements()[referrer].depth + 1});
            elements()[referrer].adopted.push_back(node);
            queue.push_back(node);
        }
        return !queue.empty();
    }

    // Reads one element: its names, then every listed attribute and those the tools
    // read in one batch, its actions and which attributes are settable. False when
    // it left its first request unanswered.
    bool read(std::size_t node) {
        const Element element = elements()[node].element;
        if (limits_.timeout) ax_.setMessagingTimeout(element, static_cast<float>(*limits_.timeout));

        const double start = clock_.now();
        const PlatformResult<AxList> names = ax_.copyAttributeNames(element);
        const double seconds = clock_.now() - start;
        if (unanswered(names.code, seconds)) {
            elements()[node].state = CapturedElement::State::unanswered;
            return false;
        }

        CapturedElement result;
        result.responseTime = seconds;
        result.namesError = names.value ? 0 : (names.code != 0 ? names.code : Desktop::AxError::failure);
        const std::vector<std::string> listed = listedNames(names, result.otherNames);
        std::vector<std::string> request = listed;
        for (const auto name : attributesTheToolsRead) {
            if (std::ranges::find(request, name) == request.end()) request.emplace_back(name);
        }

        bool stalled = false;
        const auto values = readAttributes(element, request, names.code, stalled);
        for (std::size_t i = 0; i < request.size(); ++i) {
            // An element without AXChildren is kept as such: a scene's element otherwise has an empty one.
            const bool kept = i < listed.size() || request[i] == "AXChildren" ||
                              values[i].code != Desktop::AxError::attributeUnsupported;
            if (kept) result.attributes.emplace_back(request[i], values[i]);
        }
        readActionsAndSettable(element, listed, stalled, result);

        result.state = CapturedElement::State::read;
        linkNamedElements(result, node, !elements()[node].parent.has_value());
        store(node, std::move(result));
        return true;
    }

    // The names a names list gives as strings, each once and in order; its other entries go to `others`.
    static std::vector<std::string> listedNames(const PlatformResult<AxList>& names, AxList& others) {
        std::vector<std::string> listed;
        if (!names.value) return listed;
        for (const auto& entry : *names.value) {
            if (const auto* name = std::get_if<std::string>(&entry.data)) {
                if (std::ranges::find(listed, *name) == listed.end()) listed.push_back(*name);
            } else {
                others.push_back(entry);
            }
        }
        return listed;
    }

    // Nothing more is asked of an element once it has left a request unanswered.
    void readActionsAndSettable(const Element& element, const std::vector<std::string>& listed, bool stalled,
                                CapturedElement& result) {
        if (!stalled) {
            const double actionsStart = clock_.now();
            result.actions = ax_.copyActionNames(element);
            stalled = unanswered(result.actions.code, clock_.now() - actionsStart);
        } else {
            result.actions = {Desktop::AxError::cannotComplete, std::nullopt};
        }
        for (const auto& name : listed) {
            if (stalled || !asksSettable(name)) continue;
            const double settableStart = clock_.now();
            const auto settable = ax_.isAttributeSettable(element, name);
            stalled = unanswered(settable.code, clock_.now() - settableStart);
            if (settable.succeeded() && *settable.value) result.settable.push_back(name);
        }
    }

    // The tree lists, and every element an attribute names, get their entries.
    void linkNamedElements(CapturedElement& result, std::size_t node, bool isApplication) {
        for (const auto& [name, value] : result.attributes) {
            const bool isChildren = name == "AXChildren";
            if (isChildren || (isApplication && name == "AXWindows")) {
                linkTree(value, node, isChildren ? result.children : result.windows,
                         isChildren ? result.childrenAsRead : result.windowsAsRead);
                continue;
            }
            for (const auto& other : namedElements(value))
                nodeFor(other, node);
        }
    }

    void linkTree(const PlatformResult<AxValue>& value, std::size_t node, std::vector<std::size_t>& tree,
                  bool& asRead) {
        auto list = AccessibilityValues::elementListValue(value);
        // A value that is not a plain list of elements is written as read; its elements still join the tree.
        if (!list) {
            asRead = true;
            list = namedElements(value);
        }
        for (const auto& child : *list)
            tree.push_back(nodeFor(child, node));
    }

    static std::vector<Element> namedElements(const PlatformResult<AxValue>& value) {
        std::vector<Element> named;
        if (value.value) collectElements(*value.value, named);
        return named;
    }

    void store(std::size_t node, CapturedElement&& result) {
        auto& stored = elements()[node];
        stored.state = result.state;
        stored.responseTime = result.responseTime;
        stored.namesError = result.namesError;
        stored.otherNames = std::move(result.otherNames);
        stored.attributes = std::move(result.attributes);
        stored.actions = std::move(result.actions);
        stored.settable = std::move(result.settable);
        stored.children = std::move(result.children);
        stored.windows = std::move(result.windows);
        stored.childrenAsRead = result.childrenAsRead;
        stored.windowsAsRead = result.windowsAsRead;
    }

    // One batch for all of them; attribute by attribute only where the platform
    // refuses the batch for an element that does answer.
    std::vector<PlatformResult<AxValue>> readAttributes(const Element& element,
                                                        const std::vector<std::string>& request,
                                                        std::int32_t namesCode, bool& stalled) {
        const double start = clock_.now();
        auto batch = ax_.copyMultipleAttributeValues(element, request);
        const double seconds = clock_.now() - start;
        stalled = unanswered(batch.code, seconds);
        std::vector<PlatformResult<AxValue>> values;
        if (batch.code == 0 && batch.value) values = std::move(*batch.value);
        if (values.size() >= request.size()) {
            values.resize(request.size());
            return values;
        }
        const bool dead = batch.code != 0 && (batch.code == namesCode || stalled);
        for (std::size_t i = values.size(); i < request.size(); ++i) {
            if (dead) {
                values.push_back({batch.code, std::nullopt});
                continue;
            }
            const double one = clock_.now();
            values.push_back(ax_.copyAttributeValue(element, request[i]));
            if (unanswered(values.back().code, clock_.now() - one)) {
                stalled = true;
                for (++i; i < request.size(); ++i)
                    values.push_back({Desktop::AxError::cannotComplete, std::nullopt});
            }
        }
        return values;
    }

    bool asksSettable(const std::string& name) const {
        switch (limits_.settable.mode) {
            case SettableQuery::Mode::all:
                return true;
            case SettableQuery::Mode::none:
                return false;
            case SettableQuery::Mode::named:
                return std::ranges::find(limits_.settable.names, name) != limits_.settable.names.end();
        }
        return false;
    }
};

PlatformResult<std::vector<std::uint32_t>> channels(Desktop::AudioHardware& hardware,
                                                    Desktop::AudioObjectId id,
                                                    const Desktop::PropertyAddress& address) {
    const auto size = hardware.propertyDataSize(id, address);
    if (!size.succeeded())
        return {size.code != 0 ? size.code : Desktop::CoreAudio::unspecifiedError, std::nullopt};
    if (*size.value == 0) return {0, std::vector<std::uint32_t>{}};
    return hardware.readStreamConfiguration(id, address, *size.value);
}

CapturedAudio readAudio(Desktop::AudioHardware& hardware) {
    using namespace Desktop::CoreAudio;
    CapturedAudio audio;
    audio.defaultInput = hardware.readUInt32(systemObject, {.selector = defaultInputDevice});
    audio.defaultOutput = hardware.readUInt32(systemObject, {.selector = defaultOutputDevice});
    const Desktop::PropertyAddress devices{.selector = hardwareDevices};
    const auto size = hardware.propertyDataSize(systemObject, devices);
    if (!size.succeeded()) {
        audio.deviceListError = size.code != 0 ? size.code : unspecifiedError;
        return audio;
    }
    const auto ids = hardware.readObjectIds(systemObject, devices, *size.value);
    if (!ids.succeeded()) {
        audio.deviceListError = ids.code != 0 ? ids.code : unspecifiedError;
        return audio;
    }
    const Desktop::PropertyAddress muteAddress{.selector = mute, .scope = scopeOutput};
    const Desktop::PropertyAddress volumeAddress{.selector = virtualMainVolume, .scope = scopeOutput};
    for (const auto id : *ids.value) {
        CapturedDevice device;
        device.id = id;
        device.name = hardware.readString(id, {.selector = objectName});
        device.uid = hardware.readString(id, {.selector = deviceUID});
        device.inputChannels = channels(hardware, id, {.selector = streamConfiguration, .scope = scopeInput});
        device.outputChannels =
            channels(hardware, id, {.selector = streamConfiguration, .scope = scopeOutput});
        device.running = hardware.readUInt32(id, {.selector = deviceIsRunningSomewhere});
        if (hardware.hasProperty(id, muteAddress)) device.mute = hardware.readUInt32(id, muteAddress);
        if (hardware.hasProperty(id, volumeAddress)) device.volume = hardware.readFloat32(id, volumeAddress);
        audio.devices.push_back(std::move(device));
    }
    return audio;
}

}  // namespace

const PlatformResult<AxValue>* CapturedElement::attribute(std::string_view name) const {
    for (const auto& [attributeName, value] : attributes) {
        if (attributeName == name) return &value;
    }
    return nullptr;
}

bool isChosen(const ApplicationChoice& choice, const Desktop::RunningApplication& application,
              const std::optional<Desktop::RunningApplication>& frontmost,
              const std::optional<std::vector<std::optional<Desktop::WindowDictionary>>>& windowList) {
    if (choice.all || isNamed(choice.named, application)) return true;
    if (choice.onlyNamed) return false;
    return (frontmost && frontmost->pid == application.pid) ||
           application.bundleIdentifier == zoomBundleIdentifier ||
           ownsLayerZeroWindow(application, windowList);
}

CapturedDesktop captureDesktop(Desktop::Platform& platform, const ApplicationChoice& choice,
                               const CaptureLimits& limits) {
    CapturedDesktop desktop;
    desktop.limits = limits;
    desktop.accessibilityTrusted = platform.accessibility().isProcessTrusted();
    desktop.frontmost = platform.workspace().frontmostApplication();
    for (auto& running : platform.workspace().runningApplications()) {
        const bool repeated = std::ranges::any_of(
            desktop.applications, [&](const CapturedApplication& a) { return a.running.pid == running.pid; });
        if (repeated) {
            desktop.notes.push_back("the workspace listed pid " + std::to_string(running.pid) +
                                    " more than once; it is written once");
            continue;
        }
        desktop.applications.push_back({.running = std::move(running)});
    }
    if (desktop.frontmost) {
        const bool listed = std::ranges::any_of(desktop.applications, [&](const CapturedApplication& a) {
            return a.running.pid == desktop.frontmost->pid;
        });
        if (!listed) {
            desktop.applications.push_back(
                {.running = *desktop.frontmost,
                 .comment = "the frontmost application, which the running applications did not list"});
        }
    }
    desktop.windowList = platform.windowServer().onScreenWindows();

    if (desktop.accessibilityTrusted) {
        TreeReader reader(platform, desktop);
        for (std::size_t i = 0; i < desktop.applications.size(); ++i) {
            if (isChosen(choice, desktop.applications[i].running, desktop.frontmost, desktop.windowList))
                reader.readApplication(i);
        }
    } else {
        desktop.notes.push_back(
            "no accessibility tree: this process does not hold the Accessibility permission");
    }
    desktop.audio = readAudio(platform.audioHardware());
    return desktop;
}

}  // namespace SceneCapture
