#pragma once

#include "Desktop/System.hpp"

namespace Desktop::MacOS {

// signal(2) and dispatch signal sources on the global queue.
class MacTerminationSignals final : public TerminationSignals {
public:
    void ignore(int signal) override;
    void watch(int signal, std::function<void()> handler) override;
};

}  // namespace Desktop::MacOS
