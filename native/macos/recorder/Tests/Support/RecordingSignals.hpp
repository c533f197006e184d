#pragma once

// Termination signals that are only recorded: which signals were ignored and
// watched, in order, and each watched signal's handler, for the test to run.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Desktop/System.hpp"

namespace Testing {

class RecordingSignals : public Desktop::TerminationSignals {
public:
    std::vector<std::string> calls;
    std::map<int, std::function<void()>> handlers;
    void ignore(int signal) override { calls.push_back("ignore " + std::to_string(signal)); }
    void watch(int signal, std::function<void()> handler) override {
        calls.push_back("watch " + std::to_string(signal));
        handlers[signal] = std::move(handler);
    }
};

}  // namespace Testing
