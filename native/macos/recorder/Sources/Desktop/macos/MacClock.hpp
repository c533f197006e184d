#pragma once

#include <dispatch/dispatch.h>

#include "Desktop/System.hpp"

namespace Desktop::MacOS {

// The monotonic clock and thread sleeps of the C library; sleeps that can be
// woken wait on a dispatch semaphore.
class MacClock final : public Clock {
public:
    MacClock();

    double now() override;
    void sleep(double seconds) override;
    void sleepUnlessWoken(double seconds) override;
    void wake() override;

private:
    // Never released: the clock lives as long as the process.
    dispatch_semaphore_t wakes_;
};

}  // namespace Desktop::MacOS
