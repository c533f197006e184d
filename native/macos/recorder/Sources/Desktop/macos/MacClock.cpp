#include "Desktop/macos/MacClock.hpp"

#include <cerrno>
#include <cmath>
#include <ctime>

namespace Desktop::MacOS {

MacClock::MacClock() : wakes_(dispatch_semaphore_create(0)) {}

double MacClock::now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

void MacClock::sleep(double seconds) {
    // Nothing to wait for, and no timespec to make, for a span that is not positive.
    if (!(seconds > 0)) return;
    const double whole = std::floor(seconds);
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(whole);
    remaining.tv_nsec = static_cast<long>((seconds - whole) * 1e9);
    // A signal that interrupts the sleep does not shorten it.
    while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
    }
}

void MacClock::sleepUnlessWoken(double seconds) {
    if (!(seconds > 0)) return;
    dispatch_semaphore_wait(wakes_,
                            dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(seconds * NSEC_PER_SEC)));
}

void MacClock::wake() {
    dispatch_semaphore_signal(wakes_);
}

}  // namespace Desktop::MacOS
