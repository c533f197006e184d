#include "ZoomClientScene.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace Bench {

namespace {

using Json = nlohmann::ordered_json;

constexpr double windowX = 100;
constexpr double windowY = 50;

Json point(double x, double y) {
    return Json{{"point", {x, y}}};
}

Json size(double width, double height) {
    return Json{{"size", {width, height}}};
}

Json text(std::string value, double x, double y) {
    return Json{{"role", "AXStaticText"},
                {"value", std::move(value)},
                {"attributes", {{"AXPosition", point(x, y)}, {"AXSize", size(120, 18)}}}};
}

Json button(std::string title, double x, double y) {
    return Json{{"role", "AXButton"},
                {"title", std::move(title)},
                {"actions", {"AXPress"}},
                {"attributes", {{"AXPosition", point(x, y)}, {"AXSize", size(28, 28)}}}};
}

Json windowButton(const char* subrole, double x) {
    return Json{{"role", "AXButton"},
                {"subrole", subrole},
                {"actions", {"AXPress"}},
                {"attributes", {{"AXPosition", point(x, windowY + 6)}, {"AXSize", size(14, 16)}}}};
}

Json group(std::string description, Json children) {
    return Json{
        {"role", "AXGroup"}, {"description", std::move(description)}, {"children", std::move(children)}};
}

Json window(const std::string& id, const std::string& title, double x, double y, Json children) {
    return Json{{"id", id},
                {"role", "AXWindow"},
                {"subrole", "AXStandardWindow"},
                {"title", title},
                {"attributes", {{"AXPosition", point(x, y)}, {"AXSize", size(1280, 800)}}},
                {"children", std::move(children)}};
}

// Counts the elements of a subtree as it is built, so each window comes out at
// the size asked for.
std::int64_t countNodes(const Json& element) {
    std::int64_t count = 1;
    if (element.contains("children")) {
        for (const Json& child : element["children"])
            count += countNodes(child);
    }
    return count;
}

// One participant's video tile: five elements.
Json tile(std::int64_t participant, double x, double y) {
    const std::string name = "Participant " + std::to_string(participant);
    return Json{
        {"role", "AXGroup"},
        {"description", name + " video"},
        {"attributes", {{"AXPosition", point(x, y)}, {"AXSize", size(240, 135)}}},
        {"children",
         {text(name, x + 8, y + 110), Json{{"role", "AXImage"}, {"description", "Video off"}},
          text("Computer audio muted", x + 8, y + 90), button("More options for " + name, x + 200, y + 8)}}};
}

// Tiles in rows of five, then single texts, until `nodes` elements are used.
Json gallery(std::int64_t nodes) {
    Json rows = Json::array();
    std::int64_t left = nodes - 1;
    std::int64_t participant = 1;
    constexpr std::int64_t tileNodes = 5;
    for (int row = 0; left >= 1 + tileNodes; ++row) {
        Json tiles = Json::array();
        --left;
        for (int column = 0; column < 5 && left >= tileNodes; ++column, left -= tileNodes) {
            tiles.push_back(
                tile(participant++, windowX + 20 + column * 250, windowY + 150 + (row % 4) * 145));
        }
        rows.push_back(group("Gallery row", std::move(tiles)));
    }
    for (; left > 0; --left)
        rows.push_back(text("Speaker view", windowX + 20, windowY + 760));
    return group("Gallery view", std::move(rows));
}

Json meetingWindow(const ZoomClientShape& shape) {
    Json header = Json::array();
    Json info = button("", windowX + 76, windowY + 4);
    info.erase("title");
    info["id"] = "info";
    info["description"] = "Meeting information";
    info["press"] = {{"toggle", {"infoPopover"}}};
    header.push_back(std::move(info));
    header.push_back(text("Zoom Meeting", windowX + 500, windowY + 4));
    if (shape.idShown == MeetingIdShown::inWindow) {
        header.push_back(text("Meeting ID: 812 3456 7890", windowX + 640, windowY + 4));
    }
    header.push_back(button("View", windowX + 1180, windowY + 4));

    Json close = button("Close", windowX + 420, windowY + 40);
    close["id"] = "infoClose";
    close["identifier"] = "meeting-information-close";
    close["press"] = {{"hide", {"infoPopover"}}};
    Json popover{
        {"id", "infoPopover"},
        {"role", "AXPopover"},
        {"hidden", true},
        {"attributes", {{"AXPosition", point(windowX + 76, windowY + 30)}, {"AXSize", size(360, 220)}}},
        {"children",
         {text("Weekly planning", windowX + 90, windowY + 40), text("Meeting ID", windowX + 90, windowY + 70),
          text("812 3456 7890", windowX + 200, windowY + 70), text("Host", windowX + 90, windowY + 95),
          text("Alex Example", windowX + 200, windowY + 95), text("Passcode", windowX + 90, windowY + 120),
          text("482913", windowX + 200, windowY + 120),
          button("Copy Invite Link", windowX + 90, windowY + 150), std::move(close)}}};

    Json controls = Json::array();
    double x = windowX + 20;
    for (const char* title : {"Mute", "Stop Video", "Security", "Participants", "Chat", "Share Screen",
                              "Record", "Reactions", "Apps", "Leave"}) {
        controls.push_back(button(title, x, windowY + 760));
        x += 110;
    }

    Json children{windowButton("AXCloseButton", windowX + 8),
                  windowButton("AXMinimizeButton", windowX + 28),
                  windowButton("AXFullScreenButton", windowX + 48),
                  group("Meeting header", std::move(header)),
                  std::move(popover),
                  group("Meeting controls", std::move(controls))};
    Json meeting = window("meeting", "Zoom Meeting", windowX, windowY, std::move(children));
    meeting["focused"] = true;
    meeting["main"] = true;
    // The popover is hidden until pressed open, so it does not count.
    const std::int64_t used = countNodes(meeting) - countNodes(meeting["children"][4]);
    meeting["children"].push_back(gallery(std::max<std::int64_t>(1, shape.meetingWindowNodes - used)));
    return meeting;
}

Json homeWindow(std::int64_t nodes) {
    Json children = Json::array();
    for (const char* title :
         {"Home", "Team Chat", "Meetings", "Contacts", "New meeting", "Join", "Schedule", "Share screen"}) {
        children.push_back(button(title, 60, 80));
    }
    for (std::int64_t item = 1; static_cast<std::int64_t>(children.size()) + 1 < nodes; ++item)
        children.push_back(text("Recent meeting " + std::to_string(item), 60, 200));
    Json home = window("home", "Zoom Workplace", 40, 40, std::move(children));
    home["identifier"] = "zoom-home";
    return home;
}

Json panelWindow(int index, std::int64_t nodes) {
    constexpr std::array<std::string_view, 6> titles{"Participants (24)", "Meeting Chat", "Zoom Apps",
                                                     "Whiteboards",       "Notes",        "Captions"};
    const std::string title(titles[static_cast<std::size_t>(index) % titles.size()]);
    Json rows = Json::array();
    rows.push_back(text(title, 1420, 70));
    std::int64_t left = nodes - 2;
    for (std::int64_t row = 1; left >= 3; ++row, left -= 3) {
        rows.push_back(
            group("Row", {text("Participant " + std::to_string(row), 1420, 100), button("More", 1600, 100)}));
    }
    for (; left > 0; --left)
        rows.push_back(text("", 1420, 700));
    return window("panel" + std::to_string(index), title, 1400, 50, std::move(rows));
}

Json windowListEntry(const Json& window, int number) {
    const auto& position = window["attributes"]["AXPosition"]["point"];
    return Json{
        {"kCGWindowOwnerName", "zoom.us"},
        {"kCGWindowOwnerPID", 501},
        {"kCGWindowLayer", 0},
        {"kCGWindowName", window["title"]},
        {"kCGWindowNumber", 8800 + number},
        {"kCGWindowAlpha", 1.0},
        {"kCGWindowBounds", {{"X", position[0]}, {"Y", position[1]}, {"Width", 1280}, {"Height", 800}}}};
}

}  // namespace

std::int64_t homeWindowNodes(std::int64_t meetingWindowNodes) {
    return std::max<std::int64_t>(20, meetingWindowNodes / 4);
}

std::int64_t panelWindowNodes(std::int64_t meetingWindowNodes) {
    return std::max<std::int64_t>(20, meetingWindowNodes / 10);
}

nlohmann::ordered_json zoomClientScene(const ZoomClientShape& shape) {
    Json windows = Json::array();
    windows.push_back(meetingWindow(shape));
    if (shape.windows >= 2) windows.push_back(homeWindow(homeWindowNodes(shape.meetingWindowNodes)));
    for (int index = 0; index + 2 < shape.windows; ++index)
        windows.push_back(panelWindow(index, panelWindowNodes(shape.meetingWindowNodes)));

    Json windowList = Json::array();
    for (std::size_t index = 0; index < windows.size(); ++index)
        windowList.push_back(windowListEntry(windows[index], static_cast<int>(index)));

    return Json{
        {"description", "Generated Zoom client: " + std::to_string(shape.meetingWindowNodes) +
                            "-element meeting window, " + std::to_string(shape.windows) + " windows"},
        {"accessibilityTrusted", true},
        {"frontmost", 501},
        {"applications",
         {{{"pid", 501},
           {"name", "zoom.us"},
           {"bundleId", "us.zoom.xos"},
           {"responseTime", shape.responseTime},
           {"windows", std::move(windows)}}}},
        {"windowList", std::move(windowList)},
        {"audio",
         {{"defaultInput", 40},
          {"devices",
           {{{"id", 40},
             {"name", "MacBook Pro Microphone"},
             {"uid", "BuiltInMicrophoneDevice"},
             {"inputChannels", {1}},
             {"running", true}}}}}},
    };
}

}  // namespace Bench
