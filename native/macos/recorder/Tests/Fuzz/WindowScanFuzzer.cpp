// The window scan over window lists of any shape: keys missing or of the wrong
// type, numbers out of range, not-a-number, entries that are not dictionaries.
// The scan must never crash, never name a candidate it cannot walk, and fall
// back to its default verdict whenever it has nothing to go on.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Callsense/MeetingWindowScan.hpp"
#include "Callsense/WindowDictionary.hpp"
#include "FuzzSupport.hpp"
#include "Text/JsonLine.hpp"
#include "Text/Utf8.hpp"

using Fuzz::require;

namespace {

using WindowList = std::vector<std::optional<Desktop::WindowDictionary>>;

class FuzzWindowServer final : public Desktop::WindowServer {
public:
    explicit FuzzWindowServer(std::optional<WindowList> windows) : windows_(std::move(windows)) {}
    std::optional<WindowList> onScreenWindows() override { return windows_; }

private:
    std::optional<WindowList> windows_;
};

const char* const keys[] = {"kCGWindowOwnerPID",  "kCGWindowName",  "kCGWindowLayer",
                            "kCGWindowOwnerName", "kCGWindowAlpha", "kCGWindowBounds"};

// Names a window list really carries, so that the rules' paths are reached often.
const char* const knownTexts[] = {
    "zoom.us",
    "Zoom Meeting",
    "Google Chrome",
    "Meet - abc-defg-hij",
    "Meet \u2013 abc-defg-hij",
    "phv-jdrc-vxw",
    "Microsoft Teams",
    "Slack",
    "Huddle with Ann",
    "FaceTime",
    "Webex",
    "Electron",
    "Safari",
    "meet.google.com/abc",
    "Firefox",
    "",
    "  ",
    "Meeting | Chat",
    "Trello",
    "Arc",
    "zoom.us/j/123456789",
    "Calendar",
};

Desktop::LooseValue looseValue(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
            return std::string(input.PickValueInArray(knownTexts));
        case 1:
            return input.ConsumeRandomLengthString(64);
        case 2:
            return input.ConsumeIntegral<std::int64_t>();
        case 3:
            return std::int64_t{input.ConsumeIntegralInRange(-3, 1000)};
        case 4:
            return input.PickValueInArray({std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::infinity(), -0.0, 2147483647.0,
                                           2147483648.0, -2147483649.0, 1.5, 501.0, 1e300});
        case 5:
            return input.ConsumeFloatingPoint<double>();
        case 6:
            return input.ConsumeBool();
        case 7:
            return Desktop::OtherValue{
                input.PickValueInArray({"CFDictionary", "CFArray", "CFNull", "CFDate"})};
        case 8:
            return Desktop::Rect{.origin = {.x = input.ConsumeFloatingPoint<double>(),
                                            .y = input.ConsumeFloatingPoint<double>()},
                                 .size = {.width = input.ConsumeFloatingPoint<double>(),
                                          .height = input.ConsumeFloatingPoint<double>()}};
        default:
            return std::int64_t{input.ConsumeIntegralInRange(500, 503)};
    }
}

std::optional<WindowList> windowList(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange(0, 31) == 0) return std::nullopt;
    WindowList windows(input.ConsumeIntegralInRange<std::size_t>(0, 12));
    for (auto& window : windows) {
        if (input.ConsumeIntegralInRange(0, 63) == 0) continue;  // not a dictionary
        window.emplace();
        for (const char* key : keys) {
            if (input.ConsumeBool()) (*window)[key] = looseValue(input);
        }
    }
    return windows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string frontmostName =
        input.ConsumeBool() ? input.PickValueInArray(knownTexts) : input.ConsumeRandomLengthString(32);
    const Desktop::Pid frontmostPid = input.ConsumeIntegralInRange(-1, 503);
    const std::optional<WindowList> windows = windowList(input);

    FuzzWindowServer server(windows);
    const auto result =
        Callsense::scanMeetingWindows(server, {.frontmostName = frontmostName, .frontmostPid = frontmostPid});

    for (const auto& window : windows.value_or(WindowList{})) {
        if (!window) continue;
        // Integers read as Int32 only when the value is one.
        if (const auto pid = Callsense::windowInt32(*window, "kCGWindowOwnerPID")) {
            const auto& value = window->at("kCGWindowOwnerPID");
            if (const double* d = std::get_if<double>(&value)) require(std::isfinite(*d) && *d == *pid);
        }
    }

    require(result.candidates.size() <= 1);
    for (const auto& candidate : result.candidates) {
        require(candidate.pid > 0);
        Text::JsonLine line;
        line.add("title", candidate.title).add("owner", candidate.owner);
        if (Text::detail::isValidUtf8(candidate.title) && Text::detail::isValidUtf8(candidate.owner))
            require(line.finish().has_value());
    }
    if (!result.likely) {
        require(result.subtitle == "Microphone" && result.alertTitle == "Meeting detected");
    }
    // Without a frontmost application nothing can be judged.
    if (frontmostPid <= 0 && frontmostName.empty()) {
        require(result == Callsense::MeetingWindowScanResult{});
    }
    // A window list the scan cannot trust gives the default, whatever else it holds.
    if (windows) {
        WindowList broken = *windows;
        broken.push_back(std::nullopt);
        FuzzWindowServer brokenServer(broken);
        require(Callsense::scanMeetingWindows(
                    brokenServer, {.frontmostName = frontmostName, .frontmostPid = frontmostPid}) ==
                Callsense::MeetingWindowScanResult{});
    }
    return 0;
}
