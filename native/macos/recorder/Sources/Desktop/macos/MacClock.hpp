#pragma once

#include "Desktop/System.hpp"

namespace Desktop::MacOS {

// The monotonic clock and thread sleeps of the C library.
class MacClock final : public Clock {
public:
    double now() override;
    void sleep(double seconds) override;
};

}  // namespace Desktop::MacOS
