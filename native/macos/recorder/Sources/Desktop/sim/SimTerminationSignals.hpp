#pragma once

// Signal delivery run as ordinary code on a thread of its own, the portable
// stand-in for dispatch signal sources: a handler that only writes the signal
// number to a pipe, and one watcher thread that reads it and runs the handler.

#include <functional>

#include "Desktop/System.hpp"
#include "Desktop/sim/RequestCounts.hpp"

namespace Desktop::Sim {

class SimTerminationSignals : public TerminationSignals {
public:
    explicit SimTerminationSignals(RequestCounts& counts) : counts_(counts) {}

    void ignore(int signal) override;
    void watch(int signal, std::function<void()> handler) override;

private:
    RequestCounts& counts_;
};

}  // namespace Desktop::Sim
