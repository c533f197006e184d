#pragma once

// The desktop's clock and file system as the tools see them.

#include "Desktop/System.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

class SimClockService : public Clock {
public:
    explicit SimClockService(SimWorld& world) : world_(world) {}

    double now() override;
    void sleep(double seconds) override;
    void sleepUnlessWoken(double seconds) override;
    void wake() override;

private:
    SimWorld& world_;
};

// The real file system, except for paths the scene lists under "files".
class SimFileSystem : public FileSystem {
public:
    explicit SimFileSystem(SimWorld& world) : world_(world) {}

    bool exists(const std::string& path) override;

private:
    SimWorld& world_;
};

}  // namespace Desktop::Sim
