#include <gtest/gtest.h>

#include "FakeNodes.hpp"
#include "RoomcodeCore/WindowClassifiers.hpp"

namespace {

using namespace RoomcodeTesting;
namespace Classify = RoomcodeCore::WindowClassifiers;

FakeNodePtr windowWithButtons(std::vector<std::string> titles, NodeAttributes window = {.key = "window"}) {
    std::vector<FakeNodePtr> buttons;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        buttons.push_back(node({.key = "button" + std::to_string(i), .title = titles[i], .pressable = true}));
    }
    return node(std::move(window), {node({.key = "toolbar"}, buttons)});
}

TEST(ControlLabels, ReadsFiveAttributesInOrderWithoutEmptyOnes) {
    const FakeNodePtr button = node({.key = "b",
                                     .identifier = "not-a-label",
                                     .title = "Mute",
                                     .description = "",
                                     .help = "Mute my audio",
                                     .roleDescription = "button",
                                     .value = " "});
    EXPECT_EQ(Classify::controlLabels(*button),
              (std::vector<std::string>{"Mute", " ", "Mute my audio", "button"}));
    EXPECT_EQ(Classify::controlText({button, node({.key = "c", .title = "LEAVE"})}),
              "mute\n \nmute my audio\nbutton\nleave");
}

TEST(ControlPhrases, MuteAndLeaveControls) {
    for (const char* label : {"mute", "mute my audio", "unmute", "unmute audio"}) {
        EXPECT_TRUE(Classify::isMuteControl(label)) << label;
    }
    for (const char* label : {"muted", "mutex", "unmuted", "audio mute"}) {
        EXPECT_FALSE(Classify::isMuteControl(label)) << label;
    }
    for (const char* label : {"leave", "leave room", "please leave meeting now", "end", "end call",
                              "end meeting for all", "end webinar"}) {
        EXPECT_TRUE(Classify::isLeaveControl(label)) << label;
    }
    for (const char* label : {"leaves", "ending", "weekend", "legend"}) {
        EXPECT_FALSE(Classify::isLeaveControl(label)) << label;
    }
}

TEST(LiveMeetingWindow, NeedsBothAMuteAndALeaveControl) {
    ManualClock clock;
    EXPECT_TRUE(Classify::isLiveMeetingWindow(windowWithButtons({"  Mute ", "LEAVE"}), clock));
    EXPECT_TRUE(
        Classify::isLiveMeetingWindow(windowWithButtons({"Unmute audio", "End Meeting for All"}), clock));
    EXPECT_FALSE(Classify::isLiveMeetingWindow(windowWithButtons({"Mute"}), clock));
    EXPECT_FALSE(Classify::isLiveMeetingWindow(windowWithButtons({"Muted", "Leave"}), clock));
    // A leave control defeats the join test, so the window can still be live.
    EXPECT_TRUE(Classify::isLiveMeetingWindow(windowWithButtons({"Join", "Mute", "Leave"}), clock));
}

TEST(LiveMeetingWindow, HomePreviewWaitingRoomAndShareCompanionAreNeverLive) {
    ManualClock clock;
    const std::vector<std::string> controls{"Mute", "Leave"};
    EXPECT_FALSE(Classify::isLiveMeetingWindow(
        windowWithButtons(controls, {.key = "w", .identifier = "zoom-home"}), clock));
    EXPECT_FALSE(Classify::isLiveMeetingWindow(
        windowWithButtons(controls, {.key = "w", .title = "Zoom Workplace"}), clock));
    EXPECT_FALSE(Classify::isLiveMeetingWindow(
        windowWithButtons(controls, {.key = "w", .title = "You are sharing"}), clock));
    EXPECT_FALSE(Classify::isLiveMeetingWindow(
        windowWithButtons({"Mute", "Leave", "Always show this preview"}), clock));
    EXPECT_FALSE(Classify::isLiveMeetingWindow(
        windowWithButtons({"Mute", "Leave", "Please wait, the meeting host will let you in soon"}), clock));
}

TEST(WindowKinds, TitleOnlyTests) {
    EXPECT_TRUE(Classify::isHomeWindow(*node({.key = "w", .title = "ZOOM"})));
    EXPECT_TRUE(Classify::isHomeWindow(*node({.key = "w", .title = "Zoom Workplace - Home"})));
    EXPECT_TRUE(Classify::isHomeWindow(*node({.key = "w", .identifier = "zoom-home", .title = "Meeting"})));
    EXPECT_FALSE(Classify::isHomeWindow(*node({.key = "w", .title = "Zoom Meeting"})));
    EXPECT_TRUE(Classify::isShareCompanion(*node({.key = "w", .title = "Zoom - Sharing Screen"})));
    EXPECT_FALSE(Classify::isShareCompanion(*node({.key = "w", .title = "Share screen"})));
}

TEST(WindowKinds, JoinPreviewAndWaitingRoom) {
    ManualClock clock;
    EXPECT_TRUE(Classify::isJoinPreviewWindow(windowWithButtons({"Join", "Cancel"}), clock));
    EXPECT_TRUE(Classify::isJoinPreviewWindow(windowWithButtons({" start "}), clock));
    EXPECT_FALSE(Classify::isJoinPreviewWindow(windowWithButtons({"Join", "Leave"}), clock));
    EXPECT_FALSE(Classify::isJoinPreviewWindow(windowWithButtons({"Join now"}), clock));
    EXPECT_TRUE(
        Classify::isJoinPreviewWindow(windowWithButtons({"Turn off video preview when joining"}), clock));

    EXPECT_TRUE(
        Classify::isWaitingRoomWindow(windowWithButtons({"You've been placed in the waiting room"}), clock));
    EXPECT_TRUE(Classify::isWaitingRoomWindow(windowWithButtons({"The host has been notified"}), clock));
    EXPECT_FALSE(Classify::isWaitingRoomWindow(windowWithButtons({"Mute", "Leave"}), clock));
}

TEST(MeetingInfoSurface, RecognisedByTitleOrByANodeText) {
    ManualClock clock;
    EXPECT_TRUE(
        Classify::looksLikeMeetingInfoSurface(node({.key = "w", .title = "Meeting Information"}), clock));
    EXPECT_TRUE(Classify::looksLikeMeetingInfoSurface(
        node({.key = "w"}, {node({.key = "t", .value = "Meeting ID: 123 456 7890"})}), clock));
    EXPECT_TRUE(Classify::looksLikeMeetingInfoSurface(
        node({.key = "w"}, {node({.key = "t", .help = "Copy Invite Link"})}), clock));
    EXPECT_TRUE(Classify::looksLikeMeetingInfoSurface(
        node({.key = "w"}, {node({.key = "t", .description = "https://zoom.us/j/123456789"})}), clock));
    // A participant ID names a meeting ID but is not one.
    EXPECT_FALSE(Classify::looksLikeMeetingInfoSurface(
        node({.key = "w"}, {node({.key = "t", .title = "participant meeting id"})}), clock));
    // The role description is not among the texts this test reads.
    EXPECT_FALSE(Classify::looksLikeMeetingInfoSurface(
        node({.key = "w"}, {node({.key = "t", .roleDescription = "meeting id"})}), clock));
}

TEST(SameWindow, IdentifierFirstThenTitlePositionAndSize) {
    const auto window = [](std::optional<std::string> id, std::optional<std::string> title,
                           std::optional<Point> at, std::optional<Size> size) {
        return node({.key = "w", .identifier = id, .title = title, .position = at, .size = size});
    };
    EXPECT_TRUE(
        Classify::sameWindow(*window("meeting", "A", {}, {}), *window("meeting", "B", Point{1, 1}, {})));
    EXPECT_FALSE(Classify::sameWindow(*window("", "A", {}, {}), *window("", "B", {}, {})));
    EXPECT_TRUE(Classify::sameWindow(*window({}, {}, Point{1, 2}, Size{3, 4}),
                                     *window({}, "", Point{1, 2}, Size{3, 4})));
    EXPECT_FALSE(Classify::sameWindow(*window({}, "A", Point{1, 2}, Size{3, 4}),
                                      *window({}, "A", Point{1, 2}, Size{3, 5})));
    EXPECT_FALSE(Classify::sameWindow(*window({}, "A", Point{1, 2}, {}), *window({}, "A", {}, {})));
    // Different identifiers fall back to the other attributes.
    EXPECT_TRUE(Classify::sameWindow(*window("a", "A", {}, {}), *window("b", "A", {}, {})));
}

}  // namespace
