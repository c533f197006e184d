#include "RoomcodeCore/WindowClassifiers.hpp"

#include <optional>

#include "RoomcodeCore/BoundedAXSearch.hpp"
#include "RoomcodeCore/MeetingId.hpp"
#include "Text/Text.hpp"

namespace RoomcodeCore::WindowClassifiers {

namespace {

std::vector<std::string> trimmedLowerLabels(const std::vector<AXNodePtr>& nodes) {
    std::vector<std::string> labels;
    for (const AXNodePtr& node : nodes) {
        for (const std::string& label : controlLabels(*node))
            labels.push_back(Text::lowercase(Text::trim(label)));
    }
    return labels;
}

bool anyLabel(const std::vector<std::string>& labels, bool (*test)(std::string_view)) {
    for (const std::string& label : labels) {
        if (test(label)) return true;
    }
    return false;
}

bool isStartOrJoin(std::string_view label) {
    return label == "start" || label == "join";
}

bool isJoinPreview(const std::vector<AXNodePtr>& nodes) {
    if (Text::containsAny(controlText(nodes),
                          {"always show this preview", "preview when joining", "show this preview"})) {
        return true;
    }
    const std::vector<std::string> labels = trimmedLowerLabels(nodes);
    return anyLabel(labels, isStartOrJoin) && !anyLabel(labels, isLeaveControl);
}

bool isWaitingRoom(const std::vector<AXNodePtr>& nodes) {
    return Text::containsAny(controlText(nodes), {
                                                     "waiting room",
                                                     "waiting for the host",
                                                     "host will let you in",
                                                     "will let you in soon",
                                                     "please wait, the meeting host",
                                                     "someone lets you in",
                                                     "you've been placed in the waiting room",
                                                     "you have been placed in the waiting room",
                                                     "the host has been notified",
                                                     "please wait for the host",
                                                 });
}

}  // namespace

std::vector<std::string> controlLabels(const AXNode& node) {
    std::vector<std::string> labels;
    for (std::optional<std::string> text :
         {node.title(), node.value(), node.accessibilityDescription(), node.help(), node.roleDescription()}) {
        if (text && !text->empty()) labels.push_back(std::move(*text));
    }
    return labels;
}

std::vector<AXNodePtr> collectedNodes(const AXNodePtr& window, Clock& clock) {
    const BoundedAXSearch search(
        SearchBudget::startingNow({.maxNodes = 1000, .maxDepth = 18, .seconds = 3.0}, clock), clock);
    return search.collectAll(window);
}

std::string controlText(const std::vector<AXNodePtr>& nodes) {
    std::string text;
    bool firstLabel = true;
    for (const AXNodePtr& node : nodes) {
        for (const std::string& label : controlLabels(*node)) {
            if (!firstLabel) text += '\n';
            text += label;
            firstLabel = false;
        }
    }
    return Text::lowercase(text);
}

bool isLeaveControl(std::string_view label) {
    return label == "leave" || Text::startsWith(label, "leave ") || Text::contains(label, "leave meeting") ||
           label == "end" || Text::startsWith(label, "end ") || Text::contains(label, "end meeting") ||
           Text::contains(label, "end webinar");
}

bool isMuteControl(std::string_view label) {
    return label == "mute" || Text::startsWith(label, "mute ") || label == "unmute" ||
           Text::startsWith(label, "unmute ");
}

bool isHomeWindow(const AXNode& window) {
    if (window.identifier() == "zoom-home") return true;
    const std::string title = Text::lowercase(window.title().value_or(""));
    return Text::contains(title, "zoom workplace") || title == "zoom";
}

bool isShareCompanion(const AXNode& window) {
    const std::string title = Text::lowercase(window.title().value_or(""));
    return Text::containsAny(title, {"sharing screen", "you are sharing"});
}

bool isJoinPreviewWindow(const AXNodePtr& window, Clock& clock) {
    return isJoinPreview(collectedNodes(window, clock));
}

bool isWaitingRoomWindow(const AXNodePtr& window, Clock& clock) {
    return isWaitingRoom(collectedNodes(window, clock));
}

bool isLiveMeetingWindow(const AXNodePtr& window, Clock& clock) {
    if (isHomeWindow(*window) || isShareCompanion(*window)) return false;
    if (isJoinPreviewWindow(window, clock) || isWaitingRoomWindow(window, clock)) return false;
    const std::vector<std::string> labels = trimmedLowerLabels(collectedNodes(window, clock));
    return anyLabel(labels, isMuteControl) && anyLabel(labels, isLeaveControl);
}

bool looksLikeMeetingInfoSurface(const AXNodePtr& window, Clock& clock) {
    if (Text::containsAny(Text::lowercase(window->title().value_or("")),
                          {"meeting information", "meeting info"})) {
        return true;
    }
    for (const AXNodePtr& node : collectedNodes(window, clock)) {
        for (const std::optional<std::string>& text :
             {node->title(), node->value(), node->accessibilityDescription(), node->help()}) {
            if (!text) continue;
            if (Roomcode::textLooksLikeMeetingIdLabel(*text)) return true;
            if (Text::containsAny(Text::lowercase(*text), {"invite link", "view meeting info"})) return true;
            if (Roomcode::parse(*text)) return true;
        }
    }
    return false;
}

bool meetingWindowShowsSharing(const AXNodePtr& meetingWindow, Clock& clock) {
    return Text::containsAny(controlText(collectedNodes(meetingWindow, clock)),
                             {"stop share", "stop sharing", "you are sharing", "sharing your screen",
                              "pause share", "resume share"});
}

bool sameWindow(const AXNode& a, const AXNode& b) {
    const std::optional<std::string> identifierA = a.identifier();
    const std::optional<std::string> identifierB = b.identifier();
    if (identifierA && identifierB && !identifierA->empty() && *identifierA == *identifierB) return true;
    return a.title().value_or("") == b.title().value_or("") && a.position() == b.position() &&
           a.size() == b.size();
}

}  // namespace RoomcodeCore::WindowClassifiers
