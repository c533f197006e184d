#include "RoomcodeCLI/SystemClock.hpp"

#include "Desktop/System.hpp"

namespace RoomcodeCLI {

double SystemClock::now() {
    return clock_->now();
}

void SystemClock::sleep(double seconds) {
    clock_->sleepUnlessWoken(seconds);
}

}  // namespace RoomcodeCLI
