#include "Desktop/sim/SimAudioPlayback.hpp"

#include <optional>

#include "Desktop/sim/WavFile.hpp"

namespace Desktop::Sim {

namespace {

class SimAudioPlayer : public AudioPlayer {
public:
    SimAudioPlayer(SimWorld& world, std::string path, double duration, const SceneFile& file)
        : world_(world),
          path_(std::move(path)),
          duration_(duration),
          playSucceeds_(file.playSucceeds),
          stalls_(file.stalls) {}

    void setVolume(float) override { world_.counts.add("audioPlayer.setVolume"); }

    bool prepareToPlay() override {
        world_.counts.add("audioPlayer.prepareToPlay");
        return true;
    }

    bool play() override {
        world_.counts.add("audioPlayer.play");
        if (!playSucceeds_) return false;
        std::lock_guard lock(world_.mutex);
        world_.makeDueAudioChanges();
        start_ = world_.clock.now();
        world_.journal.record(
            nlohmann::ordered_json{{"event", "play"}, {"path", path_}, {"duration", duration_}});
        return true;
    }

    bool isPlaying() override {
        world_.counts.add("audioPlayer.isPlaying");
        if (!start_ || stopped_) return false;
        return stalls_ || world_.clock.now() < *start_ + duration_;
    }

    double duration() override {
        world_.counts.add("audioPlayer.duration");
        return duration_;
    }

    void stop() override {
        world_.counts.add("audioPlayer.stop");
        if (!start_ || stopped_) return;
        stopped_ = true;
        std::lock_guard lock(world_.mutex);
        world_.makeDueAudioChanges();
        world_.journal.record(nlohmann::ordered_json{{"event", "stop"}, {"path", path_}});
    }

private:
    SimWorld& world_;
    std::string path_;
    double duration_;
    bool playSucceeds_;
    bool stalls_;  // reports playing until stopped
    std::optional<double> start_;
    bool stopped_ = false;
};

}  // namespace

std::variant<std::unique_ptr<AudioPlayer>, std::string> SimAudioPlayback::createPlayer(
    const std::string& path) {
    world_.counts.add("audioPlayback.createPlayer");
    std::optional<SceneFile> file;
    {
        std::lock_guard lock(world_.mutex);
        if (const auto found = world_.scene->files.find(path); found != world_.scene->files.end()) {
            file = found->second;
        }
    }
    if (file && file->loadError) return *file->loadError;
    double duration = 0;
    if (file && file->duration) {
        duration = *file->duration;
    } else {
        auto decoded = wavDuration(path);
        if (auto* error = std::get_if<std::string>(&decoded)) return std::move(*error);
        duration = std::get<double>(decoded);
    }
    return std::make_unique<SimAudioPlayer>(world_, path, duration, file.value_or(SceneFile{}));
}

}  // namespace Desktop::Sim
