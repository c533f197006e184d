#pragma once

// A clock that moves only when told to: by a sleep, by hand, or by a fixed
// step on every reading, so deadlines, time-outs and waits cost no real time.
// It serves both clock interfaces, the desktop's and the meeting-ID reader's,
// so one clock can drive a hand-built desktop and the code above it.

#include <atomic>
#include <vector>

#include "Desktop/System.hpp"
#include "RoomcodeCore/Clock.hpp"

namespace Testing {

class ManualClock final : public Desktop::Clock, public RoomcodeCore::Clock {
public:
    // Not 0, so that code taking 0 for "no time yet" shows.
    double time = 1000;
    double stepPerRead = 0;  // added on every reading of the time
    std::vector<double> sleeps{};
    // The one member another thread may touch: a signal handler's wake.
    std::atomic<int> wakes = 0;

    double now() override {
        const double current = time;
        time += stepPerRead;
        return current;
    }
    void sleep(double seconds) override {
        sleeps.push_back(seconds);
        time += seconds;
    }
    // Time moves at once, so no wake can come during a sleep.
    void sleepUnlessWoken(double seconds) override { sleep(seconds); }
    void wake() override { ++wakes; }
};

}  // namespace Testing
