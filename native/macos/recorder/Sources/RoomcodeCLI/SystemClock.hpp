#pragma once

// The desktop's clock, which runs virtual time on the simulated desktop. Its
// sleeps end early when the clock is woken, as a termination signal does.

#include "RoomcodeCore/Clock.hpp"

namespace Desktop {
class Clock;
}

namespace RoomcodeCLI {

class SystemClock final : public RoomcodeCore::Clock {
public:
    explicit SystemClock(Desktop::Clock& clock) : clock_(&clock) {}

    double now() override;
    void sleep(double seconds) override;

private:
    Desktop::Clock* clock_;
};

}  // namespace RoomcodeCLI
