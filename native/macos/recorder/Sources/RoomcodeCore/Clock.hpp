#pragma once

// Time as the reader sees it. The program hands in the desktop's clock; tests
// hand in one they move by hand, so deadlines and waits cost no real time.

namespace RoomcodeCore {

class Clock {
public:
    virtual ~Clock() = default;

    // Seconds on a monotonic clock.
    virtual double now() = 0;
    // Blocks for at least that long.
    virtual void sleep(double seconds) = 0;
};

}  // namespace RoomcodeCore
