// The meeting detector's tree walk and the meeting-ID reader's bounded search on
// generated accessibility trees: cycles, elements under several parents, equal
// keys, 100,000 nodes, chains 10,000 deep, any value type in any attribute, read
// errors and hangs anywhere. Both walks must end within their budgets on the
// desktop's clock, the reader must never press while the screen is shared or
// once its time is up, and between two presses it must ask no element twice.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "Callsense/AxTreeScanner.hpp"
#include "Desktop/sim/SimDesktop.hpp"
#include "FuzzSupport.hpp"
#include "RoomcodeCore/AutomationErrors.hpp"
#include "RoomcodeCore/BoundedAXSearch.hpp"
#include "RoomcodeCore/HungElementMemory.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "RoomcodeCore/SystemAXNode.hpp"
#include "RoomcodeCore/UnresponsiveClientGuard.hpp"
#include "RoomcodeCore/ZoomMeetingInfoReader.hpp"

using Fuzz::require;

namespace {

constexpr Desktop::Pid appPid = 501;
constexpr double defaultTimeout = 6.0;

constexpr std::array<std::string_view, 15> attributeNames{
    "AXRole", "AXSubrole",    "AXRoleDescription", "AXTitle",      "AXDescription",
    "AXHelp", "AXIdentifier", "AXValue",           "AXURL",        "AXPosition",
    "AXSize", "AXEnabled",    "AXFocusedWindow",   "AXMainWindow", "AXWindows",
};

// Texts the tools look for, so that generated trees reach their deeper paths.
const char* const knownTexts[] = {
    "AXWindow",
    "AXButton",
    "AXStaticText",
    "AXGroup",
    "AXPopover",
    "AXApplication",
    "Zoom Meeting",
    "Meeting ID: 123 456 7890",
    "Meeting information",
    "Mute",
    "Leave",
    "Stop Video",
    "Participants",
    "Close",
    "Ask to join",
    "Passcode: 123456",
    "https://zoom.us/j/1234567890",
    "meet.google.com/abc-defg-hij",
    "",
    "\xff\xfe",
};

constexpr std::int32_t errors[] = {
    Desktop::AxError::failure,           Desktop::AxError::invalidUIElement, Desktop::AxError::cannotComplete,
    Desktop::AxError::notImplemented,    Desktop::AxError::apiDisabled,      Desktop::AxError::noValue,
    Desktop::AxError::actionUnsupported,
};

enum class ValueKind : std::uint8_t {
    unsupported,
    error,
    noValue,
    knownText,
    text,
    integer,
    real,
    boolean,
    element,
    elements,
    mixedList,
    point,
    size,
    url,
    other,
};

struct ValueRecipe {
    ValueKind kind = ValueKind::unsupported;
    std::int32_t error = 0;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
    std::vector<std::int64_t> offsets;  // elements, relative to the node that holds the value
};

enum class ChildrenShape : std::uint8_t {
    none,
    listed,
    fanOut,
    chain,
    everyOther,
    wrongType,
    mixedList,
    error
};

// Nodes share a handful of templates (node i uses template i mod count), so a
// tree of any size costs nothing until it is read.
struct Template {
    ChildrenShape children = ChildrenShape::none;
    std::vector<std::int64_t> listed;
    std::int64_t fanOut = 1;
    std::array<ValueRecipe, attributeNames.size()> attributes;
    double responseTime = 0;
    bool collidingHash = false;
    bool pressable = false;
    std::int32_t pressResult = 0;
};

double interestingReal(FuzzedDataProvider& input) {
    return input.PickValueInArray({std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(), -0.0, 0.0, 1.5, 1e308, -1e308,
                                   100.0, input.ConsumeFloatingPoint<double>()});
}

std::vector<std::int64_t> offsets(FuzzedDataProvider& input, std::size_t maxCount) {
    std::vector<std::int64_t> result(input.ConsumeIntegralInRange<std::size_t>(0, maxCount));
    for (auto& offset : result)
        offset = input.ConsumeIntegralInRange<std::int64_t>(-3, 8);  // 0 is the node itself
    return result;
}

ValueRecipe valueRecipe(FuzzedDataProvider& input) {
    ValueRecipe recipe;
    recipe.kind =
        static_cast<ValueKind>(input.ConsumeIntegralInRange<int>(0, static_cast<int>(ValueKind::other)));
    switch (recipe.kind) {
        case ValueKind::error:
            recipe.error = input.PickValueInArray(errors);
            break;
        case ValueKind::knownText:
        case ValueKind::url:
            recipe.text = input.PickValueInArray(knownTexts);
            break;
        case ValueKind::text:
            recipe.text = input.ConsumeRandomLengthString(48);
            break;
        case ValueKind::integer:
            recipe.integer = input.ConsumeIntegral<std::int64_t>();
            break;
        case ValueKind::real:
        case ValueKind::point:
        case ValueKind::size:
            recipe.real = interestingReal(input);
            break;
        case ValueKind::boolean:
            recipe.integer = input.ConsumeBool();
            break;
        case ValueKind::element:
        case ValueKind::elements:
        case ValueKind::mixedList:
            recipe.offsets = offsets(input, 4);
            break;
        default:
            break;
    }
    return recipe;
}

Template makeTemplate(FuzzedDataProvider& input) {
    Template t;
    t.children = static_cast<ChildrenShape>(
        input.ConsumeIntegralInRange<int>(0, static_cast<int>(ChildrenShape::error)));
    t.listed = offsets(input, 6);
    t.fanOut = input.ConsumeIntegralInRange<std::int64_t>(1, 12);
    for (auto& attribute : t.attributes)
        attribute = valueRecipe(input);
    t.responseTime = input.PickValueInArray({0.0, 0.0, 0.001, 0.05, 0.3, 7.0});
    t.collidingHash = input.ConsumeBool();
    t.pressable = input.ConsumeBool();
    t.pressResult = input.ConsumeBool() ? 0 : input.PickValueInArray(errors);
    return t;
}

class VirtualClock final : public Desktop::Clock, public RoomcodeCore::Clock {
public:
    double now() override { return now_; }
    void sleep(double seconds) override { now_ += seconds; }
    void sleepUnlessWoken(double seconds) override { now_ += seconds; }
    void wake() override {}

private:
    double now_ = 1000;
};

struct GeneratedHandle final : Desktop::Element::Handle {
    explicit GeneratedHandle(std::int64_t node) : node(node) {}
    std::int64_t node;
    // Per reference, as AXUIElementSetMessagingTimeout is.
    mutable double timeout = 0;
};

class GeneratedAccessibility final : public Desktop::Accessibility {
public:
    GeneratedAccessibility(std::vector<Template> templates, std::int64_t nodeCount, bool wideRoot,
                           VirtualClock& clock)
        : templates_(std::move(templates)), nodeCount_(nodeCount), wideRoot_(wideRoot), clock_(clock) {}

    // What the code under test promises, checked on every request.
    std::optional<double> noRequestAfter;
    bool everyElementHasTimeout = false;
    // The popover a successful press opens, as the reader must see it: the next
    // successful press closes it.
    std::optional<double> noOpeningPressAfter;
    bool pressForbidden = false;
    bool popoverOpen = false;
    int refusedCloses = 0;
    std::int64_t multipleRequests = 0;
    std::int64_t presses = 0;
    // Attribute and action-name requests by element and by the presses before them.
    bool oneReadingPerPress = false;
    std::map<std::pair<std::int64_t, std::int64_t>, int> attributeReadings;
    std::map<std::pair<std::int64_t, std::int64_t>, int> actionReadings;

    bool isProcessTrusted() override { return true; }
    Desktop::Element applicationElement(Desktop::Pid) override { return element(0); }

    Desktop::PlatformResult<Desktop::AxValue> copyAttributeValue(const Desktop::Element& e,
                                                                 std::string_view attribute) override {
        if (const auto error = request(e)) return {.code = *error, .value = {}};
        return read(node(e), attribute);
    }

    Desktop::PlatformResult<std::vector<Desktop::PlatformResult<Desktop::AxValue>>>
    copyMultipleAttributeValues(const Desktop::Element& e,
                                const std::vector<std::string>& attributes) override {
        ++multipleRequests;
        if (oneReadingPerPress) require(++attributeReadings[{node(e), presses}] == 1);
        if (const auto error = request(e)) return {.code = *error, .value = {}};
        std::vector<Desktop::PlatformResult<Desktop::AxValue>> values;
        for (const auto& attribute : attributes)
            values.push_back(read(node(e), attribute));
        return {.code = 0, .value = std::move(values)};
    }

    Desktop::PlatformResult<Desktop::AxList> copyAttributeNames(const Desktop::Element& e) override {
        if (const auto error = request(e)) return {.code = *error, .value = {}};
        Desktop::AxList names;
        const Template& t = templateOf(node(e));
        for (std::size_t i = 0; i < attributeNames.size(); ++i) {
            if (t.attributes[i].kind != ValueKind::unsupported)
                names.push_back({std::string(attributeNames[i])});
        }
        names.push_back({std::string("AXChildren")});
        return {.code = 0, .value = std::move(names)};
    }

    Desktop::PlatformResult<Desktop::AxList> copyActionNames(const Desktop::Element& e) override {
        if (oneReadingPerPress) require(++actionReadings[{node(e), presses}] == 1);
        if (const auto error = request(e)) return {.code = *error, .value = {}};
        Desktop::AxList names;
        if (templateOf(node(e)).pressable) names.push_back({std::string("AXPress")});
        return {.code = 0, .value = std::move(names)};
    }

    Desktop::PlatformResult<bool> isAttributeSettable(const Desktop::Element& e, std::string_view) override {
        if (const auto error = request(e)) return {.code = *error, .value = {}};
        return {.code = 0, .value = false};
    }

    std::int32_t setStringAttributeValue(const Desktop::Element& e, std::string_view,
                                         std::string_view) override {
        if (const auto error = request(e)) return *error;
        return Desktop::AxError::attributeUnsupported;
    }

    std::int32_t performAction(const Desktop::Element& e, std::string_view action) override {
        require(action == "AXPress" && templateOf(node(e)).pressable);
        if (!popoverOpen) {
            require(!pressForbidden);
            require(!noOpeningPressAfter || clock_.now() <= *noOpeningPressAfter);
        }
        ++presses;
        const std::int32_t result = request(e).value_or(templateOf(node(e)).pressResult);
        if (!popoverOpen) {
            popoverOpen = result == 0;
            refusedCloses = 0;
        } else if (result == 0) {
            popoverOpen = false;
        } else {
            ++refusedCloses;
        }
        return result;
    }

    std::int32_t setMessagingTimeout(const Desktop::Element& e, float seconds) override {
        require(seconds >= 0);
        handle(e).timeout = seconds;
        return 0;
    }

    std::uint64_t hash(const Desktop::Element& e) override {
        const std::int64_t n = node(e);
        return templateOf(n).collidingHash ? static_cast<std::uint64_t>(n % 3)
                                           : static_cast<std::uint64_t>(n) * 2654435761U;
    }

    bool equal(const Desktop::Element& a, const Desktop::Element& b) override { return node(a) == node(b); }

private:
    std::vector<Template> templates_;
    std::int64_t nodeCount_;
    bool wideRoot_;
    VirtualClock& clock_;

    static const GeneratedHandle& handle(const Desktop::Element& e) {
        const auto* h = dynamic_cast<const GeneratedHandle*>(e.handle());
        require(h != nullptr);
        return *h;
    }
    static std::int64_t node(const Desktop::Element& e) { return handle(e).node; }
    const Template& templateOf(std::int64_t n) const {
        return templates_[static_cast<std::size_t>(n) % templates_.size()];
    }
    static Desktop::Element element(std::int64_t n) {
        return Desktop::Element(std::make_shared<GeneratedHandle>(n));
    }
    Desktop::Element relative(std::int64_t n, std::int64_t offset) const {
        return element(((n + offset) % nodeCount_ + nodeCount_) % nodeCount_);
    }

    // Charges the request to the clock; a client slower than the reference's
    // time-out makes it fail after the time-out, as the platform does.
    std::optional<std::int32_t> request(const Desktop::Element& e) {
        const GeneratedHandle& h = handle(e);
        require(!noRequestAfter || clock_.now() <= *noRequestAfter);
        require(!everyElementHasTimeout || (h.timeout > 0 && h.timeout <= 0.25F));
        const double timeout = h.timeout > 0 ? h.timeout : defaultTimeout;
        const double responseTime = templateOf(h.node).responseTime;
        if (responseTime > timeout) {
            clock_.sleep(timeout);
            return Desktop::AxError::cannotComplete;
        }
        clock_.sleep(responseTime);
        return std::nullopt;
    }

    Desktop::AxList elements(std::int64_t n, const std::vector<std::int64_t>& offsets) const {
        Desktop::AxList list;
        for (const auto offset : offsets)
            list.push_back({relative(n, offset)});
        return list;
    }

    Desktop::PlatformResult<Desktop::AxValue> children(std::int64_t n) const {
        const Template& t = templateOf(n);
        Desktop::AxList list;
        if (n == 0 && wideRoot_) {
            for (std::int64_t child = 1; child < nodeCount_; ++child)
                list.push_back({element(child)});
            return {.code = 0, .value = Desktop::AxValue{list}};
        }
        switch (t.children) {
            case ChildrenShape::none:
                break;
            case ChildrenShape::listed:
                list = elements(n, t.listed);
                break;
            case ChildrenShape::fanOut:
                for (std::int64_t child = n * t.fanOut + 1;
                     child <= n * t.fanOut + t.fanOut && child < nodeCount_; ++child)
                    list.push_back({element(child)});
                break;
            case ChildrenShape::chain:
                if (n + 1 < nodeCount_) list.push_back({element(n + 1)});
                break;
            case ChildrenShape::everyOther:
                list = elements(n, {1, 0, 2, -1, 1});
                break;
            case ChildrenShape::wrongType:
                return {.code = 0, .value = Desktop::AxValue{std::string("AXChildren")}};
            case ChildrenShape::mixedList:
                list = elements(n, t.listed);
                list.push_back({std::string("not an element")});
                break;
            case ChildrenShape::error:
                return {.code = Desktop::AxError::failure, .value = {}};
        }
        return {.code = 0, .value = Desktop::AxValue{std::move(list)}};
    }

    Desktop::PlatformResult<Desktop::AxValue> read(std::int64_t n, std::string_view attribute) const {
        if (attribute == "AXChildren") return children(n);
        const auto found = std::find(attributeNames.begin(), attributeNames.end(), attribute);
        if (found == attributeNames.end())
            return {.code = Desktop::AxError::attributeUnsupported, .value = {}};
        const ValueRecipe& recipe =
            templateOf(n).attributes[static_cast<std::size_t>(found - attributeNames.begin())];
        using Desktop::AxValue;
        switch (recipe.kind) {
            case ValueKind::unsupported:
                return {.code = Desktop::AxError::attributeUnsupported, .value = {}};
            case ValueKind::error:
                return {.code = recipe.error, .value = {}};
            case ValueKind::noValue:
                return {.code = 0, .value = {}};
            case ValueKind::knownText:
            case ValueKind::text:
                return {.code = 0, .value = AxValue{recipe.text}};
            case ValueKind::integer:
                return {.code = 0, .value = AxValue{recipe.integer}};
            case ValueKind::real:
                return {.code = 0, .value = AxValue{recipe.real}};
            case ValueKind::boolean:
                return {.code = 0, .value = AxValue{recipe.integer != 0}};
            case ValueKind::element:
                return {.code = 0,
                        .value = recipe.offsets.empty() ? AxValue{element(n)}
                                                        : AxValue{relative(n, recipe.offsets[0])}};
            case ValueKind::elements:
                return {.code = 0, .value = AxValue{elements(n, recipe.offsets)}};
            case ValueKind::mixedList: {
                Desktop::AxList list = elements(n, recipe.offsets);
                list.push_back({std::int64_t{7}});
                return {.code = 0, .value = AxValue{std::move(list)}};
            }
            case ValueKind::point:
                return {.code = 0, .value = AxValue{Desktop::Point{.x = recipe.real, .y = 10}}};
            case ValueKind::size:
                return {.code = 0, .value = AxValue{Desktop::Size{.width = 100, .height = recipe.real}}};
            case ValueKind::url:
                return {.code = 0, .value = AxValue{Desktop::Url{.absoluteString = recipe.text}}};
            case ValueKind::other:
                return {.code = 0, .value = AxValue{Desktop::OtherValue{.typeName = "AXTextMarker"}}};
        }
        return {.code = Desktop::AxError::failure, .value = {}};
    }
};

// The generated accessibility and clock; the rest of the desktop is the empty simulated one.
class GeneratedPlatform final : public Desktop::Platform {
public:
    GeneratedPlatform(GeneratedAccessibility& accessibility, VirtualClock& clock)
        : accessibility_(accessibility), clock_(clock) {}

    Desktop::Accessibility& accessibility() override { return accessibility_; }
    Desktop::WindowServer& windowServer() override { return Desktop::current().windowServer(); }
    Desktop::Workspace& workspace() override { return Desktop::current().workspace(); }
    Desktop::AudioHardware& audioHardware() override { return Desktop::current().audioHardware(); }
    Desktop::AudioPlayback& audioPlayback() override { return Desktop::current().audioPlayback(); }
    Desktop::TerminationSignals& terminationSignals() override {
        return Desktop::current().terminationSignals();
    }
    Desktop::Clock& clock() override { return clock_; }
    Desktop::FileSystem& fileSystem() override { return Desktop::current().fileSystem(); }

private:
    GeneratedAccessibility& accessibility_;
    VirtualClock& clock_;
};

void checkDetectorWalk(GeneratedPlatform& platform, GeneratedAccessibility& accessibility,
                       VirtualClock& clock) {
    namespace Scanner = Callsense::AxTreeScanner;
    const double started = clock.now();
    accessibility.noRequestAfter = started + Scanner::walkSeconds;
    accessibility.multipleRequests = 0;
    (void)Scanner::scanProcess(platform, appPid);
    // One request for the application's windows, then one for each visited node.
    require(accessibility.multipleRequests <= 1 + Scanner::nodeBudget);
    require(clock.now() - started <= Scanner::walkSeconds + defaultTimeout);
    accessibility.noRequestAfter.reset();
}

void checkBoundedSearch(GeneratedAccessibility& accessibility, VirtualClock& clock) {
    using namespace RoomcodeCore;
    accessibility.everyElementHasTimeout = true;
    const auto root =
        std::make_shared<SystemAXNode>(accessibility.applicationElement(appPid), appPid, accessibility);

    const double started = clock.now();
    const BoundedAXSearch search(
        SearchBudget::startingNow({.maxNodes = 1000, .maxDepth = 18, .seconds = 3}, clock), clock);
    const std::vector<AXNodePtr> nodes = search.collectAll(root);
    require(nodes.size() <= 1000);
    std::unordered_set<std::string> keys;
    for (const auto& node : nodes)
        require(keys.insert(node->nodeKey()).second);
    // A node is visited only before the deadline; visiting it costs one request
    // for its key and its children, bounded by the element's time-out.
    require(clock.now() - started <= 3 + SystemAXNode::messagingTimeout);

    const BoundedAXSearch titles(
        SearchBudget::startingNow({.maxNodes = 400, .maxDepth = 12, .seconds = 1.5}, clock), clock);
    if (const auto found = titles.first(root, [](const AXNodePtr& node) {
            const auto title = node->title();
            return title && Roomcode::parse(*title);
        })) {
        require(Roomcode::parse((*found)->title().value_or("")).has_value());
    }
}

void checkReader(FuzzedDataProvider& input, GeneratedAccessibility& accessibility, VirtualClock& clock) {
    using namespace RoomcodeCore;
    // As the program reads: through the guards against a client, or some of its
    // elements, no longer answering.
    UnresponsiveClientGuard client(accessibility);
    HungElementMemory guarded(client);
    const auto root = std::make_shared<SystemAXNode>(guarded.applicationElement(appPid), appPid, guarded);
    const bool sharing = input.ConsumeBool();
    accessibility.pressForbidden = sharing;
    // Nothing is opened once the read's three seconds are over; the press itself
    // comes after one more read of the control's actions.
    accessibility.noOpeningPressAfter = clock.now() + 3 + SystemAXNode::messagingTimeout;
    accessibility.presses = 0;
    accessibility.popoverOpen = false;
    accessibility.oneReadingPerPress = true;
    accessibility.attributeReadings.clear();
    accessibility.actionReadings.clear();
    try {
        const Roomcode code =
            ZoomMeetingInfoReader::live.readMeetingId({.from = root,
                                                       .searchRoots = {root},
                                                       .isScreenSharingActive = [sharing] { return sharing; },
                                                       .clock = clock});
        require(Roomcode::parseDigitsOnly(code.digits) == code);
    } catch (const AutomationException&) {
    } catch (const SearchException&) {
    }
    // At most four candidates, each pressed to open, and a close control or the
    // candidate again (twice when the first close is refused) to close.
    require(accessibility.presses <= 3 * ZoomMeetingInfoReader::live.maxTopLeftPressAttempts);
    // A popover stays open only when the client refused to close it.
    require(!accessibility.popoverOpen || accessibility.refusedCloses > 0);
    accessibility.pressForbidden = false;
    accessibility.noOpeningPressAfter.reset();
    accessibility.oneReadingPerPress = false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Desktop::Sim::loadEmptyDesktop();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    enum Shape { small, wide, deep, large };
    // A root with 100,000 children makes every walk slow, so it comes up less often.
    const int pick = input.ConsumeIntegralInRange(0, 63);
    const Shape shape = pick < 52 ? small : pick < 59 ? deep : pick < 63 ? large : wide;
    std::int64_t nodeCount = 0;
    switch (shape) {
        case small:
            nodeCount = input.ConsumeIntegralInRange<std::int64_t>(1, 64);
            break;
        case wide:
        case large:
            nodeCount = 100'000;
            break;
        case deep:
            nodeCount = 10'001;
            break;
    }
    std::vector<Template> templates(input.ConsumeIntegralInRange<std::size_t>(1, 16));
    for (auto& t : templates) {
        t = makeTemplate(input);
        if (shape == deep) t.children = ChildrenShape::chain;
    }

    VirtualClock clock;
    GeneratedAccessibility accessibility(std::move(templates), nodeCount, shape == wide, clock);
    GeneratedPlatform platform(accessibility, clock);
    checkDetectorWalk(platform, accessibility, clock);
    checkBoundedSearch(accessibility, clock);
    checkReader(input, accessibility, clock);
    return 0;
}
