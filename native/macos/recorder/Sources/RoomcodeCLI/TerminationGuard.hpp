#pragma once

// What SIGTERM and SIGINT do to a run of roomcode. While no popover of this run
// is open, a signal ends the process at once, printing nothing. While one is
// open (from the press that opened it until its close), the main thread is
// asked to close it first: its requests are held back and its sleeps woken, so
// it reaches the close after at most the one request under way; it closes with
// the reader's own rule and then ends the process, printing nothing and
// pressing nothing else. Once the main thread has claimed the exit to print
// its result, a signal changes nothing.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "Desktop/System.hpp"
#include "RoomcodeCore/PopoverWatch.hpp"

namespace RoomcodeCLI {

inline constexpr int sigtermExitStatus = 143;  // 128 + SIGTERM
inline constexpr int sigintExitStatus = 130;   // 128 + SIGINT

// Ends the process with the status at once, from any thread, without running
// static destructors under a thread that still uses what they would destroy.
[[noreturn]] void endProcessNow(int status);

class TerminationGuard final : public RoomcodeCore::PopoverWatch {
public:
    // How long after a signal the close may take before the process is ended
    // anyway: the request under way when the signal came (0.25 s), the look
    // for the close control (0.5 s, and its last element's request, 0.25 s),
    // then the close control's action list and press and, when it refuses, the
    // opening control's (4 × 0.25 s).
    static constexpr double closeBoundSeconds = 0.25 + 0.5 + 0.25 + 4 * 0.25;

    // `endProcess` ends the process; tests give one that returns, after which
    // the guard does nothing more.
    TerminationGuard(Desktop::Clock& clock, std::function<void(int status)> endProcess = endProcessNow,
                     double closeBound = closeBoundSeconds)
        : clock_(clock), endProcess_(std::move(endProcess)), closeBound_(closeBound) {}
    TerminationGuard(const TerminationGuard&) = delete;
    TerminationGuard& operator=(const TerminationGuard&) = delete;

    // On a termination handler's thread; returns only when the main thread
    // has claimed the exit (or in tests).
    void signalled(int exitStatus);
    // The main thread is about to print its result and exit by itself. False
    // when a signal came first and the process is ending with its status.
    bool claimExit();

    void opening() override;
    bool stopRequested() const override;
    bool requestsHeld() const override;
    void closing() override;
    void closed() override;

private:
    void end(int status);

    Desktop::Clock& clock_;
    std::function<void(int)> endProcess_;
    double closeBound_;

    mutable std::mutex mutex_;
    std::condition_variable closedCondition_;
    bool open_ = false;
    bool closing_ = false;
    bool held_ = false;
    bool exitClaimed_ = false;
    bool ended_ = false;
    int pendingStatus_ = 0;  // the first signal's, while the main thread closes
    std::chrono::steady_clock::time_point endAt_{};
};

// Makes SIGTERM and SIGINT go to the guard instead of ending the process by
// themselves. Install before anything can be pressed.
void installTerminationHandlers(Desktop::TerminationSignals& signals, TerminationGuard& guard);

}  // namespace RoomcodeCLI
