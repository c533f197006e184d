#pragma once

// A desktop that puts the test's own Accessibility interface, and its own clock
// when given one, in front of another desktop, whose services serve the rest:
// a recorder of requests, or a generated tree, on an otherwise ordinary desktop.

#include "Desktop/Desktop.hpp"

namespace Testing {

class PlatformWith final : public Desktop::Platform {
public:
    struct Replacements {
        Desktop::Accessibility& accessibility;
        Desktop::Clock* clock = nullptr;
    };

    PlatformWith(Desktop::Platform& rest, Replacements replacements)
        : rest_(rest), accessibility_(replacements.accessibility), clock_(replacements.clock) {}

    Desktop::Accessibility& accessibility() override { return accessibility_; }
    Desktop::WindowServer& windowServer() override { return rest_.windowServer(); }
    Desktop::Workspace& workspace() override { return rest_.workspace(); }
    Desktop::AudioHardware& audioHardware() override { return rest_.audioHardware(); }
    Desktop::AudioPlayback& audioPlayback() override { return rest_.audioPlayback(); }
    Desktop::TerminationSignals& terminationSignals() override { return rest_.terminationSignals(); }
    Desktop::Clock& clock() override { return clock_ != nullptr ? *clock_ : rest_.clock(); }
    Desktop::FileSystem& fileSystem() override { return rest_.fileSystem(); }

private:
    Desktop::Platform& rest_;
    Desktop::Accessibility& accessibility_;
    Desktop::Clock* clock_;
};

}  // namespace Testing
