#pragma once

// callsense: tells the host whether the user is in a call or meeting right now,
// or, with "--focus-point", where the frontmost window's centre is.

#include <optional>
#include <string>
#include <vector>

#include "Callsense/Output.hpp"
#include "Desktop/Desktop.hpp"

namespace Callsense {

inline constexpr char focusPointArgument[] = "--focus-point";

// Any argument, the program path included, equal to "--focus-point".
bool wantsFocusPoint(const std::vector<std::string>& arguments);

// Runs every probe and scan of a report; prints nothing.
Output mainImpl(Desktop::Platform& platform);

// What to print and the status to exit with.
struct Completion {
    std::optional<std::string> text;
    int exitStatus = 0;

    bool operator==(const Completion&) const = default;
};

// The report's line, or the fallback report with status 1 when the report
// cannot be encoded.
Completion complete(const Output& output);

// The whole program on the given desktop; returns the exit status of a report
// run, and does not return in focus-point mode.
int main(const std::vector<std::string>& arguments, Desktop::Platform& platform);

}  // namespace Callsense
