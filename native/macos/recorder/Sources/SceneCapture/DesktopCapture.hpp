#pragma once

// What the desktop shows, read through the seam exactly as the tools read it and
// held as plain values until it is written out as a scene. Reading never
// presses, writes or switches anything.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"

namespace SceneCapture {

// Which listed attributes are asked whether they are settable: one request each.
struct SettableQuery {
    enum class Mode { all, none, named };
    Mode mode = Mode::all;
    std::vector<std::string> names{};  // for Mode::named
};

struct CaptureLimits {
    // Levels below the application element that are read (its windows are level 1).
    int depth = 40;
    // Elements read per application, in breadth-first order.
    std::size_t elementsPerApplication = 20000;
    // Seconds an element may take to answer; absent: the platform's default.
    std::optional<double> timeout;
    SettableQuery settable;
};

// The platform's default messaging time-out, what a request waits when no
// time-out was set on its element.
inline constexpr double platformMessagingTimeout = 6.0;

// After this many elements in a row left a request unanswered, an application is
// taken as hung and its remaining elements are not asked.
inline constexpr int unansweredInARowForHung = 8;

struct CapturedElement {
    Desktop::Element element;
    std::uint64_t hash = 0;

    // Where the element is written: under the element whose AXChildren (or, for an
    // application, AXWindows) first listed it. Elements that no tree list names but
    // an attribute does are placed under that attribute's element.
    bool placed = false;
    std::optional<std::size_t> parent;
    std::optional<std::size_t> firstReferrer;
    std::size_t application = 0;
    int depth = 0;

    enum class State { unread, read, unanswered };
    State state = State::unread;
    std::string unreadReason;            // why an unread element was not asked
    std::optional<double> responseTime;  // seconds its first request took

    // The names call, and every attribute to write in the order it was listed; the
    // attributes the tools read are asked too and kept unless unsupported.
    std::int32_t namesError = 0;
    Desktop::AxList otherNames;  // names-list entries that are not strings
    std::vector<std::pair<std::string, Desktop::PlatformResult<Desktop::AxValue>>> attributes;
    Desktop::PlatformResult<Desktop::AxList> actions;
    std::vector<std::string> settable;

    // The tree: AXChildren, and for an application AXWindows, as elements.
    std::vector<std::size_t> children;
    std::vector<std::size_t> windows;
    // The attribute's value is not a plain list of elements, so it is written as
    // read instead of being implied by the tree.
    bool childrenAsRead = false;
    bool windowsAsRead = false;
    // Elements placed here although this element's AXChildren does not list them.
    std::vector<std::size_t> adopted;

    const Desktop::PlatformResult<Desktop::AxValue>* attribute(std::string_view name) const;
};

struct CapturedApplication {
    Desktop::RunningApplication running;
    bool treeCaptured = false;
    std::optional<std::size_t> root{};  // the application element
    std::size_t elementsRead = 0;
    std::size_t elementsUnread = 0;  // listed but left unread by a limit
    bool stoppedAnswering = false;
    std::string comment{};
};

struct CapturedDevice {
    Desktop::AudioObjectId id = 0;
    Desktop::PlatformResult<std::string> name;
    Desktop::PlatformResult<std::string> uid;
    Desktop::PlatformResult<std::vector<std::uint32_t>> inputChannels;
    Desktop::PlatformResult<std::vector<std::uint32_t>> outputChannels;
    Desktop::PlatformResult<std::uint32_t> running;
    std::optional<Desktop::PlatformResult<std::uint32_t>> mute;  // absent: no such property
    std::optional<Desktop::PlatformResult<float>> volume;        // absent: no such property
};

struct CapturedAudio {
    std::int32_t deviceListError = 0;
    std::vector<CapturedDevice> devices;
    Desktop::PlatformResult<std::uint32_t> defaultInput;
    Desktop::PlatformResult<std::uint32_t> defaultOutput;
};

struct CapturedDesktop {
    bool accessibilityTrusted = false;
    std::optional<Desktop::RunningApplication> frontmost;
    std::vector<CapturedApplication> applications;  // the workspace's order
    std::optional<std::vector<std::optional<Desktop::WindowDictionary>>> windowList;
    std::vector<CapturedElement> elements;
    // Every element handle the capture was given, to the entry of its element.
    std::map<const Desktop::Element::Handle*, std::size_t> elementEntries;
    CapturedAudio audio;
    CaptureLimits limits;
    std::vector<std::string> notes;  // what was left out, for the scene's comment
};

// Which applications' trees to read.
struct ApplicationChoice {
    // Process ids, localized names or bundle identifiers, compared exactly.
    std::vector<std::string> named;
    // Only the named ones, not the frontmost, window-owning and Zoom applications.
    bool onlyNamed = false;
    bool all = false;
};

// The applications whose trees a capture reads by default: the frontmost one,
// every owner of an on-screen window of layer 0, and the Zoom client.
bool isChosen(const ApplicationChoice& choice, const Desktop::RunningApplication& application,
              const std::optional<Desktop::RunningApplication>& frontmost,
              const std::optional<std::vector<std::optional<Desktop::WindowDictionary>>>& windowList);

CapturedDesktop captureDesktop(Desktop::Platform& platform, const ApplicationChoice& choice,
                               const CaptureLimits& limits);

}  // namespace SceneCapture
