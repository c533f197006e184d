#pragma once

// The scenecapture program: reads the desktop it runs on and prints it as one
// scene file on standard output.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "Desktop/Desktop.hpp"
#include "SceneCapture/DesktopCapture.hpp"
#include "SceneCapture/SceneWriter.hpp"

namespace SceneCapture {

struct Options {
    ApplicationChoice applications;
    CaptureLimits limits;
    WriteOptions output;
    bool help = false;
};

// The options, or the reason they cannot be used.
struct ParsedOptions {
    std::optional<Options> options;
    std::string error;
};

ParsedOptions parseOptions(const std::vector<std::string>& arguments);

extern const char* const usage;

// Exit status: 0 with the scene printed, 2 for arguments it cannot use.
int runSceneCapture(const std::vector<std::string>& arguments, Desktop::Platform& platform, std::ostream& out,
                    std::ostream& err);

}  // namespace SceneCapture
