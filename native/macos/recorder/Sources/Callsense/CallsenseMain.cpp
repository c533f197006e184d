#include "Callsense/CallsenseMain.hpp"

#include <algorithm>
#include <cstdio>

#include "Callsense/AccessibilityScoring.hpp"
#include "Callsense/FocusPoint.hpp"
#include "Callsense/MeetingWindowScan.hpp"
#include "Callsense/MicrophoneProbe.hpp"
#include "Callsense/WithheldWindowNames.hpp"
#include "ConferenceEvidence/ConferenceEvidence.hpp"

namespace Callsense {

namespace {

std::vector<std::string> evidenceTexts(const std::vector<ConferenceEvidence::MeetingEvidenceTag>& evidence) {
    std::vector<std::string> texts;
    texts.reserve(evidence.size());
    for (const auto tag : evidence)
        texts.emplace_back(ConferenceEvidence::rawValue(tag));
    return texts;
}

}  // namespace

bool wantsFocusPoint(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), focusPointArgument) != arguments.end();
}

Output mainImpl(Desktop::Platform& platform) {
    Output output;
    output.inputRunning = defaultInputIsRunning(platform.audioHardware());

    const auto frontmost = frontmostApplication(platform.workspace());
    const std::string name = frontmost ? frontmost->name : std::string();
    const Desktop::Pid pid = frontmost ? frontmost->pid : 0;

    // Asked before the scan: with the permission, titles the window server withholds can
    // be read from the frontmost application itself.
    output.accessibilityTrusted = platform.accessibility().isProcessTrusted();
    auto windows = platform.windowServer().onScreenWindows();
    if (output.accessibilityTrusted && windows) readWithheldWindowNames(platform, *windows, pid);
    const auto scan = scanMeetingWindows(windows, {.frontmostName = name, .frontmostPid = pid});

    // Asked again: the frontmost application may have changed during the scan,
    // and the browser flag describes the one in front now.
    if (const auto app = platform.workspace().frontmostApplication(); app && app->bundleIdentifier) {
        output.browserFrontmost = isBrowserBundle(*app->bundleIdentifier);
    }

    output.meetingUiLikely = scan.likely;
    output.frontmostOwner = name.empty() ? "Unknown" : name;

    if (output.accessibilityTrusted) {
        const auto score = scoreWithAccessibility(platform, {.candidates = scan.candidates,
                                                             .quartzLikely = scan.likely,
                                                             .quartzSubtitle = scan.subtitle,
                                                             .quartzAlertTitle = scan.alertTitle,
                                                             .inputRunning = output.inputRunning,
                                                             .frontmostName = name});
        output.callLikely = score.callLikely;
        output.subtitle = score.subtitle;
        output.alertTitle = score.alertTitle;
        output.confidence = ConferenceEvidence::rawValue(score.confidence);
        output.evidence = evidenceTexts(score.evidence);
        output.sessionFamily = score.sessionFamily;
        output.meetingFingerprint = score.meetingFingerprint;
    } else if (scan.likely) {
        output.callLikely = true;
        output.subtitle = scan.subtitle;
        output.alertTitle = scan.alertTitle;
        output.confidence = "medium";
        output.evidence = {"meetingUrlOrTitle"};
        output.sessionFamily =
            ConferenceEvidence::sessionFamily({.owner = name,
                                               .combinedText = scan.subtitle + " " + scan.alertTitle,
                                               .alertTitle = scan.alertTitle});
    } else {
        output.callLikely = false;
        output.subtitle = "Microphone";
        output.alertTitle = "Meeting detected";
        output.confidence = "none";
        if (output.inputRunning) output.evidence = {"inputRunning"};
        output.sessionFamily = "unknown";
    }
    return output;
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
