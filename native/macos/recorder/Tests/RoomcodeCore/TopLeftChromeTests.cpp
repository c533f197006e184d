#include <gtest/gtest.h>

#include "FakeNodes.hpp"
#include "RoomcodeCore/TopLeftChrome.hpp"
#include "RoomcodeCore/WindowChromeButtons.hpp"

namespace {

using namespace RoomcodeTesting;
namespace Chrome = RoomcodeCore::TopLeftChrome;
using RoomcodeCore::WindowChromeButtons::isWindowButton;

FakeNodePtr at(const std::string& key, std::optional<Point> position) {
    return node({.key = key, .position = position, .pressable = true});
}

std::vector<AXNodePtr> asNodes(const std::vector<FakeNodePtr>& nodes) {
    return {nodes.begin(), nodes.end()};
}

TEST(WindowButtons, SubroleTitleOrRoleDescriptionMarksTheWindowsOwnButtons) {
    const std::vector<std::pair<NodeAttributes, bool>> cases = {
        {{.key = "c", .title = "Meeting info", .subrole = "AXCloseButton"}, true},
        {{.key = "m", .subrole = "AXMinimizeButton"}, true},
        {{.key = "z", .subrole = "AXZoomButton"}, true},
        {{.key = "f", .subrole = "AXFullScreenButton"}, true},
        {{.key = "t", .title = "ZOOM"}, true},
        {{.key = "t", .title = "Close"}, true},
        {{.key = "t", .title = "Exit Full Screen"}, true},
        {{.key = "t", .title = "Zoom Meeting"}, false},
        {{.key = "t", .title = "Closed captions"}, false},
        {{.key = "r", .roleDescription = "close button"}, true},
        {{.key = "r", .roleDescription = "button"}, false},
        {{.key = "n"}, false},
    };
    for (const auto& [attributes, expected] : cases) {
        SCOPED_TRACE(testing::Message() << attributes.key << " " << attributes.title.value_or(""));
        EXPECT_EQ(isWindowButton(*node(attributes)), expected);
    }
}

TEST(BesideMeetingTitle, RanksControlsJustLeftOfTheTitleNearestFirst) {
    ManualClock clock;
    const FakeNodePtr title = node({.key = "title", .position = Point{200, 100}, .value = "Zoom Meeting"});
    const FakeNodePtr window = node({.key = "window", .position = Point{0, 0}}, {title});
    const std::vector<FakeNodePtr> pressables = {
        at("far", Point{130, 100}),                                  // dx 70: score 4900
        at("near", Point{170, 105}),                                 // dx 30, dy 5: score 925
        at("too-far", Point{119, 100}),                              // dx 81
        at("too-low", Point{190, 121}),                              // dy 21
        at("right", Point{210, 100}),                                // right of the title
        at("on-edge", Point{200, 100}),                              // dx 0
        at("no-position", std::nullopt), at("tie", Point{170, 95}),  // score 925 too, listed after "near"
    };
    EXPECT_EQ(keys(Chrome::pressablesBesideMeetingTitle({.window = window, .pressables = asNodes(pressables)},
                                                        clock)),
              (std::vector<std::string>{"near", "tie", "far"}));
}

TEST(BesideMeetingTitle, AControlBesideTwoTitlesIsListedTwiceAndUntitledWindowsGiveNothing) {
    ManualClock clock;
    const FakeNodePtr window =
        node({.key = "window"}, {node({.key = "t1", .title = "My Zoom Meeting", .position = Point{200, 100}}),
                                 node({.key = "t2", .title = "ZOOM MEETING", .position = Point{210, 100}})});
    const std::vector<FakeNodePtr> pressables = {at("button", Point{180, 100})};
    EXPECT_EQ(keys(Chrome::pressablesBesideMeetingTitle({.window = window, .pressables = asNodes(pressables)},
                                                        clock)),
              (std::vector<std::string>{"button", "button"}));

    const FakeNodePtr untitled =
        node({.key = "window"}, {node({.key = "t", .title = "Meeting", .position = Point{200, 100}})});
    EXPECT_TRUE(
        Chrome::pressablesBesideMeetingTitle({.window = untitled, .pressables = asNodes(pressables)}, clock)
            .empty());
}

TEST(RankedPressables, BoxNearTheTopLeftCornerNearestToTheAnchorFirst) {
    const FakeNodePtr window = node({.key = "window", .position = Point{100, 50}});
    const std::vector<FakeNodePtr> pressables = {
        at("far-corner", Point{270, 98}),  // inside at the far corner
        at("left-edge", Point{178, 50}),   // dx 78: inside
        at("anchor", Point{202, 72}),      // score 0
        at("dx-77", Point{177, 50}),      at("dx-171", Point{271, 60}),    at("above", Point{202, 49}),
        at("below", Point{202, 99}),      at("no-position", std::nullopt),
    };
    EXPECT_EQ(keys(Chrome::rankedPressables({.window = window, .pressables = asNodes(pressables)})),
              (std::vector<std::string>{"anchor", "left-edge", "far-corner"}));

    const FakeNodePtr unplaced = node({.key = "window"});
    EXPECT_TRUE(Chrome::rankedPressables({.window = unplaced, .pressables = asNodes(pressables)}).empty());
}

}  // namespace
