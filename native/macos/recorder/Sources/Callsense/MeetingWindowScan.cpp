#include "Callsense/MeetingWindowScan.hpp"

#include <map>

#include "Callsense/WindowDictionary.hpp"
#include "ConferenceEvidence/ConferenceEvidence.hpp"
#include "Text/Text.hpp"

namespace Callsense {

namespace CE = ConferenceEvidence;

namespace {

// Windows above this layer are the menu bar, the dock, overlays and the like.
constexpr std::int32_t maxMeetingWindowLayer = 25;

// The host application's own windows would otherwise report its own UI as a meeting.
constexpr std::string_view hostRuntimeOwner = "Electron";
constexpr std::string_view hostOwnerToken = "trell";

struct WindowRule {
    std::string subtitle;
    std::string alertTitle;
};

// One window as the scan reads it.
struct ScannedWindow {
    std::string owner;
    std::string title;
    Desktop::Pid pid = 0;
    std::string windowText;  // owner and title, lower-cased
    bool strongTitle = false;
};

std::optional<WindowRule> matchWindowRule(const ScannedWindow& window) {
    const auto& text = window.windowText;
    const auto shortName = [&] { return CE::shortOwner(window.owner); };
    if (window.strongTitle && Text::containsAny(text, CE::googleMeetWindowPhrases)) {
        return WindowRule{shortName(), "Google Meet detected"};
    }
    if (isZoomMeetingWindow(window.owner, window.title)) return WindowRule{"Zoom", "Zoom Meeting detected"};
    if (window.strongTitle && Text::containsAny(text, CE::teamsWindowPhrases)) {
        return WindowRule{"Teams", "Microsoft Teams meeting detected"};
    }
    if (window.strongTitle && Text::contains(text, "webex"))
        return WindowRule{shortName(), "Webex meeting detected"};
    if (Text::contains(Text::lowercase(window.owner), "facetime") && !window.title.empty()) {
        return WindowRule{"FaceTime", "FaceTime call detected"};
    }
    if (Text::contains(text, "slack") && Text::containsAny(text, CE::slackCallWindowPhrases)) {
        return WindowRule{shortName(), "Slack Huddle detected"};
    }
    if (window.strongTitle && (Text::containsAny(text, CE::roomServiceWindowPhrases) ||
                               Text::containsAny(text, CE::dialInServiceWindowPhrases))) {
        return WindowRule{shortName(), shortName() + " meeting detected"};
    }
    return std::nullopt;
}

// A frontmost window that no rule names is still worth the accessibility walk
// when anything about it points at a meeting, or when it is a browser that
// shows no title at all.
bool worthWalking(const ScannedWindow& window) {
    const bool isBrowser = CE::isBrowserOwner(window.owner);
    const std::string lowerTitle = Text::lowercase(window.title);
    const bool meetingUrlLike = Text::containsAny(window.windowText, CE::meetingServiceWindowPhrases) ||
                                CE::textSuggestsMeetingUrl(window.title);
    const bool browserMeetingTitle =
        isBrowser &&
        (CE::titleLooksLikeMeetCode(window.title) || CE::textLooksLikeStandaloneMeetToken(lowerTitle) ||
         Text::contains(lowerTitle, "webex") || CE::textLooksLikeMicrosoftTeamsProduct(window.title) ||
         Text::contains(lowerTitle, "zoom"));
    return window.strongTitle || meetingUrlLike || browserMeetingTitle || isConferencingOwner(window.owner) ||
           (isBrowser && Text::isBlank(window.title));
}

bool outsideMeetingLayers(const Desktop::WindowDictionary& window) {
    const auto layer = windowInt32(window, WindowKey::layer);
    return layer && (*layer < 0 || *layer > maxMeetingWindowLayer);
}

bool isHostWindow(std::string_view owner) {
    return owner == hostRuntimeOwner || Text::contains(Text::lowercase(owner), hostOwnerToken);
}

ScannedWindow scannedWindow(const Desktop::WindowDictionary& window) {
    std::string owner = windowString(window, WindowKey::ownerName).value_or("");
    std::string title = windowString(window, WindowKey::name).value_or("");
    std::string windowText = Text::lowercase(owner + " " + title);
    const bool strongTitle = CE::textSuggestsStrongInCallTitle(title);
    return ScannedWindow{.owner = std::move(owner),
                         .title = std::move(title),
                         .pid = windowInt32(window, WindowKey::ownerPid).value_or(0),
                         .windowText = std::move(windowText),
                         .strongTitle = strongTitle};
}

// Every non-blank title of each process, trimmed, in list order.
std::map<Desktop::Pid, std::vector<std::string>> titlesByPid(const WindowList& windows) {
    std::map<Desktop::Pid, std::vector<std::string>> titles;
    for (const auto& window : windows) {
        const auto pid = windowInt32(*window, WindowKey::ownerPid).value_or(0);
        auto title = Text::trim(windowString(*window, WindowKey::name).value_or(""));
        if (pid > 0 && !title.empty()) titles[pid].push_back(std::move(title));
    }
    return titles;
}

}  // namespace

MeetingWindowScanResult scanMeetingWindows(Desktop::WindowServer& windowServer,
                                           const MeetingWindowScanRequest& request) {
    return scanMeetingWindows(windowServer.onScreenWindows(), request);
}

MeetingWindowScanResult scanMeetingWindows(const std::optional<WindowList>& windows,
                                           const MeetingWindowScanRequest& request) {
    MeetingWindowScanResult result;
    if (!windows) return result;
    // A list that is not made of window dictionaries throughout is not a window
    // list this scan can trust; none of it is read.
    for (const auto& window : *windows) {
        if (!window) return result;
    }

    const auto titles = titlesByPid(*windows);
    bool ruleTaken = false;
    for (const auto& dictionary : *windows) {
        if (outsideMeetingLayers(*dictionary)) continue;
        const ScannedWindow window = scannedWindow(*dictionary);
        if (Text::isBlank(window.windowText) || isHostWindow(window.owner)) continue;

        const bool isFrontmost = (request.frontmostPid > 0 && window.pid == request.frontmostPid) ||
                                 ownerMatchesFrontmost(window.owner, request.frontmostName);
        if (!isFrontmost) continue;  // every path below needs a frontmost window

        if (const auto rule = matchWindowRule(window)) {
            if (!ruleTaken) {
                ruleTaken = true;
                result.likely = true;
                result.subtitle = rule->subtitle;
                result.alertTitle = rule->alertTitle;
            }
        } else if (!worthWalking(window)) {
            continue;
        }

        // A window without a usable pid can still name the meeting, but cannot be walked.
        if (window.pid <= 0) continue;
        const auto processTitles = titles.find(window.pid);
        result.candidates.push_back(
            {.owner = window.owner,
             .title = processTitles != titles.end()
                          ? Text::joined(processTitles->second, candidateTitleSeparator)
                          : window.title,
             .pid = window.pid});
        return result;
    }
    return result;
}

std::optional<FrontmostApplication> frontmostApplication(Desktop::Workspace& workspace) {
    const auto app = workspace.frontmostApplication();
    if (!app) return std::nullopt;
    return FrontmostApplication{.name = app->localizedName.value_or(""), .pid = app->pid};
}

bool isBrowserBundle(std::string_view bundleId) {
    const std::string b = Text::lowercase(bundleId);
    if (Text::contains(b, "chrome") && !Text::contains(b, "chromecast")) return true;
    if (Text::contains(b, "brave")) return true;
    if (Text::equals(b, "com.microsoft.edgemac")) return true;
    if (Text::contains(b, "firefox")) return true;
    if (Text::equals(b, "com.apple.safari")) return true;
    if (Text::equals(b, "company.thebrowser.browser")) return true;
    return Text::contains(b, "opera") || Text::contains(b, "vivaldi");
}

bool isConferencingOwner(std::string_view owner) {
    return Text::containsAny(Text::lowercase(owner), CE::conferencingOwnerTokens);
}

bool isZoomMeetingWindow(std::string_view owner, std::string_view name) {
    return Text::contains(Text::lowercase(owner), "zoom") && !Text::isBlank(Text::lowercase(name)) &&
           CE::textSuggestsMeetingUrlOrTitle(name);
}

bool ownerMatchesFrontmost(std::string_view owner, std::string_view frontmostName) {
    const std::string o = Text::lowercase(owner);
    const std::string f = Text::lowercase(frontmostName);
    if (o.empty() || f.empty()) return false;
    if (Text::equals(o, f) || Text::contains(o, f) || Text::contains(f, o)) return true;
    if (Text::equals(Text::lowercase(CE::shortOwner(owner)),
                     Text::lowercase(CE::shortOwner(frontmostName)))) {
        return true;
    }
    for (const auto token : CE::sameProductOwnerTokens) {
        if (Text::contains(o, token) && Text::contains(f, token)) return true;
    }
    return false;
}

}  // namespace Callsense
