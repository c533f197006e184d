#pragma once

// Time for the simulated desktop: virtual (a sleep or a time-out moves it on at
// once, so tests of deadlines take no time) or the real monotonic clock.

#include <condition_variable>
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
    // The same, unless wake() ends it early or came since the last such pass.
    void passUnlessWoken(double seconds);
    void wake();

private:
    mutable std::mutex mutex_;
    std::condition_variable woken_;
    int wakes_ = 0;
    bool real_ = false;
    double virtualNow_ = 0;
};

}  // namespace Desktop::Sim
