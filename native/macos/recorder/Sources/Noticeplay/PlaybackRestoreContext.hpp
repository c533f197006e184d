#pragma once

// What the player has changed on the user's desktop, and the one place that puts
// it back. The main thread records and changes through it; a termination handler
// restores through it from another thread. Every change is recorded before it is
// made, and both happen under the same lock, so a restore at any moment finds
// everything that was changed.

#include <mutex>
#include <optional>
#include <string>

#include "Desktop/AudioHardware.hpp"
#include "Noticeplay/OutputVolumeSnapshot.hpp"

namespace Noticeplay {

class PlaybackRestoreContext {
public:
    explicit PlaybackRestoreContext(Desktop::AudioHardware& hardware) : hardware_(hardware) {}
    PlaybackRestoreContext(const PlaybackRestoreContext&) = delete;
    PlaybackRestoreContext& operator=(const PlaybackRestoreContext&) = delete;

    // The process's one context, on the desktop it runs on. Safe to reach first
    // from any thread; never destroyed, so a handler running while the process
    // exits still finds it.
    static PlaybackRestoreContext& shared();

    // Records the current default output, by its ID and its UID, and the
    // speakers, then makes the speakers the default output (also when they
    // already are). Returns whether the switch succeeded.
    bool recordAndSwitchDefaultOutput(Desktop::AudioObjectId previousDefault,
                                      Desktop::AudioObjectId speakers);

    // Records the speakers' mute and volume, then sets them for playback.
    OutputVolumeSnapshot recordAndApplyPlaybackVolume(Desktop::AudioObjectId speakers);

    // Puts back mute and volume, then the default output, and forgets all of it.
    // Once the speakers had become the default, the default output goes back
    // only while they still are: another output chosen meanwhile is the user's
    // choice, and stands. It goes back to the device that carries the recorded
    // UID now, which may have a new ID after reconnecting. False only when
    // switching the default output back was tried and failed.
    bool restoreAll();

    // restoreAll() for the main thread on its way out. From here on the process
    // ends with the main thread's response: a termination handler that comes
    // later finds nothing to do and leaves the exit to the main thread.
    bool restoreAllForExit();

    // restoreAll() for a termination handler. True when the caller must now end
    // the process: the lock stays held, so the main thread can change nothing
    // more and never reaches its response. False when the main thread already
    // claimed the exit; the caller then just returns.
    bool restoreAllForSignal();

    std::optional<Desktop::AudioObjectId> previousDefault() const;
    std::optional<Desktop::AudioObjectId> speakersID() const;
    std::optional<OutputVolumeSnapshot> volumeSnapshot() const;

private:
    bool restoreLocked();
    bool switchBackLocked();

    Desktop::AudioHardware& hardware_;
    mutable std::mutex lock_;
    std::optional<Desktop::AudioObjectId> previousDefault_;
    std::optional<std::string> previousDefaultUID_;
    std::optional<Desktop::AudioObjectId> speakersID_;
    bool switched_ = false;  // the speakers did become the default output
    std::optional<OutputVolumeSnapshot> volumeSnapshot_;
    bool exitClaimed_ = false;
};

}  // namespace Noticeplay
