#include "Callsense/CallsenseMain.hpp"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "Callsense/AccessibilityScoring.hpp"
#include "Callsense/FocusPoint.hpp"
#include "Callsense/MeetingWindowScan.hpp"
#include "Callsense/MicrophoneProbe.hpp"
#include "Callsense/WithheldWindowNames.hpp"
#include "ConferenceEvidence/ConferenceEvidence.hpp"

namespace Callsense {

bool wantsFocusPoint(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), focusPointArgument) != arguments.end();
}

Output mainImpl(Desktop::Platform& platform) {
    Output report;
    report.inputRunning = defaultInputIsRunning(platform.audioHardware());

    const auto frontmost = frontmostApplication(platform.workspace());
    // The raw name, possibly empty, is what the scan and the scoring compare.
    const std::string name = frontmost ? frontmost->name : std::string();
    const Desktop::Pid pid = frontmost ? frontmost->pid : 0;
    report.frontmostOwner = name.empty() ? std::string(unknownOwner) : name;

    // Asked before the scan: with the permission, titles the window server withholds can
    // be read from the frontmost application itself.
    report.accessibilityTrusted = platform.accessibility().isProcessTrusted();
    auto windows = platform.windowServer().onScreenWindows();
    if (report.accessibilityTrusted && windows) readWithheldWindowNames(platform, *windows, pid);
    const auto scan = scanMeetingWindows(windows, {.frontmostName = name, .frontmostPid = pid});
    report.meetingUiLikely = scan.likely;

    // Asked again: the frontmost application may have changed during the scan,
    // and the browser flag describes the one in front now.
    if (const auto app = platform.workspace().frontmostApplication(); app && app->bundleIdentifier) {
        report.browserFrontmost = isBrowserBundle(*app->bundleIdentifier);
    }

    if (report.accessibilityTrusted) {
        auto score = scoreWithAccessibility(platform, {.candidates = scan.candidates,
                                                       .quartzLikely = scan.likely,
                                                       .quartzSubtitle = scan.subtitle,
                                                       .quartzAlertTitle = scan.alertTitle,
                                                       .inputRunning = report.inputRunning,
                                                       .frontmostName = name});
        return withVerdict(std::move(report), score);
    }
    // Without the permission the window scan's candidates are never walked.
    if (scan.likely)
        return withVerdict(std::move(report), windowScanScore(scan.subtitle, scan.alertTitle, name));
    std::vector<ConferenceEvidence::MeetingEvidenceTag> evidence;
    if (report.inputRunning) evidence.push_back(ConferenceEvidence::MeetingEvidenceTag::inputRunning);
    return withVerdict(std::move(report),
                       ConferenceEvidence::emptyScore(
                           {.evidence = std::move(evidence),
                            .sessionFamily = std::string(ConferenceEvidence::unknownSessionFamily),
                            .meetingFingerprint = std::nullopt}));
}

Completion complete(const Output& output) {
    if (auto line = encodeOutput(output)) return {.text = std::move(line), .exitStatus = 0};
    return {.text = encodeOutput(fallbackOutput()), .exitStatus = 1};
}

int main(const std::vector<std::string>& arguments, Desktop::Platform& platform) {
    if (wantsFocusPoint(arguments)) runFocusPointModeAndExit(platform);
    const auto completion = complete(mainImpl(platform));
    if (completion.text) {
        std::fwrite(completion.text->data(), 1, completion.text->size(), stdout);
        std::fflush(stdout);
    }
    return completion.exitStatus;
}

}  // namespace Callsense
