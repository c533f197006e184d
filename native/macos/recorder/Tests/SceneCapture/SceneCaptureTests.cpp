#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/SimDesktop.hpp"
#include "SceneCapture/Redaction.hpp"
#include "SceneCapture/SceneCaptureMain.hpp"

namespace {

using Json = nlohmann::ordered_json;
using Desktop::AxValue;
using Desktop::Element;

std::string capture(std::string_view scene, const std::vector<std::string>& arguments = {}) {
    Desktop::Sim::loadScene(scene);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(SceneCapture::runSceneCapture(arguments, Desktop::current(), out, err), 0) << err.str();
    return out.str();
}

// Everything an Accessibility client can read of a desktop, in a canonical text:
// elements are named by the order a breadth-first walk over every element-valued
// attribute meets them, so two desktops describe alike exactly when no client
// could tell them apart by reading.
class Reader {
public:
    explicit Reader(Desktop::Accessibility& ax) : ax_(ax) {}

    std::string describe(const std::vector<Desktop::Pid>& pids) {
        for (const auto pid : pids)
            name(ax_.applicationElement(pid));
        std::ostringstream out;
        for (std::size_t i = 0; i < known_.size(); ++i) {
            const Element element = known_[i];  // describing it can name more elements
            out << "#" << i << " " << describeElement(element) << "\n";
        }
        return out.str();
    }

private:
    Desktop::Accessibility& ax_;
    std::vector<Element> known_;

    std::size_t name(const Element& element) {
        for (std::size_t i = 0; i < known_.size(); ++i) {
            if (ax_.equal(known_[i], element)) return i;
        }
        known_.push_back(element);
        return known_.size() - 1;
    }

    std::string value(const AxValue& v) {
        return std::visit(
            [&](const auto& x) -> std::string {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, std::string>) return "s:" + x;
                if constexpr (std::is_same_v<T, std::int64_t>) return "i:" + std::to_string(x);
                if constexpr (std::is_same_v<T, double>) return "f:" + std::to_string(x);
                if constexpr (std::is_same_v<T, bool>) return x ? "b:1" : "b:0";
                if constexpr (std::is_same_v<T, Element>) return "#" + std::to_string(name(x));
                if constexpr (std::is_same_v<T, Desktop::AxList>) {
                    std::string list = "[";
                    for (const auto& entry : x)
                        list += value(entry) + ",";
                    return list + "]";
                }
                if constexpr (std::is_same_v<T, Desktop::Point>)
                    return "p:" + std::to_string(x.x) + "," + std::to_string(x.y);
                if constexpr (std::is_same_v<T, Desktop::Size>)
                    return "z:" + std::to_string(x.width) + "," + std::to_string(x.height);
                if constexpr (std::is_same_v<T, Desktop::Url>) return "u:" + x.absoluteString;
                if constexpr (std::is_same_v<T, Desktop::OtherValue>) return "o:" + x.typeName;
            },
            v.data);
    }

    std::string read(const Desktop::PlatformResult<AxValue>& r) {
        if (r.code != 0) return "error " + std::to_string(r.code);
        return r.value ? value(*r.value) : "null";
    }

    std::string describeElement(const Element& element) {
        std::string out = "hash " + std::to_string(ax_.hash(element));
        const auto names = ax_.copyAttributeNames(element);
        std::set<std::string> attributes = {
            "AXRole", "AXTitle",         "AXValue",   "AXChildren", "AXWindows", "AXURL",       "AXPosition",
            "AXSize", "AXFocusedWindow", "AXEnabled", "AXHelp",     "AXSubrole", "AXMainWindow"};
        std::set<std::string> listed;
        std::vector<std::string> others;
        if (names.code != 0) out += " names error " + std::to_string(names.code);
        for (const auto& entry : names.value.value_or(Desktop::AxList{})) {
            if (const auto* text = std::get_if<std::string>(&entry.data)) {
                listed.insert(*text);
                attributes.insert(*text);
            } else {
                others.push_back(value(entry));
            }
        }
        out += " names {";
        for (const auto& n : listed)
            out += n + ",";
        for (const auto& o : others)
            out += o + ",";
        out += "}";
        for (const auto& attribute : attributes) {
            out += "\n  " + attribute + " = " + read(ax_.copyAttributeValue(element, attribute));
            const auto settable = ax_.isAttributeSettable(element, attribute);
            if (listed.contains(attribute) && settable.succeeded() && *settable.value) out += " (settable)";
        }
        const auto actions = ax_.copyActionNames(element);
        out +=
            "\n  actions " + (actions.code != 0 ? "error " + std::to_string(actions.code)
                                                : value(AxValue{actions.value.value_or(Desktop::AxList{})}));
        return out;
    }
};

std::string describe(std::string_view scene, const std::vector<Desktop::Pid>& pids) {
    Desktop::Sim::loadScene(scene);
    return Reader(Desktop::current().accessibility()).describe(pids);
}

// Shared elements, a cycle, an element only an attribute names, values of every
// type, failing reads and names lists with odd entries.
constexpr const char* awkwardTree = R"json({"accessibilityTrusted": true, "frontmost": 10,
  "applications": [{"pid": 10, "name": "Zoom", "bundleId": "us.zoom.xos",
    "attributes": {"AXFocusedWindow": {"ref": "w"}, "AXExtrasMenuBar": {"ref": "extras"}},
    "children": [{"ref": "w"}, {"id": "menu", "role": "AXMenuBar",
        "attributes": {"AXChildren": [{"ref": "shared"}]},
        "children": [{"id": "extras", "role": "AXMenuBar", "title": "only named by an attribute"}]}],
    "windows": [
      {"id": "w", "role": "AXWindow", "title": "Zoom Meeting", "hash": 7,
       "attributes": {"AXInt": 42, "AXFloat": 2.0, "AXFlag": false, "AXList": ["a", 1, {"ref": "w"}],
         "AXPosition": {"point": [100, -50.5]}, "AXSize": {"size": [800, 601]},
         "AXLink": {"url": "https://zoom.us/j/123"}, "AXRange": {"other": "AXValue(CFRange)"},
         "AXHung": {"error": -25204}, "AXNothing": null, "AXTitleUIElement": {"ref": "label"}},
       "attributeNames": [{"int": 3}], "settable": ["AXTitle"],
       "children": [
         {"id": "shared", "role": "AXGroup", "hash": 7, "actions": {"error": "cannotComplete"},
          "children": [{"ref": "w"}, {"id": "label", "role": "AXStaticText", "value": "Meeting ID: 812 3456 7890"}]},
         {"role": "AXButton", "title": "Mute", "actions": ["AXPress", {"int": 1}], "settable": ["AXValue"],
          "attributeNames": {"error": "failure"}}
       ]}]},
    {"pid": 11, "name": "Notes", "windows": [{"title": "not captured"}]}],
  "windowList": [{"kCGWindowOwnerPID": 10, "kCGWindowLayer": 0, "kCGWindowName": "Zoom Meeting",
                  "kCGWindowAlpha": 1.0, "kCGWindowIsOnscreen": true, "kCGWindowBounds": {"X": 0},
                  "kCGWindowSharingState": {"other": "CFDate"}, "kCGWindowMemoryUsage": 18446744073709551615},
                 "not a dictionary"]})json";

TEST(SceneCapture, ReplayReadsTheSameAsTheDesktopItCaptured) {
    const std::string captured = capture(awkwardTree);
    ASSERT_NO_THROW(Desktop::Sim::parseScene(captured)) << captured;
    EXPECT_EQ(describe(captured, {10}), describe(awkwardTree, {10}));

    // Each element once: the shared group and the cycle back to the window are references.
    const auto scene = Json::parse(captured);
    EXPECT_EQ(std::count(captured.begin(), captured.end(), '#'), 0);
    const std::string text = scene["applications"][0].dump();
    EXPECT_EQ(text.find("\"title\":\"Zoom Meeting\""), text.rfind("\"title\":\"Zoom Meeting\""));
    EXPECT_NE(text.find("only named by an attribute"), std::string::npos);
    // An application outside the chosen ones is listed without its tree.
    EXPECT_EQ(scene["applications"][1]["name"], "Notes");
    EXPECT_FALSE(scene["applications"][1].contains("windows"));
}

TEST(SceneCapture, WindowListAndAudioReadBackAlike) {
    constexpr const char* desk = R"json({"windowList": [
        {"kCGWindowOwnerPID": 10, "kCGWindowName": "x", "kCGWindowAlpha": 1.0, "kCGWindowLayer": 0,
         "kCGWindowIsOnscreen": true, "kCGWindowBounds": {"X": 0}, "kCGWindowList": [1],
         "kCGWindowNull": null, "kCGWindowDate": {"other": "CFDate"}, "kCGWindowBig": 18446744073709551615},
        "not a dictionary", 5],
      "audio": {"defaultInput": {"error": "who?"}, "defaultOutput": 41, "devices": [
        {"id": 40, "name": {"error": "!obj"}, "uid": null, "inputChannels": [1, 1], "running": true},
        {"id": 41, "name": "MacBook Pro Speakers", "uid": "BuiltInSpeakerDevice", "outputChannels": {"error": "what"},
         "mute": {"error": "nope"}, "volume": 0.8500000238418579}]}})json";
    const auto original = Desktop::Sim::parseScene(desk);
    const auto replayed = Desktop::Sim::parseScene(capture(desk));
    EXPECT_EQ(replayed.windowList, original.windowList);
    ASSERT_EQ(replayed.audio.devices.size(), 2U);
    EXPECT_EQ(replayed.audio.defaultInput.readError, original.audio.defaultInput.readError);
    EXPECT_EQ(replayed.audio.defaultOutput.value, original.audio.defaultOutput.value);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& a = original.audio.devices[i];
        const auto& b = replayed.audio.devices[i];
        EXPECT_EQ(b.name.readError, a.name.readError);
        EXPECT_EQ(b.name.value, a.name.value);
        EXPECT_EQ(b.uid.value, a.uid.value);
        EXPECT_EQ(b.inputChannels.buffers, a.inputChannels.buffers);
        EXPECT_EQ(b.outputChannels.error, a.outputChannels.error);
        EXPECT_EQ(b.running.value, a.running.value);
        EXPECT_EQ(b.mute.has_value(), a.mute.has_value());
        if (a.mute) {
            EXPECT_EQ(b.mute->readError, a.mute->readError);
        }
        EXPECT_EQ(b.volume.has_value(), a.volume.has_value());
        if (a.volume) {
            EXPECT_EQ(b.volume->value, a.volume->value);
        }
    }
    EXPECT_TRUE(Desktop::Sim::journal().empty());

    const auto none = Desktop::Sim::parseScene(capture(R"({"windowList": null})"));
    EXPECT_FALSE(none.windowList.has_value());
}

Json chain(int levels) {
    Json node = {{"role", "AXGroup"}, {"title", "level " + std::to_string(levels)}};
    for (int level = levels - 1; level >= 1; --level)
        node = {{"role", "AXGroup"}, {"title", "level " + std::to_string(level)}, {"children", {node}}};
    return node;
}

TEST(SceneCapture, LimitsLeaveElementsUnreadAndSaySo) {
    Json scene = {{"accessibilityTrusted", true},
                  {"frontmost", 10},
                  {"applications", {{{"pid", 10}, {"name", "Deep"}, {"windows", {chain(6)}}}}}};
    const auto deep = Json::parse(capture(scene.dump(), {"--depth", "3"}));
    const Json& level3 = deep["applications"][0]["windows"][0]["children"][0]["children"][0];
    EXPECT_EQ(level3["title"], "level 3");
    const Json& level4 = level3["children"][0];
    EXPECT_FALSE(level4.contains("title"));
    EXPECT_EQ(level4["comment"], "not read: deeper than 3 levels");
    EXPECT_NE(deep["comment"].get<std::string>().find("1 listed elements were left unread"),
              std::string::npos);

    const auto few = Json::parse(capture(scene.dump(), {"--elements", "3"}));
    const Json& second = few["applications"][0]["windows"][0]["children"][0];
    EXPECT_EQ(second["title"], "level 2");
    EXPECT_EQ(second["children"][0]["comment"],
              "not read: the limit of 3 elements for the application was reached");
}

TEST(SceneCapture, ResponseTimesAndHungElementsAreKept) {
    Json windows = Json::array();
    windows.push_back({{"title", "slow"}, {"responseTime", 0.3}});
    for (int i = 0; i < 12; ++i)
        windows.push_back({{"title", "hung " + std::to_string(i)}, {"responseTime", 1000}});
    Json scene = {
        {"accessibilityTrusted", true},
        {"frontmost", 10},
        {"applications", {{{"pid", 10}, {"name", "Busy"}, {"responseTime", 0.01}, {"windows", windows}}}}};
    const auto captured = Json::parse(capture(scene.dump()));
    const Json& app = captured["applications"][0];
    EXPECT_EQ(app["responseTime"], 0.01);
    EXPECT_EQ(app["windows"][0]["responseTime"], 0.3);
    EXPECT_EQ(app["windows"][0]["title"], "slow");
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(app["windows"][i]["responseTime"], SceneCapture::unansweredResponseTime) << i;
        EXPECT_FALSE(app["windows"][i].contains("title"));
    }
    // Eight unanswered in a row, then the rest is not asked: one time-out each for eight.
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyAttributeNames"), 2U + 8U);
    EXPECT_NE(captured["comment"].get<std::string>().find("Busy stopped answering"), std::string::npos);
}

TEST(SceneCapture, OneBatchReadPerElement) {
    Json children = Json::array();
    for (int i = 0; i < 50; ++i)
        children.push_back({{"role", "AXStaticText"}, {"value", "row " + std::to_string(i)}});
    Json scene = {
        {"accessibilityTrusted", true},
        {"frontmost", 10},
        {"applications", {{{"pid", 10}, {"windows", {{{"role", "AXWindow"}, {"children", children}}}}}}}};
    capture(scene.dump(), {"--settable", "none"});
    const std::uint64_t elements = 52;  // application, window, 50 texts
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyAttributeNames"), elements);
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyMultipleAttributeValues"), elements);
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyActionNames"), elements);
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyAttributeValue"), 0U);
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.isAttributeSettable"), 0U);

    capture(scene.dump(), {"--settable", "AXValue"});
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.isAttributeSettable"), 50U);
}

TEST(SceneCapture, NothingReadWithoutTrust) {
    Json untrusted = Json::parse(awkwardTree);
    untrusted["accessibilityTrusted"] = false;
    const auto bare = Json::parse(capture(untrusted.dump()));
    EXPECT_FALSE(bare["accessibilityTrusted"]);
    EXPECT_FALSE(bare["applications"][0].contains("windows"));
    EXPECT_EQ(Desktop::Sim::requestCount("accessibility.copyAttributeNames"), 0U);
}

TEST(SceneCaptureRedaction, MasksPeoplesWordsAndKeepsWhatTheRulesRead) {
    struct Case {
        std::string text;
        std::string written;
    } cases[] = {
        {"Anna Lopez", "xxxx xxxxx"},
        {"Jos\xC3\xA9 Mar\xC3\xAD\x61", "xxxx xxxxx"},  // one x per character, not per byte
        {"Could you send me the slides after this?", "xxxxx you xxxx xx the xxxxxx xxxxx this?"},
        {"Anna (Host, me)", "xxxx (Host, xx)"},  // roomcode passes over a text that names the host
        {"Chat with Ana Lopez", "Chat xxxx xxx xxxxx"},
        {"Mute my audio", "Mute xx audio"},
        {"00:12:34", "00:12:34"},
        {"", ""},
        // Whole, because masking would change what a rule reads.
        {"Meeting ID: 812 3456 7890", "Meeting ID: 812 3456 7890"},
        {"https://zoom.us/j/81234567890?pwd=abc", "https://zoom.us/j/81234567890?pwd=abc"},
        {"abc-defg-hij", "abc-defg-hij"},  // a Google Meet code, which the meeting's fingerprint holds
        {"You're the only one here", "You're the only one here"},
        {"Please wait, the meeting host will let you in soon",
         "Please wait, the meeting host will let you in soon"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SceneCapture::redactedText(c.text), c.written) << c.text;
    const std::string transcript(SceneCapture::longestMaskedText + 1, 'a');
    EXPECT_EQ(SceneCapture::redactedText(transcript), transcript);
    EXPECT_TRUE(SceneCapture::isStructuralAttribute("AXIdentifier"));
    EXPECT_FALSE(SceneCapture::isStructuralAttribute("AXTitle"));
}

TEST(SceneCaptureRedaction, AppliesToTextsButNotToNamesOfTheInterface) {
    constexpr const char* chat = R"json({"accessibilityTrusted": true, "frontmost": 10,
      "applications": [{"pid": 10, "name": "zoom.us", "windows": [{"title": "Chat with Anna", "identifier": "chatWindow",
        "children": [{"role": "AXStaticText", "value": "Anna Lopez", "attributes": {"AXList": ["Bob Stone", 3]}},
                     {"role": "AXLink", "url": "https://example.com/u/anna"}]}]}],
      "windowList": [{"kCGWindowOwnerPID": 10, "kCGWindowLayer": 0, "kCGWindowOwnerName": "zoom.us",
                      "kCGWindowName": "Chat with Anna"}]})json";
    const auto redacted = Json::parse(capture(chat, {"--redact"}));
    const Json& app = redacted["applications"][0];
    EXPECT_EQ(app["title"], "zoom.us");
    EXPECT_EQ(app["windows"][0]["identifier"], "chatWindow");
    EXPECT_EQ(app["windows"][0]["title"], "Chat xxxx xxxx");
    const Json& text = app["windows"][0]["children"][0];
    EXPECT_EQ(text["role"], "AXStaticText");
    EXPECT_EQ(text["value"], "xxxx xxxxx");
    EXPECT_EQ(text["attributes"]["AXList"], Json::parse(R"(["xxx xxxxx", 3])"));
    EXPECT_EQ(app["windows"][0]["children"][1]["url"], "xxxxx://xxxxxxx.xxx/x/xxxx");
    EXPECT_EQ(redacted["windowList"][0]["kCGWindowName"], "Chat xxxx xxxx");
    EXPECT_EQ(redacted["windowList"][0]["kCGWindowOwnerName"], "zoom.us");

    const auto plain = Json::parse(capture(chat));
    EXPECT_EQ(plain["applications"][0]["windows"][0]["children"][0]["value"], "Anna Lopez");
}

TEST(SceneCaptureOptions, RefusesWhatItCannotUse) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{"--depth"}, "--depth needs a value"},
        {{"--depth", "-1"}, "--depth takes a whole number, 0 or more: -1"},
        {{"--elements", "0"}, "--elements takes a whole number, 1 or more: 0"},
        {{"--timeout", "0"}, "--timeout takes seconds, more than 0: 0"},
        {{"--timeout", "soon"}, "--timeout takes seconds, more than 0: soon"},
        {{"--only"}, "--only needs at least one --app"},
        {{"--press"}, "unknown argument --press"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SceneCapture::parseOptions(c.arguments).error, c.error);

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(SceneCapture::runSceneCapture({"--depth", "x"}, Desktop::current(), out, err), 2);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("usage: scenecapture"), std::string::npos);
}

TEST(SceneCaptureOptions, ChoosesApplications) {
    constexpr const char* desk = R"json({"accessibilityTrusted": true, "frontmost": 1000,
      "applications": [{"pid": 1000, "name": "Finder", "bundleId": "com.apple.finder"},
                       {"pid": 1001, "name": "zoom.us", "bundleId": "us.zoom.xos"},
                       {"pid": 1002, "name": "Slack"}, {"pid": 1003, "name": "Safari"}, {"pid": 1004, "name": "Mail"}],
      "windowList": [{"kCGWindowOwnerPID": 1002, "kCGWindowLayer": 0}, {"kCGWindowOwnerPID": 1003, "kCGWindowLayer": 8}]})json";
    const auto tree = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> names;
        const auto scene = Json::parse(capture(desk, arguments));
        for (const auto& app : scene["applications"]) {
            if (app.contains("hash")) names.push_back(app["name"]);
        }
        return names;
    };
    EXPECT_EQ(tree({}), (std::vector<std::string>{"Finder", "zoom.us", "Slack"}));
    EXPECT_EQ(tree({"--app", "1004"}), (std::vector<std::string>{"Finder", "zoom.us", "Slack", "Mail"}));
    EXPECT_EQ(tree({"--only", "--app", "Safari", "--app", "com.apple.finder"}),
              (std::vector<std::string>{"Finder", "Safari"}));
    EXPECT_EQ(tree({"--all-apps"}).size(), 5U);
}

}  // namespace
