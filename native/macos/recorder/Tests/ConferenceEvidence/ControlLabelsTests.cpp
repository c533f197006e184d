#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ConferenceEvidence/ControlLabels.hpp"

namespace CE = ConferenceEvidence;
using CE::CallControlClass;

namespace {

TEST(ControlLabels, ClassifiesByGroupInOrder) {
    const std::optional<CallControlClass> none;
    const auto mute = CallControlClass::mute;
    const auto leave = CallControlClass::leave;
    const auto camera = CallControlClass::camera;
    const auto share = CallControlClass::participantsOrShare;
    const std::vector<std::pair<std::string, std::optional<CallControlClass>>> cases{
        {"Unmute", mute},
        {"Mute", mute},
        {"Commute", mute},
        {"Mic", mute},
        {"  mic on", mute},
        {"turn mic\n", mute},
        {"Microphone settings", mute},
        {"Microscope", none},
        // The mute group is tried first, leave before camera.
        {"Mute video", mute},
        {"Mute and leave", mute},
        {"Leave video call", leave},
        {"End video call", leave},
        {"Leave camera preview", leave},
        {"Leave", leave},
        {"Leave room", leave},
        {"Hang up", leave},
        {"End meeting for all", leave},
        {"End", none},
        {"End video", camera},
        {"Stop Video", camera},
        {"Turn off camera", camera},
        {"Share", none},
        {"Share Screen", share},
        {"Share content", share},
        {"Share to present", share},
        {"Participants (3)", share},
        {"People", share},
        {"Turn on captions", share},
        {" \n\t", none},
        {"", none},
    };
    for (const auto& [label, expected] : cases) {
        SCOPED_TRACE(label);
        EXPECT_EQ(CE::classifyControlLabel(label), expected);
    }
}

TEST(ControlLabels, CallControlsNeedATalkControlAndACallControl) {
    struct Case {
        std::vector<std::string> labels;
        bool expected;
    };
    const std::vector<Case> cases{
        {{"Mute", "Stop video"}, false},
        {{"Leave", "Participants"}, false},
        {{"Camera", "Participants"}, true},
        {{"Unmute", "Leave"}, true},
        {{"Settings", "Mute", "Chat", "Share screen"}, true},
        {{}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels.size());
        EXPECT_EQ(CE::callControlsPresent(c.labels), c.expected);
        EXPECT_EQ(CE::inCallControlsPresent(c.labels), c.expected);
    }
}

TEST(ControlLabels, ClassesIgnoreUnknownLabels) {
    EXPECT_EQ(CE::controlClasses({"Chat", "Mute", "Unmute", "Leave", "Settings"}),
              (std::set{CallControlClass::mute, CallControlClass::leave}));
    EXPECT_TRUE(CE::controlClasses({}).empty());
    EXPECT_TRUE(CE::hasLeaveControl({"Chat", "Hang up"}));
    EXPECT_FALSE(CE::hasLeaveControl({"Mute video call"}));
}

TEST(ControlLabels, LobbyWording) {
    EXPECT_TRUE(CE::textSuggestsLobby("WAITING FOR THE HOST to start"));
    EXPECT_TRUE(CE::textSuggestsLobby("We've let them know you're here"));
    // Only the ASCII apostrophe is in the table.
    EXPECT_FALSE(CE::textSuggestsLobby("We\u2019ve let them know you\u2019re here"));
    EXPECT_TRUE(CE::textSuggestsLobby("Lobby"));
    EXPECT_FALSE(CE::textSuggestsLobby("Leave call"));

    EXPECT_TRUE(CE::hasLobbyHints({.windowTitles = {"Notes", "Ready to join?"}, .lobbyHints = {}}));
    EXPECT_TRUE(CE::hasLobbyHints({.windowTitles = {}, .lobbyHints = {"Ask to join"}}));
    EXPECT_FALSE(CE::hasLobbyHints({.windowTitles = {"Zoom Meeting"}, .lobbyHints = {"Mute"}}));
}

TEST(ControlLabels, InCallChromeWording) {
    EXPECT_TRUE(CE::textSuggestsInCallChrome("People (4)"));
    EXPECT_FALSE(CE::textSuggestsInCallChrome("People"));
    EXPECT_TRUE(CE::textSuggestsInCallChrome("You're the only one here"));
    EXPECT_FALSE(CE::textSuggestsInCallChrome("You\u2019re the only one here"));
    EXPECT_TRUE(CE::hasInCallHints({"Chat", "Raise hand"}));
    EXPECT_FALSE(CE::hasInCallHints({"Chat", "People"}));
    EXPECT_FALSE(CE::hasInCallHints({}));
}

}  // namespace
