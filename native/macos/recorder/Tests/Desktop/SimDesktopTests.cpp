#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <future>
#include <thread>

#include "Desktop/Desktop.hpp"
#include "Desktop/sim/SimDesktop.hpp"

namespace {

TEST(SimWindowServer, DictionariesKeepLooseTypesAndOddEntries) {
    Desktop::Sim::loadScene(R"({"windowList": [
        {"kCGWindowOwnerName": "zoom.us", "kCGWindowOwnerPID": 501, "kCGWindowAlpha": 1.0, "kCGWindowIsOnscreen": true,
         "kCGWindowBounds": {"X": 0, "Y": 0}, "kCGWindowName": {"other": "CFDate"}},
        {"kCGWindowOwnerName": 42, "kCGWindowOwnerPID": "501", "kCGWindowLayer": 2.5},
        "not a dictionary", 7]})");
    const auto windows = Desktop::current().windowServer().onScreenWindows();
    ASSERT_TRUE(windows.has_value());
    ASSERT_EQ(windows->size(), 4U);
    const auto& zoom = windows->at(0).value();
    EXPECT_EQ(std::get<std::string>(zoom.at("kCGWindowOwnerName")), "zoom.us");
    EXPECT_EQ(std::get<std::int64_t>(zoom.at("kCGWindowOwnerPID")), 501);
    EXPECT_EQ(std::get<double>(zoom.at("kCGWindowAlpha")), 1.0);
    EXPECT_EQ(std::get<bool>(zoom.at("kCGWindowIsOnscreen")), true);
    EXPECT_EQ(std::get<Desktop::OtherValue>(zoom.at("kCGWindowBounds")).typeName, "CFDictionary");
    EXPECT_EQ(std::get<Desktop::OtherValue>(zoom.at("kCGWindowName")).typeName, "CFDate");
    const auto& odd = windows->at(1).value();
    EXPECT_EQ(std::get<std::int64_t>(odd.at("kCGWindowOwnerName")), 42);
    EXPECT_EQ(std::get<std::string>(odd.at("kCGWindowOwnerPID")), "501");
    EXPECT_EQ(std::get<double>(odd.at("kCGWindowLayer")), 2.5);
    EXPECT_FALSE(odd.contains("kCGWindowName"));
    EXPECT_FALSE(windows->at(2).has_value());
    EXPECT_FALSE(windows->at(3).has_value());

    Desktop::Sim::loadScene(R"({"windowList": null})");
    EXPECT_FALSE(Desktop::current().windowServer().onScreenWindows().has_value());
    Desktop::Sim::loadEmptyDesktop();
    EXPECT_EQ(Desktop::current().windowServer().onScreenWindows(),
              std::make_optional(std::vector<std::optional<Desktop::WindowDictionary>>{}));
}

TEST(SimWindowServer, BoundsReadAsARectangleOnlyWithAllFourNumbers) {
    Desktop::Sim::loadScene(R"({"windowList": [{
        "whole": {"X": -1280, "Y": 25.5, "Width": 1280, "Height": 775, "comment": "other keys are ignored"},
        "textWidth": {"X": 0, "Y": 0, "Width": "1280", "Height": 775},
        "noHeight": {"X": 0, "Y": 0, "Width": 1280}}]})");
    const auto window = Desktop::current().windowServer().onScreenWindows()->at(0).value();
    EXPECT_EQ(std::get<Desktop::Rect>(window.at("whole")),
              (Desktop::Rect{.origin = {.x = -1280, .y = 25.5}, .size = {.width = 1280, .height = 775}}));
    EXPECT_EQ(std::get<Desktop::OtherValue>(window.at("textWidth")).typeName, "CFDictionary");
    EXPECT_EQ(std::get<Desktop::OtherValue>(window.at("noHeight")).typeName, "CFDictionary");
}

TEST(SimWorkspace, ApplicationsInSceneOrderWithOptionalNames) {
    Desktop::Sim::loadScene(R"({"frontmost": 700, "applications": [
        {"pid": 900, "name": "zoom.us", "bundleId": "us.zoom.xos"}, {"pid": 700}, {"pid": 800, "name": "Helper"}]})");
    auto& workspace = Desktop::current().workspace();
    const auto front = workspace.frontmostApplication();
    ASSERT_TRUE(front.has_value());
    EXPECT_EQ(front->pid, 700);
    EXPECT_FALSE(front->localizedName.has_value());
    EXPECT_FALSE(front->bundleIdentifier.has_value());
    const auto apps = workspace.runningApplications();
    ASSERT_EQ(apps.size(), 3U);
    EXPECT_EQ(apps[0].bundleIdentifier, "us.zoom.xos");
    EXPECT_EQ(apps[2].pid, 800);
    EXPECT_EQ(apps[2].localizedName, "Helper");

    Desktop::Sim::loadScene(R"({"applications": [{"pid": 1}]})");
    EXPECT_FALSE(workspace.frontmostApplication().has_value());
}

TEST(SimClock, VirtualTimeMovesOnlyBySleepsAndStartsOverWithEachScene) {
    Desktop::Sim::loadEmptyDesktop();
    auto& clock = Desktop::current().clock();
    EXPECT_EQ(clock.now(), 0.0);
    const auto before = std::chrono::steady_clock::now();
    clock.sleep(3600);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_EQ(clock.now(), 3600.0);
    Desktop::Sim::advanceClock(0.5);
    EXPECT_EQ(Desktop::Sim::clockNow(), 3600.5);
    Desktop::Sim::loadEmptyDesktop();
    EXPECT_EQ(clock.now(), 0.0);

    Desktop::Sim::loadScene(R"({"clock": "real"})");
    const double start = clock.now();
    clock.sleep(0.02);
    EXPECT_GE(clock.now() - start, 0.02);
}

// A wake ends the sleep under way, or the next one when none is; on the
// virtual clock that sleep takes no time at all.
TEST(SimClock, AWakeEndsOneSleepEarlyOnEitherClock) {
    Desktop::Sim::loadEmptyDesktop();
    auto& clock = Desktop::current().clock();
    clock.wake();
    clock.sleepUnlessWoken(10);
    EXPECT_EQ(clock.now(), 0.0);
    clock.sleepUnlessWoken(10);
    EXPECT_EQ(clock.now(), 10.0) << "one wake ends one sleep";

    Desktop::Sim::loadScene(R"({"clock": "real"})");
    const auto before = std::chrono::steady_clock::now();
    std::thread waker([&clock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        clock.wake();
    });
    clock.sleepUnlessWoken(60);
    waker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30));
    const double start = clock.now();
    clock.sleepUnlessWoken(0.02);
    EXPECT_GE(clock.now() - start, 0.02) << "without a wake it is a whole sleep";
}

TEST(SimRequestCounts, EveryServiceCountsByKind) {
    Desktop::Sim::loadScene(R"({"accessibilityTrusted": true, "applications": [{"pid": 1}]})");
    auto& desktop = Desktop::current();
    const auto app = desktop.accessibility().applicationElement(1);
    desktop.accessibility().copyAttributeValue(app, "AXWindows");
    desktop.accessibility().copyAttributeValue(app, "AXTitle");
    desktop.windowServer().onScreenWindows();
    desktop.audioHardware().readUInt32(Desktop::CoreAudio::systemObject,
                                       {.selector = Desktop::CoreAudio::defaultInputDevice});
    desktop.clock().now();
    EXPECT_EQ(Desktop::Sim::requestCounts(),
              (std::map<std::string, std::uint64_t, std::less<>>{{"accessibility.applicationElement", 1},
                                                                 {"accessibility.copyAttributeValue", 2},
                                                                 {"audioHardware.readUInt32", 1},
                                                                 {"clock.now", 1},
                                                                 {"windowServer.onScreenWindows", 1}}));
    Desktop::Sim::resetRequestCounts();
    EXPECT_TRUE(Desktop::Sim::requestCounts().empty());
}

TEST(SimTerminationSignals, WatchedSignalRunsTheHandlerOnAnotherThread) {
    auto& signals = Desktop::current().terminationSignals();
    std::promise<std::thread::id> ran;
    auto handlerThread = ran.get_future();
    signals.ignore(SIGUSR1);
    signals.watch(SIGUSR1, [&ran] { ran.set_value(std::this_thread::get_id()); });
    ASSERT_EQ(std::raise(SIGUSR1), 0);
    ASSERT_EQ(handlerThread.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_NE(handlerThread.get(), std::this_thread::get_id());

    struct sigaction current {};
    sigaction(SIGUSR1, nullptr, &current);
    EXPECT_NE(current.sa_handler, SIG_DFL) << "the default action must never end the process";
    signals.watch(SIGUSR1, [] {});  // the promise dies with this test
}

TEST(SimTerminationSignals, IgnoredSignalDoesNotEndTheProcess) {
    Desktop::current().terminationSignals().ignore(SIGUSR2);
    EXPECT_EQ(std::raise(SIGUSR2), 0);
    SUCCEED();
}

}  // namespace
