#pragma once

// Runs one program to its end with its output captured, optionally sending it
// a signal on the way.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace EndToEnd {

struct ChildRun {
    std::string program;
    std::vector<std::string> args;
    std::string workingDirectory;
    std::map<std::string, std::string> setEnvironment;
    std::vector<std::string> unsetEnvironment;
    std::optional<int> signal;  // sent after `signalAfter` seconds of real time
    double signalAfter = 0;
    // When set, `signalAfter` counts from the moment the journal file first holds
    // a line for this event, so a slow start (a loaded machine, a sanitizer
    // build) cannot make the signal arrive before the program is ready for it.
    std::optional<std::string> signalAfterEvent;
    std::string journalPath;
    double timeout = 60;
};

struct ChildResult {
    std::string stdoutBytes;
    std::string stderrBytes;
    int exitStatus = 0;  // 128 + signal number when a signal ended it, as a shell reports
    bool timedOut = false;
    std::optional<std::string> startError;
};

ChildResult runChild(const ChildRun& run);

}  // namespace EndToEnd
