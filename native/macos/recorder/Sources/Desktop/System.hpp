#pragma once

// The small services of the C library and Foundation: signals, time, files.

#include <functional>
#include <string>

namespace Desktop {

class TerminationSignals {
public:
    virtual ~TerminationSignals() = default;

    // signal(sig, SIG_IGN): the signal no longer ends the process by its default action.
    virtual void ignore(int signal) = 0;
    // A source that runs `handler` off the main thread on every delivery of `signal`
    // (a dispatch signal source on the global queue on macOS), kept for the life of
    // the process. Call after ignore(signal).
    virtual void watch(int signal, std::function<void()> handler) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;

    // Seconds on a monotonic clock.
    virtual double now() = 0;
    // Thread sleep.
    virtual void sleep(double seconds) = 0;
    // A thread sleep that wake() ends early. A wake() that comes while no such
    // sleep runs ends the next one at once, so a wake can never fall between a
    // thread's last look at what it waits for and its sleep.
    virtual void sleepUnlessWoken(double seconds) = 0;
    // From any thread.
    virtual void wake() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Something exists at the path (fileExistsAtPath:).
    virtual bool exists(const std::string& path) = 0;
};

}  // namespace Desktop
