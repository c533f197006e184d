#include <gtest/gtest.h>

#include <string>

#include "Callsense/WithheldWindowNames.hpp"
#include "Support/SceneDesktop.hpp"

namespace Callsense {
namespace {

using Testing::Json;

constexpr int chrome = 610;

Json bounds(double x, double y, double width, double height) {
    return {{"X", x}, {"Y", y}, {"Width", width}, {"Height", height}};
}

// A dictionary as the window server gives it to a process without Screen Recording.
Json namelessWindow(int pid, std::string_view owner, const Json& frame) {
    return {{"kCGWindowOwnerName", owner},
            {"kCGWindowOwnerPID", pid},
            {"kCGWindowLayer", 0},
            {"kCGWindowBounds", frame}};
}

Json axWindow(std::string_view title, double x, double y, double width, double height) {
    return {{"role", "AXWindow"},
            {"title", title},
            {"attributes", {{"AXPosition", {{"point", {x, y}}}}, {"AXSize", {{"size", {width, height}}}}}}};
}

Json chromeApp(Json windows, double responseTime = 0) {
    return {{"pid", chrome},
            {"name", "Google Chrome"},
            {"responseTime", responseTime},
            {"windows", std::move(windows)}};
}

// A trusted desktop of the test's own with these applications and this window
// list, after the lookup.
struct Lookup {
    Lookup(const Json& applications, const Json& windowList, Desktop::Pid frontmostPid = chrome)
        : desktop(
              {{"accessibilityTrusted", true}, {"applications", applications}, {"windowList", windowList}}),
          windows(desktop.windowServer().onScreenWindows().value()) {
        readWithheldWindowNames(desktop, windows, frontmostPid);
    }

    Testing::SceneDesktop desktop;
    WindowList windows;

    // The names the lookup left in the list, "-" where the key is still missing.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& window : windows) {
            const auto name = window ? windowString(*window, WindowKey::name) : std::nullopt;
            found.push_back(
                name.value_or(window && window->contains(WindowKey::name) ? "(not a string)" : "-"));
        }
        return found;
    }
    std::uint64_t singleReads() { return desktop.requestCount("accessibility.copyAttributeValue"); }
    std::uint64_t batches() { return desktop.requestCount("accessibility.copyMultipleAttributeValues"); }
};

TEST(WithheldWindowNames, EachWindowTakesTheTitleOfTheOneAccessibilityWindowWithItsFrame) {
    const Json apps = Json::array({
        chromeApp(Json::array(
            {axWindow("Meet \u2013 abc-defg-hij", 0, 25, 1440, 875), axWindow("Inbox", 200, 100, 900, 700)})),
        {{"pid", 7}, {"name", "Notes"}, {"windows", Json::array({axWindow("Shopping", 0, 25, 1440, 875)})}},
    });
    const Json list = Json::array({
        namelessWindow(7, "Notes", bounds(0, 25, 1440, 875)),  // not the frontmost application
        namelessWindow(chrome, "Google Chrome", bounds(200, 100, 900, 700)),
        namelessWindow(chrome, "Google Chrome", bounds(0, 25, 1440, 875)),
        namelessWindow(chrome, "Google Chrome", bounds(0, 0, 1440, 25)),  // no window has this frame
        namelessWindow(chrome, "Google Chrome", bounds(200, 100, 900, 700.5)),
    });
    Lookup lookup(apps, list);
    EXPECT_EQ(lookup.names(), (std::vector<std::string>{"-", "Inbox", "Meet \u2013 abc-defg-hij", "-", "-"}));
    // One request for the window list and one for each of its windows, whatever the dictionaries.
    EXPECT_EQ(lookup.singleReads(), 1u);
    EXPECT_EQ(lookup.batches(), 2u);
}

TEST(WithheldWindowNames, TwoWindowsWithTheSameFrameNameNeither) {
    const Json apps = Json::array({chromeApp(Json::array(
        {axWindow("Meet \u2013 abc-defg-hij", 0, 25, 1440, 875), axWindow("Inbox", 0, 25, 1440, 875)}))});
    EXPECT_EQ(Lookup(apps, Json::array({namelessWindow(chrome, "Google Chrome", bounds(0, 25, 1440, 875))}))
                  .names(),
              (std::vector<std::string>{"-"}));
}

TEST(WithheldWindowNames, NothingIsAskedWhenNoFrontmostDictionaryNeedsAName) {
    const Json apps = Json::array({chromeApp(Json::array({axWindow("Inbox", 0, 25, 1440, 875)}))});
    Json named = Testing::window("Google Chrome", chrome, "");
    named["kCGWindowBounds"] = bounds(0, 25, 1440, 875);
    Json mistyped = namelessWindow(chrome, "Google Chrome", bounds(0, 25, 1440, 875));
    mistyped["kCGWindowName"] = 42;  // there, though not a string: the window server did not withhold it
    Json unbounded = namelessWindow(chrome, "Google Chrome", {{"X", 0}, {"Y", 25}});
    const struct {
        const char* name;
        Json list;
        Desktop::Pid frontmostPid;
        std::vector<std::string> names;
    } cases[] = {
        {"names present, even empty", Json::array({named}), chrome, {""}},
        {"a name of another type", Json::array({mistyped}), chrome, {"(not a string)"}},
        {"bounds that are no rectangle", Json::array({unbounded}), chrome, {"-"}},
        {"nameless windows of another application",
         Json::array({namelessWindow(7, "Notes", bounds(0, 25, 1440, 875))}),
         chrome,
         {"-"}},
        {"no frontmost application",
         Json::array({namelessWindow(chrome, "Google Chrome", bounds(0, 25, 1440, 875))}),
         0,
         {"-"}},
        {"a list the scan would not read",
         Json::array({namelessWindow(chrome, "Google Chrome", bounds(0, 25, 1440, 875)), "not a dictionary"}),
         chrome,
         {"-", "-"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lookup lookup(apps, c.list, c.frontmostPid);
        EXPECT_EQ(lookup.names(), c.names);
        EXPECT_EQ(lookup.singleReads() + lookup.batches(), 0u);
    }
}

TEST(WithheldWindowNames, AnApplicationThatDoesNotAnswerCostsOneShortTimeOutAndNamesNothing) {
    const Json list = Json::array({namelessWindow(chrome, "Google Chrome", bounds(0, 25, 1440, 875))});
    const Json windows = Json::array({axWindow("Meet \u2013 abc-defg-hij", 0, 25, 1440, 875)});

    // Hung from the start: the window list is not waited for beyond the lookup's time-out.
    Lookup hung(Json::array({chromeApp(windows, 30)}), list);
    EXPECT_EQ(hung.names(), (std::vector<std::string>{"-"}));
    EXPECT_DOUBLE_EQ(hung.desktop.clockNow(), withheldNameMessagingTimeout);
    EXPECT_EQ(hung.batches(), 0u);

    // Lists its windows, then stops answering: one more time-out, and no guess from a partial read.
    Json hangsAfterList = chromeApp(Json::array({axWindow("Inbox", 200, 100, 900, 700), windows[0]}));
    hangsAfterList["windows"][0]["responseTime"] = 30;
    hangsAfterList["windows"][1]["responseTime"] = 30;
    Lookup hangsLater(Json::array({hangsAfterList}), list);
    EXPECT_EQ(hangsLater.names(), (std::vector<std::string>{"-"}));
    EXPECT_DOUBLE_EQ(hangsLater.desktop.clockNow(), withheldNameMessagingTimeout);
    EXPECT_EQ(hangsLater.batches(), 1u);

    // Answers, but too slowly for its many windows: no request starts after the lookup's time.
    Json many = Json::array();
    for (int i = 0; i < 20; ++i)
        many.push_back(axWindow("Tab " + std::to_string(i), 10.0 * i, 25, 1440, 875));
    Lookup slow(Json::array({chromeApp(many, 0.2)}), list);
    EXPECT_EQ(slow.names(), (std::vector<std::string>{"-"}));
    EXPECT_LE(slow.desktop.clockNow(), withheldNameLookupSeconds + withheldNameMessagingTimeout);
}

}  // namespace
}  // namespace Callsense
