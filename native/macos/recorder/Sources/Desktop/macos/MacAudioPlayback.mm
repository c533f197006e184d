#include "Desktop/macos/MacAudioPlayback.hpp"

#include <AVFAudio/AVFAudio.h>
#include <Foundation/Foundation.h>

#include "Desktop/macos/CoreFoundationValues.hpp"

namespace Desktop::MacOS {

namespace {

// Holds its player strongly (ARC). The pools drain whatever a call autoreleases,
// since a command-line tool has no run loop to do it.
class MacAudioPlayer final : public AudioPlayer {
public:
    explicit MacAudioPlayer(AVAudioPlayer* player) : player_(player) {}

    void setVolume(float volume) override {
        @autoreleasepool {
            player_.volume = volume;
        }
    }
    bool prepareToPlay() override {
        @autoreleasepool {
            return [player_ prepareToPlay];
        }
    }
    bool play() override {
        @autoreleasepool {
            return [player_ play];
        }
    }
    bool isPlaying() override {
        @autoreleasepool {
            return player_.playing;
        }
    }
    double duration() override {
        @autoreleasepool {
            return player_.duration;
        }
    }
    void stop() override {
        @autoreleasepool {
            [player_ stop];
        }
    }

private:
    AVAudioPlayer* player_;
};

}  // namespace

std::variant<std::unique_ptr<AudioPlayer>, std::string> MacAudioPlayback::createPlayer(
    const std::string& path) {
    @autoreleasepool {
        NSString* filePath = [NSFileManager.defaultManager stringWithFileSystemRepresentation:path.c_str()
                                                                                       length:path.size()];
        NSURL* url = [NSURL fileURLWithPath:filePath];
        NSError* error = nil;
        AVAudioPlayer* player = [[AVAudioPlayer alloc] initWithContentsOfURL:url error:&error];
        if (player == nil) {
            NSString* description = error.localizedDescription;
            return description != nil ? utf8((__bridge CFStringRef)description) : std::string();
        }
        return std::make_unique<MacAudioPlayer>(player);
    }
}

}  // namespace Desktop::MacOS
