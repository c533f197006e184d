#pragma once

#include <memory>
#include <string>
#include <variant>

namespace Desktop {

// AVAudioPlayer
class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;
    virtual void setVolume(float volume) = 0;  // volume
    virtual bool prepareToPlay() = 0;          // prepareToPlay
    virtual bool play() = 0;                   // play
    virtual bool isPlaying() = 0;              // isPlaying
    virtual double duration() = 0;             // duration, in seconds
    virtual void stop() = 0;                   // stop
};

class AudioPlayback {
public:
    virtual ~AudioPlayback() = default;

    // initWithContentsOfURL:error: on a file URL made from the path; on failure,
    // the error's localizedDescription.
    virtual std::variant<std::unique_ptr<AudioPlayer>, std::string> createPlayer(const std::string& path) = 0;
};

}  // namespace Desktop
