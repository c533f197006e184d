#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeNodes.hpp"
#include "RoomcodeCore/AutomationErrors.hpp"
#include "RoomcodeCore/ZoomMeetingInfoReader.hpp"
#include "Support/Failures.hpp"

namespace {

using namespace RoomcodeTesting;
using RoomcodeCore::AutomationError;
using RoomcodeCore::AutomationException;
using RoomcodeCore::BoundedAXSearch;
using RoomcodeCore::Roomcode;
using RoomcodeCore::SearchBudget;
using RoomcodeCore::SearchException;
using Testing::failureOf;
using Reader = RoomcodeCore::ZoomMeetingInfoReader;

const Reader& live = Reader::live;

// A meeting window with its call controls, an information button that toggles
// a popover, and the popover (hidden until pressed) holding `popoverContent`
// and its close button.
struct Meeting {
    FakeNodePtr window;
    FakeNodePtr infoButton;
    FakeNodePtr popover;
    FakeNodePtr closeButton;
    std::shared_ptr<PressLog> log;

    bool popoverOpen() const { return !popover->hidden; }
};

Meeting meeting(std::vector<FakeNodePtr> popoverContent, std::vector<FakeNodePtr> shown = {},
                NodeAttributes infoButton = {
                    .key = "info", .description = "Meeting information", .pressable = true}) {
    Meeting m;
    m.closeButton = node({.key = "close", .identifier = "meeting-information-close", .pressable = true});
    popoverContent.push_back(m.closeButton);
    m.popover = node({.key = "popover"}, popoverContent);
    m.popover->hidden = true;
    m.infoButton = node(std::move(infoButton));
    std::vector<FakeNodePtr> content = {
        node({.key = "mute", .title = "Mute", .pressable = true}),
        node({.key = "leave", .title = "Leave", .pressable = true}),
        m.infoButton,
        m.popover,
    };
    content.insert(content.end(), shown.begin(), shown.end());
    m.window = node({.key = "meeting", .title = "Zoom Meeting", .position = Point{100, 50}}, content);
    m.log = attachLog(m.window);
    m.infoButton->onPress = [popover = m.popover.get()] { popover->hidden = !popover->hidden; };
    m.closeButton->onPress = [popover = m.popover.get()] { popover->hidden = true; };
    return m;
}

std::vector<FakeNodePtr> popoverWithId() {
    return {node({.key = "label", .title = "Meeting ID"}), node({.key = "number", .value = "123 456 7890"})};
}

TEST(ReadMeetingId, AnExpectedIdIsReturnedWithoutLookingAtTheWindow) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId(), {node({.key = "shown", .value = "Meeting ID: 987 654 3210"})});
    const Roomcode id =
        live.readMeetingId({.from = m.window, .expected = Roomcode{"555555555"}, .clock = clock});
    EXPECT_EQ(id.digits, "555555555");
    EXPECT_EQ(m.window->childrenReads, 0);
    EXPECT_TRUE(m.log->presses.empty());
}

TEST(ReadMeetingId, AnIdTheWindowShowsIsReadWithoutPressing) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId(), {node({.key = "shown", .title = "https://zoom.us/j/98765432101"})});
    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock}).digits, "98765432101");
    EXPECT_TRUE(m.log->presses.empty());
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(ExtractMeetingId, LabelAndNumberAsSeparateNodes) {
    struct Case {
        const char* name;
        std::vector<NodeAttributes> nodes;
        std::optional<std::string> digits;
    };
    const std::vector<Case> cases = {
        {"next node",
         {{.key = "l", .title = "Meeting ID"}, {.key = "n", .value = "123 456 7890"}},
         "1234567890"},
        {"participant ID between",
         {{.key = "l", .title = "Meeting ID:"},
          {.key = "p", .title = "Participant ID", .value = "12345678"},
          {.key = "n", .value = "123-456-789"}},
         "123456789"},
        {"host and passcode between",
         {{.key = "l", .description = "meeting id"},
          {.key = "h", .title = "Host", .value = "Ann Example 2024 123"},
          {.key = "n", .value = "98765432101"}},
         "98765432101"},
        {"third node is the last looked at",
         {{.key = "l", .title = "Meeting ID"},
          {.key = "a", .title = "Topic"},
          {.key = "b", .title = "Weekly"},
          {.key = "n", .value = "1234567890"}},
         "1234567890"},
        {"fourth node is too far",
         {{.key = "l", .title = "Meeting ID"},
          {.key = "a", .title = "Topic"},
          {.key = "b", .title = "Weekly"},
          {.key = "c", .title = "sync"},
          {.key = "n", .value = "1234567890"}},
         std::nullopt},
        {"a passcode number is passed over",
         {{.key = "l", .title = "Meeting ID"}, {.key = "p", .title = "Passcode 123456789"}},
         std::nullopt},
        {"label at the end of the list",
         {{.key = "n", .value = "1234567890"}, {.key = "l", .title = "Meeting ID"}},
         std::nullopt},
        {"a label that finds nothing does not stop the pass",
         {{.key = "l1", .title = "Meeting ID"},
          {.key = "x", .title = "none"},
          {.key = "y", .title = "none"},
          {.key = "z", .title = "none"},
          {.key = "l2", .title = "Meeting ID"},
          {.key = "n", .value = "123456789"}},
         "123456789"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<FakeNodePtr> nodes;
        for (const NodeAttributes& attributes : c.nodes)
            nodes.push_back(node(attributes));
        ManualClock clock;
        const std::optional<Roomcode> id = Reader::extractMeetingId({node({.key = "root"}, nodes)}, clock);
        ASSERT_EQ(id.has_value(), c.digits.has_value());
        if (id) {
            EXPECT_EQ(id->digits, *c.digits);
        }
    }
}

TEST(ExtractMeetingId, DirectReadingWinsOverALabelEarlierInTheTree) {
    ManualClock clock;
    const FakeNodePtr root = node({.key = "root"}, {node({.key = "l", .title = "Meeting ID"}),
                                                    node({.key = "n", .value = "111 111 1111"}),
                                                    node({.key = "link", .help = "zoom.us/j/222222222"})});
    EXPECT_EQ(Reader::extractMeetingId({root}, clock)->digits, "222222222");
}

TEST(ExtractMeetingId, RootsAreReadInOrder) {
    ManualClock clock;
    const FakeNodePtr empty = node({.key = "empty"});
    const FakeNodePtr second = node({.key = "second", .value = "Meeting ID 123456789"});
    const FakeNodePtr third = node({.key = "third", .value = "Meeting ID 987654321"});
    EXPECT_EQ(Reader::extractMeetingId({empty, second, third}, clock)->digits, "123456789");
    EXPECT_FALSE(Reader::extractMeetingId({empty}, clock));
}

TEST(AttributeTexts, SixAttributesInOrderWithoutAbsentOrEmptyOnes) {
    const FakeNodePtr n = node({.key = "k",
                                .role = "AXButton",
                                .identifier = "id",
                                .title = "",
                                .description = "desc",
                                .help = " ",
                                .subrole = "AXSub",
                                .roleDescription = "button",
                                .value = "v"});
    EXPECT_EQ(Reader::attributeTexts(*n), (std::vector<std::string>{"v", "id", "desc", " ", "button"}));
}

TEST(InfoButtonLabels, WhichControlsLookLikeTheInformationButton) {
    const std::vector<std::pair<NodeAttributes, bool>> cases = {
        {{.key = "a", .identifier = "meeting-information", .title = "Anything"}, true},
        {{.key = "a", .title = "  I \n"}, true},
        {{.key = "a", .title = "Info"}, true},
        {{.key = "a", .title = "\u2139"}, true},
        {{.key = "a", .title = "Meeting Information"}, true},
        {{.key = "a", .description = "info"}, true},
        {{.key = "a", .description = " info"}, false},
        {{.key = "a", .help = "Show meeting info"}, true},
        {{.key = "a", .roleDescription = "info"}, true},
        {{.key = "a", .roleDescription = "meeting info"}, false},
        {{.key = "a", .title = "meeting", .description = "information"}, true},
        {{.key = "a", .title = "Information"}, false},
        {{.key = "a", .title = "Mute"}, false},
        {{.key = "a"}, false},
    };
    for (const auto& [attributes, expected] : cases) {
        SCOPED_TRACE(testing::Message()
                     << attributes.title.value_or("") << "|" << attributes.description.value_or("") << "|"
                     << attributes.roleDescription.value_or(""));
        EXPECT_EQ(Reader::labelsLookLikeMeetingInfo(*node(attributes)), expected);
    }
}

TEST(InfoPressCandidates, LabelledControlsFirstAndNeverWindowButtons) {
    ManualClock clock;
    const BoundedAXSearch search(
        SearchBudget::startingNow({.maxNodes = 1000, .maxDepth = 18, .seconds = 3}, clock), clock);
    const FakeNodePtr labelled =
        node({.key = "w", .position = Point{0, 0}},
             {node({.key = "close-window", .title = "Info", .subrole = "AXCloseButton", .pressable = true}),
              node({.key = "corner", .position = Point{102, 22}, .pressable = true}),
              node({.key = "info", .title = "i", .pressable = true}),
              node({.key = "unpressable-info", .title = "i"})});
    EXPECT_EQ(keys(Reader::infoPressCandidates(labelled, search)), (std::vector<std::string>{"info"}));

    const FakeNodePtr besideTitle =
        node({.key = "w", .position = Point{0, 0}},
             {node({.key = "title", .title = "Zoom Meeting", .position = Point{300, 10}}),
              node({.key = "beside", .position = Point{260, 10}, .pressable = true}),
              node({.key = "corner", .position = Point{102, 22}, .pressable = true})});
    EXPECT_EQ(keys(Reader::infoPressCandidates(besideTitle, search)), (std::vector<std::string>{"beside"}));

    const FakeNodePtr cornerOnly =
        node({.key = "w", .position = Point{0, 0}},
             {node({.key = "far", .position = Point{150, 40}, .pressable = true}),
              node({.key = "corner", .position = Point{102, 22}, .pressable = true}),
              node({.key = "outside", .position = Point{400, 22}, .pressable = true})});
    EXPECT_EQ(keys(Reader::infoPressCandidates(cornerOnly, search)),
              (std::vector<std::string>{"corner", "far"}));
}

TEST(ReadMeetingId, OpensTheInformationPopoverReadsItAndClosesIt) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock}).digits, "1234567890");
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "close"}));
    EXPECT_FALSE(m.popoverOpen());
    EXPECT_EQ(clock.sleeps, (std::vector<double>{0.4}));
}

TEST(ReadMeetingId, APopoverWithoutTheIdIsClosedBeforeTheNextCandidate) {
    ManualClock clock;
    // Two unlabelled controls beside the title; only the second opens the popover.
    Meeting m = meeting(popoverWithId(),
                        {node({.key = "title", .title = "Zoom Meeting", .position = Point{300, 10}}),
                         node({.key = "wrong", .position = Point{280, 10}, .pressable = true})},
                        {.key = "info", .position = Point{250, 10}, .pressable = true});
    m.log = attachLog(m.window);
    const auto wrong = std::static_pointer_cast<FakeNode>(m.window->kids.back());
    const FakeNodePtr wrongPopover =
        node({.key = "wrong-popover", .title = "Reactions"},
             {node({.key = "wrong-close", .title = "Close", .pressable = true})});
    wrongPopover->hidden = true;
    wrongPopover->log = m.log;
    std::static_pointer_cast<FakeNode>(wrongPopover->kids[0])->log = m.log;
    std::static_pointer_cast<FakeNode>(wrongPopover->kids[0])->onPress = [p = wrongPopover.get()] {
        p->hidden = true;
    };
    wrong->kids.push_back(wrongPopover);
    wrong->onPress = [p = wrongPopover.get()] { p->hidden = !p->hidden; };

    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock}).digits, "1234567890");
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"wrong", "wrong-close", "info", "close"}));
    EXPECT_TRUE(wrongPopover->hidden);
    EXPECT_FALSE(m.popoverOpen());
    EXPECT_EQ(clock.sleeps, (std::vector<double>{0.4, 0.2, 0.4}));
}

TEST(ReadMeetingId, WithoutACloseControlTheOpeningButtonIsPressedAgain) {
    ManualClock clock;
    Meeting m = meeting({node({.key = "label", .title = "Meeting ID"})});
    m.closeButton->hidden = true;
    EXPECT_EQ(failureOf<&AutomationException::error>(
                  [&] { live.readMeetingId({.from = m.window, .clock = clock}); }),
              AutomationError::meetingIdUnavailable);
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "info"}));
    EXPECT_FALSE(m.popoverOpen());
}

TEST(ReadMeetingId, ACloseControlThatRefusesThePressFallsBackToTheToggle) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    m.closeButton->pressFails = RoomcodeCore::SearchFailure::cannotComplete;
    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock}).digits, "1234567890");
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "info"}));
    EXPECT_FALSE(m.popoverOpen());
}

TEST(ReadMeetingId, CloseControlsAlreadyOnScreenBeforeThePressAreNeverPressed) {
    ManualClock clock;
    // The chat panel the user has open, and a window close button titled
    // "Close", both come before the popover in pre-order.
    Meeting m = meeting(popoverWithId());
    const FakeNodePtr chat =
        node({.key = "chat"}, {node({.key = "chat-close", .title = "Close", .pressable = true})});
    const FakeNodePtr windowClose = node({.key = "window-close", .title = "close", .pressable = true});
    m.window->kids.insert(m.window->kids.begin(), {windowClose, chat});
    m.log = attachLog(m.window);
    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock}).digits, "1234567890");
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "close"}));

    // With no close control of its own, the popover is shut by its button.
    m.popover->hidden = true;
    m.closeButton->hidden = true;
    m.log->presses.clear();
    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock}).digits, "1234567890");
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "info"}));
    EXPECT_FALSE(m.popoverOpen());
}

TEST(ReadMeetingId, NothingIsPressedWhileTheScreenIsShared) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    int asked = 0;
    EXPECT_EQ(
        failureOf<&AutomationException::error>([&] {
            live.readMeetingId(
                {.from = m.window, .isScreenSharingActive = [&] { return ++asked > 0; }, .clock = clock});
        }),
        AutomationError::screenSharingActive);
    EXPECT_TRUE(m.log->presses.empty());
    EXPECT_EQ(asked, 1);
}

TEST(ReadMeetingId, SharingThatStartsBetweenAttemptsStopsBeforeTheNextPress) {
    ManualClock clock;
    Meeting m = meeting({node({.key = "nothing"})},
                        {node({.key = "second-info", .title = "Meeting info", .pressable = true})});
    m.log = attachLog(m.window);
    int asked = 0;
    // Asked after the first pass and before each press: the third answer is yes.
    EXPECT_EQ(
        failureOf<&AutomationException::error>([&] {
            live.readMeetingId(
                {.from = m.window, .isScreenSharingActive = [&] { return ++asked == 3; }, .clock = clock});
        }),
        AutomationError::screenSharingActive);
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "close"}));
    EXPECT_FALSE(m.popoverOpen());
}

TEST(ReadMeetingId, ZeroAttemptsOrNoCandidatesPressNothing) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    const Reader never{.afterOpenWaitNanoseconds = 400'000'000, .maxTopLeftPressAttempts = 0};
    EXPECT_EQ(failureOf<&AutomationException::error>(
                  [&] { never.readMeetingId({.from = m.window, .clock = clock}); }),
              AutomationError::meetingIdUnavailable);
    const Reader negative{.afterOpenWaitNanoseconds = 0, .maxTopLeftPressAttempts = -3};
    EXPECT_EQ(failureOf<&AutomationException::error>(
                  [&] { negative.readMeetingId({.from = m.window, .clock = clock}); }),
              AutomationError::meetingIdUnavailable);
    EXPECT_TRUE(m.log->presses.empty());

    const FakeNodePtr bare = node({.key = "bare"}, {node({.key = "text", .title = "Hello"})});
    EXPECT_EQ(
        failureOf<&AutomationException::error>([&] { live.readMeetingId({.from = bare, .clock = clock}); }),
        AutomationError::meetingIdUnavailable);
}

TEST(ReadMeetingId, AttemptsAreCappedAndCountCandidatesThatCannotBePressedAnyMore) {
    ManualClock clock;
    std::vector<FakeNodePtr> buttons;
    for (int i = 0; i < 6; ++i) {
        buttons.push_back(node({.key = "info" + std::to_string(i), .title = "Info", .pressable = true}));
    }
    const FakeNodePtr window = node({.key = "w"}, buttons);
    const auto log = attachLog(window);
    // The first candidate stops offering the press once it has been collected.
    buttons[0]->offersPressForQueries = 1;
    const Reader reader{.afterOpenWaitNanoseconds = 0, .maxTopLeftPressAttempts = 3};
    EXPECT_EQ(failureOf<&AutomationException::error>(
                  [&] { reader.readMeetingId({.from = window, .clock = clock}); }),
              AutomationError::meetingIdUnavailable);
    // Each attempt presses its candidate and then, with no close control,
    // presses it again to close what it opened.
    EXPECT_EQ(log->presses, (std::vector<std::string>{"info1", "info1", "info2", "info2"}));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(ReadMeetingId, ARefusedPressEndsTheReadWithItsFailure) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    m.infoButton->pressFails = RoomcodeCore::SearchFailure::cannotComplete;
    EXPECT_EQ(
        failureOf<&SearchException::failure>([&] { live.readMeetingId({.from = m.window, .clock = clock}); }),
        RoomcodeCore::SearchFailure::cannotComplete);
    EXPECT_TRUE(m.log->presses.empty());
    EXPECT_FALSE(m.popoverOpen());
}

TEST(ReadMeetingId, NoPressOnceTheDeadlineHasPassed) {
    ManualClock clock;
    Meeting m = meeting({node({.key = "nothing"})},
                        {node({.key = "second-info", .title = "Meeting info", .pressable = true})});
    m.log = attachLog(m.window);
    const Reader slow{.afterOpenWaitNanoseconds = 4'000'000'000, .maxTopLeftPressAttempts = 4};
    EXPECT_EQ(failureOf<&AutomationException::error>(
                  [&] { slow.readMeetingId({.from = m.window, .clock = clock}); }),
              AutomationError::meetingIdUnavailable);
    // The first popover is still closed (by its toggle: the close control can no
    // longer be searched), and the second candidate is never pressed.
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "info"}));
    EXPECT_FALSE(m.popoverOpen());
}

TEST(ReadMeetingId, APopoverInAWindowOfItsOwnIsReadThroughTheRefreshedRoots) {
    ManualClock clock;
    Meeting m = meeting({});
    const FakeNodePtr infoWindow = node({.key = "info-window"}, popoverWithId());
    int refreshed = 0;
    const auto refresh = [&] {
        ++refreshed;
        std::vector<AXNodePtr> roots{m.window};
        if (m.popoverOpen()) roots.push_back(infoWindow);
        return roots;
    };
    EXPECT_EQ(live.readMeetingId({.from = m.window, .refreshRoots = refresh, .clock = clock}).digits,
              "1234567890");
    EXPECT_EQ(refreshed, 2);
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "close"}));
}

TEST(ReadMeetingId, RootsComeFromTheRefreshWhenGivenAndFallBackToTheMeetingWindow) {
    ManualClock clock;
    const FakeNodePtr window = node({.key = "w", .value = "Meeting ID 111111111"});
    const FakeNodePtr other = node({.key = "other", .value = "Meeting ID 222222222"});
    const Reader reader{.afterOpenWaitNanoseconds = 0, .maxTopLeftPressAttempts = 0};
    EXPECT_EQ(reader.readMeetingId({.from = window, .searchRoots = {other}, .clock = clock}).digits,
              "222222222");
    EXPECT_EQ(reader
                  .readMeetingId({.from = window,
                                  .searchRoots = {other},
                                  .refreshRoots = [] { return std::vector<AXNodePtr>{}; },
                                  .clock = clock})
                  .digits,
              "111111111");
    EXPECT_EQ(reader.readMeetingId({.from = window, .clock = clock}).digits, "111111111");
}

TEST(ReadMeetingId, AFailureWhileReadingTheOpenPopoverStillClosesIt) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    int refreshed = 0;
    const auto refresh = [&]() -> std::vector<AXNodePtr> {
        if (++refreshed == 2) throw std::runtime_error("window list unavailable");
        return {m.window};
    };
    EXPECT_THROW(live.readMeetingId({.from = m.window, .refreshRoots = refresh, .clock = clock}),
                 std::runtime_error);
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"info", "close"}));
    EXPECT_FALSE(m.popoverOpen());
}

// What a program watching the popovers hears from the reader; asks it to stop
// when the test says so.
struct RecordingWatch final : RoomcodeCore::PopoverWatch {
    std::vector<std::string> events{};
    bool stop = false;
    void opening() override { events.push_back("opening"); }
    bool stopRequested() const override { return stop; }
    bool requestsHeld() const override { return false; }
    void closing() override { events.push_back("closing"); }
    void closed() override { events.push_back("closed"); }
};

TEST(ReadMeetingIdWatched, EveryPressIsToldAndEachOpenedPopoverIsClosedBeforeTheNext) {
    ManualClock clock;
    RecordingWatch watch;
    // The first labelled control opens a popover without the ID.
    Meeting m = meeting(popoverWithId());
    const FakeNodePtr reactions =
        node({.key = "reactions", .description = "Meeting info", .pressable = true});
    m.window->kids.insert(m.window->kids.begin(), reactions);
    m.log = attachLog(m.window);
    EXPECT_EQ(live.readMeetingId({.from = m.window, .clock = clock, .popovers = &watch}).digits,
              "1234567890");
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"reactions", "reactions", "info", "close"}));
    EXPECT_EQ(watch.events,
              (std::vector<std::string>{"opening", "closing", "closed", "opening", "closing", "closed"}));

    // A press the client refused opened nothing.
    RecordingWatch refused;
    Meeting r = meeting(popoverWithId());
    r.infoButton->pressFails = RoomcodeCore::SearchFailure::cannotComplete;
    EXPECT_THROW(live.readMeetingId({.from = r.window, .clock = clock, .popovers = &refused}),
                 SearchException);
    EXPECT_EQ(refused.events, (std::vector<std::string>{"opening", "closed"}));
}

// Asked to stop while its popover is open, the reader reads no further, closes
// the popover with its own rule and presses nothing else, wherever the stop
// finds it.
TEST(ReadMeetingIdWatched, AStopClosesWhatIsOpenAndPressesNothingElse) {
    struct Case {
        const char* what;
        // Arranged on the meeting; the watch is told to stop from within.
        std::function<void(Meeting&, RecordingWatch&, ManualClock&)> arrange;
        std::vector<std::string> presses;
    };
    const Case cases[] = {
        {"during the wait after the press",
         [](Meeting& m, RecordingWatch& watch, ManualClock&) {
             m.infoButton->onPress = [&m, &watch] {
                 m.popover->hidden = !m.popover->hidden;
                 watch.stop = true;
             };
         },
         {"info", "close"}},
        {"once the read's three seconds are over: the close control is still looked for",
         [](Meeting& m, RecordingWatch& watch, ManualClock& clock) {
             m.infoButton->onPress = [&m, &watch, &clock] {
                 m.popover->hidden = !m.popover->hidden;
                 clock.time += 10;
                 watch.stop = true;
             };
         },
         {"info", "close"}},
        {"without a close control: the opening control again",
         [](Meeting& m, RecordingWatch& watch, ManualClock&) {
             m.closeButton->hidden = true;
             m.infoButton->onPress = [&m, &watch] {
                 m.popover->hidden = !m.popover->hidden;
                 watch.stop = true;
             };
         },
         {"info", "info"}},
        {"while the popover is read, by a request that was held back",
         [](Meeting& m, RecordingWatch& watch, ManualClock&) {
             const FakeNodePtr held = node({.key = "held"});
             held->log = m.log;
             m.popover->kids.insert(m.popover->kids.begin(), held);
             held->onChildren = [&watch] {
                 if (watch.stop) return;
                 watch.stop = true;
                 throw RoomcodeCore::ReadingStopped();
             };
         },
         {"info", "close"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ManualClock clock;
        RecordingWatch watch;
        // A second candidate that a read going on would press next.
        Meeting m = meeting({node({.key = "label", .title = "Meeting ID"})});
        const FakeNodePtr other = node({.key = "other", .title = "Meeting info", .pressable = true});
        m.window->kids.push_back(other);
        m.log = attachLog(m.window);
        c.arrange(m, watch, clock);

        EXPECT_THROW(live.readMeetingId({.from = m.window, .clock = clock, .popovers = &watch}),
                     RoomcodeCore::ReadingStopped);
        EXPECT_EQ(m.log->presses, c.presses);
        EXPECT_FALSE(m.popoverOpen());
        EXPECT_EQ(watch.events, (std::vector<std::string>{"opening", "closing", "closed"}));
    }
}

TEST(CloseInfoPopover, PressesTheCloseControlOrTheToggle) {
    ManualClock clock;
    Meeting m = meeting(popoverWithId());
    m.popover->hidden = false;
    Reader::closeInfoPopover(m.window, m.infoButton, clock);
    EXPECT_EQ(m.log->presses, (std::vector<std::string>{"close"}));
    EXPECT_FALSE(m.popoverOpen());

    // A control titled "close" (any case) counts too.
    const FakeNodePtr toggle = node({.key = "toggle", .pressable = true});
    const FakeNodePtr window =
        node({.key = "w"}, {toggle, node({.key = "x", .title = "CLOSE", .pressable = true})});
    const auto log = attachLog(window);
    Reader::closeInfoPopover(window, toggle, clock);
    EXPECT_EQ(log->presses, (std::vector<std::string>{"x"}));

    // An unpressable close control: the toggle is pressed instead.
    const FakeNodePtr window2 = node({.key = "w"}, {toggle, node({.key = "x", .title = "close"})});
    const auto log2 = attachLog(window2);
    Reader::closeInfoPopover(window2, toggle, clock);
    EXPECT_EQ(log2->presses, (std::vector<std::string>{"toggle"}));
}

}  // namespace
