#pragma once

// Time for the simulated desktop: virtual (a sleep or a time-out moves it on at
// once, so tests of deadlines take no time) or the real monotonic clock.

#include <mutex>

namespace Desktop::Sim {

class SimClock {
public:
    // Virtual time starts again at 0.
    void reset(bool real);
    bool isReal() const;
    double now() const;
    // Lets `seconds` pass: a real sleep, or virtual time moving on.
    void pass(double seconds);

private:
    mutable std::mutex mutex_;
    bool real_ = false;
    double virtualNow_ = 0;
};

}  // namespace Desktop::Sim
