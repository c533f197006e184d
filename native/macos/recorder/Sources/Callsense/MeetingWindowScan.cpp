#include "Callsense/MeetingWindowScan.hpp"

#include <map>

#include "Callsense/WindowDictionary.hpp"
#include "ConferenceEvidence/ConferenceEvidence.hpp"
#include "Text/Text.hpp"

namespace Callsense {

namespace {

// Web hosts as they appear in window titles, matched against lower-cased text.
namespace Host {
constexpr std::string_view googleMeet = ConferenceEvidence::meetHostWithoutTld;
constexpr std::string_view microsoftTeams = ConferenceEvidence::teamsHostWithoutTld;
constexpr std::string_view zoom = ConferenceEvidence::zoomWebDomain;
constexpr std::string_view around = "around.co";
constexpr std::string_view gather = "gather.town";
}  // namespace Host

// Windows above this layer are the menu bar, the dock, overlays and the like.
constexpr std::int32_t maxMeetingWindowLayer = 25;

bool containsAny(std::string_view text, std::initializer_list<std::string_view> needles) {
    for (const auto needle : needles) {
        if (Text::contains(text, needle)) return true;
    }
    return false;
}

struct WindowRule {
    std::string subtitle;
    std::string alertTitle;
};

struct WindowFacts {
    const std::string& owner;
    const std::string& title;
    const std::string& windowText;
    bool strongTitle = false;
};

std::optional<WindowRule> matchWindowRule(const WindowFacts& window) {
    const auto& text = window.windowText;
    const auto shortName = [&] { return ConferenceEvidence::shortOwner(window.owner); };
    if (window.strongTitle && containsAny(text, {"google meet", Host::googleMeet})) {
        return WindowRule{shortName(), "Google Meet detected"};
    }
    if (isZoomMeetingWindow(window.owner, window.title)) return WindowRule{"Zoom", "Zoom Meeting detected"};
    if (window.strongTitle && containsAny(text, {"microsoft teams", Host::microsoftTeams})) {
        return WindowRule{"Teams", "Microsoft Teams meeting detected"};
    }
    if (window.strongTitle && Text::contains(text, "webex"))
        return WindowRule{shortName(), "Webex meeting detected"};
    if (Text::contains(Text::lowercase(window.owner), "facetime") && !window.title.empty()) {
        return WindowRule{"FaceTime", "FaceTime call detected"};
    }
    if (Text::contains(text, "slack") && containsAny(text, {"huddle", "voice call", "call with"})) {
        return WindowRule{shortName(), "Slack Huddle detected"};
    }
    if (window.strongTitle && containsAny(text, {Host::around, "whereby", Host::gather})) {
        return WindowRule{shortName(), shortName() + " meeting detected"};
    }
    if (window.strongTitle && containsAny(text, {"ringcentral", "gotomeeting", "goto meeting"})) {
        return WindowRule{shortName(), shortName() + " meeting detected"};
    }
    return std::nullopt;
}

std::string joinedTitles(const std::vector<std::string>& titles) {
    std::string joined;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (i > 0) joined += " | ";
        joined += titles[i];
    }
    return joined;
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

    std::map<Desktop::Pid, std::vector<std::string>> titlesByPid;
    for (const auto& window : *windows) {
        const auto pid = windowInt32(*window, WindowKey::ownerPid).value_or(0);
        auto title = Text::trim(windowString(*window, WindowKey::name).value_or(""));
        if (pid > 0 && !title.empty()) titlesByPid[pid].push_back(std::move(title));
    }

    bool ruleTaken = false;
    for (const auto& window : *windows) {
        if (const auto layer = windowInt32(*window, WindowKey::layer);
            layer && (*layer < 0 || *layer > maxMeetingWindowLayer)) {
            continue;
        }
        const std::string owner = windowString(*window, WindowKey::ownerName).value_or("");
        const std::string title = windowString(*window, WindowKey::name).value_or("");
        const Desktop::Pid pid = windowInt32(*window, WindowKey::ownerPid).value_or(0);
        const std::string windowText = Text::lowercase(owner + " " + title);
        if (Text::isBlank(windowText)) continue;

        // The host application's own windows would otherwise report its own UI as a meeting.
        if (owner == "Electron" || Text::contains(Text::lowercase(owner), "trell")) continue;

        const bool isFrontmost = (request.frontmostPid > 0 && pid == request.frontmostPid) ||
                                 ownerMatchesFrontmost(owner, request.frontmostName);
        if (!isFrontmost) continue;  // every path below needs a frontmost window

        const bool isBrowser = ownerIsBrowser(owner);
        const std::string lowerTitle = Text::lowercase(title);
        const bool meetingUrlLike = containsAny(windowText, {Host::googleMeet, "google meet", "webex",
                                                             Host::microsoftTeams, Host::zoom}) ||
                                    ConferenceEvidence::textSuggestsMeetingUrl(title);
        const bool browserMeetingTitle =
            isBrowser && (ConferenceEvidence::titleLooksLikeMeetCode(title) ||
                          ConferenceEvidence::textLooksLikeStandaloneMeetToken(lowerTitle) ||
                          Text::contains(lowerTitle, "webex") ||
                          ConferenceEvidence::textLooksLikeMicrosoftTeamsProduct(title) ||
                          Text::contains(lowerTitle, "zoom"));
        const bool strongTitle = ConferenceEvidence::textSuggestsStrongInCallTitle(title);

        if (const auto rule = matchWindowRule(
                {.owner = owner, .title = title, .windowText = windowText, .strongTitle = strongTitle})) {
            if (!ruleTaken) {
                ruleTaken = true;
                result.likely = true;
                result.subtitle = rule->subtitle;
                result.alertTitle = rule->alertTitle;
            }
        } else {
            const bool worthWalking = strongTitle || meetingUrlLike || browserMeetingTitle ||
                                      isConferencingOwner(owner) || (isBrowser && Text::isBlank(title));
            if (!worthWalking) continue;
        }

        // A window without a usable pid can still name the meeting, but cannot be walked.
        if (pid <= 0) continue;
        std::string candidateTitle;
        if (const auto titles = titlesByPid.find(pid); titles != titlesByPid.end()) {
            candidateTitle = joinedTitles(titles->second);
        } else {
            candidateTitle = title;
        }
        result.candidates.push_back({.owner = owner, .title = std::move(candidateTitle), .pid = pid});
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

bool ownerIsBrowser(std::string_view owner) {
    return containsAny(Text::lowercase(owner), {"chrome", "brave", "firefox", "safari", "edge", "opera",
                                                "arc", "vivaldi", "chromium"});
}

bool isConferencingOwner(std::string_view owner) {
    return containsAny(Text::lowercase(owner),
                       {"zoom", "teams", "webex", "slack", "facetime", "ringcentral", "goto"});
}

bool isZoomMeetingWindow(std::string_view owner, std::string_view name) {
    return Text::contains(Text::lowercase(owner), "zoom") && !Text::isBlank(Text::lowercase(name)) &&
           ConferenceEvidence::textSuggestsMeetingUrlOrTitle(name);
}

bool ownerMatchesFrontmost(std::string_view owner, std::string_view frontmostName) {
    const std::string o = Text::lowercase(owner);
    const std::string f = Text::lowercase(frontmostName);
    if (o.empty() || f.empty()) return false;
    if (Text::equals(o, f) || Text::contains(o, f) || Text::contains(f, o)) return true;
    if (Text::equals(Text::lowercase(ConferenceEvidence::shortOwner(owner)),
                     Text::lowercase(ConferenceEvidence::shortOwner(frontmostName)))) {
        return true;
    }
    for (const auto token : {"zoom", "slack", "teams"}) {
        if (Text::contains(o, token) && Text::contains(f, token)) return true;
    }
    return false;
}

}  // namespace Callsense
