#include <gtest/gtest.h>

#include <limits>

#include "RoomcodeCore/system/StoppableAccessibility.hpp"
#include "RoomcodeCore/system/SystemAXNode.hpp"
#include "RoomcodeCore/system/SystemZoomRuntime.hpp"
#include "Support/Failures.hpp"
#include "Support/FakeAccessibility.hpp"

namespace {

using namespace Testing;
using Desktop::AxList;
using RoomcodeCore::SearchException;
using RoomcodeCore::SearchFailure;
using RoomcodeCore::SystemAXNode;
namespace AxError = Desktop::AxError;

AxValue string(const char* text) {
    return AxValue{std::string(text)};
}

TEST(SystemAXNode, ConstructionSetsTheTimeOutAndBuildsTheKey) {
    FakeAccessibility ax;
    const auto button = ax.add({.hash = 77, .attributes = {{"AXRole", read(string("AXButton"))}}});
    const auto unreadable = ax.add({.hash = 9,
                                    .attributes = {{"AXRole", readError(AxError::cannotComplete)},
                                                   {"AXIdentifier", read(AxValue{std::int64_t{5}})}}});
    const auto named = ax.add({.hash = std::numeric_limits<std::uint64_t>::max(),
                               .attributes = {{"AXRole", read(string(""))},
                                              {"AXIdentifier", read(string("meeting-information"))}}});

    EXPECT_EQ(SystemAXNode(button, 512, ax).nodeKey(), "512:77:AXButton:");
    EXPECT_EQ(SystemAXNode(unreadable, -1, ax).nodeKey(), "-1:9::5");
    EXPECT_EQ(SystemAXNode(named, 3, ax).nodeKey(), "3:18446744073709551615::meeting-information");
    ASSERT_EQ(ax.timeouts.size(), 3U);
    EXPECT_EQ(ax.timeouts[0], (std::pair<int, float>{0, 0.25F}));
}

TEST(SystemAXNode, OneRequestReadsEveryAttributeEachWithItsOwnResult) {
    FakeAccessibility ax;
    const auto child = ax.add({.hash = 2});
    const auto element = ax.add({.hash = 7,
                                 .attributes = {{"AXRole", read(string("AXButton"))},
                                                {"AXIdentifier", read(string("meeting-information"))},
                                                {"AXTitle", readError(AxError::cannotComplete)},
                                                {"AXValue", read(AxValue{0.1 + 0.2})},
                                                {"AXDescription", read(string("Meeting information"))},
                                                {"AXHelp", readError(AxError::noValue)},
                                                {"AXPosition", read(AxValue{Desktop::Point{10, 20}})},
                                                {"AXSize", read(AxValue{Desktop::Size{30, 40}})},
                                                {"AXEnabled", read(AxValue{false})},
                                                {"AXChildren", read(AxValue{AxList{AxValue{child}}})}}});
    const SystemAXNode node(element, 5, ax);

    EXPECT_EQ(node.nodeKey(), "5:7:AXButton:meeting-information");
    EXPECT_EQ(node.role(), "AXButton");
    EXPECT_EQ(node.title(), std::nullopt);
    EXPECT_EQ(node.value(), "0.3");
    EXPECT_EQ(node.accessibilityDescription(), "Meeting information");
    EXPECT_EQ(node.help(), std::nullopt);
    EXPECT_EQ(node.subrole(), std::nullopt);
    EXPECT_EQ(node.roleDescription(), std::nullopt);
    EXPECT_EQ(node.position(), (RoomcodeCore::Point{10, 20}));
    EXPECT_EQ(node.size(), (RoomcodeCore::Size{30, 40}));
    EXPECT_FALSE(node.enabled());
    EXPECT_EQ(node.children().size(), 1U);
    EXPECT_EQ(ax.requests, (std::map<std::string, int>{{"copyMultipleAttributeValues", 1}}));
}

TEST(SystemAXNode, ARequestThatFailsAsAWholeLeavesEveryAttributeUnread) {
    FakeAccessibility ax;
    const auto element = ax.add({.hash = 3,
                                 .attributes = {{"AXRole", read(string("AXButton"))},
                                                {"AXTitle", read(string("Mute"))},
                                                {"AXEnabled", read(AxValue{false})}},
                                 .multipleResult = AxError::cannotComplete});
    const SystemAXNode node(element, 1, ax);
    EXPECT_EQ(node.nodeKey(), "1:3::");
    EXPECT_EQ(node.title(), std::nullopt);
    EXPECT_TRUE(node.enabled());
    EXPECT_TRUE(node.children().empty());
    // Within the window state the failure stands; it is not asked again.
    EXPECT_EQ(ax.requests["copyMultipleAttributeValues"], 1);
}

TEST(SystemAXNode, WhatWasReadHoldsUntilAnActionIsSent) {
    FakeAccessibility ax;
    const auto button = ax.add({.hash = 1,
                                .attributes = {{"AXRole", read(string("AXButton"))}},
                                .actionNames = {.code = 0, .value = AxList{string("AXPress")}}});
    const auto window = ax.add({.hash = 2,
                                .attributes = {{"AXTitle", read(string("Zoom Meeting"))},
                                               {"AXChildren", read(AxValue{AxList{AxValue{button}}})}}});
    const SystemAXNode node(window, 1, ax);
    const auto children = node.children();
    ASSERT_EQ(children.size(), 1U);
    EXPECT_EQ(node.children(), children);
    EXPECT_TRUE(children[0]->supports("AXPress"));
    EXPECT_TRUE(children[0]->supports("AXPress"));
    EXPECT_EQ(node.title(), "Zoom Meeting");
    EXPECT_EQ(ax.requests,
              (std::map<std::string, int>{{"copyActionNames", 1}, {"copyMultipleAttributeValues", 1}}));

    // The client changes on its own: within the state the tool keeps what it read.
    ax.elements[static_cast<std::size_t>(FakeAccessibility::indexOf(window))].attributes["AXTitle"] =
        read(string("Meeting information"));
    EXPECT_EQ(node.title(), "Zoom Meeting");
    // An action the element does not list is never sent, so nothing changes.
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { children[0]->perform("AXShowMenu"); }),
              SearchFailure::notImplemented);
    EXPECT_EQ(node.title(), "Zoom Meeting");

    // A press, even one the client refuses, ends the state for every node.
    ax.elements[static_cast<std::size_t>(FakeAccessibility::indexOf(button))].performResult =
        AxError::cannotComplete;
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { children[0]->perform("AXPress"); }),
              SearchFailure::cannotComplete);
    EXPECT_EQ(node.title(), "Meeting information");
    EXPECT_NE(node.children(), children);
    EXPECT_TRUE(children[0]->supports("AXPress"));
    EXPECT_EQ(ax.requests["copyActionNames"], 2);
    EXPECT_EQ(ax.requests["copyMultipleAttributeValues"], 2);
}

TEST(SystemAXNode, AnElementReachedThroughSeveralNodesIsAskedOnce) {
    FakeAccessibility ax;
    const auto shared = ax.add({.hash = 4, .attributes = {{"AXTitle", read(string("Mute"))}}});
    // A group that lists an element twice, and itself.
    const auto groupElement = ax.add({.hash = 5, .attributes = {{"AXRole", read(string("AXGroup"))}}});
    ax.elements[static_cast<std::size_t>(FakeAccessibility::indexOf(groupElement))].attributes["AXChildren"] =
        read(AxValue{AxList{AxValue{shared}, AxValue{shared}, AxValue{groupElement}}});

    const SystemAXNode node(groupElement, 1, ax);
    const auto children = node.children();
    ASSERT_EQ(children.size(), 3U);
    EXPECT_EQ(children[0]->title(), "Mute");
    EXPECT_EQ(children[1]->title(), "Mute");
    EXPECT_EQ(children[2]->nodeKey(), node.nodeKey());
    EXPECT_EQ(children[2]->children()[2]->nodeKey(), node.nodeKey());
    EXPECT_EQ(ax.requests["copyMultipleAttributeValues"], 2);
}

TEST(SystemAXNode, GeometryIsPresentOnlyForPointsAndSizes) {
    FakeAccessibility ax;
    const auto placed = ax.add({.attributes = {{"AXPosition", read(AxValue{Desktop::Point{10, 20}})},
                                               {"AXSize", read(AxValue{Desktop::Size{30, 40}})}}});
    const auto mistyped = ax.add({.attributes = {{"AXPosition", read(AxValue{Desktop::Size{1, 2}})},
                                                 {"AXSize", readError(AxError::cannotComplete)}}});
    EXPECT_EQ(SystemAXNode(placed, 1, ax).position(), (RoomcodeCore::Point{10, 20}));
    EXPECT_EQ(SystemAXNode(placed, 1, ax).size(), (RoomcodeCore::Size{30, 40}));
    EXPECT_EQ(SystemAXNode(mistyped, 1, ax).position(), std::nullopt);
    EXPECT_EQ(SystemAXNode(mistyped, 1, ax).size(), std::nullopt);
}

struct EnabledCase {
    const char* name;
    std::optional<PlatformResult<AxValue>> result;
    bool enabled;
};

TEST(SystemAXNode, EnabledUnlessTheElementSaysFalse) {
    const std::vector<EnabledCase> cases = {
        {"no attribute", std::nullopt, true},
        {"false", read(AxValue{false}), false},
        {"true", read(AxValue{true}), true},
        {"integer zero", read(AxValue{std::int64_t{0}}), false},
        {"double zero", read(AxValue{0.0}), false},
        {"a non-zero integer", read(AxValue{std::int64_t{2}}), true},
        {"a string that says false", read(string("false")), true},
        {"a read left unanswered", readError(AxError::cannotComplete), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAccessibility ax;
        FakeElement element;
        if (c.result) element.attributes["AXEnabled"] = *c.result;
        EXPECT_EQ(SystemAXNode(ax.add(element), 1, ax).enabled(), c.enabled);
    }
}

TEST(SystemAXNode, ChildrenAreNodesOfTheSameProcessOrNothing) {
    FakeAccessibility ax;
    const auto first = ax.add({.hash = 1, .attributes = {{"AXRole", read(string("AXButton"))}}});
    const auto second = ax.add({.hash = 2, .attributes = {{"AXRole", read(string("AXStaticText"))}}});
    const auto parent =
        ax.add({.attributes = {{"AXChildren", read(AxValue{AxList{AxValue{first}, AxValue{second}}})}}});
    const auto mixed =
        ax.add({.attributes = {{"AXChildren", read(AxValue{AxList{AxValue{first}, string("x")}})}}});
    const auto failing = ax.add({.attributes = {{"AXChildren", readError(AxError::cannotComplete)}}});
    const auto notAList = ax.add({.attributes = {{"AXChildren", read(AxValue{first})}}});

    ax.timeouts.clear();
    const auto children = SystemAXNode(parent, 44, ax).children();
    ASSERT_EQ(children.size(), 2U);
    EXPECT_EQ(children[0]->nodeKey(), "44:1:AXButton:");
    EXPECT_EQ(children[1]->nodeKey(), "44:2:AXStaticText:");
    // Every child gets the time-out when it is made.
    EXPECT_EQ(ax.timeouts.size(), 3U);

    EXPECT_TRUE(SystemAXNode(mixed, 44, ax).children().empty());
    EXPECT_TRUE(SystemAXNode(failing, 44, ax).children().empty());
    EXPECT_TRUE(SystemAXNode(notAList, 44, ax).children().empty());
}

TEST(SystemAXNode, ActionsAreSentOnlyWhenListedAndErrorsMapToTwoFailures) {
    FakeAccessibility ax;
    const auto unlisted = ax.add({.actionNames = {.code = 0, .value = AxList{string("AXShowMenu")}}});
    SystemAXNode unlistedNode(unlisted, 1, ax);
    EXPECT_FALSE(unlistedNode.supports("AXPress"));
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { unlistedNode.perform("AXPress"); }),
              SearchFailure::notImplemented);
    EXPECT_TRUE(ax.performed.empty());

    const auto broken = ax.add({.actionNames = {.code = AxError::cannotComplete, .value = {}}});
    EXPECT_FALSE(SystemAXNode(broken, 1, ax).supports("AXPress"));

    const std::vector<std::pair<std::int32_t, std::optional<SearchFailure>>> cases = {
        {AxError::success, std::nullopt},
        {AxError::cannotComplete, SearchFailure::cannotComplete},
        {AxError::invalidUIElement, SearchFailure::cannotComplete},
        {AxError::failure, SearchFailure::cannotComplete},
        {AxError::notificationUnsupported, SearchFailure::cannotComplete},
        {AxError::actionUnsupported, SearchFailure::notImplemented},
        {AxError::notImplemented, SearchFailure::notImplemented},
        {AxError::attributeUnsupported, SearchFailure::notImplemented},
    };
    for (const auto& [result, failure] : cases) {
        SCOPED_TRACE(result);
        // Entries that are not strings are skipped, not fatal.
        const auto element =
            ax.add({.actionNames = {.code = 0, .value = AxList{AxValue{std::int64_t{1}}, string("AXPress")}},
                    .performResult = result});
        SystemAXNode node(element, 1, ax);
        EXPECT_TRUE(node.supports("AXPress"));
        EXPECT_EQ(failureOf<&SearchException::failure>([&] { node.perform("AXPress"); }), failure);
    }
    EXPECT_EQ(ax.performed.size(), cases.size());
}

TEST(SystemAXNode, SetValueNeedsAListedSettableValue) {
    FakeAccessibility ax;
    const auto unlisted = ax.add({.attributeNames = {.code = 0, .value = AxList{string("AXTitle")}},
                                  .settable = {{"AXValue", {.code = 0, .value = true}}}});
    const auto readOnly = ax.add({.attributeNames = {.code = 0, .value = AxList{string("AXValue")}},
                                  .settable = {{"AXValue", {.code = 0, .value = false}}}});
    const auto unanswered =
        ax.add({.attributeNames = {.code = 0, .value = AxList{string("AXValue")}},
                .settable = {{"AXValue", {.code = AxError::cannotComplete, .value = true}}}});
    const auto refusing = ax.add({.attributeNames = {.code = 0, .value = AxList{string("AXValue")}},
                                  .settable = {{"AXValue", {.code = 0, .value = true}}},
                                  .setResult = AxError::illegalArgument});
    const auto writable = ax.add({.attributeNames = {.code = 0, .value = AxList{string("AXValue")}},
                                  .settable = {{"AXValue", {.code = 0, .value = true}}}});

    EXPECT_EQ(failureOf<&SearchException::failure>([&] { SystemAXNode(unlisted, 1, ax).setValue("1"); }),
              SearchFailure::notImplemented);
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { SystemAXNode(readOnly, 1, ax).setValue("1"); }),
              SearchFailure::notImplemented);
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { SystemAXNode(unanswered, 1, ax).setValue("1"); }),
              SearchFailure::notImplemented);
    EXPECT_TRUE(ax.written.empty());
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { SystemAXNode(refusing, 1, ax).setValue("1"); }),
              SearchFailure::cannotComplete);
    EXPECT_EQ(failureOf<&SearchException::failure>([&] { SystemAXNode(writable, 1, ax).setValue("123"); }),
              std::nullopt);
    EXPECT_EQ(ax.written.back(), (std::pair<int, std::string>{4, "AXValue=123"}));
    EXPECT_FALSE(SystemAXNode(unanswered, 1, ax).isSettable("AXValue"));
    EXPECT_TRUE(SystemAXNode(writable, 1, ax).isSettable("AXValue"));
}

struct HoldingWatch final : RoomcodeCore::PopoverWatch {
    bool held = false;
    void opening() override {}
    bool stopRequested() const override { return held; }
    bool requestsHeld() const override { return held; }
    void closing() override {}
    void closed() override {}
};

// A request held back reaches no client and leaves no answer behind: once
// requests go through again, the node reads and acts as if none had been held.
TEST(StoppableAccessibility, AHeldRequestNeverReachesTheClientAndLeavesNothingBehind) {
    FakeAccessibility ax;
    const auto close = ax.add({.hash = 5,
                               .attributes = {{"AXTitle", read(string("Close"))}},
                               .actionNames = {.code = 0, .value = AxList{string("AXPress")}}});
    HoldingWatch watch;
    RoomcodeCore::StoppableAccessibility gate(ax, watch);
    SystemAXNode node(close, 1, gate);

    watch.held = true;
    EXPECT_THROW((void)node.title(), RoomcodeCore::ReadingStopped);
    EXPECT_THROW((void)node.children(), RoomcodeCore::ReadingStopped);
    EXPECT_THROW((void)node.supports("AXPress"), RoomcodeCore::ReadingStopped);
    EXPECT_THROW(node.perform("AXPress"), RoomcodeCore::ReadingStopped);
    EXPECT_TRUE(ax.requests.empty());
    EXPECT_TRUE(ax.performed.empty());
    EXPECT_EQ(ax.timeouts.size(), 1U) << "the time-out is the reference's own setting, not a request";

    watch.held = false;
    EXPECT_EQ(node.title(), "Close");
    EXPECT_TRUE(node.supports("AXPress"));
    node.perform("AXPress");
    EXPECT_EQ(ax.performed, (std::vector<std::pair<int, std::string>>{{0, "AXPress"}}));
}

TEST(SystemZoomRuntime, TheFirstApplicationWithZoomsExactBundleIdentifier) {
    FakeAccessibility ax;
    FakeWorkspace workspace;
    RoomcodeCore::SystemZoomRuntime runtime(workspace, ax);
    EXPECT_EQ(runtime.runningZoomPid(), std::nullopt);

    workspace.running = {{.pid = 10, .localizedName = "zoom.us", .bundleIdentifier = std::nullopt},
                         {.pid = 11, .localizedName = "zoom.us", .bundleIdentifier = "US.ZOOM.XOS"},
                         {.pid = 12, .localizedName = "zoom.us", .bundleIdentifier = "us.zoom.xos"},
                         {.pid = 13, .localizedName = "zoom.us", .bundleIdentifier = "us.zoom.xos"}};
    EXPECT_EQ(runtime.runningZoomPid(), 12);
}

TEST(SystemZoomRuntime, OneWindowListPerWindowState) {
    FakeAccessibility ax;
    FakeWorkspace workspace;
    RoomcodeCore::SystemZoomRuntime runtime(workspace, ax);
    const auto window = ax.add({.hash = 1, .actionNames = {.code = 0, .value = AxList{string("AXPress")}}});
    ax.add({.attributes = {{"AXWindows", read(AxValue{AxList{AxValue{window}}})}}});
    ax.applications[12] = 1;

    const auto windows = runtime.windows(12);
    ASSERT_EQ(windows.size(), 1U);
    EXPECT_EQ(runtime.windows(12), windows);
    EXPECT_EQ(ax.requests["copyAttributeValue"], 1);

    windows[0]->perform("AXPress");
    const auto afterPress = runtime.windows(12);
    ASSERT_EQ(afterPress.size(), 1U);
    EXPECT_NE(afterPress, windows);
    EXPECT_EQ(ax.requests["copyAttributeValue"], 2);
}

TEST(SystemZoomRuntime, WindowsInTheReportedOrderOrNone) {
    FakeAccessibility ax;
    FakeWorkspace workspace;
    RoomcodeCore::SystemZoomRuntime runtime(workspace, ax);
    const auto first = ax.add({.hash = 1});
    const auto second = ax.add({.hash = 2});
    ax.add({.attributes = {{"AXWindows", read(AxValue{AxList{AxValue{second}, AxValue{first}}})}}});
    ax.applications[12] = 2;
    ax.add({.attributes = {{"AXWindows", readError(AxError::cannotComplete)}}});
    ax.applications[13] = 3;

    ax.timeouts.clear();
    const auto windows = runtime.windows(12);
    ASSERT_EQ(windows.size(), 2U);
    EXPECT_EQ(windows[0]->nodeKey(), "12:2::");
    EXPECT_EQ(windows[1]->nodeKey(), "12:1::");
    // The application element and each window.
    EXPECT_EQ(ax.timeouts.size(), 3U);
    EXPECT_EQ(ax.timeouts[0], (std::pair<int, float>{2, 0.25F}));

    EXPECT_TRUE(runtime.windows(13).empty());
    EXPECT_TRUE(runtime.windows(99).empty());
}

}  // namespace
