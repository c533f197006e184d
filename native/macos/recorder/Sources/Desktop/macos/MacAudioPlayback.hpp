#pragma once

#include "Desktop/AudioPlayback.hpp"

namespace Desktop::MacOS {

// AVAudioPlayer on files.
class MacAudioPlayback final : public AudioPlayback {
public:
    std::variant<std::unique_ptr<AudioPlayer>, std::string> createPlayer(const std::string& path) override;
};

}  // namespace Desktop::MacOS
