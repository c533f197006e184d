#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AccessibilityValues/AccessibilityValues.hpp"
#include "HangingChildrenScene.hpp"
#include "RoomcodeCore/system/HungElementMemory.hpp"
#include "RoomcodeCore/system/SystemAXNode.hpp"
#include "RoomcodeCore/system/UnresponsiveClientGuard.hpp"

namespace {

using RoomcodeCore::HungElementMemory;
using RoomcodeCore::UnresponsiveClientGuard;

// The window's children, in order, each with the reader's time-out set.
std::vector<Desktop::Element> windowChildren(Desktop::Accessibility& accessibility) {
    const auto app = accessibility.applicationElement(501);
    const auto windows =
        AccessibilityValues::elementListValue(accessibility.copyAttributeValue(app, "AXWindows")).value();
    auto elements =
        AccessibilityValues::elementListValue(accessibility.copyAttributeValue(windows.at(0), "AXChildren"))
            .value();
    for (const auto& element : elements)
        accessibility.setMessagingTimeout(element, RoomcodeCore::SystemAXNode::messagingTimeout);
    return elements;
}

// Answers from other elements keep the guard's count at zero, so without the
// memory every read of a hung element would wait the time-out again.
TEST(HungElementMemory, AHungElementAmongAnsweringOnesCostsOneTimeOutForAllItsReads) {
    Testing::SceneDesktop desktop(RoomcodeTesting::windowWithChildren(1, 1));
    const auto elements = windowChildren(desktop.accessibility());
    UnresponsiveClientGuard guard(desktop.accessibility());
    HungElementMemory memory(guard);
    const double started = desktop.clockNow();
    for (int round = 0; round < 5; ++round) {
        EXPECT_FALSE(memory.copyAttributeValue(elements[0], "AXTitle").succeeded());
        EXPECT_FALSE(memory.copyMultipleAttributeValues(elements[0], {"AXRole"}).succeeded());
        EXPECT_FALSE(memory.copyAttributeNames(elements[0]).succeeded());
        EXPECT_FALSE(memory.isAttributeSettable(elements[0], "AXValue").succeeded());
        EXPECT_TRUE(memory.copyAttributeValue(elements[1], "AXTitle").succeeded());
    }
    EXPECT_DOUBLE_EQ(desktop.clockNow() - started, 0.25);
    EXPECT_FALSE(guard.clientTakenAsHung());

    // A press and its action list still go to the hung element.
    const double beforeActions = desktop.clockNow();
    EXPECT_FALSE(memory.copyActionNames(elements[0]).succeeded());
    EXPECT_NE(memory.performAction(elements[0], "AXPress"), Desktop::AxError::success);
    EXPECT_DOUBLE_EQ(desktop.clockNow() - beforeActions, 0.5);
}

TEST(HungElementMemory, AReadTheGuardTurnedAwayTellsNothingAboutItsElement) {
    const int hung = UnresponsiveClientGuard::unansweredLimit;
    Testing::SceneDesktop desktop(RoomcodeTesting::windowWithChildren(hung, 1));
    const auto elements = windowChildren(desktop.accessibility());
    UnresponsiveClientGuard guard(desktop.accessibility());
    HungElementMemory memory(guard);
    for (int i = 0; i < hung; ++i)
        EXPECT_FALSE(memory.copyAttributeValue(elements[i], "AXTitle").succeeded());
    ASSERT_TRUE(guard.clientTakenAsHung());
    const auto& answering = elements[hung];
    EXPECT_FALSE(memory.copyAttributeValue(answering, "AXTitle").succeeded());

    // The client answers again: the element that was turned away is read.
    EXPECT_TRUE(memory.copyActionNames(answering).succeeded());
    EXPECT_TRUE(memory.copyAttributeValue(answering, "AXTitle").succeeded());
}

}  // namespace
