#include "Callsense/AxTreeScanner.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "AccessibilityValues/AccessibilityValues.hpp"
#include "ConferenceEvidence/ConferenceEvidence.hpp"
#include "Text/Text.hpp"

namespace Callsense::AxTreeScanner {

using AccessibilityValues::AxResult;
using AccessibilityValues::copyAttributes;
using AccessibilityValues::elementListValue;
using AccessibilityValues::elementValue;
using AccessibilityValues::stringValue;
using AccessibilityValues::urlStringValue;

namespace {

constexpr std::array<std::string_view, 4> menuRoles = {"AXMenuItem", "AXMenu", "AXMenuBarItem", "AXMenuBar"};
constexpr std::array<std::string_view, 4> controlRoles = {"AXButton", "AXCheckBox", "AXRadioButton",
                                                          "AXPopUpButton"};

// Longer texts are sentences, not the label of a control.
constexpr std::size_t maxClassifiedLabelLength = 80;

bool roleIn(std::string_view role, const std::array<std::string_view, 4>& roles) {
    return std::find(roles.begin(), roles.end(), role) != roles.end();
}

bool looksLikeControlLabel(const std::string& text) {
    return Text::graphemeCount(text) <= maxClassifiedLabelLength &&
           ConferenceEvidence::classifyControlLabel(text).has_value();
}

bool windowTitleLooksLikeMeeting(const std::string& title) {
    if (ConferenceEvidence::textSuggestsMeetingUrl(title)) return true;
    if (ConferenceEvidence::titleLooksLikeMeetCode(title)) return true;
    const std::string lower = Text::lowercase(title);
    return Text::containsAny(lower, ConferenceEvidence::meetingWindowTitleWords) ||
           ConferenceEvidence::textLooksLikeMicrosoftTeamsProduct(lower);
}

// One request per node instead of eight; the order fixes the indices below.
enum NodeAttribute { url, value, role, title, description, help, identifier, children };
const std::vector<std::string> leafAttributes = {"AXURL",         "AXValue", "AXRole",      "AXTitle",
                                                 "AXDescription", "AXHelp",  "AXIdentifier"};
const std::vector<std::string> nodeAttributes = {"AXURL",         "AXValue", "AXRole",       "AXTitle",
                                                 "AXDescription", "AXHelp",  "AXIdentifier", "AXChildren"};

void sortValue(WindowScan& found, const std::string& text) {
    if (ConferenceEvidence::textSuggestsMeetingUrl(text) || Text::contains(text, "://"))
        found.urls.push_back(text);
    if (ConferenceEvidence::textSuggestsLobby(text)) found.lobbyHints.push_back(text);
    if (ConferenceEvidence::textSuggestsInCallChrome(text)) found.inCallHints.push_back(text);
    if (looksLikeControlLabel(text)) found.controlLabels.push_back(text);
}

// Every label of a control is a control label, however long or unclassified.
void sortLabel(WindowScan& found, const std::string& label, bool isControl) {
    if (ConferenceEvidence::textSuggestsLobby(label)) found.lobbyHints.push_back(label);
    if (ConferenceEvidence::textSuggestsInCallChrome(label)) found.inCallHints.push_back(label);
    if (isControl || looksLikeControlLabel(label)) found.controlLabels.push_back(label);
}

// A node's URL, its value and, unless it belongs to a menu, its labels.
void sortNodeTexts(WindowScan& found, const std::vector<AxResult>& attributes) {
    if (auto link = urlStringValue(attributes[url]); link && !link->empty()) found.urls.push_back(*link);
    if (auto text = stringValue(attributes[value]); text && !text->empty()) sortValue(found, *text);

    const std::string nodeRole = stringValue(attributes[role]).value_or("");
    if (roleIn(nodeRole, menuRoles)) return;
    const bool isControl = roleIn(nodeRole, controlRoles);
    for (const auto index : {title, description, help, identifier}) {
        const auto label = stringValue(attributes[index]);
        if (label && !label->empty()) sortLabel(found, *label, isControl);
    }
}

}  // namespace

void appendUnique(Desktop::Accessibility& accessibility, const Desktop::Element& element,
                  std::vector<Desktop::Element>& roots) {
    for (const auto& root : roots) {
        if (accessibility.equal(root, element)) return;
    }
    roots.push_back(element);
}

Roots prioritizedRoots(Desktop::Accessibility& accessibility, const Desktop::Element& app,
                       const Deadline& deadline) {
    Roots roots;
    const auto appAttributes =
        copyAttributes(accessibility, app, {"AXFocusedWindow", "AXMainWindow", "AXWindows"});
    if (auto focused = elementValue(appAttributes[0]))
        appendUnique(accessibility, *focused, roots.windowRoots);
    if (auto main = elementValue(appAttributes[1])) appendUnique(accessibility, *main, roots.windowRoots);
    const auto windows = elementListValue(appAttributes[2]);
    if (!windows) return roots;

    std::vector<Desktop::Element> meetingLike;
    std::vector<Desktop::Element> others;
    for (const auto& window : *windows) {
        if (deadline.passed()) return roots;
        const auto title = stringValue(accessibility.copyAttributeValue(window, "AXTitle")).value_or("");
        (windowTitleLooksLikeMeeting(title) ? meetingLike : others).push_back(window);
    }
    for (const auto& window : meetingLike)
        appendUnique(accessibility, window, roots.windowRoots);
    for (const auto& window : others)
        appendUnique(accessibility, window, roots.windowRoots);
    return roots;
}

void collect(Walk& walk, const Desktop::Element& element, int depth) {
    if (walk.nodesVisited >= nodeBudget || depth > maxDepth) return;
    if (walk.deadline.passed()) return;
    walk.nodesVisited += 1;

    // Children of the deepest level would be turned away unread, so they are not asked for.
    const bool walksChildren = depth < maxDepth;
    const auto attributes =
        copyAttributes(walk.accessibility, element, walksChildren ? nodeAttributes : leafAttributes);
    sortNodeTexts(walk.found, attributes);

    if (!walksChildren) return;
    const auto kids = elementListValue(attributes[children]);
    if (!kids) return;
    for (const auto& child : *kids) {
        collect(walk, child, depth + 1);
        if (walk.nodesVisited >= nodeBudget) return;
        if (walk.deadline.passed()) return;
    }
}

WindowScan scanProcess(Desktop::Platform& platform, Desktop::Pid pid) {
    auto& clock = platform.clock();
    Walk walk{.accessibility = platform.accessibility(),
              .deadline = {.clock = &clock, .at = clock.now() + walkSeconds},
              .nodesVisited = 0,
              .found = {}};
    const auto app = walk.accessibility.applicationElement(pid);
    const auto roots = prioritizedRoots(walk.accessibility, app, walk.deadline);

    for (const auto& root : roots.windowRoots) {
        collect(walk, root, 0);
        if (walk.nodesVisited >= nodeBudget) break;
        if (walk.deadline.passed()) break;
    }

    // A window list that gave nothing at all may hide the content in an
    // application-level element, so the application itself is walked once more.
    if (walk.found.empty() && roots.includeAppFallback && walk.nodesVisited < nodeBudget &&
        !walk.deadline.passed()) {
        collect(walk, app, 0);
    }
    return std::move(walk.found);
}

}  // namespace Callsense::AxTreeScanner
