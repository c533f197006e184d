#pragma once

// Tests on window titles, accessibility titles and URLs, and application owner names.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ConferenceEvidence {

// Service hosts, lower case, in the exact form each test needs.
inline constexpr std::string_view meetWebHost = "meet.google.com";
inline constexpr std::string_view meetHostWithoutTld = "meet.google";
inline constexpr std::string_view zoomWebDomain = "zoom.us";
inline constexpr std::string_view zoomClientOwner = "zoom.us";
inline constexpr std::string_view teamsHostWithoutTld = "teams.microsoft";
inline constexpr std::string_view teamsConsumerHostWithoutTld = "teams.live";
inline constexpr std::string_view aroundWebHost = "around.co";
inline constexpr std::string_view gatherWebHost = "gather.town";

// All tables are lower case and tested against lowercased text, in stored order.
inline constexpr std::array<std::string_view, 16> meetingUrlFragments{
    meetHostWithoutTld,  "zoom.us/j",
    "zoom.us/w",         "zoom.us/s",
    teamsHostWithoutTld, teamsConsumerHostWithoutTld,
    "webex.com",         "whereby.com",
    aroundWebHost,       gatherWebHost,
    "gotomeeting",       "goto.com",
    "ringcentral.com",   "facetime.apple",
    "slack.com/call",    "app.slack.com/huddle",
};

inline constexpr std::array<std::string_view, 10> strongInCallTitlePhrases{
    "in this call",          "in a call",     "huddle",     "voice call",
    "ongoing call",          "call with",     "slack call", "zoom meeting",
    "personal meeting room", "webex meeting",
};

inline constexpr std::array<std::string_view, 3> weakProductTitlePhrases{
    "google meet",
    "cisco webex",
    "microsoft teams",
};

// A title that still offers to join is a lobby, however call-like the rest reads.
inline constexpr std::array<std::string_view, 3> joinPromptPhrases{
    "ready to join",
    "join a meeting",
    "join meeting",
};

// Calendar, mail and document pages mention meetings without being one.
inline constexpr std::array<std::string_view, 5> schedulingSurfaceFragments{
    "calendar.google", "outlook.live.com/calendar", "outlook.office.com/calendar", "mail.google",
    "docs.google",
};

inline constexpr std::array<std::string_view, 9> browserOwnerTokens{
    "chrome", "brave", "edge", "firefox", "safari", "opera", "vivaldi", "arc", "chromium",
};

inline constexpr std::array<std::string_view, 7> conferencingOwnerTokens{
    "zoom", "teams", "webex", "slack", "facetime", "ringcentral", "goto",
};

// A window's owner and the frontmost application's name that both hold one of these
// name the same product.
inline constexpr std::array<std::string_view, 3> sameProductOwnerTokens{"zoom", "slack", "teams"};

// The window scan's phrases, tested against a window's lower-cased owner name and title.
inline constexpr std::array<std::string_view, 5> meetingServiceWindowPhrases{
    meetHostWithoutTld, "google meet", "webex", teamsHostWithoutTld, zoomWebDomain,
};
inline constexpr std::array<std::string_view, 2> googleMeetWindowPhrases{"google meet", meetHostWithoutTld};
inline constexpr std::array<std::string_view, 2> teamsWindowPhrases{"microsoft teams", teamsHostWithoutTld};
inline constexpr std::array<std::string_view, 3> slackCallWindowPhrases{"huddle", "voice call", "call with"};
inline constexpr std::array<std::string_view, 3> roomServiceWindowPhrases{aroundWebHost, "whereby",
                                                                          gatherWebHost};
inline constexpr std::array<std::string_view, 3> dialInServiceWindowPhrases{
    "ringcentral",
    "gotomeeting",
    "goto meeting",
};

// Words of an accessibility window title that put the window among the first to walk.
inline constexpr std::array<std::string_view, 4> meetingWindowTitleWords{"meet", "webex", "zoom", "huddle"};

// Keys are owner names exactly as the window list reports them.
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 6> ownerShortNames{{
    {"Google Chrome", "Chrome"},
    {"Brave Browser", "Brave"},
    {"Microsoft Edge", "Edge"},
    {"Microsoft Teams", "Teams"},
    {zoomClientOwner, "Zoom"},
    {"Slack", "Slack"},
}};

// A Google Meet code at the start of the text.
inline constexpr std::string_view meetCodePattern = R"(^[a-z]{3}-[a-z]{4}-[a-z]{3}(\b| ))";

// Single-text tests.
std::string shortOwner(std::string_view owner);
bool textSuggestsMeetingUrl(std::string_view text);
bool textSuggestsStrongInCallTitle(std::string_view text);
bool textSuggestsMeetingUrlOrTitle(std::string_view text);
bool isBrowserOwner(std::string_view owner);
bool textSuggestsSchedulingSurface(std::string_view text);
bool titleLooksLikeMeetCode(std::string_view title);
// Case-sensitive: callers pass lowercased text.
bool textLooksLikeStandaloneMeetToken(std::string_view text);
bool textLooksLikeMicrosoftTeamsProduct(std::string_view text);

struct TitlesAndUrls {
    std::vector<std::string> windowTitles{};
    std::vector<std::string> axTitlesAndUrls{};
};

struct OwnerTitlesAndUrls {
    std::string owner{};
    std::vector<std::string> windowTitles{};
    std::vector<std::string> axTitlesAndUrls{};
};

// List tests: window titles in order, then accessibility titles and URLs.
bool hasMeetingUrl(const TitlesAndUrls& texts);
bool hasStrongInCallTitle(const std::vector<std::string>& windowTitles);
bool hasInCallSurface(const TitlesAndUrls& texts);
bool hasStrongBrowserMeetingContext(const TitlesAndUrls& texts);
// A tab that names a meeting product without a URL; calendar, mail and document tabs never count.
bool hasWeakBrowserProductTab(const std::vector<std::string>& windowTitles);
// One scheduling page anywhere among a browser's titles and URLs vetoes the whole browser.
bool hasBrowserMeetingTabContext(const OwnerTitlesAndUrls& candidate);

}  // namespace ConferenceEvidence
