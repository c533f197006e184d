#include "Desktop/sim/SimSystem.hpp"

#include <sys/stat.h>

namespace Desktop::Sim {

double SimClockService::now() {
    world_.counts.add("clock.now");
    return world_.clock.now();
}

void SimClockService::sleep(double seconds) {
    world_.counts.add("clock.sleep");
    world_.clock.pass(seconds);
}

void SimClockService::sleepUnlessWoken(double seconds) {
    world_.counts.add("clock.sleep");
    world_.clock.passUnlessWoken(seconds);
}

void SimClockService::wake() {
    world_.counts.add("clock.wake");
    world_.clock.wake();
}

bool SimFileSystem::exists(const std::string& path) {
    world_.counts.add("fileSystem.exists");
    {
        std::lock_guard lock(world_.mutex);
        if (const auto found = world_.scene->files.find(path); found != world_.scene->files.end()) {
            return found->second.exists;
        }
    }
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

}  // namespace Desktop::Sim
