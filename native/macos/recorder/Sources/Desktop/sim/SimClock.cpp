#include "Desktop/sim/SimClock.hpp"

#include <chrono>
#include <cmath>
#include <thread>

namespace Desktop::Sim {

void SimClock::reset(bool real) {
    std::lock_guard lock(mutex_);
    real_ = real;
    virtualNow_ = 0;
    wakes_ = 0;
}

bool SimClock::isReal() const {
    std::lock_guard lock(mutex_);
    return real_;
}

double SimClock::now() const {
    std::lock_guard lock(mutex_);
    if (!real_) return virtualNow_;
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SimClock::pass(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) return;
    {
        std::lock_guard lock(mutex_);
        if (!real_) {
            virtualNow_ += seconds;
            return;
        }
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void SimClock::passUnlessWoken(double seconds) {
    std::unique_lock lock(mutex_);
    if (wakes_ == 0 && seconds > 0 && std::isfinite(seconds)) {
        if (!real_) {
            virtualNow_ += seconds;
            return;
        }
        woken_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return wakes_ > 0; });
    }
    if (wakes_ > 0) --wakes_;
}

void SimClock::wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakes_;
    }
    woken_.notify_all();
}

}  // namespace Desktop::Sim
