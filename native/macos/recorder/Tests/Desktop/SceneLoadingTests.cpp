#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/Scene.hpp"
#include "Desktop/sim/SimDesktop.hpp"

namespace {

using Desktop::Sim::SceneError;

struct BrokenScene {
    const char* name;
    const char* json;
    const char* pointer;
    const char* message;  // a part of the message
};

TEST(SceneLoading, ABrokenSceneNamesThePlaceOfTheFault) {
    const BrokenScene cases[] = {
        {"NotJson", "{\n  \"applications\": [1,]\n}", "", "not valid JSON at line 2"},
        {"UnknownValueType",
         R"({"applications": [{"pid": 1, "windows": [{}, {"attributes": {"AXValue": {"flot": 2}}}]}]})",
         "/applications/0/windows/1/attributes/AXValue", "unknown value type \"flot\""},
        {"RefToNothing",
         R"({"applications": [{"pid": 1, "attributes": {"AXFocusedWindow": {"ref": "meeting"}}}]})",
         "/applications/0/attributes/AXFocusedWindow/ref", "no element has the id \"meeting\""},
        {"PressOfNothing", R"({"applications": [{"pid": 1, "windows": [{"press": {"show": ["popover"]}}]}]})",
         "/applications/0/windows/0/press/show/0", "no element has the id \"popover\""},
        {"DuplicateId",
         R"({"applications": [{"pid": 1, "windows": [{"id": "w"}, {"children": [{"id": "w"}]}]}]})",
         "/applications/0/windows/1/children/0/id", "duplicate id \"w\""},
        {"PidOfWrongType", R"({"applications": [{"pid": "501"}]})", "/applications/0/pid",
         "expected an integer"},
        {"DuplicatePid", R"({"applications": [{"pid": 5}, {"pid": 5}]})", "/applications/1/pid",
         "another application has pid 5"},
        {"MisspeltKey", R"({"applications": [{"pid": 1, "windows": [{"titel": "x"}]}]})",
         "/applications/0/windows/0/titel", "unknown key"},
        {"FrontmostNotRunning", R"({"frontmost": 7})", "/frontmost", "no application has pid 7"},
        {"ChangeDoingTwoThings",
         R"({"audio": {"devices": [{"id": 5}], "changes": [{"removeDevice": 5, "setDefaultOutput": 5}]}})",
         "/audio/changes/0", "a change does one of"},
        {"ChangeDoingNothing", R"({"audio": {"changes": [{"afterEvent": "play", "after": 1}]}})",
         "/audio/changes/0", "a change does one of"},
        {"ChangeOfAnUnknownDevice",
         R"({"audio": {"devices": [{"id": 5}], "changes": [{"addDevice": {"id": 6}}, {"removeDevice": 7}]}})",
         "/audio/changes/1/removeDevice", "no device has id 7"},
        {"ChangeBeforeTime",
         R"({"audio": {"devices": [{"id": 5}], "changes": [{"after": -1, "removeDevice": 5}]}})",
         "/audio/changes/0/after", "0 or more"},
        {"AddedDeviceMisspelt", R"({"audio": {"changes": [{"addDevice": {"id": 6, "uuid": "x"}}]}})",
         "/audio/changes/0/addDevice/uuid", "unknown key"},
        {"ErrorInsideList",
         R"({"applications": [{"pid": 1, "attributes": {"AXWindows": [{"error": -25204}]}}]})",
         "/applications/0/attributes/AXWindows/0", "only for a whole attribute"},
        {"PointOfOneNumber",
         R"({"applications": [{"pid": 1, "attributes": {"AXPosition": {"point": [1]}}}]})",
         "/applications/0/attributes/AXPosition/point", "two numbers"},
        {"UnknownAxErrorName",
         R"({"applications": [{"pid": 1, "attributes": {"AXTitle": {"error": "sometimes"}}}]})",
         "/applications/0/attributes/AXTitle/error", "unknown AXError name"},
        {"DuplicateDevice", R"({"audio": {"devices": [{"id": 40}, {"id": 40}]}})", "/audio/devices/1/id",
         "another device has id 40"},
        {"StatusOfFiveCharacters", R"({"audio": {"defaultOutput": {"value": 2, "writeError": "nope!"}}})",
         "/audio/defaultOutput/writeError", "four characters"},
        {"NegativeDuration", R"({"files": {"/a.wav": {"duration": -1}}})", "/files/~1a.wav/duration",
         "0 or more"},
        {"UnknownClock", R"({"clock": "fast"})", "/clock", "\"virtual\" or \"real\""},
        {"TwoFocusedWindows",
         R"({"applications": [{"pid": 1, "windows": [{"focused": true}, {"focused": true}]}]})",
         "/applications/0/windows/1/focused", "already focused"},
        {"GeneratedStringWithUnknownKey",
         R"({"applications": [{"pid": 1, "title": {"repeat": "ab", "count": 2, "times": 3}}]})",
         "/applications/0/title/times", "unknown key"},
        {"GeneratedStringWithoutCount",
         R"({"applications": [{"pid": 1, "windows": [{"value": {"repeat": "ab"}}]}]})",
         "/applications/0/windows/0/value", "needs a \"count\""},
        {"GeneratedStringOfNegativeCount",
         R"({"applications": [{"pid": 1, "windows": [{"value": {"repeat": "ab", "count": -1}}]}]})",
         "/applications/0/windows/0/value/count", "cannot be negative"},
        {"GeneratedStringOfFractionalCount",
         R"({"applications": [{"pid": 1, "windows": [{"value": {"repeat": "a", "count": 2.5}}]}]})",
         "/applications/0/windows/0/value/count", "expected an integer"},
        {"GeneratedStringOfNothing",
         R"({"applications": [{"pid": 1, "windows": [{"value": {"repeat": "", "count": 3}}]}]})",
         "/applications/0/windows/0/value/repeat", "nothing to repeat"},
        {"GeneratedStringOfWrongType",
         R"({"applications": [{"pid": 1, "windows": [{"value": {"repeat": 7, "count": 3}}]}]})",
         "/applications/0/windows/0/value/repeat", "expected a string"},
        {"GeneratedStringTooLong",
         R"({"applications": [{"pid": 1, "windows": [{"title": {"repeat": "abcd", "count": 16777217}}]}]})",
         "/applications/0/windows/0/title/count", "longer than 67108864 bytes"},
        {"GeneratedStringOfHugeCount",
         R"({"windowList": [{"kCGWindowName": {"repeat": "a", "count": 18446744073709551615}}]})",
         "/windowList/0/kCGWindowName/count", "longer than"},
        {"GeneratedStringWithLongPrefix",
         R"({"windowList": [{"kCGWindowName": {"repeat": "a", "count": 0, "prefix": 5}}]})",
         "/windowList/0/kCGWindowName/prefix", "expected a string"},
        {"ChildRefToNothing",
         R"({"applications": [{"pid": 1, "windows": [{"children": [{"ref": "nowhere"}]}]}]})",
         "/applications/0/windows/0/children/0/ref", "no element has the id \"nowhere\""},
        {"ChildRefWithElementKeys",
         R"({"applications": [{"pid": 1, "windows": [{"id": "w", "children": [{"ref": "w", "role": "AXGroup"}]}]}]})",
         "/applications/0/windows/0/children/0/role", "unknown key"},
        {"WindowAsRef", R"({"applications": [{"pid": 1, "windows": [{"id": "w"}, {"ref": "w"}]}]})",
         "/applications/0/windows/1/ref", "unknown key"},
    };
    for (const auto& broken : cases) {
        SCOPED_TRACE(broken.name);
        try {
            (void)Desktop::Sim::parseScene(broken.json);
            ADD_FAILURE() << "the scene was accepted";
        } catch (const SceneError& error) {
            EXPECT_EQ(error.pointer(), broken.pointer);
            EXPECT_NE(std::string(error.what()).find(broken.message), std::string::npos) << error.what();
        }
    }
}

TEST(SceneLoading, BrokenSceneLeavesTheDesktopAsItWas) {
    Desktop::Sim::loadScene(R"({"accessibilityTrusted": true})");
    EXPECT_THROW(Desktop::Sim::loadScene(R"({"accessibilityTrusted": 1})"), SceneError);
    EXPECT_TRUE(Desktop::current().accessibility().isProcessTrusted());
}

TEST(SceneLoading, ReferencesMayPointForwardAndAcrossApplications) {
    const auto scene = Desktop::Sim::parseScene(R"({"applications": [
        {"pid": 1, "attributes": {"AXFocusedWindow": {"ref": "later"}}},
        {"pid": 2, "windows": [{"id": "later"}]}]})");
    const auto* focused = scene.elements[scene.applications[0].element].attribute("AXFocusedWindow");
    ASSERT_NE(focused, nullptr);
    const auto& ref = std::get<Desktop::Sim::ElementRef>(focused->value.data);
    EXPECT_EQ(scene.elements[ref.node].id, "later");
    EXPECT_EQ(scene.elements[ref.node].pointer, "/applications/1/windows/0");
}

TEST(SceneLoading, GeneratedStringsStandForTheirTextWhereverAStringGoes) {
    const auto scene = Desktop::Sim::parseScene(R"({
        "applications": [{"pid": 1, "windows": [{
            "title": {"repeat": "ab", "count": 3, "prefix": "<", "suffix": ">"},
            "attributes": {"AXHelp": {"repeat": "é", "count": 2}, "AXValue": [{"repeat": "x", "count": 0}]}}]}],
        "windowList": [{"kCGWindowName": {"repeat": "zoom ", "count": 2, "suffix": "call"},
                        "kCGWindowBounds": {"X": 0}}]})");
    const auto& window = scene.elements[scene.elements[scene.applications[0].element].windows[0]];
    EXPECT_EQ(std::get<std::string>(window.attribute("AXTitle")->value.data), "<ababab>");
    EXPECT_EQ(std::get<std::string>(window.attribute("AXHelp")->value.data), "éé");
    const auto& list = std::get<Desktop::Sim::SceneList>(window.attribute("AXValue")->value.data);
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(std::get<std::string>(list[0].data), "");
    const auto& entry = *scene.windowList->at(0);
    EXPECT_EQ(std::get<std::string>(entry.at("kCGWindowName")), "zoom zoom call");
    // Any other object is still a dictionary of the window server's.
    EXPECT_EQ(std::get<Desktop::OtherValue>(entry.at("kCGWindowBounds")).typeName, "CFDictionary");
}

TEST(SceneLoading, ChildrenMayBeReferencesAlsoToAnAncestorOrTheElementItself) {
    const auto scene = Desktop::Sim::parseScene(R"({"applications": [{"pid": 1, "windows": [
        {"id": "w", "children": [
            {"id": "g", "children": [{"ref": "g"}, {"ref": "w"}, {"ref": "later"}]},
            {"id": "later"}]}]}]})");
    const auto& elements = scene.elements;
    const auto node = [&](const char* id) {
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (elements[i].id == id) return i;
        }
        throw std::runtime_error(id);
    };
    EXPECT_EQ(elements[node("g")].children,
              (std::vector<Desktop::Sim::NodeIndex>{node("g"), node("w"), node("later")}));
    // A reference adds no element: each keeps its one place in the file.
    EXPECT_EQ(elements.size(), 4U);
    EXPECT_EQ(elements[node("w")].parent, scene.applications[0].element);
    EXPECT_EQ(elements[node("g")].parent, node("w"));
}

}  // namespace
