#include "Desktop/sim/SimTerminationSignals.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

namespace Desktop::Sim {

namespace {

int signalPipe[2] = {-1, -1};
std::mutex handlersMutex;

std::map<int, std::function<void()>>& handlers() {
    static auto* const map = new std::map<int, std::function<void()>>();
    return *map;
}

extern "C" void forwardSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // Nothing but write(2) is safe here; a full pipe drops the delivery, as a
    // dispatch source coalesces deliveries it has not handled yet.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void watchLoop() {
    for (;;) {
        unsigned char byte = 0;
        const auto n = ::read(signalPipe[0], &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        std::function<void()> handler;
        {
            std::lock_guard lock(handlersMutex);
            const auto found = handlers().find(byte);
            if (found != handlers().end()) handler = found->second;
        }
        if (handler) handler();
    }
}

void startWatcher() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Apple's C library has no pipe2, so close-on-exec is set on each end.
        if (::pipe(signalPipe) != 0) {
            std::perror("simulated desktop: cannot create the signal pipe");
            std::_Exit(70);
        }
        ::fcntl(signalPipe[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(signalPipe[1], F_SETFD, FD_CLOEXEC);
        ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
        std::thread(watchLoop).detach();
    });
}

}  // namespace

void SimTerminationSignals::ignore(int signal) {
    counts_.add("terminationSignals.ignore");
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

void SimTerminationSignals::watch(int signal, std::function<void()> handler) {
    counts_.add("terminationSignals.watch");
    startWatcher();
    {
        std::lock_guard lock(handlersMutex);
        handlers()[signal] = std::move(handler);
    }
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace Desktop::Sim
