#include <gtest/gtest.h>

#include "FakeNodes.hpp"
#include "RoomcodeCore/AutomationErrors.hpp"
#include "RoomcodeCore/ZoomMeetingLocator.hpp"
#include "Support/Failures.hpp"

namespace {

using namespace RoomcodeTesting;
using RoomcodeCore::AutomationError;
using RoomcodeCore::AutomationException;
using RoomcodeCore::Pid;
using RoomcodeCore::ZoomMeetingInfoReader;
using RoomcodeCore::ZoomMeetingLocator;
using Testing::failureOf;

class FakeRuntime final : public RoomcodeCore::ZoomRuntime {
public:
    std::optional<Pid> pid{};
    std::vector<FakeNodePtr> windowList{};
    int windowReads = 0;

    std::optional<Pid> runningZoomPid() override { return pid; }
    std::vector<AXNodePtr> windows(Pid asked) override {
        ++windowReads;
        if (!pid || asked != *pid) return {};
        std::vector<AXNodePtr> shown;
        for (const FakeNodePtr& window : windowList) {
            if (!window->hidden) shown.push_back(window);
        }
        return shown;
    }
};

FakeNodePtr meetingWindow(const std::string& key, std::vector<FakeNodePtr> extra = {}) {
    std::vector<FakeNodePtr> content = {node({.key = key + "-mute", .title = "Mute", .pressable = true}),
                                        node({.key = key + "-leave", .title = "Leave", .pressable = true})};
    content.insert(content.end(), extra.begin(), extra.end());
    return node({.key = key, .identifier = key, .title = "Zoom Meeting"}, content);
}

struct Fixture {
    std::shared_ptr<FakeRuntime> runtime = std::make_shared<FakeRuntime>();
    ManualClock clock;
    ZoomMeetingLocator locator{runtime, ZoomMeetingInfoReader::live, clock};
};

TEST(LocateLiveMeetingWindow, OneLiveWindowAmongTheClientsWindows) {
    Fixture f;
    EXPECT_EQ(failureOf<&AutomationException::error>([&] { f.locator.locateLiveMeetingWindow(); }),
              AutomationError::zoomNotRunning);

    f.runtime->pid = 4242;
    EXPECT_EQ(failureOf<&AutomationException::error>([&] { f.locator.locateLiveMeetingWindow(); }),
              AutomationError::noLiveMeeting);

    f.runtime->windowList = {node({.key = "home", .identifier = "zoom-home", .title = "Zoom Workplace"}),
                             meetingWindow("meeting")};
    const auto live = f.locator.locateLiveMeetingWindow();
    EXPECT_EQ(live.pid, 4242);
    EXPECT_EQ(live.window->nodeKey(), "meeting");

    f.runtime->windowList.push_back(meetingWindow("second"));
    EXPECT_EQ(failureOf<&AutomationException::error>([&] { f.locator.locateLiveMeetingWindow(); }),
              AutomationError::ambiguousMeeting);
}

TEST(LocateLiveMeetingWindow, PreviewAndWaitingRoomNeverCountEvenWithMuteAndLeave) {
    Fixture f;
    f.runtime->pid = 1;
    f.runtime->windowList = {
        meetingWindow("preview", {node({.key = "p", .title = "Always show this preview"})}),
        meetingWindow("waiting", {node({.key = "w", .value = "Waiting for the host"})})};
    EXPECT_EQ(failureOf<&AutomationException::error>([&] { f.locator.locateLiveMeetingWindow(); }),
              AutomationError::noLiveMeeting);
}

TEST(MeetingIdSearchRoots, TheMeetingWindowThenInformationSurfacesOnly) {
    Fixture f;
    f.runtime->pid = 1;
    const FakeNodePtr meeting = meetingWindow("meeting");
    const FakeNodePtr sameAgain = node({.key = "meeting-again", .identifier = "meeting"});
    const FakeNodePtr info = node({.key = "info", .title = "Meeting Information"});
    const FakeNodePtr home = node({.key = "home", .title = "Zoom", .value = "Meeting ID 123456789"});
    const FakeNodePtr share = node({.key = "share", .title = "You are sharing"},
                                   {node({.key = "s", .value = "Meeting ID 123456789"})});
    const FakeNodePtr waiting = node({.key = "waiting"}, {node({.key = "w1", .title = "Waiting room"}),
                                                          node({.key = "w2", .value = "Meeting ID"})});
    const FakeNodePtr chat = node({.key = "chat", .title = "Chat"}, {node({.key = "c", .value = "hello"})});
    const FakeNodePtr link = node({.key = "link"}, {node({.key = "l", .help = "Copy invite link"})});
    f.runtime->windowList = {info, sameAgain, home, meeting, share, waiting, chat, link};
    EXPECT_EQ(keys(f.locator.meetingIdSearchRoots(1, meeting)),
              (std::vector<std::string>{"meeting", "info", "link"}));

    f.runtime->windowList = {};
    EXPECT_EQ(keys(f.locator.meetingIdSearchRoots(1, meeting)), (std::vector<std::string>{"meeting"}));
}

TEST(ScreenSharing, ByACompanionWindowOrBySharingControls) {
    Fixture f;
    f.runtime->pid = 1;
    const FakeNodePtr meeting = meetingWindow("meeting");
    f.runtime->windowList = {meeting};
    EXPECT_FALSE(f.locator.isScreenSharingActive(1, meeting));

    f.runtime->windowList.push_back(node({.key = "bar", .title = "Zoom - Sharing Screen"}));
    EXPECT_TRUE(f.locator.isScreenSharingActive(1, meeting));

    f.runtime->windowList = {meeting};
    const FakeNodePtr sharing = meetingWindow("sharing", {node({.key = "stop", .title = "Stop Share"})});
    EXPECT_TRUE(f.locator.isScreenSharingActive(1, sharing));
}

TEST(Locate, ReadsThePopoverThatOpensAsAWindowOfItsOwnAndClosesIt) {
    Fixture f;
    f.runtime->pid = 77;
    const FakeNodePtr infoButton =
        node({.key = "info", .identifier = "meeting-information", .pressable = true});
    const FakeNodePtr meeting = meetingWindow("meeting", {infoButton});
    const FakeNodePtr popover = node(
        {.key = "popover", .title = "Meeting information"},
        {node({.key = "label", .title = "Meeting ID"}), node({.key = "number", .value = "987 6543 2101"})});
    popover->hidden = true;
    infoButton->onPress = [p = popover.get()] { p->hidden = !p->hidden; };
    const auto log = attachLog(meeting);
    f.runtime->windowList = {meeting, popover};

    const auto target = f.locator.locate(std::nullopt);
    EXPECT_EQ(target.pid, 77);
    EXPECT_EQ(target.window, meeting);
    EXPECT_EQ(target.meetingId.digits, "98765432101");
    // The close control is not in the meeting window, so the button toggles it shut.
    EXPECT_EQ(log->presses, (std::vector<std::string>{"info", "info"}));
    EXPECT_TRUE(popover->hidden);
}

TEST(Locate, NothingIsPressedWhileSharing) {
    Fixture f;
    f.runtime->pid = 1;
    const FakeNodePtr meeting =
        meetingWindow("meeting", {node({.key = "info", .title = "i", .pressable = true}),
                                  node({.key = "stop", .title = "Stop Sharing", .pressable = true})});
    const auto log = attachLog(meeting);
    f.runtime->windowList = {meeting};
    EXPECT_EQ(failureOf<&AutomationException::error>([&] { f.locator.locate(std::nullopt); }),
              AutomationError::screenSharingActive);
    EXPECT_TRUE(log->presses.empty());
}

TEST(Locate, AnExpectedIdIsNormalisedOrIgnored) {
    Fixture f;
    f.runtime->pid = 1;
    const FakeNodePtr meeting =
        meetingWindow("meeting", {node({.key = "id", .value = "Meeting ID: 111 111 111"})});
    f.runtime->windowList = {meeting};
    EXPECT_EQ(f.locator.locate("123-456-7890").meetingId.digits, "1234567890");
    EXPECT_EQ(f.locator.locate("https://zoom.us/j/98765432101?pwd=x1").meetingId.digits, "98765432101");
    EXPECT_EQ(f.locator.locate("not an id").meetingId.digits, "111111111");

    f.runtime->windowList = {meeting, meetingWindow("other")};
    EXPECT_EQ(failureOf<&AutomationException::error>([&] { f.locator.locate("123456789"); }),
              AutomationError::ambiguousMeeting);
}

}  // namespace
