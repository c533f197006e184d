#pragma once

// Call controls recognised by their labels, and the wording of a lobby and of a running call.

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ConferenceEvidence/EvidenceRecords.hpp"

namespace ConferenceEvidence {

// Lower case, in stored order. Apostrophes are U+0027 only; the typographic one does not match.
inline constexpr std::array<std::string_view, 13> lobbyPhrases{
    "ask to join",
    "join now",
    "ready to join",
    "join meeting",
    "join the meeting",
    "check your audio",
    "check your video",
    "other ways to join",
    "enter your name",
    "waiting for the host",
    "we've let them know",
    "lobby",
    "enter the meeting password",
};

// "people (" keeps its parenthesis: a participant count, not any mention of people.
inline constexpr std::array<std::string_view, 15> inCallChromePhrases{
    "present now",          "stop presenting",  "raise hand",
    "lower hand",           "turn on captions", "turn off captions",
    "call details",         "meeting details",  "you're the only one",
    "you are the only one", "people (",         "show everyone",
    "leave call",           "end call",         "hang up",
};

// Mute is tried before leave, and leave before camera, so "Mute video" is mute and
// "Leave video call" is leave.
std::optional<CallControlClass> classifyControlLabel(std::string_view label);

std::set<CallControlClass> controlClasses(const std::vector<std::string>& labels);
bool hasLeaveControl(const std::vector<std::string>& labels);
// A microphone or camera control together with a leave, participants or share control.
bool callControlsPresent(const std::vector<std::string>& labels);
bool inCallControlsPresent(const std::vector<std::string>& labels);

bool textSuggestsLobby(std::string_view text);
bool textSuggestsInCallChrome(std::string_view text);

struct TitlesAndLobbyHints {
    std::vector<std::string> windowTitles{};
    std::vector<std::string> lobbyHints{};
};

bool hasLobbyHints(const TitlesAndLobbyHints& texts);
bool hasInCallHints(const std::vector<std::string>& hints);

}  // namespace ConferenceEvidence
