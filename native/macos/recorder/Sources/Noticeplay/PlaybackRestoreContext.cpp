#include "Noticeplay/PlaybackRestoreContext.hpp"

#include "Desktop/Desktop.hpp"
#include "Noticeplay/OutputDeviceControl.hpp"

namespace Noticeplay {

PlaybackRestoreContext& PlaybackRestoreContext::shared() {
    // Deliberately leaked: static destructors run by exit() on the main thread
    // must not pull it from under a handler that is restoring.
    static auto* const context = new PlaybackRestoreContext(Desktop::current().audioHardware());
    return *context;
}

bool PlaybackRestoreContext::recordAndSwitchDefaultOutput(Desktop::AudioObjectId previousDefault,
                                                          Desktop::AudioObjectId speakers) {
    const std::lock_guard guard(lock_);
    previousDefault_ = previousDefault;
    previousDefaultUID_ =
        previousDefault != speakers ? audioObjectUID(hardware_, previousDefault) : std::nullopt;
    speakersID_ = speakers;
    switched_ = hardware_.writeUInt32(Desktop::CoreAudio::systemObject, OutputAddress::defaultOutputDevice,
                                      speakers) == Desktop::CoreAudio::noError;
    return switched_;
}

OutputVolumeSnapshot PlaybackRestoreContext::recordAndApplyPlaybackVolume(Desktop::AudioObjectId speakers) {
    const std::lock_guard guard(lock_);
    return captureAndApplyPlaybackVolume(
        hardware_, speakers, [this](const OutputVolumeSnapshot& snapshot) { volumeSnapshot_ = snapshot; });
}

bool PlaybackRestoreContext::restoreLocked() {
    // Mute and volume go back while the speakers are still the default output;
    // the device switch comes last.
    if (volumeSnapshot_) restoreOutputVolume(hardware_, *volumeSnapshot_);
    volumeSnapshot_.reset();
    bool restored = true;
    if (previousDefault_ && speakersID_ && *previousDefault_ != *speakersID_) restored = switchBackLocked();
    previousDefault_.reset();
    previousDefaultUID_.reset();
    speakersID_.reset();
    switched_ = false;
    return restored;
}

bool PlaybackRestoreContext::switchBackLocked() {
    // When the current default cannot be read, nothing says the user moved on,
    // so the speakers are taken to be still the default. After a refused
    // switch, the recorded default is written back all the same, in case the
    // refusal left the system half-way.
    if (switched_) {
        const auto current =
            hardware_.readUInt32(Desktop::CoreAudio::systemObject, OutputAddress::defaultOutputDevice);
        if (current.succeeded() && *current.value != *speakersID_) return true;
    }
    auto target = *previousDefault_;
    if (previousDefaultUID_)
        target = findDeviceByUID(hardware_, *previousDefaultUID_, target).value_or(target);
    return hardware_.writeUInt32(Desktop::CoreAudio::systemObject, OutputAddress::defaultOutputDevice,
                                 target) == Desktop::CoreAudio::noError;
}

bool PlaybackRestoreContext::restoreAll() {
    const std::lock_guard guard(lock_);
    return restoreLocked();
}

bool PlaybackRestoreContext::restoreAllForExit() {
    const std::lock_guard guard(lock_);
    exitClaimed_ = true;
    return restoreLocked();
}

bool PlaybackRestoreContext::restoreAllForSignal() {
    lock_.lock();
    if (exitClaimed_) {
        lock_.unlock();
        return false;
    }
    exitClaimed_ = true;
    restoreLocked();
    return true;  // the lock is held until the process ends
}

std::optional<Desktop::AudioObjectId> PlaybackRestoreContext::previousDefault() const {
    const std::lock_guard guard(lock_);
    return previousDefault_;
}

std::optional<Desktop::AudioObjectId> PlaybackRestoreContext::speakersID() const {
    const std::lock_guard guard(lock_);
    return speakersID_;
}

std::optional<OutputVolumeSnapshot> PlaybackRestoreContext::volumeSnapshot() const {
    const std::lock_guard guard(lock_);
    return volumeSnapshot_;
}

}  // namespace Noticeplay
