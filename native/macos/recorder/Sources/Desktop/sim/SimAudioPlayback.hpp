#pragma once

// AVAudioPlayer over real files (WAV durations) and the scene's overrides.
// A player plays for its duration on the desktop's clock.

#include "Desktop/AudioPlayback.hpp"
#include "Desktop/sim/SimWorld.hpp"

namespace Desktop::Sim {

class SimAudioPlayback : public AudioPlayback {
public:
    explicit SimAudioPlayback(SimWorld& world) : world_(world) {}

    std::variant<std::unique_ptr<AudioPlayer>, std::string> createPlayer(const std::string& path) override;

private:
    SimWorld& world_;
};

}  // namespace Desktop::Sim
