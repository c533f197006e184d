#pragma once

// The detector that needs no Accessibility permission: it reads the on-screen
// window list once and judges owner names and titles. It also picks the one
// frontmost window whose process deserves the accessibility walk.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Callsense/WindowDictionary.hpp"
#include "ConferenceEvidence/EvidenceRecords.hpp"
#include "Desktop/Desktop.hpp"

namespace Callsense {

// Between the titles of a candidate's windows.
inline constexpr std::string_view candidateTitleSeparator = " | ";

struct WindowCandidate {
    std::string owner;
    // All non-blank titles of the owner process's windows, joined with the separator.
    std::string title;
    Desktop::Pid pid = 0;

    bool operator==(const WindowCandidate&) const = default;
};

struct MeetingWindowScanResult {
    bool likely = false;
    std::string subtitle{ConferenceEvidence::noMeetingSubtitle};
    std::string alertTitle{ConferenceEvidence::noMeetingAlertTitle};
    std::vector<WindowCandidate> candidates;

    bool operator==(const MeetingWindowScanResult&) const = default;
};

struct FrontmostApplication {
    std::string name;  // empty when the application has no localized name
    Desktop::Pid pid = 0;
};

struct MeetingWindowScanRequest {
    std::string_view frontmostName;
    Desktop::Pid frontmostPid = 0;
};

MeetingWindowScanResult scanMeetingWindows(Desktop::WindowServer& windowServer,
                                           const MeetingWindowScanRequest& request);
// The same scan over a window list already read; absent when the call gave nothing.
MeetingWindowScanResult scanMeetingWindows(const std::optional<WindowList>& windows,
                                           const MeetingWindowScanRequest& request);

std::optional<FrontmostApplication> frontmostApplication(Desktop::Workspace& workspace);

bool isBrowserBundle(std::string_view bundleId);
bool isConferencingOwner(std::string_view owner);
bool isZoomMeetingWindow(std::string_view owner, std::string_view name);
bool ownerMatchesFrontmost(std::string_view owner, std::string_view frontmostName);

}  // namespace Callsense
