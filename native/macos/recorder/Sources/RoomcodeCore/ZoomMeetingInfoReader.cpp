#include "RoomcodeCore/ZoomMeetingInfoReader.hpp"

#include <algorithm>

#include "RoomcodeCore/AutomationErrors.hpp"
#include "RoomcodeCore/TopLeftChrome.hpp"
#include "RoomcodeCore/WindowChromeButtons.hpp"
#include "Text/Text.hpp"

namespace RoomcodeCore {

const ZoomMeetingInfoReader ZoomMeetingInfoReader::live{.afterOpenWaitNanoseconds = 400'000'000,
                                                        .maxTopLeftPressAttempts = 4};

namespace {

constexpr SearchBudget::Limits readLimits{.maxNodes = 1000, .maxDepth = 18, .seconds = 3.0};
// A label and its number shown as separate elements sit this close together.
constexpr std::size_t labelNeighbours = 3;

double seconds(std::uint64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1'000'000'000.0;
}

bool sharingActive(const ZoomMeetingInfoReader::ReadRequest& request) {
    return request.isScreenSharingActive && (*request.isScreenSharingActive)();
}

bool stopRequested(const ZoomMeetingInfoReader::ReadRequest& request) {
    return request.popovers != nullptr && request.popovers->stopRequested();
}

void told(const ZoomMeetingInfoReader::ReadRequest& request, void (PopoverWatch::*event)()) {
    if (request.popovers != nullptr) (request.popovers->*event)();
}

std::vector<AXNodePtr> rootsToRead(const ZoomMeetingInfoReader::ReadRequest& request) {
    std::vector<AXNodePtr> roots = request.refreshRoots ? (*request.refreshRoots)() : request.searchRoots;
    if (roots.empty()) roots.push_back(request.from);
    return roots;
}

std::optional<Roomcode> readRoots(const std::vector<AXNodePtr>& roots, const BoundedAXSearch& search) {
    for (const AXNodePtr& root : roots) {
        if (std::optional<Roomcode> id = ZoomMeetingInfoReader::extractMeetingId(root, search)) return id;
    }
    return std::nullopt;
}

bool isPassedOverNeighbour(const std::string& joined) {
    if (Roomcode::textLooksLikeMeetingIdLabel(joined)) return true;
    const std::string lower = Text::lowercase(joined);
    for (std::string_view phrase : {"participant", "passcode", "invite link", "host"}) {
        if (Text::contains(lower, phrase)) return true;
    }
    return false;
}

[[noreturn]] void fail(AutomationError error) {
    throw AutomationException(error);
}

bool looksLikeCloseControl(const AXNode& node) {
    return node.identifier() == "meeting-information-close" ||
           Text::lowercase(node.title().value_or("")) == "close";
}

// Every control of the window that offers the press, from one walk: the
// candidates are chosen among them, and the close controls already on screen
// are remembered so that closing never presses one of those.
struct Pressables {
    std::vector<AXNodePtr> controls;
    std::unordered_set<std::string> closeControlKeys;
};

Pressables pressablesOf(const AXNodePtr& window, const BoundedAXSearch& search) {
    Pressables found;
    for (const AXNodePtr& node :
         search.collect(window, [](const AXNodePtr& node) { return node->supports(pressAction); })) {
        if (looksLikeCloseControl(*node)) found.closeControlKeys.insert(node->nodeKey());
        if (!WindowChromeButtons::isWindowButton(*node)) found.controls.push_back(node);
    }
    return found;
}

std::vector<AXNodePtr> candidatesAmong(const AXNodePtr& window, const std::vector<AXNodePtr>& pressables,
                                       Clock& clock) {
    std::vector<AXNodePtr> labelled;
    std::copy_if(
        pressables.begin(), pressables.end(), std::back_inserter(labelled),
        [](const AXNodePtr& node) { return ZoomMeetingInfoReader::labelsLookLikeMeetingInfo(*node); });
    if (!labelled.empty()) return labelled;

    const TopLeftChrome::Placement placement{.window = window, .pressables = pressables};
    std::vector<AXNodePtr> beside = TopLeftChrome::pressablesBesideMeetingTitle(placement, clock);
    if (!beside.empty()) return beside;
    return TopLeftChrome::rankedPressables(placement);
}

}  // namespace

std::vector<std::string> ZoomMeetingInfoReader::attributeTexts(const AXNode& node) {
    std::vector<std::string> texts;
    for (std::optional<std::string> text :
         {node.value(), node.title(), node.identifier(), node.accessibilityDescription(), node.help(),
          node.roleDescription()}) {
        if (text && !text->empty()) texts.push_back(std::move(*text));
    }
    return texts;
}

std::optional<Roomcode> ZoomMeetingInfoReader::extractMeetingId(const AXNodePtr& root,
                                                                const BoundedAXSearch& search) {
    const std::vector<AXNodePtr> nodes = search.collectAll(root);
    // Each node's texts are read once and kept for the second pass.
    std::vector<std::optional<std::vector<std::string>>> texts(nodes.size());
    const auto textsOf = [&](std::size_t index) -> const std::vector<std::string>& {
        if (!texts[index]) texts[index] = attributeTexts(*nodes[index]);
        return *texts[index];
    };

    for (std::size_t index = 0; index < nodes.size(); ++index) {
        for (const std::string& text : textsOf(index)) {
            if (std::optional<Roomcode> id = Roomcode::parse(text)) return id;
        }
    }

    // A label and its number shown as separate elements: the number follows
    // the label closely in pre-order, perhaps after a participant ID or a host.
    for (std::size_t index = 0; index < nodes.size(); ++index) {
        if (!Roomcode::textLooksLikeMeetingIdLabel(Text::joinedWithSpaces(textsOf(index)))) continue;
        const std::size_t last = std::min(nodes.size() - 1, index + labelNeighbours);
        for (std::size_t neighbour = index + 1; neighbour <= last; ++neighbour) {
            const std::string joined = Text::joinedWithSpaces(textsOf(neighbour));
            if (isPassedOverNeighbour(joined)) continue;
            if (std::optional<Roomcode> id = Roomcode::parseDigitsOnly(joined)) return id;
            if (std::optional<Roomcode> id = Roomcode::parse(joined)) return id;
        }
    }
    return std::nullopt;
}

bool ZoomMeetingInfoReader::labelsLookLikeMeetingInfo(const AXNode& node) {
    const std::string t = Text::lowercase(Text::trim(node.title().value_or("")));
    const std::string d = Text::lowercase(node.accessibilityDescription().value_or(""));
    const std::string h = Text::lowercase(node.help().value_or(""));
    const std::string r = Text::lowercase(node.roleDescription().value_or(""));
    const std::string i = Text::lowercase(node.identifier().value_or(""));
    const std::string all = Text::joinedWithSpaces({t, d, h, r, i});

    if (i == "meeting-information") return true;
    if (Text::contains(t, "meeting info")) return true;
    if (t == "i" || t == "info" || t == "\u2139") return true;
    if (d == "info" || Text::contains(d, "meeting info")) return true;
    if (h == "info" || Text::contains(h, "meeting info")) return true;
    if (r == "info" || Text::contains(r, "meeting information")) return true;
    return Text::contains(all, "meeting information");
}

std::vector<AXNodePtr> ZoomMeetingInfoReader::infoPressCandidates(const AXNodePtr& window,
                                                                  const BoundedAXSearch& search) {
    return candidatesAmong(window, pressablesOf(window, search).controls, search.clock());
}

void ZoomMeetingInfoReader::closeOpenedPopover(const AXNodePtr& window, const BoundedAXSearch& search,
                                               const AXNodePtr& infoButton,
                                               const std::unordered_set<std::string>& shownBeforePress) {
    const std::optional<AXNodePtr> closeControl = search.first(window, [&](const AXNodePtr& node) {
        return looksLikeCloseControl(*node) && !shownBeforePress.contains(node->nodeKey());
    });
    if (closeControl && (*closeControl)->supports(pressAction)) {
        try {
            (*closeControl)->perform(pressAction);
            return;
        } catch (const SearchException&) {
            // The popover is still open; the button that opened it toggles it.
        }
    }
    if (infoButton->supports(pressAction)) {
        try {
            infoButton->perform(pressAction);
        } catch (const SearchException&) {
            // Nothing else would close it.
        }
    }
}

std::optional<Roomcode> ZoomMeetingInfoReader::pressAndRead(const Press& press) const {
    told(press.request, &PopoverWatch::opening);
    try {
        press.candidate->perform(pressAction);
    } catch (...) {
        // A press that failed opened nothing.
        told(press.request, &PopoverWatch::closed);
        throw;
    }
    std::optional<Roomcode> id;
    try {
        if (afterOpenWaitNanoseconds != 0) press.request.clock.sleep(seconds(afterOpenWaitNanoseconds));
        if (!stopRequested(press.request)) id = readRoots(rootsToRead(press.request), press.search);
    } catch (...) {
        closeAfterPress(press);
        throw;
    }
    closeAfterPress(press);
    return id;
}

void ZoomMeetingInfoReader::closeAfterPress(const Press& press) {
    const auto& request = press.request;
    told(request, &PopoverWatch::closing);
    // A stop asked for on the way gets the close control looked for now, in a
    // short budget of its own.
    if (stopRequested(request)) {
        const BoundedAXSearch stopping(SearchBudget::startingNow(stoppingCloseLimits, request.clock),
                                       request.clock);
        closeOpenedPopover(request.from, stopping, press.candidate, press.closeControlKeys);
    } else {
        closeOpenedPopover(request.from, press.search, press.candidate, press.closeControlKeys);
    }
    told(request, &PopoverWatch::closed);
}

Roomcode ZoomMeetingInfoReader::readMeetingId(const ReadRequest& request) const {
    if (request.expected) return *request.expected;

    // One budget for the whole read: passes, candidates, re-reads and closing
    // share the three seconds.
    const BoundedAXSearch search(SearchBudget::startingNow(readLimits, request.clock), request.clock);

    if (std::optional<Roomcode> id = readRoots(rootsToRead(request), search)) return *id;
    if (sharingActive(request)) fail(AutomationError::screenSharingActive);

    const Pressables pressables = pressablesOf(request.from, search);
    const std::vector<AXNodePtr> candidates =
        candidatesAmong(request.from, pressables.controls, request.clock);
    const std::size_t attempts = std::min<std::size_t>(
        candidates.size(), static_cast<std::size_t>(std::max<std::int64_t>(0, maxTopLeftPressAttempts)));

    for (std::size_t attempt = 0; attempt < attempts; ++attempt) {
        const AXNodePtr& candidate = candidates[attempt];
        if (stopRequested(request)) throw ReadingStopped();
        if (!candidate->supports(pressAction)) continue;
        if (sharingActive(request)) fail(AutomationError::screenSharingActive);
        // Past the deadline no popover could be read or its close control
        // found, so a press would only disturb the meeting.
        if (search.deadlinePassed()) fail(AutomationError::meetingIdUnavailable);

        if (std::optional<Roomcode> id = pressAndRead({.request = request,
                                                       .search = search,
                                                       .closeControlKeys = pressables.closeControlKeys,
                                                       .candidate = candidate})) {
            return *id;
        }
        if (stopRequested(request)) throw ReadingStopped();
        if (afterOpenWaitNanoseconds >= 2) request.clock.sleep(seconds(afterOpenWaitNanoseconds / 2));
    }
    fail(AutomationError::meetingIdUnavailable);
}

std::optional<Roomcode> ZoomMeetingInfoReader::extractMeetingId(const std::vector<AXNodePtr>& roots,
                                                                Clock& clock) {
    const BoundedAXSearch search(SearchBudget::startingNow(readLimits, clock), clock);
    return readRoots(roots, search);
}

void ZoomMeetingInfoReader::closeInfoPopover(const AXNodePtr& window, const AXNodePtr& infoButton,
                                             Clock& clock) {
    const BoundedAXSearch search(SearchBudget::startingNow(readLimits, clock), clock);
    closeOpenedPopover(window, search, infoButton);
}

}  // namespace RoomcodeCore
