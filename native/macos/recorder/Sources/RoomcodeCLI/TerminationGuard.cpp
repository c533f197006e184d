#include "RoomcodeCLI/TerminationGuard.hpp"

#include <csignal>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROOMCODE_LEAK_CHECKED 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define ROOMCODE_LEAK_CHECKED 1
#endif
#ifdef ROOMCODE_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace RoomcodeCLI {

void endProcessNow(int status) {
    // _Exit skips the leak check that sanitizer builds make at exit; make it
    // here, so that this way out is held to the same standard.
#ifdef ROOMCODE_LEAK_CHECKED
    __lsan_do_recoverable_leak_check();
#endif
    std::_Exit(status);
}

void TerminationGuard::end(int status) {
    // Called with the lock held, which stays held: the main thread can neither
    // press nor print any more while the process ends.
    ended_ = true;
    endProcess_(status);
}

void TerminationGuard::signalled(int exitStatus) {
    std::unique_lock lock(mutex_);
    if (ended_ || exitClaimed_) return;
    if (!open_) {
        end(exitStatus);
        return;
    }
    if (pendingStatus_ == 0) {
        pendingStatus_ = exitStatus;
        endAt_ = std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(closeBound_));
        // Once the close has begun it needs its requests.
        if (!closing_) held_ = true;
        clock_.wake();
    }
    // A second signal waits for the same close and ends with the first's status.
    closedCondition_.wait_until(lock, endAt_, [this] { return !open_ || ended_; });
    // The main thread ends the process itself when it has closed; reaching
    // this point means it did not close in time.
    if (!ended_) end(pendingStatus_);
}

bool TerminationGuard::claimExit() {
    const std::lock_guard lock(mutex_);
    if (ended_) return false;
    if (pendingStatus_ != 0) {
        end(pendingStatus_);
        return false;
    }
    exitClaimed_ = true;
    return true;
}

void TerminationGuard::opening() {
    const std::lock_guard lock(mutex_);
    if (!ended_ && pendingStatus_ != 0) end(pendingStatus_);
    if (ended_) throw RoomcodeCore::ReadingStopped();
    open_ = true;
    closing_ = false;
}

bool TerminationGuard::stopRequested() const {
    const std::lock_guard lock(mutex_);
    return pendingStatus_ != 0 || ended_;
}

bool TerminationGuard::requestsHeld() const {
    const std::lock_guard lock(mutex_);
    return held_ || ended_;
}

void TerminationGuard::closing() {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    held_ = false;
}

void TerminationGuard::closed() {
    {
        const std::lock_guard lock(mutex_);
        open_ = false;
        closing_ = false;
        held_ = false;
        if (!ended_ && pendingStatus_ != 0) end(pendingStatus_);
    }
    closedCondition_.notify_all();
}

void installTerminationHandlers(Desktop::TerminationSignals& signals, TerminationGuard& guard) {
    signals.ignore(SIGTERM);
    signals.ignore(SIGINT);
    signals.watch(SIGTERM, [&guard] { guard.signalled(sigtermExitStatus); });
    signals.watch(SIGINT, [&guard] { guard.signalled(sigintExitStatus); });
}

}  // namespace RoomcodeCLI
